#include <cstdlib>
#include <cstring>

#include "package/archive.h"
#include "package/entry_stream.h"
#include "package/file_system.h"
#include "package/folder_path.h"
#include "package/package_archive.h"

namespace {

bool index_in_range(const PackageArchive* archive, int32_t index) {
    return index >= 0 && uint32_t(index) < archive->reader->entry_count;
}

ArchiveStatus extract_to_memory(PackageArchive* archive, int32_t index, void* buffer,
                                uint32_t capacity) {
    DirectoryReader* reader = archive->reader;
    if (index != archive->open_index) {
        close_open_entry(archive);
        // A failed open shows up as a failed read below.
        if (reader_seek_index(reader, uint32_t(index))) entry_open(reader);
        archive->open_index = index;
    }
    const int32_t n = buffer || capacity == 0 ? entry_read(reader, buffer, capacity) : -1;
    if (n > 0) return status_more;
    close_open_entry(archive);
    return n < 0 ? status_inflate_failed : status_ok;
}

// Creates the folder part of `path` (up to and including its last separator).
void create_parent_folders(const char* path) {
    char folder[kPathCapacity];
    if (!folder_part(path, folder, sizeof folder)) return;
    create_folder_path(folder);
}

ArchiveStatus copy_entry(DirectoryReader* reader, FileHandle output, ProgressCallback progress,
                         bool* copied) {
    *copied = false;
    auto* chunk = static_cast<uint8_t*>(std::malloc(kChunkSize));
    if (!chunk) return status_write_failed;
    bool failed = !entry_open(reader);
    while (!failed) {
        const int32_t n = entry_read(reader, chunk, kChunkSize);
        if (n < 0) failed = true;
        if (n <= 0) break;
        uint32_t written = uint32_t(n);
        if (fs_write(output, chunk, written) != n) {
            failed = true;
            break;
        }
        if (progress) progress(&written);
    }
    std::free(chunk);
    entry_close(reader);
    *copied = !failed;
    return failed ? status_write_failed : status_ok;
}

}  // namespace

ArchiveStatus archive_extract(PackageArchive* archive, int32_t index, void* target, uint32_t size,
                              StorageKind kind, ProgressCallback progress) {
    if (!archive) return status_bad_argument;
    if (kind != storage_handle && kind != storage_file_name && kind != storage_memory)
        return status_bad_argument;
    const bool continuing = kind == storage_memory && archive->open_index != -1 &&
                            index == archive->open_index;
    if (!continuing && !index_in_range(archive, index)) return status_bad_argument;
    if (kind == storage_memory) return extract_to_memory(archive, index, target, size);

    close_open_entry(archive);
    DirectoryReader* reader = archive->reader;
    ArchiveEntry entry{};
    if (!reader_seek_index(reader, uint32_t(index))) return status_corrupt;
    // Never go on with an unset description: its status says why.
    const ArchiveStatus described = describe_entry(archive, index, &entry);
    if (described != status_ok) return described;

    const char* name = static_cast<const char*>(target);
    const bool has_target_name = kind == storage_file_name && name && name[0] != '\0';
    if (entry.attributes & kAttributeDirectory) {
        if (kind == storage_handle) return status_ok;
        // The folder lands at the target name; the current folder is used
        // only when no target name is given.
        const char* base = has_target_name ? "" : archive->root_folder;
        const char* rest = has_target_name ? name : entry.name;
        char folder[kPathCapacity];
        if (std::strlen(base) + std::strlen(rest) + 1 > sizeof folder) return status_create_failed;
        std::strcpy(folder, base);
        std::strcat(folder, rest);
        create_folder_path(folder);
        return status_ok;
    }

    FileHandle output = kInvalidFile;
    if (kind == storage_handle) {
        output = FileHandle(reinterpret_cast<intptr_t>(target));
    } else {
        const char* output_name = entry.name;
        if (has_target_name) {
            output_name = name;
            create_parent_folders(name);
        }
        output = fs_create_for_writing(output_name);
    }
    if (output == kInvalidFile) return status_create_failed;

    bool copied = false;
    ArchiveStatus status = copy_entry(reader, output, progress, &copied);
    if (copied && fs_is_disk_file(output)) {
        fs_set_times(output, entry.creation_time, entry.access_time, entry.write_time);
    }
    if (kind == storage_file_name) fs_close(output);
    return status;
}
