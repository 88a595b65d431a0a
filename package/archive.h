// The package archive: opens a package (from memory, a file name or an open
// file handle), describes its entries and extracts them to files, handles or
// memory. Every failure is a status value; nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/file_time.h"

// Paths, names and message texts are 260 bytes wide: at most 259 bytes of text.
constexpr size_t kPathCapacity = 260;

// The kind of a source (archive_open) or a target (archive_extract).
enum StorageKind : int32_t {
    storage_handle = 1,     // an open OS file handle (a POSIX descriptor or a Win32 HANDLE)
    storage_file_name = 2,  // a zero-terminated file name
    storage_memory = 3,     // a memory block and its length, or a buffer and its capacity
};

enum ArchiveStatus : uint32_t {
    status_ok = 0,
    status_create_failed = 0x200,
    status_write_failed = 0x400,
    status_more = 0x600,  // bytes delivered to memory; the entry stays open
    status_corrupt = 0x700,
    status_read_failed = 0x800,
    status_bad_argument = 0x10000,
    status_inflate_failed = 0x5000000,
};

// True for status_ok and status_more, the two values that are not failures.
inline bool status_succeeded(ArchiveStatus status) {
    return status == status_ok || status == status_more;
}

// Windows file-attribute bits, as the entries report them.
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeHidden = 0x02;
constexpr uint32_t kAttributeSystem = 0x04;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;
constexpr uint32_t kAttributeNormal = 0x80;

// The description of one entry; for index -1, `index` holds the entry count.
struct ArchiveEntry {
    int32_t index;
    char name[kPathCapacity];
    uint32_t attributes;
    FileTime access_time;
    FileTime creation_time;
    FileTime write_time;
    uint32_t compressed_size;
    uint32_t uncompressed_size;
};

// Called after each chunk written to a file or handle target with the address
// of the number of bytes that chunk wrote. The returned value is not used.
using ProgressCallback = int32_t (*)(uint32_t* count);

struct PackageArchive;

// `source` is the memory block, the file name, or the OS handle value cast to
// a pointer; `size` is the block's length for storage_memory. Null on failure.
PackageArchive* archive_open(const void* source, uint32_t size, StorageKind kind);

// Describes entry `index` (-1: the entry count) into `entry`.
ArchiveStatus archive_get_entry(PackageArchive* archive, int32_t index, ArchiveEntry* entry);

// Extracts entry `index` to `target`: a file name, an OS handle value, or a
// buffer of `size` bytes for storage_memory. `progress` may be null and is
// only used for file and handle targets.
ArchiveStatus archive_extract(PackageArchive* archive, int32_t index, void* target, uint32_t size,
                              StorageKind kind, ProgressCallback progress);

// Frees the archive and everything it holds.
ArchiveStatus archive_close(PackageArchive* archive);

// Creates `path` and every missing folder above it. The string is writable:
// the walk ends it early for a moment and restores it. Nonzero on success.
int32_t create_folder_path(char* path);
