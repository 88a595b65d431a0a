# Without RICHED20.DLL the licence is skipped: the destination dialog comes
# first.
# wine reads the overrides when a process starts: the setup inherits them.
export WINEDLLOVERRIDES=riched20=d
robot <<STEPS
start "$(zesc "$E2E_SETUP")"
expect-dialog "$caption" control 1011
expect-never-seen "License agreement"
click 2
expect-exit 1
STEPS
