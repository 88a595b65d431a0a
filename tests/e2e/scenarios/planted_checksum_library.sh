# An IMAGEHLP.DLL planted beside the setup is never loaded: the system's
# library finds the setup intact and the licence follows. (Loaded, the
# planted one would log itself in planted.log and report a mismatch.)
mkdir -p "$base/download"
cp "$E2E_SETUP" "$base/download/Setup.exe"
cp "$E2E_PLANT" "$base/download/IMAGEHLP.DLL"

# Like Windows, wine then prefers a program's own copy of a library to the
# system's (by default it would take its built-in one from anywhere).
export WINEDLLOVERRIDES="imagehlp=n,b"
robot <<STEPS
start "$(esc "$win_base\\download\\Setup.exe")"
expect-dialog "License agreement"
click 2
expect-exit 0
expect-never-seen "Error"
STEPS
expect_absent "$base/download/planted.log"
