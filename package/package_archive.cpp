#include "package/package_archive.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "package/entry_stream.h"
#include "package/format.h"

namespace {

uint32_t windows_attributes(uint32_t external) {
    uint32_t attributes = kAttributeNormal;
    if (external & (kExternalUnixDirectory | kExternalDosDirectory)) attributes |= kAttributeDirectory;
    if (external & kExternalDosArchive) attributes |= kAttributeArchive;
    if (external & kExternalDosHidden) attributes |= kAttributeHidden;
    if (!(external & kExternalUnixOwnerWrite) || (external & kExternalDosReadOnly))
        attributes |= kAttributeReadOnly;
    if (external & kExternalDosSystem) attributes |= kAttributeSystem;
    return attributes;
}

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Applies the first "UT" sub-field of a local extra field. A time is taken
// only when its four bytes lie within the field.
void apply_extended_timestamp(const uint8_t* extra, uint32_t length, ArchiveEntry* entry) {
    if (length <= 4) return;
    uint32_t position = 0;
    while (position + 4 < length) {
        const uint32_t data_size = uint32_t(extra[position + 2]) | uint32_t(extra[position + 3]) << 8;
        if (extra[position] == 'U' && extra[position + 1] == 'T') {
            const uint8_t flags = extra[position + 4];
            uint32_t at = position + 5;
            FileTime* targets[3] = {&entry->write_time, &entry->access_time, &entry->creation_time};
            const uint8_t bits[3] = {kTimestampModification, kTimestampAccess, kTimestampCreation};
            for (int i = 0; i < 3; ++i) {
                if (!(flags & bits[i])) continue;
                if (at + 4 > length) break;
                *targets[i] = unix_seconds_to_filetime(le32(extra + at));
                at += 4;
            }
            return;
        }
        position += 4 + data_size;
    }
}

}  // namespace

PackageArchive* archive_open(const void* source, uint32_t size, StorageKind kind) {
    auto* archive = new (std::nothrow) PackageArchive{};
    if (!archive) return nullptr;
    archive->open_index = -1;
    archive->cached_index = -1;
    archive->root_folder[0] = '\0';
    // The folder is needed only for directory entries without a target name;
    // a folder too long for the buffer leaves it empty (relative names).
    if (fs_current_folder(archive->root_folder, kPathCapacity - 1)) {
        const size_t length = std::strlen(archive->root_folder);
        archive->root_folder[length] = kPathSeparator;
        archive->root_folder[length + 1] = '\0';
    } else {
        archive->root_folder[0] = '\0';
    }
    ArchiveSource opened{};
    if (kind == storage_handle && !fs_is_disk_file(FileHandle(reinterpret_cast<intptr_t>(source)))) {
        delete archive;
        return nullptr;
    }
    if (!source_open(&opened, source, size, kind)) {
        delete archive;
        return nullptr;
    }
    archive->reader = reader_open(&opened);
    if (!archive->reader) {
        delete archive;
        return nullptr;
    }
    return archive;
}

void close_open_entry(PackageArchive* archive) {
    if (archive->open_index == -1) return;
    entry_close(archive->reader);
    archive->open_index = -1;
}

ArchiveStatus describe_entry(PackageArchive* archive, int32_t index, ArchiveEntry* entry) {
    if (index == archive->cached_index) {
        *entry = archive->cached_entry;
        return status_ok;
    }
    DirectoryReader* reader = archive->reader;
    if (!reader_seek_index(reader, uint32_t(index))) return status_corrupt;
    ArchiveEntry described{};
    if (!read_central_record(reader, described.name, kPathCapacity)) return status_corrupt;
    LocalExtraField extra_field{};
    if (!check_local_header(reader, &extra_field)) return status_corrupt;
    uint8_t* extra = nullptr;
    if (extra_field.length > 0) {
        extra = static_cast<uint8_t*>(std::malloc(extra_field.length));
        if (!extra) return status_read_failed;
        if (!source_seek(&reader->source, extra_field.position, seek_start) ||
            source_read(&reader->source, extra, extra_field.length, 1) != 1) {
            std::free(extra);
            return status_read_failed;
        }
    }
    const CentralRecord& record = reader->current;
    described.index = int32_t(reader->current_index);
    described.attributes = windows_attributes(record.external_attributes);
    described.compressed_size = record.compressed_size;
    described.uncompressed_size = record.uncompressed_size;
    FileTime dos_time{};
    dos_datetime_to_filetime(record.dos_datetime, &dos_time);
    described.access_time = described.creation_time = described.write_time = dos_time;
    apply_extended_timestamp(extra, extra_field.length, &described);
    std::free(extra);
    archive->cached_entry = described;
    archive->cached_index = index;
    *entry = described;
    return status_ok;
}

ArchiveStatus archive_get_entry(PackageArchive* archive, int32_t index, ArchiveEntry* entry) {
    if (!archive || !entry) return status_bad_argument;
    if (index < -1 || (index >= 0 && uint32_t(index) >= archive->reader->entry_count))
        return status_bad_argument;
    // Describing any entry abandons an extraction to memory in progress.
    close_open_entry(archive);
    if (index == -1) {
        *entry = ArchiveEntry{};
        entry->index = int32_t(archive->reader->entry_count);
        return status_ok;
    }
    return describe_entry(archive, index, entry);
}

ArchiveStatus archive_close(PackageArchive* archive) {
    if (!archive) return status_bad_argument;
    close_open_entry(archive);
    reader_close(archive->reader);
    delete archive;
    return status_ok;
}
