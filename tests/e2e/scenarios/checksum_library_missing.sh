# Without IMAGEHLP.DLL the checksum cannot be computed: even the changed
# setup goes on to the licence.
# wine reads the overrides when a process starts: the setup inherits them.
export WINEDLLOVERRIDES=imagehlp=d
robot <<STEPS
start "$(zesc "$E2E_SETUPS/SetupFlipped.exe")"
expect-dialog "License agreement"
click 2
expect-exit 0
expect-never-seen "Error"
STEPS
