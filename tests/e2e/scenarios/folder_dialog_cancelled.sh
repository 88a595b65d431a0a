# Cancel in the destination dialog before Install or Browse: the setup ends
# with exit status 1 and no message.
robot <<STEPS
$(start_and_accept "$E2E_SETUP")
expect-dialog "$caption" control 1011
click 2
expect-exit 1
STEPS
