// Writes packages: plain records in, the bytes of a package out. It writes
// exactly what it is told, so the packaging tool and the tests (including
// their damaged fixtures) share one writer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/format.h"

using Bytes = std::vector<uint8_t>;

struct WriterEntry {
    std::string name;
    Bytes contents;  // the uncompressed contents
    uint32_t method = kMethodDeflate;
    int level = 9;   // zlib compression level for deflate
    uint32_t dos_datetime = 0x00210000;  // 1980-01-01 00:00:00
    uint32_t external_attributes = 0x81800020;
    uint32_t version_made_by = 0x0B17;
    uint32_t version_needed = 20;
    uint32_t flags = 0x0002;
    Bytes local_extra;
    Bytes central_extra;
    std::string comment;
    // Overrides for damaged fixtures: the data as stored, and the CRC-32 and
    // uncompressed size the headers declare.
    std::optional<Bytes> stored_data;
    std::optional<uint32_t> declared_crc;
    std::optional<uint32_t> declared_uncompressed_size;
};

struct WriterOptions {
    Bytes prefix;         // bytes ahead of the archive
    std::string comment;  // the archive comment
    uint32_t local_signature = kLocalHeaderSignature;
};

// Where the writer put each record, counted from the start of the output.
struct PackageLayout {
    std::vector<uint32_t> local_offsets;
    std::vector<uint32_t> central_offsets;
    uint32_t central_offset = 0;
    uint32_t end_offset = 0;
};

// The "UT" sub-fields: 13 bytes with flags 7 and three times for the local
// header, 5 bytes with the modification time only for the central record.
Bytes extended_timestamp_local(uint32_t modification, uint32_t access, uint32_t creation);
Bytes extended_timestamp_central(uint32_t modification);

// Raw deflate (no zlib header or trailer) at `level`.
Bytes deflate_raw(const Bytes& contents, int level);

// The whole package. Offsets are counted from the archive's start (after the
// prefix), as the format requires.
Bytes write_package(const std::vector<WriterEntry>& entries, const WriterOptions& options = {},
                    PackageLayout* layout = nullptr);
