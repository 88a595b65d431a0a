# Helpers of the end-to-end scenarios, sourced by run_scenario.sh. Their own
# variables are local; a scenario's are its own.
#
# Each scenario has its own folder C:\e2e\NAME in the tree's wine prefix
# ($win_base, on the Linux side $base) and its own work folder ($work) in
# the build tree; both are emptied before it starts.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

begin_scenario() {
  scenario=$1
  drive_c=$E2E_PREFIX/drive_c
  ensure_prefix
  base=$drive_c/e2e/$scenario
  win_base="C:\\e2e\\$scenario"
  work=$E2E_WORK/$scenario
  # A run that was killed may have left its mounts behind.
  awk -v under="$work/" 'index($2, under) == 1 { print $2 }' /proc/mounts |
    while read -r mount_point; do umount "$mount_point" || umount -l "$mount_point"; done
  rm -rf "$base" "$work"
  mkdir -p "$base" "$work"
  cleanups=""
  trap 'status=$?; run_cleanups; exit $status' EXIT
}

# Runs a Windows program under the tree's prefix.
in_wine() {
  "$E2E_WINE_RUN" --prefix "$E2E_PREFIX" --loader "$E2E_LOADER" --timeout 200 -- "$@"
}

# wine-run.sh makes the prefix the first time it runs something.
ensure_prefix() {
  [ -f "$E2E_PREFIX/.ready" ] && return 0
  in_wine cmd.exe /c exit 0 >/dev/null 2>&1 || true
  [ -f "$E2E_PREFIX/.ready" ] || fail "the wine prefix $E2E_PREFIX cannot be made"
}

# The Windows name of a Linux path (drive Z: is the Linux root), and the
# Linux path of a Windows path on drive C:.
z_path() { printf 'Z:%s' "$1" | tr / '\\'; }
c_path() { printf '%s/%s' "$drive_c" "${1#?:\\}" | tr '\\' /; }

