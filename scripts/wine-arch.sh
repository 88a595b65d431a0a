#!/bin/sh
# Prints the Windows tree whose programs run under wine on this machine:
# win32 when the kernel runs 32-bit programs (wine's 32-bit loader starts),
# else win64 (the same sources built for x86-64, run by wine64).
if [ -n "${SETUP_WINE_TREE:-}" ]; then echo "$SETUP_WINE_TREE"; exit 0; fi
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo win32
else
  echo win64
fi
