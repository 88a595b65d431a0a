#include "setup/setup_state.h"

// Built by static initialisation before WinMain runs (the logo control
// creates its stop event then) and destroyed at process exit.
SetupState setup_state;
