// Feeds arbitrary bytes to the archive reader: open, count, describe and
// extract every entry to memory. Nothing may crash, hang or read outside the
// block.
#include <cstdint>
#include <cstring>
#include <memory>

#include "package/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    // An exactly sized copy, so that a read past the end is caught.
    std::unique_ptr<uint8_t[]> block(new uint8_t[size]);
    if (size) std::memcpy(block.get(), data, size);
    PackageArchive* archive = archive_open(block.get(), uint32_t(size), storage_memory);
    if (!archive) return 0;
    ArchiveEntry entry{};
    if (archive_get_entry(archive, -1, &entry) == status_ok) {
        const int32_t count = entry.index;
        uint8_t buffer[4096];
        for (int32_t i = 0; i < count && i < 64; ++i) {
            if (archive_get_entry(archive, i, &entry) != status_ok) continue;
            if (std::memchr(entry.name, 0, kPathCapacity) == nullptr) __builtin_trap();
            // Bounded work per entry: a declared size of 4 GB must not take forever.
            for (int piece = 0; piece < 256; ++piece) {
                const ArchiveStatus status =
                    archive_extract(archive, i, buffer, sizeof buffer, storage_memory, nullptr);
                if (status != status_more) break;
            }
        }
        // Going back restarts the walk; the cache answers a repeat.
        if (count > 0) {
            archive_get_entry(archive, count - 1, &entry);
            archive_get_entry(archive, 0, &entry);
            archive_get_entry(archive, 0, &entry);
        }
    }
    archive_close(archive);
    return 0;
}
