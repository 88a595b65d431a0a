// Registers an installed copy of Songwright for the current user: its
// folder in the registry and a shortcut in the Start menu.
#pragma once

// Where registration stopped; registration_ok when all of it was done.
enum RegistrationResult {
    registration_ok = 0,
    registration_no_module_path = 1,
    registration_registry_failed = 2,
    registration_no_programs_folder = 3,
    registration_shortcut_failed = 4,
};

// Registry key (under HKEY_CURRENT_USER) and values written by the install.
constexpr const char* kRegistryKey = "Software\\Morrow\\Songwright";
constexpr const char* kInstallFolderValue = "InstallFolder";
constexpr const char* kVersionValue = "Version";
constexpr const char* kVersion = "4.30";
// The shortcut: <Programs>\Morrow\Songwright.lnk.
constexpr const char* kShortcutFolder = "Morrow";
constexpr const char* kShortcutFile = "Songwright.lnk";

RegistrationResult register_installation();

// A one-line explanation of a result, for the log of a failed install.
const char* registration_result_text(RegistrationResult result);
