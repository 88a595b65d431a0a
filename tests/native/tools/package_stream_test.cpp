#include <gtest/gtest.h>

#include "tool_test_support.h"

namespace {

// Streams `entries` into a file, their contents read from files of their own.
PackageWriteStatus stream_entries(const TempFolder& folder, const std::vector<WriterEntry>& entries,
                                  const WriterOptions& options, uint64_t size_limit, Bytes* out) {
    const std::string path = folder.join("streamed.pkg");
    std::FILE* output = std::fopen(path.c_str(), "wb");
    if (!output) return write_output_failed;
    PackageStream stream;
    PackageWriteStatus status = package_stream_begin(&stream, output, options);
    stream.size_limit = size_limit;
    for (size_t i = 0; status == write_ok && i < entries.size(); ++i) {
        const std::string source = folder.join("contents" + std::to_string(i));
        write_file(source, entries[i].contents);
        std::FILE* contents = std::fopen(source.c_str(), "rb");
        status = package_stream_add(&stream, entries[i], contents);
        std::fclose(contents);
    }
    if (status == write_ok) status = package_stream_finish(&stream, options.comment);
    std::fclose(output);
    *out = read_file(path);
    return status;
}

std::vector<WriterEntry> sample_entries() {
    std::vector<WriterEntry> entries(4);
    entries[0].name = "Songwright.exe";
    entries[0].contents = noise_bytes(3 * kChunkSize + 77, 1);  // several pieces, incompressible
    entries[0].local_extra = extended_timestamp_local(1700000000, 1700000000, 1700000000);
    entries[0].central_extra = extended_timestamp_central(1700000000);
    entries[1].name = "help/Songwright.chm";
    entries[1].contents = text_bytes(200000, 2);
    entries[2].name = "empty.txt";
    entries[3].name = "stored.bin";
    entries[3].method = kMethodStored;
    entries[3].contents = text_bytes(kChunkSize + 1, 3);
    entries[3].external_attributes = 0x81000021;
    return entries;
}

// The streamed package is byte for byte the one built in memory.
TEST(PackageStream, WritesWhatWritePackageWrites) {
    TempFolder folder;
    const std::vector<WriterEntry> entries = sample_entries();
    WriterOptions options;
    options.prefix = Bytes(100, 0xAA);
    options.comment = "built by a test";
    Bytes streamed;
    ASSERT_EQ(stream_entries(folder, entries, options, kMaxPackageSize, &streamed), write_ok);
    EXPECT_EQ(streamed, write_package(entries, options));
    ASSERT_EQ(stream_entries(folder, entries, {}, kMaxPackageSize, &streamed), write_ok);
    EXPECT_EQ(streamed, write_package(entries));
}

TEST(PackageStream, RefusesAPackageThatPassesTheSizeLimit) {
    TempFolder folder;
    const std::vector<WriterEntry> entries = sample_entries();
    const uint64_t whole = write_package(entries).size();
    Bytes streamed;
    // Exactly the limit is fine; one byte less is not, wherever it is hit.
    EXPECT_EQ(stream_entries(folder, entries, {}, whole, &streamed), write_ok);
    for (uint64_t limit : {whole - 1, whole - 22, uint64_t(5000), uint64_t(10)}) {
        SCOPED_TRACE(limit);
        EXPECT_EQ(stream_entries(folder, entries, {}, limit, &streamed), write_too_large);
    }
}

TEST(PackageStream, RefusesMoreThan65535Entries) {
    TempFolder folder;
    std::FILE* output = std::fopen(folder.join("many.pkg").c_str(), "wb");
    ASSERT_NE(output, nullptr);
    PackageStream stream;
    ASSERT_EQ(package_stream_begin(&stream, output), write_ok);
    WriterEntry entry;
    entry.method = kMethodStored;
    PackageWriteStatus status = write_ok;
    uint32_t added = 0;
    for (; status == write_ok && added <= kMaxEntries; ++added) {
        entry.name = "f" + std::to_string(added);
        status = package_stream_add(&stream, entry, nullptr);
    }
    EXPECT_EQ(status, write_too_many_entries);
    EXPECT_EQ(stream.entries.size(), size_t(kMaxEntries));
    EXPECT_EQ(package_stream_finish(&stream), write_ok);
    std::fclose(output);
    const Bytes package = read_file(folder.join("many.pkg"));
    PackageArchive* archive = archive_open(package.data(), uint32_t(package.size()), storage_memory);
    ASSERT_NE(archive, nullptr);
    ArchiveEntry count{};
    EXPECT_EQ(archive_get_entry(archive, -1, &count), status_ok);
    EXPECT_EQ(count.index, 65535);
    archive_close(archive);
}

}  // namespace
