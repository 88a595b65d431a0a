# The first entry is a text file: it cannot be started, and the message
# gives the system's reason on a second line.
dest="$win_base\\dest"
robot <<STEPS
start "$(zesc "$E2E_SETUPS/SetupDocument.exe")"
$(accept_license)
expect-dialog "$caption" control 1011
set-text 1011 "$(esc "$dest")"
click 1
expect-message "$caption" "$(msg_ask_create "$dest")"
answer yes
expect-message-start "$caption" "$msg_cannot_install\n"
answer ok
expect-exit 1
STEPS
expect_installed "$(c_path "$dest")" document
