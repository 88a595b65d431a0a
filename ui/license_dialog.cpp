#include "ui/license_dialog.h"

#include <cstdlib>
#include <cstring>

#include "package/archive.h"
#include "ui/dialog_ids.h"
#include "ui/resources/resource_ids.h"

LicenseStream license_stream = {nullptr, 0, 0};

namespace {

constexpr int32_t kLargestText = 0x7FFFFFFF;

// Index of the first entry named kLicenseEntryName; -1 when there is none.
// An entry that cannot be described is passed over.
int32_t find_license_entry(PackageArchive* archive, uint32_t* size) {
    ArchiveEntry entry{};
    if (archive_get_entry(archive, -1, &entry) != status_ok || entry.index <= 0) return -1;
    const int32_t count = entry.index;
    for (int32_t i = 0; i < count; ++i) {
        if (archive_get_entry(archive, i, &entry) != status_ok) continue;
        if (std::strcmp(entry.name, kLicenseEntryName) == 0) {
            *size = entry.uncompressed_size;
            return i;
        }
    }
    return -1;
}

}  // namespace

bool fill_license_stream(const void* package, uint32_t package_size) {
    license_stream = {nullptr, 0, 0};
    if (!package || package_size == 0) return false;
    PackageArchive* archive = archive_open(package, package_size, storage_memory);
    if (!archive) return false;
    uint32_t size = 0;
    const int32_t index = find_license_entry(archive, &size);
    // Zeroed, so a short extraction leaves zeros, not stale heap; one byte
    // at least, so an empty text still has a buffer and streams as empty.
    uint8_t* data = index >= 0 && size <= uint32_t(kLargestText)
                        ? static_cast<uint8_t*>(std::calloc(size ? size : 1, 1))
                        : nullptr;
    if (data) {
        // Reading a whole entry into a buffer of its size reports
        // status_more; a failed read leaves the rest zeroed. Neither is
        // reported: the user still sees what could be read.
        archive_extract(archive, index, data, size, storage_memory, nullptr);
        license_stream = {data, int32_t(size), 0};
    }
    archive_close(archive);
    return data != nullptr;
}

void free_license_stream() {
    std::free(license_stream.data);
    license_stream.data = nullptr;
}

uint32_t license_stream_read(uintptr_t, uint8_t* buffer, int32_t requested, int32_t* delivered) {
    if (!buffer || !delivered) return 1;
    int32_t n = requested;
    const int32_t left = license_stream.size - license_stream.position;
    if (left < n) n = left;
    if (n < 0) n = 0;
    if (n > 0) std::memcpy(buffer, license_stream.data + license_stream.position, size_t(n));
    *delivered = n;
    license_stream.position += n;
    return 0;
}

bool run_license_dialog(LicenseRunner& runner) {
    if (!runner.load_rich_edit()) return true;
    const intptr_t result = runner.show_license_dialog();
    runner.free_rich_edit();
    return result == kButtonOk;
}

intptr_t license_dialog_init(LicenseDialogHost& host) {
    host.set_small_icon();
    host.enable_agree(false);
    host.load_license_text();
    return kNotHandled;
}

intptr_t license_dialog_command(LicenseDialogHost& host, int id) {
    switch (id) {
    case kButtonOk:
    case kButtonCancel:
        free_license_stream();
        host.end_dialog(id);
        return kHandled;
    case IDC_LICENSE_ACCEPT:
        host.enable_agree(host.is_agreement_ticked());
        return kNotHandled;
    default:
        return kNotHandled;
    }
}
