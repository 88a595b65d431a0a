#include "package/archive_source.h"

#include <cstring>

namespace {

void set_handle_position(ArchiveSource* source) {
    source->seekable = fs_is_disk_file(source->handle);
    source->start_offset = 0;
    uint64_t position = 0;
    if (source->seekable && fs_seek(source->handle, 0, seek_current, &position))
        source->start_offset = uint32_t(position);
}

}  // namespace

bool source_open(ArchiveSource* source, const void* data, uint32_t size, StorageKind kind) {
    *source = ArchiveSource{};
    source->handle = kInvalidFile;
    switch (kind) {
        case storage_handle:
            source->handle = fs_duplicate_handle(FileHandle(reinterpret_cast<intptr_t>(data)));
            if (source->handle == kInvalidFile) return false;
            source->is_handle = true;
            set_handle_position(source);
            return true;
        case storage_file_name:
            if (!data) return false;
            source->handle = fs_open_for_reading(static_cast<const char*>(data));
            if (source->handle == kInvalidFile) return false;
            source->is_handle = true;
            set_handle_position(source);
            return true;
        case storage_memory:
            source->block = static_cast<const uint8_t*>(data);
            source->length = data ? size : 0;
            source->seekable = true;
            return true;
    }
    return false;
}

bool source_seek(ArchiveSource* source, int64_t offset, SeekOrigin origin) {
    if (source->is_handle) {
        if (!source->seekable) return false;
        switch (origin) {
            case seek_start:
                return fs_seek(source->handle, int64_t(source->start_offset) + offset, seek_start,
                               nullptr);
            case seek_current:
            case seek_end:
                return fs_seek(source->handle, offset, origin, nullptr);
        }
        return false;
    }
    // Memory positions are 32-bit and may lie past the end; reads there
    // deliver nothing.
    switch (origin) {
        case seek_start: source->position = uint32_t(offset); break;
        case seek_current: source->position += uint32_t(offset); break;
        case seek_end: source->position = source->length + uint32_t(offset); break;
    }
    return true;
}

uint32_t source_tell(const ArchiveSource* source) {
    if (!source->is_handle) return source->position;
    if (!source->seekable) return 0;
    uint64_t position = 0;
    if (!fs_seek(source->handle, 0, seek_current, &position)) return 0;
    return uint32_t(position - source->start_offset);
}

uint32_t source_read(ArchiveSource* source, void* buffer, uint32_t item_size, uint32_t count) {
    if (item_size == 0) return 0;
    const uint64_t wanted64 = uint64_t(item_size) * count;
    if (wanted64 > UINT32_MAX) return 0;
    const uint32_t wanted = uint32_t(wanted64);
    if (source->is_handle) {
        uint32_t delivered = 0;
        auto* out = static_cast<uint8_t*>(buffer);
        // A disk file may deliver less than asked only at its end; loop for
        // pipes and interrupted reads.
        while (delivered < wanted) {
            const int32_t got = fs_read(source->handle, out + delivered, wanted - delivered);
            if (got < 0) {
                source->read_failed = true;
                break;
            }
            if (got == 0) break;
            delivered += uint32_t(got);
        }
        return delivered / item_size;
    }
    if (source->position >= source->length) return 0;
    uint32_t available = source->length - source->position;
    const uint32_t n = wanted < available ? wanted : available;
    std::memcpy(buffer, source->block + source->position, n);
    source->position += n;
    return n / item_size;
}

void source_close(ArchiveSource* source) {
    if (source->is_handle && source->handle != kInvalidFile) fs_close(source->handle);
    source->handle = kInvalidFile;
    source->is_handle = false;
    source->block = nullptr;
    source->length = 0;
    source->position = 0;
}

namespace {

// Reads `width` bytes little-endian. A field cut by the end of the source
// reads as 0 and is not a failure; only a failed platform read is.
bool read_field(ArchiveSource* source, uint32_t width, uint32_t* value) {
    uint8_t bytes[4] = {};
    *value = 0;
    const uint32_t got = source_read(source, bytes, 1, width);
    if (got < width) return !source->read_failed;
    for (uint32_t i = width; i-- > 0;) *value = *value << 8 | bytes[i];
    return true;
}

}  // namespace

bool read_u8(ArchiveSource* source, uint32_t* value) { return read_field(source, 1, value); }

bool read_u16(ArchiveSource* source, uint32_t* value) { return read_field(source, 2, value); }

bool read_u32(ArchiveSource* source, uint32_t* value) { return read_field(source, 4, value); }
