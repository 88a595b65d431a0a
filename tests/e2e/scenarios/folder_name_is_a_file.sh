# Install on a name that exists as a file: the question to create it, No
# stays in the dialog; asked again, Yes fails with the error message and the
# dialog stays. Cancel then asks first (No is the default) and, confirmed,
# ends with the incomplete message.
dest="$win_base\\taken"
echo "a file, not a folder" >"$base/taken"
cp "$base/taken" "$work/taken"

robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupBasic.exe")
expect-dialog "$caption" control 1011
set-text 1011 "$(esc "$dest")"
click 1
expect-message "$caption" "$(msg_ask_create "$dest")"
answer no
expect-no-window 500
click 1
expect-message "$caption" "$(msg_ask_create "$dest")"
answer yes
expect-message "$caption" "$(msg_cannot_create "$dest")"
expect-icon error
answer ok
expect-no-window 500
click 2
expect-message "$caption" "$msg_abort"
expect-default no
answer yes
expect-message "$caption" "$msg_incomplete"
answer ok
expect-exit 1
STEPS

[ "$(ls -A "$base")" = taken ] || fail "$base holds more than the file: $(ls -A "$base")"
cmp -s "$base/taken" "$work/taken" || fail "the file $base/taken was changed"
