// Layer 4 of the reader: the object behind the public archive operations.
#pragma once

#include "package/archive.h"
#include "package/directory_reader.h"

struct PackageArchive {
    DirectoryReader* reader;
    int32_t open_index;  // entry left open by an extraction to memory; -1 when none
    ArchiveEntry cached_entry;
    int32_t cached_index;
    char root_folder[kPathCapacity];  // the current folder at opening, with a separator
};

// Positions the reader on `index` and describes the entry, as archive_get_entry
// does, refreshing the one-entry cache. `index` must be in range.
ArchiveStatus describe_entry(PackageArchive* archive, int32_t index, ArchiveEntry* entry);

// Closes the entry left open by an extraction to memory, if any.
void close_open_entry(PackageArchive* archive);
