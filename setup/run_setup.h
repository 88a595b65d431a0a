// The install sequence: integrity check, licence, destination folder, copy,
// hand-off to the installed program and the final report, each at most once
// and in this order, sharing their results through setup_state.
#pragma once

#include "setup/setup_platform.h"

// Runs the whole setup for module `instance`. False only when the run stopped
// at the integrity check or the licence (no final report); true on every
// path that reached the final report. WinMain turns it into the exit status.
bool run_setup(void* instance, SetupPlatform& platform);

// The full path of an entry inside the destination: `folder`, a separator
// unless it ends with one, and the entry's name as stored. False, with `out`
// emptied, for a name that could leave the folder (absolute, drive, UNC,
// "..", ':') or a path of more than kPathCapacity - 1 bytes.
bool compose_entry_path(const char* folder, const char* name, char* out);

// Shows the one message that says how the run ended (nothing when no folder
// was ever chosen).
void final_report(SetupPlatform& platform);
