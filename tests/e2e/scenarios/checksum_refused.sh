# One byte of Setup.exe changed after linking: only the checksum message
# (error icon, the system's default caption), no dialog, exit status 0.
"$E2E_SETUPPACK" checksum "$E2E_SETUP" >/dev/null || fail "Setup.exe itself has a wrong checksum"
if "$E2E_SETUPPACK" checksum "$E2E_SETUPS/SetupFlipped.exe" >/dev/null; then
  fail "SetupFlipped.exe still has a matching checksum"
fi

robot <<STEPS
start "$(zesc "$E2E_SETUPS/SetupFlipped.exe")"
expect-message "Error" "The checksum of this setup program is not correct."
expect-icon error
answer ok
expect-exit 0
expect-never-seen "License agreement"
STEPS
