#include "tools/package_writer.h"

#include <sys/types.h>
#include <zlib.h>

namespace {

void put16(Bytes& out, uint32_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void put32(Bytes& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void put_bytes(Bytes& out, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

void put_subfield_header(Bytes& out, uint16_t id, uint16_t size) {
    put16(out, id);
    put16(out, size);
}

// Raw deflate: no zlib header or trailer, 32 KB window.
bool begin_raw_deflate(z_stream* z, int level) {
    return deflateInit2(z, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) == Z_OK;
}

// Offset of the CRC-32 in a local header; the two sizes follow it.
constexpr uint32_t kLocalCrcOffset = 14;

void put_local_header(Bytes& out, uint32_t signature, const WriterEntry& entry,
                      const WrittenRecord& record) {
    put32(out, signature);
    put16(out, entry.version_needed);
    put16(out, entry.flags);
    put16(out, entry.method);
    put32(out, entry.dos_datetime);
    put32(out, record.crc);
    put32(out, record.compressed_size);
    put32(out, record.uncompressed_size);
    put16(out, uint32_t(entry.name.size()));
    put16(out, uint32_t(entry.local_extra.size()));
    put_bytes(out, entry.name.data(), entry.name.size());
    put_bytes(out, entry.local_extra.data(), entry.local_extra.size());
}

void put_central_record(Bytes& out, const WriterEntry& entry, const WrittenRecord& record) {
    put32(out, kCentralRecordSignature);
    put16(out, entry.version_made_by);
    put16(out, entry.version_needed);
    put16(out, entry.flags);
    put16(out, entry.method);
    put32(out, entry.dos_datetime);
    put32(out, record.crc);
    put32(out, record.compressed_size);
    put32(out, record.uncompressed_size);
    put16(out, uint32_t(entry.name.size()));
    put16(out, uint32_t(entry.central_extra.size()));
    put16(out, uint32_t(entry.comment.size()));
    put16(out, 0);  // starting disk
    put16(out, 0);  // internal attributes
    put32(out, entry.external_attributes);
    put32(out, record.local_offset);
    put_bytes(out, entry.name.data(), entry.name.size());
    put_bytes(out, entry.central_extra.data(), entry.central_extra.size());
    put_bytes(out, entry.comment.data(), entry.comment.size());
}

void put_end_record(Bytes& out, uint32_t count, uint32_t directory_size, uint32_t directory_offset,
                    const std::string& comment) {
    put32(out, kEndRecordSignature);
    put16(out, 0);  // this disk
    put16(out, 0);  // disk of the central directory
    put16(out, count);
    put16(out, count);
    put32(out, directory_size);
    put32(out, directory_offset);
    put16(out, uint32_t(comment.size()));
    put_bytes(out, comment.data(), comment.size());
}

}  // namespace

Bytes extended_timestamp_local(uint32_t modification, uint32_t access, uint32_t creation) {
    Bytes out;
    put_subfield_header(out, kExtendedTimestampId, 13);
    out.push_back(kTimestampModification | kTimestampAccess | kTimestampCreation);
    put32(out, modification);
    put32(out, access);
    put32(out, creation);
    return out;
}

Bytes extended_timestamp_central(uint32_t modification) {
    Bytes out;
    put_subfield_header(out, kExtendedTimestampId, 5);
    out.push_back(kTimestampModification | kTimestampAccess | kTimestampCreation);
    put32(out, modification);
    return out;
}

Bytes deflate_raw(const Bytes& contents, int level) {
    z_stream z{};
    if (!begin_raw_deflate(&z, level)) return {};
    Bytes out(deflateBound(&z, uLong(contents.size())));
    z.next_in = const_cast<Bytes::value_type*>(contents.data());
    z.avail_in = uInt(contents.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return result == Z_STREAM_END ? out : Bytes{};
}

Bytes write_package(const std::vector<WriterEntry>& entries, const WriterOptions& options,
                    PackageLayout* layout) {
    PackageLayout where;
    Bytes archive;
    std::vector<WrittenRecord> written;
    for (const WriterEntry& entry : entries) {
        Bytes data = entry.stored_data ? *entry.stored_data
                     : entry.method == kMethodDeflate ? deflate_raw(entry.contents, entry.level)
                                                      : entry.contents;
        WrittenRecord record{};
        record.crc = entry.declared_crc
                         ? *entry.declared_crc
                         : uint32_t(crc32(0, entry.contents.data(), uInt(entry.contents.size())));
        record.uncompressed_size = entry.declared_uncompressed_size
                                       ? *entry.declared_uncompressed_size
                                       : uint32_t(entry.contents.size());
        record.compressed_size = uint32_t(data.size());
        record.local_offset = uint32_t(archive.size());
        where.local_offsets.push_back(record.local_offset);
        put_local_header(archive, options.local_signature, entry, record);
        put_bytes(archive, data.data(), data.size());
        written.push_back(record);
    }
    where.central_offset = uint32_t(archive.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        where.central_offsets.push_back(uint32_t(archive.size()));
        put_central_record(archive, entries[i], written[i]);
    }
    const uint32_t directory_size = uint32_t(archive.size()) - where.central_offset;
    where.end_offset = uint32_t(archive.size());
    put_end_record(archive, uint32_t(entries.size()), directory_size, where.central_offset,
                   options.comment);

    if (!options.prefix.empty()) {
        const uint32_t shift = uint32_t(options.prefix.size());
        archive.insert(archive.begin(), options.prefix.begin(), options.prefix.end());
        for (uint32_t& offset : where.local_offsets) offset += shift;
        for (uint32_t& offset : where.central_offsets) offset += shift;
        where.central_offset += shift;
        where.end_offset += shift;
    }
    if (layout) *layout = where;
    return archive;
}

// --- Streaming to a file ---

namespace {

constexpr uint32_t kStreamPiece = kChunkSize;

bool within_limit(const PackageStream* stream, uint64_t more) {
    return stream->prefix_size + stream->offset + more <= stream->size_limit;
}

// Appends bytes to the archive, refusing to pass the size limit.
PackageWriteStatus emit(PackageStream* stream, const void* data, size_t size) {
    if (!within_limit(stream, size)) return write_too_large;
    if (size > 0 && std::fwrite(data, 1, size, stream->output) != size) return write_output_failed;
    stream->offset += size;
    return write_ok;
}

// A raw deflater at `level` in its initial state: the stream's own, reset,
// or a new one for another level.
bool ready_deflater(PackageStream* stream, int level) {
    if (stream->deflater && stream->deflater_level == level)
        return deflateReset(stream->deflater.get()) == Z_OK;
    stream->deflater.reset();
    auto* z = new z_stream{};
    if (!begin_raw_deflate(z, level)) {
        delete z;
        return false;
    }
    stream->deflater.reset(z, [](z_stream* ended) {
        deflateEnd(ended);
        delete ended;
    });
    stream->deflater_level = level;
    return true;
}

// Copies or deflates `contents` into the archive, counting the CRC-32 and
// both sizes as it goes.
PackageWriteStatus emit_data(PackageStream* stream, const WriterEntry& entry, std::FILE* contents,
                             WrittenRecord* record) {
    const bool deflating = entry.method == kMethodDeflate;
    if (deflating && !ready_deflater(stream, entry.level)) return write_deflate_failed;
    z_stream* z = deflating ? stream->deflater.get() : nullptr;
    uint8_t input[kStreamPiece];
    uint8_t output[kStreamPiece];
    uint64_t uncompressed = 0;
    uint64_t compressed = 0;
    uint32_t crc = uint32_t(crc32(0, nullptr, 0));
    PackageWriteStatus status = write_ok;
    bool at_end = contents == nullptr;
    while (status == write_ok) {
        size_t n = 0;
        if (!at_end) {
            n = std::fread(input, 1, sizeof input, contents);
            if (std::ferror(contents)) {
                status = write_read_failed;
                break;
            }
            at_end = n < sizeof input;
            uncompressed += n;
            if (uncompressed > kMaxEntrySize) {
                status = write_too_large;
                break;
            }
            crc = uint32_t(crc32(crc, input, uInt(n)));
        }
        if (!deflating) {
            status = emit(stream, input, n);
            compressed += n;
            if (at_end) break;
            continue;
        }
        z->next_in = input;
        z->avail_in = uInt(n);
        int result = Z_OK;
        do {
            z->next_out = output;
            z->avail_out = sizeof output;
            result = deflate(z, at_end ? Z_FINISH : Z_NO_FLUSH);
            if (result == Z_STREAM_ERROR) {
                status = write_deflate_failed;
                break;
            }
            const size_t produced = sizeof output - z->avail_out;
            compressed += produced;
            status = emit(stream, output, produced);
        } while (status == write_ok && z->avail_out == 0);
        if (status == write_ok && at_end && result != Z_STREAM_END) status = write_deflate_failed;
        if (at_end) break;
    }
    if (status != write_ok) return status;
    if (compressed > kMaxEntrySize) return write_too_large;
    record->crc = crc;
    record->compressed_size = uint32_t(compressed);
    record->uncompressed_size = uint32_t(uncompressed);
    return write_ok;
}

// Fills in the local header's CRC-32 and sizes, then returns to the end.
PackageWriteStatus patch_local_header(PackageStream* stream, const WrittenRecord& record) {
    Bytes fields;
    put32(fields, record.crc);
    put32(fields, record.compressed_size);
    put32(fields, record.uncompressed_size);
    const off_t at = off_t(stream->prefix_size + record.local_offset + kLocalCrcOffset);
    if (fseeko(stream->output, at, SEEK_SET) != 0 ||
        std::fwrite(fields.data(), 1, fields.size(), stream->output) != fields.size() ||
        fseeko(stream->output, 0, SEEK_END) != 0)
        return write_output_failed;
    return write_ok;
}

}  // namespace

const char* package_write_status_text(PackageWriteStatus status) {
    switch (status) {
        case write_ok: return "written";
        case write_too_many_entries: return "more than 65,535 entries";
        case write_too_large: return "the package or an entry would reach 4 GB";
        case write_read_failed: return "cannot read the contents";
        case write_output_failed: return "cannot write the package";
        case write_deflate_failed: return "cannot compress the contents";
    }
    return "unknown failure";
}

PackageWriteStatus package_stream_begin(PackageStream* stream, std::FILE* output,
                                        const WriterOptions& options) {
    *stream = PackageStream{};
    stream->output = output;
    stream->local_signature = options.local_signature;
    stream->prefix_size = options.prefix.size();
    if (stream->prefix_size > stream->size_limit) return write_too_large;
    if (!options.prefix.empty() &&
        std::fwrite(options.prefix.data(), 1, options.prefix.size(), output) != options.prefix.size())
        return write_output_failed;
    return write_ok;
}

PackageWriteStatus package_stream_add(PackageStream* stream, const WriterEntry& entry,
                                      std::FILE* contents) {
    if (stream->entries.size() >= kMaxEntries) return write_too_many_entries;
    WrittenRecord record{};
    record.local_offset = uint32_t(stream->offset);
    Bytes header;
    put_local_header(header, stream->local_signature, entry, record);
    PackageWriteStatus status = emit(stream, header.data(), header.size());
    if (status == write_ok) status = emit_data(stream, entry, contents, &record);
    if (status == write_ok) status = patch_local_header(stream, record);
    if (status != write_ok) return status;
    WriterEntry fields = entry;
    fields.contents.clear();
    stream->entries.push_back(std::move(fields));
    stream->written.push_back(record);
    return write_ok;
}

PackageWriteStatus package_stream_finish(PackageStream* stream, const std::string& comment) {
    const uint64_t directory_offset = stream->offset;
    for (size_t i = 0; i < stream->entries.size(); ++i) {
        Bytes record;
        put_central_record(record, stream->entries[i], stream->written[i]);
        const PackageWriteStatus status = emit(stream, record.data(), record.size());
        if (status != write_ok) return status;
    }
    const uint64_t directory_size = stream->offset - directory_offset;
    Bytes end;
    put_end_record(end, uint32_t(stream->entries.size()), uint32_t(directory_size),
                   uint32_t(directory_offset), comment);
    const PackageWriteStatus status = emit(stream, end.data(), end.size());
    if (status != write_ok) return status;
    if (std::fflush(stream->output) != 0 || std::ferror(stream->output)) return write_output_failed;
    return write_ok;
}
