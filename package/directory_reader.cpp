#include "package/directory_reader.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "package/entry_stream.h"
#include "package/format.h"

namespace {

constexpr uint32_t kSearchWindow = 1028;  // 1,024 new bytes + 4 overlapping the next window
constexpr uint32_t kSearchStep = 1024;

bool is_end_signature(const uint8_t* p) {
    return p[0] == 0x50 && p[1] == 0x4B && p[2] == 0x05 && p[3] == 0x06;
}

}  // namespace

uint32_t find_end_record(ArchiveSource* source) {
    if (!source_seek(source, 0, seek_end)) return 0;
    const uint32_t size = source_tell(source);
    const uint32_t covered = size < kEndRecordSearchSpan ? size : kEndRecordSearchSpan;
    auto* window = static_cast<uint8_t*>(std::malloc(kSearchWindow));
    if (!window) return 0;
    uint32_t result = 0;
    uint32_t back = 4;
    while (back < covered && result == 0) {
        back = back + kSearchStep < covered ? back + kSearchStep : covered;
        const uint32_t start = size - back;
        const uint32_t length = size - start < kSearchWindow ? size - start : kSearchWindow;
        if (!source_seek(source, start, seek_start)) break;
        if (source_read(source, window, length, 1) != 1) break;
        for (uint32_t i = length - 4 + 1; i-- > 0;) {
            if (is_end_signature(window + i)) {
                result = start + i;
                break;
            }
        }
    }
    std::free(window);
    return result;
}

DirectoryReader* reader_open(ArchiveSource* source) {
    const uint32_t end = find_end_record(source);
    uint32_t signature = 0, this_disk = 0, directory_disk = 0, entries_here = 0, entries_total = 0;
    uint32_t directory_size = 0, directory_offset = 0, comment_length = 0;
    bool ok = end != 0 && source_seek(source, end, seek_start) && read_u32(source, &signature) &&
              read_u16(source, &this_disk) && read_u16(source, &directory_disk) &&
              read_u16(source, &entries_here) && read_u16(source, &entries_total) &&
              read_u32(source, &directory_size) && read_u32(source, &directory_offset) &&
              read_u16(source, &comment_length);
    const uint64_t end_position = uint64_t(end) + source->start_offset;
    const uint64_t directory_end = uint64_t(directory_offset) + directory_size;
    ok = ok && entries_here == entries_total && this_disk == 0 && directory_disk == 0 &&
         end_position >= directory_end;
    auto* reader = ok ? new (std::nothrow) DirectoryReader{} : nullptr;
    if (!reader) {
        source_close(source);
        return nullptr;
    }
    reader->source = *source;
    reader->entry_count = entries_here;
    reader->prefix_length = uint32_t(end_position - directory_end);
    reader->source.start_offset = 0;
    reader->end_record_offset = end;
    reader->directory_size = directory_size;
    reader->directory_offset = directory_offset;
    reader->stream = nullptr;
    reader_first(reader);
    return reader;
}

bool read_central_record(DirectoryReader* reader, char* name, uint32_t capacity) {
    ArchiveSource* source = &reader->source;
    const uint64_t position = uint64_t(reader->current_offset) + reader->prefix_length;
    if (position > UINT32_MAX || !source_seek(source, int64_t(position), seek_start)) return false;
    uint32_t signature = 0;
    if (!read_u32(source, &signature) || signature != kCentralRecordSignature) return false;
    CentralRecord record{};
    uint32_t local_offset = 0;
    const bool ok =
        read_u16(source, &record.version_made_by) && read_u16(source, &record.version_needed) &&
        read_u16(source, &record.flags) && read_u16(source, &record.method) &&
        read_u32(source, &record.dos_datetime) && read_u32(source, &record.crc32) &&
        read_u32(source, &record.compressed_size) && read_u32(source, &record.uncompressed_size) &&
        read_u16(source, &record.name_length) && read_u16(source, &record.extra_length) &&
        read_u16(source, &record.comment_length) && read_u16(source, &record.start_disk) &&
        read_u16(source, &record.internal_attributes) &&
        read_u32(source, &record.external_attributes) && read_u32(source, &local_offset);
    if (!ok) return false;
    if (name) {
        // A name that would fill the buffer without its terminator is refused
        // rather than cut.
        if (record.name_length >= capacity) return false;
        if (record.name_length > 0 && source_read(source, name, record.name_length, 1) != 1)
            return false;
        name[record.name_length] = '\0';
    }
    reader->current = record;
    reader->current_local_offset = local_offset;
    return true;
}

bool reader_first(DirectoryReader* reader) {
    reader->current_offset = reader->directory_offset;
    reader->current_index = 0;
    reader->current_valid = read_central_record(reader, nullptr, 0);
    return reader->current_valid;
}

bool reader_next(DirectoryReader* reader) {
    if (!reader->current_valid || reader->current_index + 1 >= reader->entry_count) return false;
    const CentralRecord& record = reader->current;
    reader->current_offset += kCentralRecordSize + record.name_length + record.extra_length +
                              record.comment_length;
    reader->current_index += 1;
    reader->current_valid = read_central_record(reader, nullptr, 0);
    return reader->current_valid;
}

bool reader_seek_index(DirectoryReader* reader, uint32_t index) {
    if (index < reader->current_index || !reader->current_valid) {
        if (!reader_first(reader)) return false;
    }
    while (reader->current_index < index) {
        // A record that cannot be read ends the walk instead of repeating it.
        if (!reader_next(reader)) return false;
    }
    return reader->current_valid;
}

bool check_local_header(DirectoryReader* reader, LocalExtraField* extra) {
    ArchiveSource* source = &reader->source;
    const CentralRecord& record = reader->current;
    const uint64_t header = uint64_t(reader->current_local_offset) + reader->prefix_length;
    if (header > UINT32_MAX || !source_seek(source, int64_t(header), seek_start)) return false;
    uint32_t signature = 0, version = 0, flags = 0, method = 0, datetime = 0;
    uint32_t crc = 0, compressed = 0, uncompressed = 0, name_length = 0, extra_length = 0;
    if (!read_u32(source, &signature) || signature != kLocalHeaderSignature) return false;
    if (!read_u16(source, &version) || !read_u16(source, &flags)) return false;
    if (!read_u16(source, &method) || method != record.method) return false;
    if (method != kMethodStored && method != kMethodDeflate) return false;
    if (!read_u32(source, &datetime)) return false;
    if (!read_u32(source, &crc) || !read_u32(source, &compressed) ||
        !read_u32(source, &uncompressed))
        return false;
    if (!(flags & kFlagDataDescriptor) &&
        (crc != record.crc32 || compressed != record.compressed_size ||
         uncompressed != record.uncompressed_size))
        return false;
    if (!read_u16(source, &name_length) || name_length != record.name_length) return false;
    if (!read_u16(source, &extra_length)) return false;
    const uint64_t extra_position = header + kLocalHeaderSize + name_length;
    if (extra_position + extra_length > UINT32_MAX) return false;
    if (extra) {
        extra->position = uint32_t(extra_position);
        extra->length = extra_length;
    }
    return true;
}

void reader_close(DirectoryReader* reader) {
    if (!reader) return;
    entry_close(reader);
    source_close(&reader->source);
    delete reader;
}
