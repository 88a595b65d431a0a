# Entry 2 (readme.txt) cannot be written: a folder has its name. The copy
# stops there, the entries before it stay, nothing is started, and the
# message says the installation is incomplete.
dest="$win_base\\dest"
mkdir -p "$(c_path "$dest")/readme.txt"
robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupBasic.exe")
$(install_into "$dest")
expect-message "$caption" "$msg_incomplete"
answer ok
expect-exit 1
STEPS
expect_installed "$(c_path "$dest")" basic 2
[ -d "$(c_path "$dest")/readme.txt" ] || fail "the folder readme.txt is gone"
expect_absent "$(c_path "$dest")/probe.log"
