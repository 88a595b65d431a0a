# A read-only destination drive: the first entry cannot be written, nothing
# is, and the message says the installation is incomplete.
mount_point=$work/read-only
mount_tmpfs "$mount_point" "ro,size=1m"
map_drive r "$mount_point"
robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupBasic.exe")
expect-dialog "$caption" control 1011
set-text 1011 "R:\\\\"
click 1
expect-message "$caption" "$msg_incomplete"
answer ok
expect-exit 1
STEPS
expect_empty_folder "$mount_point"
