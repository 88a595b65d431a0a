# "I agree" is enabled exactly while the box is ticked; "I do not agree"
# always is.
robot <<STEPS
start "$(zesc "$E2E_SETUP")"
expect-dialog "License agreement"
expect-text 1000 "I have read, understood and agree to the  terms of the End User License Agreement."
expect-disabled 1
expect-enabled 2
check 1000
expect-enabled 1
uncheck 1000
expect-disabled 1
check 1000
expect-enabled 1
uncheck 1000
expect-disabled 1
expect-enabled 2
click 2
expect-exit 0
STEPS
