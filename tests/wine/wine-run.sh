#!/bin/sh
# Runs one Windows program under wine with a build tree's own prefix:
#   wine-run.sh --prefix DIR --loader wine|wine64 [--timeout SECONDS] -- PROGRAM [ARGS...]
# The prefix is made once (under a lock) and reused; the wine server is kept
# alive between runs. The program's exit status is passed through; a run that
# outlives the timeout ends with status 124.
set -eu

prefix=""
loader="wine"
limit=300
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --loader) loader=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ -n "$prefix" ] || { echo "wine-run.sh: --prefix is required" >&2; exit 2; }

case "$loader" in
  wine64) loader_path=/usr/lib/wine/wine64; export WINEARCH=win64 ;;
  *) loader_path=/usr/lib/wine/wine; export WINEARCH=win32 ;;
esac
[ -x "$loader_path" ] || loader_path=$(command -v "$loader")

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko download prompts while the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree=;mshtml="

make_prefix() {
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      rm -rf "$prefix"
      timeout 600 "$loader_path" wineboot -i >/dev/null 2>&1 || true
      # Without a window manager, every closing window stalls; let wine
      # manage its own windows and draw their title bars.
      timeout 120 "$loader_path" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      timeout 120 "$loader_path" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
      /usr/lib/wine/wineserver -w 2>/dev/null || wineserver -w 2>/dev/null || true
      touch "$prefix/.ready"
    fi
  ) 9>"$prefix.lock"
}

[ -f "$prefix/.ready" ] || make_prefix
# A persistent server makes each run start in a fraction of a second.
(/usr/lib/wine/wineserver -p 2>/dev/null || wineserver -p 2>/dev/null || true)

status=0
timeout --kill-after=10 "$limit" "$loader_path" "$@" || status=$?
exit $status
