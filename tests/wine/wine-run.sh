#!/bin/sh
# Runs one Windows program under wine with a build tree's own prefix:
#   wine-run.sh --prefix DIR --loader wine|wine64 [--timeout SECONDS] -- PROGRAM [ARGS...]
# The prefix is made once (under a lock) and reused; the wine server is kept
# alive between runs. The program's exit status is passed through; a run that
# outlives the timeout ends with status 124.
#
# The persistent server and wine's own service processes are started with
# their output on /dev/null: a daemon that inherited a test's stdout would
# hold the pipe open, and the test runner would wait for it forever.
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
[ $# -gt 0 ] || { echo "wine-run.sh: no program given" >&2; exit 2; }

case "$loader" in
  wine64) loader_path=/usr/lib/wine/wine64; export WINEARCH=win64 ;;
  *) loader_path=/usr/lib/wine/wine; export WINEARCH=win32 ;;
esac
[ -x "$loader_path" ] || loader_path=$(command -v "$loader")
server=/usr/lib/wine/wineserver
[ -x "$server" ] || server=$(command -v wineserver)

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installs (and no download prompts) while the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree=;mshtml="

# Detached from our output, and from the lock (fd 9): a daemon that kept
# the lock open would block every later run.
quietly() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

# Starts the persistent server, then wine's services with a short wineboot,
# all detached from our output. Does nothing when the server runs already
# (wineserver -p exits non-zero then).
start_server() {
  if quietly "$server" -p; then
    quietly timeout 120 "$loader_path" wineboot || true
  fi
}

setting() {
  quietly timeout 120 "$loader_path" reg add "$1" /v "$2" /t "$3" /d "$4" /f
}

make_prefix() {
  rm -rf "$prefix"
  mkdir -p "$prefix"
  quietly "$server" -p || true
  quietly timeout 600 "$loader_path" wineboot -i || {
    echo "wine-run.sh: wineboot -i failed for $prefix" >&2; return 1; }
  # Without a window manager every closing window stalls: let wine manage
  # its windows, with title bars for screenshots.
  setting 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
  setting 'HKCU\Software\Wine\X11 Driver' Decorated REG_SZ Y
  # A crashing program prints its backtrace and ends; no dialog waits.
  setting 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
  printf '%s\n' "${DISPLAY:-}" >"$prefix/.display"
  touch "$prefix/.ready"
}

# wine's desktop process stays bound to the display it was started on. When
# that display has gone (a new xvfb-run), the next program would wait many
# seconds for the dead desktop; a fresh server starts a new one at once.
restart_for_new_display() {
  display_file="$prefix/.display"
  if [ "$(cat "$display_file" 2>/dev/null)" != "${DISPLAY:-}" ]; then
    quietly "$server" -k || true
    quietly timeout 30 "$server" -w || true
    printf '%s\n' "${DISPLAY:-}" >"$display_file"
  fi
}

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  [ -f "$prefix/.ready" ] || make_prefix
  restart_for_new_display
  start_server
) 9>"$prefix.lock"

status=0
timeout --kill-after=10 "$limit" "$loader_path" "$@" || status=$?
exit $status
