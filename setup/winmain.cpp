// The entry point of Setup.exe.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "setup/run_setup.h"
#include "setup/setup_state.h"
#include "setup/system_library_win32.h"
#include "setup/win32_platform.h"
#include "logo/logo_control_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a DLL at run time.
    restrict_dll_search();
    setup_state.instance = instance;
    set_logo_module(instance);

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    // The folder chooser's new style and the logo's pictures need OLE.
    const bool ole_ready = SUCCEEDED(OleInitialize(nullptr));

    Win32SetupPlatform platform;
    const bool reached_report = run_setup(instance, platform);

    if (ole_ready) OleUninitialize();
    return reached_report ? 1 : 0;
}
