// setuppack list PKG: one line per entry (sizes, attributes, write time in
// UTC, name) and the totals.
#include "tools/setuppack_common.h"

namespace {

// The attribute letters in a fixed order: folder, read-only, hidden, system,
// archive; '-' where a bit is clear.
void attribute_letters(uint32_t attributes, char* out) {
    const struct {
        uint32_t bit;
        char letter;
    } kLetters[] = {{kAttributeDirectory, 'D'}, {kAttributeReadOnly, 'R'}, {kAttributeHidden, 'H'},
                    {kAttributeSystem, 'S'},    {kAttributeArchive, 'A'}};
    int at = 0;
    for (const auto& letter : kLetters) out[at++] = attributes & letter.bit ? letter.letter : '-';
    out[at] = '\0';
}

}  // namespace

int command_list(int argc, char** argv) {
    if (argc != 1) {
        print_error("list needs exactly one PKG");
        return kExitBadInput;
    }
    OpenPackage opened;
    if (!open_package(argv[0], &opened)) return kExitBadInput;
    PackageArchive* archive = opened.archive;
    ArchiveEntry count{};
    archive_get_entry(archive, -1, &count);

    std::printf("    Length  Compressed  Attributes        Date       Time      Name\n");
    std::printf("----------  ----------  ----------------  ---------- --------  ----\n");
    uint64_t total = 0;
    uint64_t compressed = 0;
    for (int32_t index = 0; index < count.index; ++index) {
        ArchiveEntry entry{};
        const ArchiveStatus status = archive_get_entry(archive, index, &entry);
        if (status != status_ok) {
            print_error("%s: entry %d: %s (status 0x%X)", argv[0], index, archive_status_text(status),
                        unsigned(status));
            close_package(&opened);
            return kExitFailed;
        }
        char letters[8];
        char when[kTimeTextCapacity];
        attribute_letters(entry.attributes, letters);
        format_file_time(entry.write_time, when);
        std::printf("%10u  %10u  0x%08X %s  %s  %s\n", entry.uncompressed_size,
                    entry.compressed_size, entry.attributes, letters, when,
                    shown_name(entry.name).c_str());
        total += entry.uncompressed_size;
        compressed += entry.compressed_size;
    }
    std::printf("----------  ----------                                         -------\n");
    std::printf("%10llu  %10llu                                         %d %s\n",
                (unsigned long long)total, (unsigned long long)compressed, count.index,
                count.index == 1 ? "entry" : "entries");
    close_package(&opened);
    return kExitOk;
}
