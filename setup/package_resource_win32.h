// The package resource of the module: found, sized, loaded and locked.
#pragma once

#include <windows.h>

#include "setup/setup_platform.h"

// Stops at the first step that fails; for `unloadable` the last error is
// still the failing call's. The bytes stay valid for the life of the process.
PackageResource find_package_resource(HINSTANCE instance);
