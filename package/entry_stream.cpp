#include "package/entry_stream.h"

#include <cstring>
#include <new>

namespace {

constexpr int kRawDeflateWindowBits = -15;
constexpr int32_t kReadFailed = -1;
constexpr int32_t kDataMismatch = -2;  // short, long, or wrong CRC-32
constexpr uint32_t kCrcPiece = 4 * kChunkSize;

// Fills the read buffer with the next compressed bytes. False on a failed
// seek or read.
bool refill(EntryStream* stream, uint32_t* held) {
    const uint32_t n = stream->compressed_left < kChunkSize ? stream->compressed_left : kChunkSize;
    const uint64_t position = uint64_t(stream->data_position) + stream->prefix_length;
    if (position > UINT32_MAX || !source_seek(stream->source, int64_t(position), seek_start))
        return false;
    if (source_read(stream->source, stream->read_buffer, n, 1) != 1) return false;
    stream->data_position += n;
    stream->compressed_left -= n;
    *held = n;
    return true;
}

// After the declared size has been delivered, a deflate stream must end
// there: one more byte of output means it holds more than it declared.
bool deflate_ends_here(EntryStream* stream) {
    uint8_t extra = 0;
    while (!stream->stream_ended) {
        if (stream->inflater.avail_in == 0 && stream->compressed_left > 0) {
            uint32_t held = 0;
            if (!refill(stream, &held)) return false;
            stream->inflater.next_in = stream->read_buffer;
            stream->inflater.avail_in = held;
        }
        stream->inflater.next_out = &extra;
        stream->inflater.avail_out = 1;
        const int result = inflate(&stream->inflater, Z_SYNC_FLUSH);
        if (stream->inflater.avail_out == 0) return false;  // more data than declared
        if (result == Z_STREAM_END) stream->stream_ended = true;
        else if (result != Z_OK) return false;               // damaged, or cut short
    }
    return true;
}

}  // namespace

bool entry_open(DirectoryReader* reader) {
    if (!reader->current_valid) return false;
    entry_close(reader);
    LocalExtraField extra{};
    if (!check_local_header(reader, &extra)) return false;
    auto* stream = new (std::nothrow) EntryStream;
    if (!stream) return false;
    std::memset(&stream->inflater, 0, sizeof stream->inflater);
    const CentralRecord& record = reader->current;
    stream->inflater_ready = false;
    stream->stream_ended = false;
    stream->method = record.method;
    if (stream->method == kMethodDeflate)
        stream->inflater_ready = inflateInit2(&stream->inflater, kRawDeflateWindowBits) == Z_OK;
    stream->compressed_left = record.compressed_size;
    stream->uncompressed_left = record.uncompressed_size;
    stream->data_position = extra.position - reader->prefix_length + extra.length;
    stream->input_held = 0;
    stream->input = stream->read_buffer;
    stream->source = &reader->source;
    stream->prefix_length = reader->prefix_length;
    stream->expected_crc = record.crc32;
    stream->crc = crc32(0, nullptr, 0);
    reader->stream = stream;
    return true;
}

int32_t entry_read(DirectoryReader* reader, void* buffer, uint32_t length) {
    EntryStream* stream = reader->stream;
    if (!stream) return kReadFailed;
    if (length == 0 || stream->uncompressed_left == 0) return 0;
    if (stream->method == kMethodDeflate && !stream->inflater_ready) return kReadFailed;
    // Counts are signed 32-bit: deliver at most 2 GB per call.
    if (length > uint32_t(INT32_MAX)) length = uint32_t(INT32_MAX);
    const uint32_t room_total = length < stream->uncompressed_left ? length : stream->uncompressed_left;
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t count = 0;
    while (count < room_total) {
        // Pieces small enough to stay in cache while their CRC-32 is taken.
        const uint32_t room = room_total - count < kCrcPiece ? room_total - count : kCrcPiece;
        uint32_t produced = 0;
        if (stream->method == kMethodStored) {
            if (stream->input_held == 0) {
                if (stream->compressed_left == 0) return kDataMismatch;  // data run out
                if (!refill(stream, &stream->input_held)) return kReadFailed;
                stream->input = stream->read_buffer;
            }
            produced = room < stream->input_held ? room : stream->input_held;
            std::memcpy(out + count, stream->input, produced);
            stream->input += produced;
            stream->input_held -= produced;
        } else {
            z_stream& z = stream->inflater;
            if (stream->stream_ended) return kDataMismatch;  // ended before the declared size
            if (z.avail_in == 0 && stream->compressed_left > 0) {
                uint32_t held = 0;
                if (!refill(stream, &held)) return kReadFailed;
                z.next_in = stream->read_buffer;
                z.avail_in = held;
            }
            z.next_out = out + count;
            z.avail_out = room;
            const int result = inflate(&z, Z_SYNC_FLUSH);
            produced = room - z.avail_out;
            if (result == Z_STREAM_END) stream->stream_ended = true;
            else if (result != Z_OK) return result < 0 ? result : kReadFailed;  // Z_NEED_DICT too
        }
        stream->crc = uint32_t(crc32(stream->crc, out + count, produced));
        stream->uncompressed_left -= produced;
        count += produced;
    }
    if (stream->uncompressed_left == 0) {
        if (stream->method == kMethodDeflate && !deflate_ends_here(stream)) return kDataMismatch;
        if (stream->crc != stream->expected_crc) return kDataMismatch;
    }
    return int32_t(count);
}

void entry_close(DirectoryReader* reader) {
    EntryStream* stream = reader->stream;
    if (!stream) return;
    if (stream->inflater_ready) inflateEnd(&stream->inflater);
    delete stream;
    reader->stream = nullptr;
}
