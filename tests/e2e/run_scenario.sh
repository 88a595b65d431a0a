#!/bin/sh
# run_scenario.sh CONFIG NAME: runs the end-to-end scenario scenarios/NAME.sh
# with the helpers of e2e_lib.sh and the tree's paths from CONFIG (the
# e2e_config.sh that CMake writes). Exit status 0: passed; 77: skipped;
# anything else: failed, with the reason on standard error.
set -eu
[ $# -eq 2 ] || { echo "usage: run_scenario.sh CONFIG NAME" >&2; exit 2; }
. "$1"
. "$E2E_SOURCE/e2e_lib.sh"
begin_scenario "$2"
. "$E2E_SOURCE/scenarios/$2.sh"
echo "PASS: $2"
