// Layers 1 and 2 of the reader: uniform seek, tell and read over an OS file
// handle, a file opened by name, or a memory block; little-endian fields.
#pragma once

#include <cstdint>

#include "package/archive.h"
#include "package/file_system.h"

struct ArchiveSource {
    bool is_handle;      // handle and file-name kinds
    bool seekable;       // handle kinds: a disk file; memory: always
    FileHandle handle;   // the source's own handle, closed with it
    bool read_failed;    // a platform read failed
    uint32_t start_offset;
    const uint8_t* block;
    uint32_t length;
    uint32_t position;
};

bool source_open(ArchiveSource* source, const void* data, uint32_t size, StorageKind kind);
bool source_seek(ArchiveSource* source, int64_t offset, SeekOrigin origin);
uint32_t source_tell(const ArchiveSource* source);
// Whole items delivered: bytes delivered divided by `item_size`.
uint32_t source_read(ArchiveSource* source, void* buffer, uint32_t item_size, uint32_t count);
void source_close(ArchiveSource* source);

// Little-endian fields. A field that runs past the end of the source reads
// as 0 and is reported as success: the signature and offset checks that
// follow refuse what is short. Only a failed platform read fails.
bool read_u8(ArchiveSource* source, uint32_t* value);
bool read_u16(ArchiveSource* source, uint32_t* value);
bool read_u32(ArchiveSource* source, uint32_t* value);
