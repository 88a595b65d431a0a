// An entry open for reading: copies stored data or inflates deflate data in
// bounded pieces, never delivering more than the declared size, and checks
// the entry's length and CRC-32 when its end is reached.
#pragma once

#include <cstdint>

#include <zlib.h>

#include "package/directory_reader.h"
#include "package/format.h"

struct EntryStream {
    uint8_t read_buffer[kChunkSize];
    z_stream inflater;
    bool inflater_ready;
    bool stream_ended;        // the deflate stream reported its end
    uint32_t data_position;   // next compressed byte, from the archive's start
    uint32_t compressed_left;
    uint32_t uncompressed_left;
    uint32_t input_held;      // stored entries: bytes of read_buffer not yet copied
    const uint8_t* input;     // stored entries: next byte to copy
    ArchiveSource* source;
    uint32_t method;
    uint32_t prefix_length;
    uint32_t expected_crc;
    uint32_t crc;
};

// Opens the reader's current entry, closing any entry open before.
bool entry_open(DirectoryReader* reader);

// Bytes delivered into `buffer`, 0 at the end of the entry, or a negative
// value when reading or inflating fails, when the data end before the
// declared size or hold more than it, or when the CRC-32 does not match.
int32_t entry_read(DirectoryReader* reader, void* buffer, uint32_t length);

void entry_close(DirectoryReader* reader);
