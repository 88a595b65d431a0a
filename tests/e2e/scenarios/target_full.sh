# A destination drive with room for the first entries only: the copy stops
# at data.bin, the entries before it stay, nothing is started, and the
# message says the installation is incomplete.
mount_point=$work/full
probe_size=$(stat -c %s "$E2E_PROBE")
# The probe and the small files fit (a page each); 256 KB of data.bin do not.
mount_tmpfs "$mount_point" "size=$(( (probe_size + 4095) / 4096 * 4 + 64 ))k"
map_drive s "$mount_point"
robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupBasic.exe")
expect-dialog "$caption" control 1011
set-text 1011 "S:\\\\"
click 1
expect-message "$caption" "$msg_incomplete"
answer ok
expect-exit 1
STEPS
expect_installed "$mount_point" basic 7
expect_absent "$mount_point/probe.log"
