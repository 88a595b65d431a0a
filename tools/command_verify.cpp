// setuppack verify PKG: reads every entry to its end through extraction to
// memory (the reader checks each entry's length and CRC-32 at its end), and
// checks the CRC-32 of the bytes delivered against the recorded one itself,
// so that its verdict does not rest on the reader's own check alone.
#include <zlib.h>

#include "package/format.h"
#include "package/package_archive.h"
#include "tools/setuppack_common.h"

namespace {

struct EntryCheck {
    ArchiveStatus status = status_ok;
    const char* problem = nullptr;  // null when the entry is sound
    uint32_t crc = 0;
};

// The CRC-32 the central directory records for the entry just described. The
// public description carries no CRC-32, so it comes from the reader's current
// record, which describing an entry positions on that entry.
bool recorded_crc(const PackageArchive* archive, int32_t index, uint32_t* crc) {
    const DirectoryReader* reader = archive->reader;
    if (!reader || !reader->current_valid || reader->current_index != uint32_t(index)) return false;
    *crc = reader->current.crc32;
    return true;
}

// Extraction to memory delivers full buffers until the last piece, then
// status_ok; each status_more therefore stands for min(buffer, bytes left).
EntryCheck read_entry(PackageArchive* archive, const ArchiveEntry& entry) {
    EntryCheck check;
    static uint8_t buffer[kChunkSize];
    uint32_t left = entry.uncompressed_size;
    uint32_t crc = uint32_t(crc32(0, nullptr, 0));
    for (;;) {
        check.status =
            archive_extract(archive, entry.index, buffer, sizeof buffer, storage_memory, nullptr);
        if (check.status != status_more) break;
        if (left == 0) {
            // Delivered more than its declared size: stop rather than loop.
            check.problem = "more data than its declared size";
            return check;
        }
        const uint32_t n = left < sizeof buffer ? left : uint32_t(sizeof buffer);
        crc = uint32_t(crc32(crc, buffer, n));
        left -= n;
    }
    check.crc = crc;
    if (check.status != status_ok) check.problem = archive_status_text(check.status);
    else if (left != 0) check.problem = "data end before its declared size";
    return check;
}

EntryCheck check_entry(PackageArchive* archive, int32_t index, ArchiveEntry* entry) {
    EntryCheck check;
    check.status = archive_get_entry(archive, index, entry);
    if (check.status != status_ok) {
        check.problem = archive_status_text(check.status);
        return check;
    }
    uint32_t recorded = 0;
    if (!recorded_crc(archive, index, &recorded)) {
        check.problem = "central directory record unreadable";
        return check;
    }
    check = read_entry(archive, *entry);
    if (!check.problem && check.crc != recorded) check.problem = "CRC-32 does not match";
    return check;
}

}  // namespace

int command_verify(int argc, char** argv) {
    if (argc != 1) {
        print_error("verify needs exactly one PKG");
        return kExitBadInput;
    }
    const char* package = argv[0];
    OpenPackage opened;
    if (!open_package(package, &opened)) return kExitBadInput;
    PackageArchive* archive = opened.archive;
    ArchiveEntry count{};
    archive_get_entry(archive, -1, &count);

    int32_t damaged = 0;
    for (int32_t index = 0; index < count.index; ++index) {
        ArchiveEntry entry{};
        const EntryCheck check = check_entry(archive, index, &entry);
        if (check.problem) {
            ++damaged;
            // A description that failed leaves the name unknown.
            if (entry.name[0] != '\0')
                std::printf("DAMAGED  entry %d (%s): %s", index, shown_name(entry.name).c_str(),
                            check.problem);
            else
                std::printf("DAMAGED  entry %d: %s", index, check.problem);
            if (check.status != status_ok) std::printf(" (status 0x%X)", unsigned(check.status));
            std::printf("\n");
            continue;
        }
        std::printf("ok       %08X %10u  %s\n", check.crc, entry.uncompressed_size,
                    shown_name(entry.name).c_str());
    }
    close_package(&opened);
    if (damaged > 0) {
        print_error("%s: %d of %d entries damaged", package, damaged, count.index);
        return kExitFailed;
    }
    std::printf("%s: %d %s, all sound\n", package, count.index,
                count.index == 1 ? "entry" : "entries");
    return kExitOk;
}
