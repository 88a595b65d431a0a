// Writes packages: plain records in, the bytes of a package out. It writes
// exactly what it is told, so the packaging tool and the tests (including
// their damaged fixtures) share one writer. Two ways out, with the same
// record encoders behind them: the whole package in memory (write_package),
// or streamed into a file with bounded memory (package_stream_*).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/format.h"

using Bytes = std::vector<uint8_t>;

struct z_stream_s;  // zlib's stream state

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

// --- Streaming to a file ---

// Every offset and size in a package is 32-bit, and so is the length of the
// block the reader opens: the whole package stays below 4 GB.
constexpr uint64_t kMaxPackageSize = 0xFFFFFFFFull;
// An entry's sizes stay below 0xFFFFFFFF, the value other ZIP readers take
// for "see the ZIP64 record".
constexpr uint64_t kMaxEntrySize = 0xFFFFFFFEull;

enum PackageWriteStatus {
    write_ok,
    write_too_many_entries,  // more than 65,535 entries
    write_too_large,         // the package, or an entry's size, would reach the limits above
    write_read_failed,       // an entry's contents could not be read
    write_output_failed,     // the package file could not be written
    write_deflate_failed,
};

// A short lower-case description, for messages.
const char* package_write_status_text(PackageWriteStatus status);

// What the central directory needs of an entry already written.
struct WrittenRecord {
    uint32_t crc;
    uint32_t compressed_size;
    uint32_t uncompressed_size;
    uint32_t local_offset;
};

// A package being streamed into `output` (opened for writing and seekable):
// each entry's data go straight to the file, and its local header's CRC-32
// and sizes are filled in once they are known.
struct PackageStream {
    std::FILE* output = nullptr;
    uint64_t size_limit = kMaxPackageSize;  // the largest package allowed, prefix included
    uint64_t prefix_size = 0;
    uint64_t offset = 0;  // bytes of the archive written so far (after the prefix)
    uint32_t local_signature = kLocalHeaderSignature;
    std::vector<WriterEntry> entries;  // header fields of the entries written
    std::vector<WrittenRecord> written;
    // One deflater, reset for each entry of the same level: setting one up
    // costs more than compressing a small file.
    std::shared_ptr<z_stream_s> deflater;
    int deflater_level = 0;
};

// Starts a package in `output`, writing the options' prefix.
PackageWriteStatus package_stream_begin(PackageStream* stream, std::FILE* output,
                                        const WriterOptions& options = {});

// Appends one entry whose contents are read from `contents` to its end (null:
// no contents, as for a folder). The entry's header fields are used as given;
// its `contents` and the damaged-fixture overrides are not.
PackageWriteStatus package_stream_add(PackageStream* stream, const WriterEntry& entry,
                                      std::FILE* contents);

// Writes the central directory and the end record, and flushes the file.
PackageWriteStatus package_stream_finish(PackageStream* stream, const std::string& comment = {});
