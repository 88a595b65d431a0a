// Shared helpers of the package tests: packages built in memory with the
// package writer, the current folder, and RAII for an open archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/archive.h"
#include "tests/native/support/test_files.h"
#include "tools/package_writer.h"

// Runs the body with the process's current folder set to `folder`.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder);
    ~CurrentFolder();

private:
    std::string saved_;
};

// Deterministic contents that compress like real files: text-like runs with
// a little noise.
Bytes sample_contents(size_t size, uint32_t seed);

// An entry with the delivered package's conventions: deflate, UT fields with
// `unix_time` for all three times, and `attributes`.
WriterEntry delivered_entry(const std::string& name, Bytes contents, uint32_t unix_time,
                            uint32_t attributes = 0x81800020);

// Sizes of the three entries of the delivered package.
constexpr uint32_t kProgramSize = 864768;
constexpr uint32_t kHelpSize = 546769;
constexpr uint32_t kLicenceSize = 14479;
constexpr uint32_t kProgramTime = 1700000000;  // 2023-11-14 22:13:20 UTC

// A package shaped like the delivered one: Songwright.exe, Songwright.chm,
// License.rtf (read-only), deflate, UT fields.
std::vector<WriterEntry> delivered_entries();


// Owns an archive opened over a memory block.
class OpenArchive {
public:
    explicit OpenArchive(const Bytes& block)
        : archive_(archive_open(block.data(), uint32_t(block.size()), storage_memory)) {}
    ~OpenArchive() {
        if (archive_) archive_close(archive_);
    }
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;
    PackageArchive* get() const { return archive_; }
    explicit operator bool() const { return archive_ != nullptr; }

private:
    PackageArchive* archive_;
};

// Extracts a whole entry to memory in pieces of `piece` bytes. Returns the
// final status; `contents` receives every byte delivered, `calls` the number
// of status_more results.
ArchiveStatus extract_to_memory(PackageArchive* archive, int32_t index, uint32_t piece,
                                Bytes* contents, int* calls);

