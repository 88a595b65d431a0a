# The licence declined with the close box: the setup ends at once with exit
# status 0 and shows nothing more; the destination dialog, and so the copy,
# never comes.
robot <<STEPS
start "$(zesc "$E2E_SETUP")"
expect-dialog "License agreement"
close-box
expect-exit 0
expect-never-seen "$caption"
STEPS
