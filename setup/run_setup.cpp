#include "setup/run_setup.h"

#include <cstring>

#include "package/archive.h"
#include "package/entry_name.h"
#include "package/file_system.h"
#include "setup/handoff.h"
#include "setup/setup_state.h"
#include "ui/copy_progress.h"
#include "ui/dialog_ids.h"
#include "ui/message_text.h"
#include "ui/resources/resource_ids.h"

namespace {

void fail(uint32_t message_id = 0) {
    if (message_id) setup_state.message_id = message_id;
    setup_state.succeeded = false;
}

// Sums the entries' sizes into bytes_total. False when an entry cannot be
// described.
bool add_up_sizes(PackageArchive* archive, int32_t count) {
    ArchiveEntry entry{};
    for (int32_t i = 0; i < count; ++i) {
        if (archive_get_entry(archive, i, &entry) != status_ok) return false;
        setup_state.bytes_total += entry.uncompressed_size;
    }
    return true;
}

// Writes every entry, in index order, into target_folder. Stops at the first
// entry that cannot be described, placed or written; the entries before it
// stay.
bool copy_entries(PackageArchive* archive, int32_t count, SetupPlatform& platform) {
    SetupState& state = setup_state;
    ArchiveEntry entry{};
    for (int32_t j = 0; j < count; ++j) {
        if (archive_get_entry(archive, j, &entry) != status_ok) return false;
        if (!compose_entry_path(state.target_folder, entry.name, state.current_path)) return false;
        platform.set_progress_label(state.current_path);
        if (j == 0) {
            std::memcpy(state.first_path, state.current_path, sizeof state.first_path);
            platform.start_progress_bar();
            platform.show_progress_dialog();
            // Painted before the first byte is written.
            platform.process_pending_messages();
        }
        if (archive_extract(archive, j, state.current_path, 0, storage_file_name, report_copy_progress) !=
            status_ok)
            return false;
    }
    return true;
}

// Opens the package over the loaded resource and copies it.
void copy_package(SetupPlatform& platform) {
    SetupState& state = setup_state;
    const PackageResource package = platform.load_package();
    switch (package.lookup) {
    case PackageLookup::missing:
        fail();
        return;
    case PackageLookup::empty:
        state.package_size = 0;
        fail(IDS_UNEXPECTED_SITUATION);
        return;
    case PackageLookup::unloadable:
        platform.format_last_error(state.error_text, sizeof state.error_text);
        fail();
        return;
    case PackageLookup::found:
        break;
    }
    state.package_size = package.size;
    state.package_data = package.data;
    PackageArchive* archive = archive_open(state.package_data, state.package_size, storage_memory);
    if (!archive) {
        fail();
        return;
    }
    ArchiveEntry counted{};
    const bool counted_ok = archive_get_entry(archive, -1, &counted) == status_ok && counted.index > 0;
    set_progress_view(&platform);
    if (!counted_ok || !add_up_sizes(archive, counted.index) || !copy_entries(archive, counted.index, platform))
        fail();
    set_progress_view(nullptr);
    archive_close(archive);
}

// The copy step with its progress dialog, which exists only for this step.
void copy_with_progress(SetupPlatform& platform) {
    SetupState& state = setup_state;
    state.bytes_total = 0;
    state.bytes_done = 0;
    state.progress_window = platform.create_progress_dialog();
    if (!state.progress_window) {
        fail(IDS_OUT_OF_MEMORY);
        return;
    }
    copy_package(platform);
    platform.destroy_progress_dialog();
    state.progress_window = nullptr;
}

}  // namespace

bool compose_entry_path(const char* folder, const char* name, char* out) {
    out[0] = '\0';
    if (!is_safe_entry_name(name)) return false;
    return join_entry_path(folder, name, kPathSeparator, out, kPathCapacity);
}

void final_report(SetupPlatform& platform) {
    SetupState& state = setup_state;
    if (state.target_folder[0] == '\0') return;
    char text[kPathCapacity];
    if (state.succeeded && !state.cancelled) {
        platform.load_string(IDS_INSTALL_SUCCEEDED, text, sizeof text);
    } else {
        if (state.message_id != 0 && !state.cancelled)
            platform.load_string(state.message_id, state.error_text, sizeof state.error_text);
        if (state.error_text[0] != '\0') {
            platform.load_string(IDS_INSTALL_FAILED, text, sizeof text);
            append_text(text, sizeof text, "\n");
            append_text(text, sizeof text, state.error_text);
        } else {
            platform.load_string(IDS_INSTALL_INCOMPLETE, text, sizeof text);
        }
    }
    char caption[kPathCapacity];
    platform.load_string(IDS_SETUP_CAPTION, caption, sizeof caption);
    platform.show_final_message(text, caption);
}

bool run_setup(void* instance, SetupPlatform& platform) {
    SetupState& state = setup_state;
    state.error_text[0] = '\0';
    state.succeeded = true;
    state.instance = instance;

    if (!platform.verify_setup_checksum()) return false;
    if (!platform.run_license_dialog()) return false;

    const intptr_t folder_result = platform.run_folder_dialog();
    if (folder_result == kDialogCancelled) state.cancelled = true;
    else if (folder_result != kDialogInstall) fail(IDS_OUT_OF_MEMORY);
    else copy_with_progress(platform);

    if (state.succeeded && !state.cancelled) state.succeeded = launch_installed_program(platform);
    final_report(platform);
    return true;
}
