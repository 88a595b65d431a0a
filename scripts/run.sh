#!/bin/sh
# Builds everything and runs Setup.exe under wine: on the user's desktop when
# there is a display, otherwise headless, as an automated walk-through that
# prints each dialog, the final message and where the product was installed,
# and saves a screenshot of every dialog in build/walkthrough/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}

"$root/scripts/build.sh"

# The tree whose programs run here: win32, or win64 where the kernel cannot
# run 32-bit programs (see the README).
tree=$("$root/scripts/wine-arch.sh")
if [ "$tree" = win64 ]; then
  echo "Note: this machine cannot run 32-bit programs; running the x86-64 build of the setup."
  loader=wine64
else
  loader=wine
fi
setup=$build/$tree/setup/Setup.exe

if [ -n "${DISPLAY:-}" ]; then
  echo "Running $setup on $DISPLAY"
  status=0
  "$root/tests/wine/wine-run.sh" --prefix "$build/$tree/wineprefix" --loader "$loader" \
    --timeout 86400 -- "$setup" || status=$?
  echo "Setup.exe ended with exit status $status"
  exit 0
fi

echo "No display: running the automated walk-through on a virtual one."
exec xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/walkthrough.sh" "$tree" "$build"
