# The first entry is a text file: it cannot be started, and the message
# gives the system's reason on a second line.
dest="$win_base\\dest"
robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupDocument.exe")
$(install_into_new_folder "$dest")
expect-message-start "$caption" "$msg_cannot_install\n"
answer ok
expect-exit 1
STEPS
expect_installed "$(c_path "$dest")" document
