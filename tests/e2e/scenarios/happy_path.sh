# The product's setup, as a user runs it: the licence accepted, a new folder
# whose name holds spaces created on Yes, the files copied with their stored
# times, Songwright.exe registering itself from there, the success message.
dest="$win_base\\Song wright (test)\\Program"
start_menu="AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
for user in "$drive_c"/users/*/; do rm -f "$user$start_menu/Morrow/Songwright.lnk"; done

robot <<STEPS
delete-registry "$product_key"
start "$(zesc "$E2E_SETUP")"
expect-dialog "License agreement"
expect-text-contains 1010 "Morrow Songwright End User License Agreement"
expect-disabled 1
check 1000
click 1
expect-dialog "$caption" control 1011
expect-text 1011 "C:\\\\Program Files\\\\Morrow\\\\Songwright"
set-text 1011 "$(esc "$dest")"
click 1
expect-message "$caption" "$(msg_ask_create "$dest")"
expect-icon question
answer yes
timeout 30000
expect-message "$caption" "$msg_success"
expect-icon information
answer ok
expect-exit 1
expect-registry "$product_key" InstallFolder "$(esc "$dest")"
STEPS

expect_installed "$(c_path "$dest")" product
ls "$drive_c"/users/*/"$start_menu/Morrow/Songwright.lnk" >/dev/null 2>&1 ||
  fail "the Start-menu shortcut Morrow\\Songwright.lnk is missing"
