# Browse, then Cancel in the browse window: the field keeps its text, and
# Cancel in the dialog now asks first, with No as the default; No stays,
# Yes ends with the incomplete message.
typed="$win_base\\typed"
robot <<STEPS
$(start_and_accept "$E2E_SETUP")
expect-dialog "$caption" control 1011
set-text 1011 "$(esc "$typed")"
click 1012
expect-dialog "Browse for Folder"
click 2
expect-hidden
back
expect-text 1011 "$(esc "$typed")"
click 2
expect-message "$caption" "$msg_abort"
expect-icon question
expect-default no
answer no
expect-no-window 500
click 2
expect-message "$caption" "$msg_abort"
answer yes
expect-message "$caption" "$msg_incomplete"
answer ok
expect-exit 1
STEPS
expect_empty_folder "$base"
