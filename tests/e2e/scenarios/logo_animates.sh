# The destination dialog plays the logo: the logo area, sized to the
# 64 x 64 picture, looks different a few hundred milliseconds later. Once
# Install closes the dialog, the animation thread has ended: the copy
# runs with one thread fewer.
dest="$win_base\\dest"
robot <<STEPS
$(start_and_accept "$E2E_SETUPS/SetupBig.exe")
expect-dialog "$caption" control 1011
expect-size 507 64 64
expect-animated 507 400
expect-animated 507 300
remember-threads
set-text 1011 "$(esc "$dest")"
click 1
expect-message "$caption" "$(msg_ask_create "$dest")"
answer yes
expect-dialog "$caption" control 1002
expect-fewer-threads
timeout 120000
expect-message "$caption" "$msg_success"
answer ok
expect-exit 1
STEPS
# The copies are large: not kept once checked.
rm -rf "$base"
