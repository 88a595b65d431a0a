# The installed program has not ended after 20 seconds: the registration
# failure message; the program runs on after the setup has ended (and is
# ended here).
dest="$win_base\\dest"
program="$dest\\probe.exe"
robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupSlow.exe")
$(install_into_new_folder "$dest")
timeout 40000
expect-message "$caption" "$msg_cannot_install\n$msg_registration"
answer ok
expect-exit 1
expect-process "$(esc "$program")"
end-process "$(esc "$program")"
STEPS

expect_installed "$(c_path "$dest")" slow
log=$(c_path "$dest")/probe.log
expected=$(printf 'started\t"%s" /Install\t%s' "$program" "$dest")
[ "$(cat "$log")" = "$expected" ] || fail "probe.log: expected only '$expected', found '$(cat "$log")'"
