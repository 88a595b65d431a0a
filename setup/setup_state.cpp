#include "setup/setup_state.h"

// Constant-initialised: every field has its start-up value before any code runs.
SetupState setup_state;
