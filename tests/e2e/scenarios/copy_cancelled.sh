# Cancel while the files are copied: answered No, the copy goes on with the
# dialog in view; confirmed, the dialog hides, every file is still written,
# nothing is started, and the message says the installation is incomplete.
dest="$win_base\\dest"
robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupBig.exe")
$(install_into_new_folder "$dest")
expect-dialog "$caption" control 1002
expect-text-contains 1003 "$(esc "$dest\\")"
click 2
expect-message "$caption" "$msg_abort"
expect-default no
answer no
click 2
expect-message "$caption" "$msg_abort"
answer yes
expect-hidden
timeout 120000
expect-message "$caption" "$msg_incomplete"
answer ok
expect-exit 1
STEPS

expect_installed "$(c_path "$dest")" big
expect_absent "$(c_path "$dest")/probe.log"
# The copies are large: not kept once checked.
rm -rf "$base"
