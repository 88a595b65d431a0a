#include "tools/package_writer.h"

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
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) return {};
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
    struct Written {
        uint32_t crc, compressed, uncompressed, local_offset;
    };
    std::vector<Written> written;
    for (const WriterEntry& entry : entries) {
        Bytes data = entry.stored_data ? *entry.stored_data
                     : entry.method == kMethodDeflate ? deflate_raw(entry.contents, entry.level)
                                                      : entry.contents;
        const uint32_t crc = entry.declared_crc
                                 ? *entry.declared_crc
                                 : uint32_t(crc32(0, entry.contents.data(), uInt(entry.contents.size())));
        const uint32_t uncompressed = entry.declared_uncompressed_size
                                          ? *entry.declared_uncompressed_size
                                          : uint32_t(entry.contents.size());
        const uint32_t offset = uint32_t(archive.size());
        where.local_offsets.push_back(offset);
        put32(archive, options.local_signature);
        put16(archive, entry.version_needed);
        put16(archive, entry.flags);
        put16(archive, entry.method);
        put32(archive, entry.dos_datetime);
        put32(archive, crc);
        put32(archive, uint32_t(data.size()));
        put32(archive, uncompressed);
        put16(archive, uint32_t(entry.name.size()));
        put16(archive, uint32_t(entry.local_extra.size()));
        put_bytes(archive, entry.name.data(), entry.name.size());
        put_bytes(archive, entry.local_extra.data(), entry.local_extra.size());
        put_bytes(archive, data.data(), data.size());
        written.push_back({crc, uint32_t(data.size()), uncompressed, offset});
    }
    where.central_offset = uint32_t(archive.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const WriterEntry& entry = entries[i];
        where.central_offsets.push_back(uint32_t(archive.size()));
        put32(archive, kCentralRecordSignature);
        put16(archive, entry.version_made_by);
        put16(archive, entry.version_needed);
        put16(archive, entry.flags);
        put16(archive, entry.method);
        put32(archive, entry.dos_datetime);
        put32(archive, written[i].crc);
        put32(archive, written[i].compressed);
        put32(archive, written[i].uncompressed);
        put16(archive, uint32_t(entry.name.size()));
        put16(archive, uint32_t(entry.central_extra.size()));
        put16(archive, uint32_t(entry.comment.size()));
        put16(archive, 0);  // starting disk
        put16(archive, 0);  // internal attributes
        put32(archive, entry.external_attributes);
        put32(archive, written[i].local_offset);
        put_bytes(archive, entry.name.data(), entry.name.size());
        put_bytes(archive, entry.central_extra.data(), entry.central_extra.size());
        put_bytes(archive, entry.comment.data(), entry.comment.size());
    }
    const uint32_t directory_size = uint32_t(archive.size()) - where.central_offset;
    where.end_offset = uint32_t(archive.size());
    put32(archive, kEndRecordSignature);
    put16(archive, 0);
    put16(archive, 0);
    put16(archive, uint32_t(entries.size()));
    put16(archive, uint32_t(entries.size()));
    put32(archive, directory_size);
    put32(archive, where.central_offset);
    put16(archive, uint32_t(options.comment.size()));
    put_bytes(archive, options.comment.data(), options.comment.size());

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