# A value for a quoted robot argument: backslashes doubled, quotes escaped;
# zesc gives a Linux path's Windows name so.
esc() { printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g'; }
zesc() { esc "$(z_path "$1")"; }

# robot <<EOF ... EOF: runs the robot on the steps given on standard input;
# its log goes to our output. A failed step fails the scenario.
robot() {
  local steps
  runs=$((${runs:-0} + 1))
  steps=$work/steps$runs.txt
  cat >"$steps"
  in_wine "$E2E_ROBOT" "$(z_path "$steps")" || fail "a robot step failed (see the robot's log above)"
}

# The final messages of the setup, as they must read.
caption="Songwright Setup"
msg_success="The program has successfully been installed.\n\nYou can start it from the Windows Start menu, in the folder Program Files / Morrow."
msg_incomplete="The program was not completely installed."
msg_cannot_install="The program cannot be installed."
msg_registration="The registration of the program in the system registry was not possible.\nIf you are installing on Windows NT, 2000 or XP, then please make sure you have Administrator rights."
msg_abort="Are you sure you want to abort the installation?"
msg_ask_create() { printf "Folder '%s' does not yet exist.\\\\nDo you want to create it?" "$(esc "$1")"; }
msg_cannot_create() { printf "Folder '%s' cannot be created.\\\\nPlease choose another location." "$(esc "$1")"; }

# The product's registry key, as a robot argument.
product_key=$(esc 'HKCU\Software\Morrow\Songwright')

# Robot steps that accept the licence of a setup.
accept_license() {
  cat <<STEPS
expect-dialog "License agreement"
check 1000
click 1
STEPS
}

# Robot steps that start the setup SETUP (a Linux path) and accept its
# licence.
start_and_accept() {
  printf 'start "%s"\n' "$(zesc "$1")"
  accept_license
}

# Robot steps that type FOLDER (a Windows path) into the destination dialog
# and press Install.
install_into() {
  cat <<STEPS
expect-dialog "$caption" control 1011
set-text 1011 "$(esc "$1")"
click 1
STEPS
}

# The same for a FOLDER that does not exist yet: Yes to creating it.
install_into_new_folder() {
  install_into "$1"
  cat <<STEPS
expect-message "$caption" "$(msg_ask_create "$1")"
answer yes
STEPS
}

# Runs `command` when the scenario ends, whatever the outcome.
at_end() { cleanups="$*; $cleanups"; }
run_cleanups() { eval "$cleanups" || true; }

# --- Checks on the Linux side ---

expect_absent() {
  for path; do [ ! -e "$path" ] || fail "$path exists"; done
}

expect_empty_folder() {
  [ -d "$1" ] || fail "$1 is not a folder"
  [ -z "$(ls -A "$1")" ] || fail "$1 is not empty: $(ls -A "$1" | tr '\n' ' ')"
}

# The source of the package entry $1, from the pairs "entry<TAB>source" of
# the file $inputs (an entry below a folder pair comes from that folder).
source_of() {
  name=$1 awk -F '\t' '
    $1 == ENVIRON["name"] { print $2; exit }
    index(ENVIRON["name"], $1 "/") == 1 { print $2 "/" substr(ENVIRON["name"], length($1) + 2); exit }' "$inputs"
}

# expect_installed FOLDER PACKAGE [COUNT]: the first COUNT entries (all by
# default) of the package PACKAGE ("product", or packages/PACKAGE.bin) are
# in FOLDER (a Linux path), with the contents of their sources, their stored
# modification times and the owner's write permission (no read-only
# attribute); no later entry is there in full.
expect_installed() {
  local folder="$1" package="$E2E_PACKAGES/$2.bin" count="${3:-65536}" index=0
  local line name stored target source written inputs
  [ "$2" = product ] && package=$E2E_PRODUCT_PACKAGE
  inputs="$E2E_PACKAGES/$2.inputs"
  "$E2E_SETUPPACK" list "$package" >"$work/list.txt" || fail "cannot list $package"
  # The entry lines lie between the two rulers; the name starts in column 64.
  sed -n '3,$p' "$work/list.txt" | sed '$d' | sed '$d' >"$work/entries.txt"
  while IFS= read -r line; do
    name=$(printf '%s\n' "$line" | cut -c64-)
    stored=$(printf '%s\n' "$line" | cut -c43-61)
    target=$folder/$(printf '%s' "$name" | tr '\\' /)
    if [ "$index" -ge "$count" ]; then
      # Not written in full: absent, cut short, or blocked by a folder.
      case $name in
        */) ;;
        *) [ -f "$target" ] && cmp -s "$target" "$(source_of "$name")" &&
             fail "entry $index: $target was written" ;;
      esac
    else
      case $name in
        */) [ -d "$target" ] || fail "entry $index: folder $target is missing" ;;
        *)
          source=$(source_of "$name")
          [ -f "$target" ] || fail "entry $index: $target is missing"
          cmp -s "$target" "$source" || fail "entry $index: $target differs from $source"
          written=$(date -u -r "$target" '+%Y-%m-%d %H:%M:%S')
          [ "$written" = "$stored" ] || fail "entry $index: $target was written at $written, stored $stored"
          [ "$(stat -c %A "$target" | cut -c3)" = w ] || fail "entry $index: $target is read-only"
          ;;
      esac
    fi
    index=$((index + 1))
  done <"$work/entries.txt"
}

# expect_started FOLDER PROGRAM: probe.log in FOLDER (a Windows path) says
# that the probe PROGRAM was started as '"PROGRAM" /Install' with FOLDER as
# its current folder, and that it ended.
expect_started() {
  local log expected found
  log=$(c_path "$1")/probe.log
  [ -f "$log" ] || fail "the probe was not started: $log is missing"
  expected=$(printf 'started\t"%s" /Install\t%s' "$2" "$1")
  found=$(sed -n 1p "$log")
  [ "$found" = "$expected" ] || fail "probe.log: expected '$expected', found '$found'"
  [ "$(sed -n 2p "$log")" = "$(printf 'ended\t0')" ] || fail "probe.log: the probe did not end: $(cat "$log")"
}

# --- Mounts and drive letters (need root; otherwise the scenario is skipped) ---

# mount_tmpfs FOLDER OPTIONS: a tmpfs on FOLDER until the scenario ends.
mount_tmpfs() {
  mkdir -p "$1"
  if ! mount -t tmpfs -o "$2" e2e "$1" 2>"$work/mount.err"; then
    echo "SKIP: a tmpfs cannot be mounted here: $(cat "$work/mount.err")"
    exit 77
  fi
  at_end "umount '$1' 2>/dev/null || umount -l '$1'"
}

# map_drive LETTER FOLDER: the drive LETTER: of the prefix is FOLDER until
# the scenario ends.
map_drive() {
  local link="$E2E_PREFIX/dosdevices/$1:"
  # Left behind by a run that was killed, the link points into our work.
  case $(readlink "$link" || true) in "$E2E_WORK"/*) rm -f "$link" ;; esac
  [ ! -e "$link" ] && [ ! -L "$link" ] || fail "drive $1: is taken in the prefix"
  ln -s "$2" "$link"
  at_end "rm -f '$link'"
}
