#!/bin/sh
# Walks through the real Setup.exe of a Windows build tree under wine, the
# way a user would, on the current display (the caller provides one, e.g.
# xvfb-run -a -s "-screen 0 1024x768x24"):
#
#   scripts/walkthrough.sh win32|win64 BUILD_DIR
#
# The tree is BUILD_DIR/TREE, with its own wine prefix (made when missing).
# The robot of tests/e2e accepts the licence and installs the product into
# the default folder, answering Yes to creating it; any earlier install
# there is removed first, so that the question comes. Every dialog and
# message is printed and saved as a PNG picture in BUILD_DIR/walkthrough/,
# with the robot's full log (robot.log). To picture the copy, which takes a
# blink, the walkthrough presses Cancel during it and answers No: the
# question holds the copy, and No lets it go on.
set -eu

usage() {
  echo "usage: walkthrough.sh win32|win64 BUILD_DIR" >&2
  exit 2
}
[ $# -eq 2 ] || usage
tree=$1
case $tree in
  win32) loader=wine ;;
  win64) loader=wine64 ;;
  *) usage ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$2" && pwd)
tree_dir=$build/$tree
setup=$tree_dir/setup/Setup.exe
robot=$tree_dir/tests/e2e/robot.exe
for file in "$setup" "$robot"; do
  [ -f "$file" ] || { echo "walkthrough.sh: $file is missing: build the $tree tree first" >&2; exit 1; }
done
prefix=$(sed -n 's/^SETUP_WINEPREFIX:PATH=//p' "$tree_dir/CMakeCache.txt" 2>/dev/null)
[ -n "$prefix" ] || prefix=$tree_dir/wineprefix
out=$build/walkthrough
rm -rf "$out"
mkdir -p "$out"

in_wine() {
  "$root/tests/wine/wine-run.sh" --prefix "$prefix" --loader "$loader" --timeout 300 -- "$@"
}
# The Windows name of a Linux path (drive Z: is the Linux root), and the
# same as a quoted robot argument (backslashes doubled).
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
robot_path() { windows_path "$1" | sed 's/\\/\\\\/g'; }

# The prefix first (wine-run.sh makes it on its first run), then no earlier
# install in the default folder.
in_wine cmd.exe /c exit 0 >/dev/null 2>&1 || true
folder='C:\Program Files\Morrow\Songwright'
rm -rf "$prefix/drive_c/Program Files/Morrow/Songwright"

caption="Songwright Setup"
key='HKCU\\Software\\Morrow\\Songwright'
cat >"$out/steps.txt" <<STEPS
delete-registry "$key"
start "$(robot_path "$setup")"
expect-dialog "License agreement"
say "The licence agreement: \"I agree\" stays disabled until the box is ticked."
print
capture "$(robot_path "$out/1-license.bmp")"
check 1000
expect-enabled 1
click 1
expect-dialog "$caption" control 1011
say "\nThe destination folder, with the default folder."
print
capture "$(robot_path "$out/2-destination.bmp")"
click 1
expect-message "$caption" "Folder 'C:\\\\Program Files\\\\Morrow\\\\Songwright' does not yet exist.\nDo you want to create it?"
say "\nInstall: the folder does not exist yet; answered Yes."
print
capture "$(robot_path "$out/3-create-folder.bmp")"
poll 1
answer yes
expect-dialog "$caption" control 1002
click 2
poll 25
expect-message "$caption" "Are you sure you want to abort the installation?"
move 0 600
say "\nThe copy, held by pressing Cancel:"
print-dialog
capture-dialog "$(robot_path "$out/4-progress.bmp")"
say "\nThe question that holds it, answered No: the copy goes on."
print
capture "$(robot_path "$out/5-abort-question.bmp")"
answer no
timeout 30000
expect-message "$caption" "The program has successfully been installed.\n\nYou can start it from the Windows Start menu, in the folder Program Files / Morrow."
say "\nThe final message:"
print
capture "$(robot_path "$out/6-final.bmp")"
answer ok
expect-exit 1
expect-registry "$key" InstallFolder "C:\\\\Program Files\\\\Morrow\\\\Songwright"
STEPS

status=0
in_wine "$robot" "$(windows_path "$out/steps.txt")" >"$out/robot.log" 2>&1 || status=$?
sed -n 's/^> //p' "$out/robot.log"
if [ "$status" -ne 0 ]; then
  echo "walkthrough.sh: the walkthrough failed (exit status $status); the robot's log:" >&2
  cat "$out/robot.log" >&2
  exit 1
fi

echo
echo "Setup.exe ended with exit status 1. Installed into $folder:"
ls -l "$prefix/drive_c/Program Files/Morrow/Songwright" | sed -n 's/^/  /; 2,$p'
echo "Songwright.exe registered itself: HKCU\\Software\\Morrow\\Songwright, InstallFolder = $folder"
if ! command -v convert >/dev/null; then
  echo "Pictures of every dialog: $out/*.bmp (ImageMagick's convert is missing: no PNG)"
  exit 0
fi
for bmp in "$out"/*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png"
  rm -f "$bmp"
done
echo "Pictures of every dialog: $out/*.png"
