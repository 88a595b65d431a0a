# Install into an existing folder, typed with a trailing backslash, that
# holds a read-only readme.txt: no question, the file is replaced and no
# longer read-only, every entry is written with its stored time, the probe
# is started from the folder, and the success message follows.
folder="$win_base\\dest dir"
mkdir -p "$(c_path "$folder")"
echo "an older readme" >"$(c_path "$folder")/readme.txt"
chmod a-w "$(c_path "$folder")/readme.txt"
robot <<STEPS
expect-readonly "$(esc "$folder\\readme.txt")" yes
$(start_and_accept "$E2E_SETUPS/SetupBasic.exe")
expect-dialog "$caption" control 1011
set-text 1011 "$(esc "$folder\\")"
click 1
expect-message "$caption" "$msg_success"
answer ok
expect-exit 1
expect-readonly "$(esc "$folder\\readme.txt")" no
STEPS
expect_installed "$(c_path "$folder")" basic
expect_started "$folder" "$folder\\probe.exe"
