# Cancel in the destination dialog while the logo plays: the animation is
# stopped as the dialog goes, and the setup ends at once, with exit status
# 1 and no message.
robot <<STEPS
$(start_and_accept "$E2E_SETUP")
expect-dialog "$caption" control 1011
expect-animated 507 300
click 2
timeout 3000
expect-exit 1
STEPS
