// Layer 3 of the reader: finds the end record, walks the central directory one
// record at a time and checks an entry's local header against its record.
#pragma once

#include <cstdint>

#include "package/archive_source.h"

struct EntryStream;

// The fourteen fixed fields of a central record after its signature.
struct CentralRecord {
    uint32_t version_made_by;
    uint32_t version_needed;
    uint32_t flags;
    uint32_t method;
    uint32_t dos_datetime;  // time in the low half, date in the high half
    uint32_t crc32;
    uint32_t compressed_size;
    uint32_t uncompressed_size;
    uint32_t name_length;
    uint32_t extra_length;
    uint32_t comment_length;
    uint32_t start_disk;
    uint32_t internal_attributes;
    uint32_t external_attributes;
};

struct DirectoryReader {
    ArchiveSource source;
    uint32_t entry_count;
    uint32_t prefix_length;
    uint32_t current_index;
    uint32_t current_offset;
    bool current_valid;
    uint32_t end_record_offset;
    uint32_t directory_size;
    uint32_t directory_offset;
    CentralRecord current;
    uint32_t current_local_offset;
    EntryStream* stream;
};

// Where a checked local header's extra field lies in the source.
struct LocalExtraField {
    uint32_t position;
    uint32_t length;
};

// Source position of the end record, or 0 when none is found.
uint32_t find_end_record(ArchiveSource* source);

// Takes over `source` (closed on refusal). Null when the archive is refused.
DirectoryReader* reader_open(ArchiveSource* source);
bool reader_first(DirectoryReader* reader);
bool reader_next(DirectoryReader* reader);
// Moves to `index`, restarting at entry 0 when it lies behind. False when a
// record on the way cannot be read.
bool reader_seek_index(DirectoryReader* reader, uint32_t index);
// Reads the record at the current offset. With a name buffer, a name shorter
// than `capacity` is read whole and terminated; a longer one fails the read
// (it would not fit with its terminator).
bool read_central_record(DirectoryReader* reader, char* name, uint32_t capacity);
bool check_local_header(DirectoryReader* reader, LocalExtraField* extra);
void reader_close(DirectoryReader* reader);
