# A package whose entry 1 is named "..\evil.txt": that entry is refused, so
# the copy stops there with the incomplete message; entry 0 is written and
# nothing lands outside the destination.
dest="$win_base\\dest"
robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupUnsafe.exe")
$(install_into_new_folder "$dest")
expect-message "$caption" "$msg_incomplete"
answer ok
expect-exit 1
STEPS
expect_installed "$(c_path "$dest")" unsafe 1
[ "$(ls -A "$base")" = dest ] || fail "$base holds more than the destination: $(ls -A "$base")"
[ "$(ls -A "$(c_path "$dest")")" = probe.exe ] ||
  fail "the destination holds more than probe.exe: $(ls -A "$(c_path "$dest")")"
expect_absent "$drive_c/evil.txt"
