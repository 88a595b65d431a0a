# A package without entries: the progress dialog never shows, nothing is
# written or started, and the message says the installation is incomplete.
dest="$win_base\\dest"
robot <<STEPS
start "$(zesc "$E2E_SETUPS/SetupEmpty.exe")"
expect-dialog "License agreement"
expect-text 1010 ""
check 1000
click 1
expect-dialog "$caption" control 1011
set-text 1011 "$(esc "$dest")"
click 1
expect-message "$caption" "$(msg_ask_create "$dest")"
poll 1
answer yes
expect-message "$caption" "$msg_incomplete"
answer ok
expect-exit 1
expect-never-seen "$caption" control 1002
STEPS
expect_empty_folder "$(c_path "$dest")"
