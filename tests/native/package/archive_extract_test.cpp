#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "package/format.h"
#include "package_fixture.h"

namespace {

std::vector<uint32_t> g_chunks;

int32_t record_chunk(uint32_t* count) {
    g_chunks.push_back(*count);
    return 0;
}

ArchiveStatus extract_file(PackageArchive* archive, int32_t index, const std::string& path,
                           ProgressCallback progress = nullptr) {
    std::vector<char> target(path.begin(), path.end());
    target.push_back('\0');
    return archive_extract(archive, index, target.data(), 0, storage_file_name, progress);
}

int64_t mtime_of(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return int64_t(info.st_mtim.tv_sec);
}

int64_t atime_of(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return int64_t(info.st_atim.tv_sec);
}

class DeliveredPackage : public ::testing::Test {
protected:
    void SetUp() override {
        entries_ = delivered_entries();
        block_ = write_package(entries_, {}, &layout_);
    }
    std::vector<WriterEntry> entries_;
    Bytes block_;
    PackageLayout layout_;
};

TEST_F(DeliveredPackage, LicenceToMemoryInOneBuffer) {
    OpenArchive archive(block_);
    Bytes buffer(kLicenceSize);
    EXPECT_EQ(archive_extract(archive.get(), 2, buffer.data(), kLicenceSize, storage_memory, nullptr),
              status_more);
    EXPECT_EQ(buffer, entries_[2].contents);
    EXPECT_EQ(archive_extract(archive.get(), 2, buffer.data(), kLicenceSize, storage_memory, nullptr),
              status_ok);
}

TEST_F(DeliveredPackage, MemoryInPieces) {
    OpenArchive archive(block_);
    struct Case {
        uint32_t piece;
        int calls;
    } const cases[] = {{1000, 15}, {1, int(kLicenceSize)}, {kChunkSize, 1}, {kLicenceSize + 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.piece);
        Bytes contents;
        int calls = 0;
        EXPECT_EQ(extract_to_memory(archive.get(), 2, c.piece, &contents, &calls), status_ok);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(contents, entries_[2].contents);
    }
}

TEST_F(DeliveredPackage, CapacityZeroEndsAtOnceAndClosesTheEntry) {
    OpenArchive archive(block_);
    uint8_t buffer[100];
    ASSERT_EQ(archive_extract(archive.get(), 2, buffer, 100, storage_memory, nullptr), status_more);
    EXPECT_EQ(archive_extract(archive.get(), 2, buffer, 0, storage_memory, nullptr), status_ok);
    // Closed: the next call starts the entry again from its first byte.
    ASSERT_EQ(archive_extract(archive.get(), 2, buffer, 100, storage_memory, nullptr), status_more);
    EXPECT_EQ(std::memcmp(buffer, entries_[2].contents.data(), 100), 0);
    EXPECT_EQ(archive_extract(archive.get(), 0, nullptr, 0, storage_memory, nullptr), status_ok);
}

TEST_F(DeliveredPackage, DescribingAbandonsAnExtractionToMemory) {
    OpenArchive archive(block_);
    uint8_t buffer[100];
    ASSERT_EQ(archive_extract(archive.get(), 2, buffer, 100, storage_memory, nullptr), status_more);
    ArchiveEntry entry{};
    ASSERT_EQ(archive_get_entry(archive.get(), 0, &entry), status_ok);
    ASSERT_EQ(archive_extract(archive.get(), 2, buffer, 100, storage_memory, nullptr), status_more);
    EXPECT_EQ(std::memcmp(buffer, entries_[2].contents.data(), 100), 0);
    // An out-of-range description changes nothing: the entry goes on.
    EXPECT_EQ(archive_get_entry(archive.get(), 9, &entry), status_bad_argument);
    ASSERT_EQ(archive_extract(archive.get(), 2, buffer, 100, storage_memory, nullptr), status_more);
    EXPECT_EQ(std::memcmp(buffer, entries_[2].contents.data() + 100, 100), 0);
}

TEST_F(DeliveredPackage, ProgressFiresPerChunk) {
    OpenArchive archive(block_);
    TempFolder dir;
    g_chunks.clear();
    ASSERT_EQ(extract_file(archive.get(), 0, dir.join("Songwright.exe"), record_chunk), status_ok);
    ASSERT_EQ(g_chunks.size(), 53u);
    for (size_t i = 0; i < 52; ++i) EXPECT_EQ(g_chunks[i], kChunkSize);
    EXPECT_EQ(g_chunks[52], 12800u);
    EXPECT_EQ(read_file(dir.join("Songwright.exe")), entries_[0].contents);
}

TEST_F(DeliveredPackage, FilesGetTheirStoredTimesAndFolders) {
    OpenArchive archive(block_);
    TempFolder dir;
    for (int32_t i = 0; i < 3; ++i) {
        const std::string path = dir.join("new/sub/" + entries_[size_t(i)].name);
        ASSERT_EQ(extract_file(archive.get(), i, path), status_ok);
        const int64_t time = kProgramTime + 60 * i;
        EXPECT_EQ(atime_of(path), time);  // before reading the file moves it
        EXPECT_EQ(mtime_of(path), time);
        EXPECT_EQ(read_file(path), entries_[size_t(i)].contents);
        // Written with normal attributes, also for the read-only entry.
        EXPECT_EQ(access(path.c_str(), W_OK), 0);
        struct stat info {};
        stat(path.c_str(), &info);
        EXPECT_TRUE(info.st_mode & S_IWUSR);
    }
}

TEST_F(DeliveredPackage, ATargetWithoutFolderLandsInTheCurrentFolder) {
    OpenArchive archive(block_);
    TempFolder dir;
    CurrentFolder here(dir.path());
    ASSERT_EQ(extract_file(archive.get(), 2, "plain.rtf"), status_ok);
    EXPECT_TRUE(file_exists(dir.join("plain.rtf")));
    // No target name: the entry's own name, relative to the current folder.
    ASSERT_EQ(archive_extract(archive.get(), 2, nullptr, 0, storage_file_name, nullptr), status_ok);
    EXPECT_EQ(read_file(dir.join("License.rtf")), entries_[2].contents);
}

TEST_F(DeliveredPackage, AReadOnlyTargetIsReplaced) {
    OpenArchive archive(block_);
    TempFolder dir;
    const std::string path = dir.join("License.rtf");
    write_file(path, Bytes(10, 'x'));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(extract_file(archive.get(), 2, path), status_ok);
    EXPECT_EQ(read_file(path), entries_[2].contents);
    struct stat info {};
    stat(path.c_str(), &info);
    EXPECT_TRUE(info.st_mode & S_IWUSR);
}

TEST_F(DeliveredPackage, HandleTargetIsWrittenFromItsPositionAndStaysOpen) {
    OpenArchive archive(block_);
    TempFolder dir;
    const std::string path = dir.join("out.bin");
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "head", 4), 4);
    g_chunks.clear();
    ASSERT_EQ(archive_extract(archive.get(), 2, reinterpret_cast<void*>(intptr_t(fd)), 0,
                              storage_handle, record_chunk),
              status_ok);
    EXPECT_EQ(g_chunks.size(), 1u);
    EXPECT_EQ(write(fd, "tail", 4), 4);  // still open
    close(fd);
    Bytes expected = {'h', 'e', 'a', 'd'};
    expected.insert(expected.end(), entries_[2].contents.begin(), entries_[2].contents.end());
    expected.insert(expected.end(), {'t', 'a', 'i', 'l'});
    EXPECT_EQ(read_file(path), expected);
}

TEST_F(DeliveredPackage, BadArguments) {
    OpenArchive archive(block_);
    uint8_t buffer[10];
    EXPECT_EQ(archive_extract(nullptr, 0, buffer, 10, storage_memory, nullptr), status_bad_argument);
    for (int32_t kind : {0, 4})
        EXPECT_EQ(archive_extract(archive.get(), 0, buffer, 10, StorageKind(kind), nullptr),
                  status_bad_argument);
    for (int32_t index : {-1, 3})
        EXPECT_EQ(archive_extract(archive.get(), index, buffer, 10, storage_memory, nullptr),
                  status_bad_argument);
}

TEST_F(DeliveredPackage, UncreatableTargetFails) {
    OpenArchive archive(block_);
    TempFolder dir;
    write_file(dir.join("file"), {});
    EXPECT_EQ(extract_file(archive.get(), 2, dir.join("file/inside.rtf")), status_create_failed);
    EXPECT_EQ(extract_file(archive.get(), 2, dir.path()), status_create_failed);
}

TEST(ArchiveExtract, DirectoryEntries) {
    std::vector<WriterEntry> entries = {
        delivered_entry("docs/", {}, kProgramTime, 0x41ED0010),
        delivered_entry("docs/readme.txt", sample_contents(10, 1), kProgramTime),
    };
    entries[0].method = kMethodStored;
    const Bytes block = write_package(entries);
    TempFolder dir;
    {
        // With a target name, the folder is made there, not in the current folder.
        CurrentFolder here(dir.path());
        OpenArchive archive(block);
        const std::string target = dir.join("dest/docs/");
        ASSERT_EQ(extract_file(archive.get(), 0, target), status_ok);
        EXPECT_TRUE(is_folder(target));
        EXPECT_FALSE(is_folder(dir.join("docs")));
        // Without one, it is made under the folder that was current at opening.
        ASSERT_EQ(archive_extract(archive.get(), 0, nullptr, 0, storage_file_name, nullptr), status_ok);
        EXPECT_TRUE(is_folder(dir.join("docs")));
        // A handle target writes nothing for a folder.
        const int fd = open(dir.join("handle").c_str(), O_RDWR | O_CREAT, 0644);
        ASSERT_EQ(archive_extract(archive.get(), 0, reinterpret_cast<void*>(intptr_t(fd)), 0,
                                  storage_handle, nullptr),
                  status_ok);
        close(fd);
        EXPECT_TRUE(read_file(dir.join("handle")).empty());
    }
}

struct DamageCase {
    const char* what;
    uint32_t method;
    Bytes contents;
    std::optional<Bytes> stored;
    std::optional<uint32_t> crc;
    std::optional<uint32_t> size;
};

std::vector<DamageCase> damage_cases() {
    const Bytes contents = sample_contents(50000, 4);
    Bytes deflated = deflate_raw(contents, 9);
    Bytes cut = deflated;
    cut.resize(cut.size() / 2);
    Bytes garbage = deflated;
    garbage[garbage.size() / 3] ^= 0xFF;
    garbage[garbage.size() / 3 + 1] ^= 0x5A;
    Bytes stored_short(contents.begin(), contents.begin() + 1000);
    return {
        {"crc mismatch, deflate", kMethodDeflate, contents, std::nullopt, 0x12345678u, std::nullopt},
        {"crc mismatch, stored", kMethodStored, contents, std::nullopt, 0x12345678u, std::nullopt},
        {"stream ends before the declared size", kMethodDeflate, contents, std::nullopt, std::nullopt,
         uint32_t(contents.size() + 10)},
        {"stream holds more than the declared size", kMethodDeflate, contents, std::nullopt,
         std::nullopt, uint32_t(contents.size() - 10)},
        {"stream cut in the middle", kMethodDeflate, contents, cut, std::nullopt, std::nullopt},
        {"damaged deflate data", kMethodDeflate, contents, garbage, std::nullopt, std::nullopt},
        {"stored data run out", kMethodStored, contents, stored_short, std::nullopt, std::nullopt},
    };
}

TEST(ArchiveExtract, DamagedEntriesNeverSucceed) {
    for (const DamageCase& c : damage_cases()) {
        SCOPED_TRACE(c.what);
        WriterEntry entry = delivered_entry("damaged.bin", c.contents, kProgramTime);
        entry.method = c.method;
        entry.stored_data = c.stored;
        entry.declared_crc = c.crc;
        entry.declared_uncompressed_size = c.size;
        const Bytes block = write_package({entry});
        OpenArchive archive(block);
        ASSERT_TRUE(archive);

        TempFolder dir;
        const std::string path = dir.join("damaged.bin");
        EXPECT_EQ(extract_file(archive.get(), 0, path), status_write_failed);
        // The partly written file stays, without its stored times.
        EXPECT_TRUE(file_exists(path));
        EXPECT_NE(mtime_of(path), int64_t(kProgramTime));

        for (uint32_t piece : {1000u, 1u << 20}) {
            Bytes contents;
            int calls = 0;
            EXPECT_EQ(extract_to_memory(archive.get(), 0, piece, &contents, &calls),
                      status_inflate_failed);
        }
    }
}

TEST(ArchiveExtract, StoredAndEmptyEntries) {
    std::vector<WriterEntry> entries = {
        delivered_entry("stored.bin", sample_contents(70000, 5), kProgramTime),
        delivered_entry("empty.txt", {}, kProgramTime),
        delivered_entry("empty-deflate.txt", {}, kProgramTime),
    };
    entries[0].method = kMethodStored;
    entries[1].method = kMethodStored;
    const Bytes block = write_package(entries);
    OpenArchive archive(block);
    TempFolder dir;
    g_chunks.clear();
    ASSERT_EQ(extract_file(archive.get(), 0, dir.join("stored.bin"), record_chunk), status_ok);
    EXPECT_EQ(read_file(dir.join("stored.bin")), entries[0].contents);
    EXPECT_EQ(g_chunks, (std::vector<uint32_t>{16384, 16384, 16384, 16384, 4464}));
    for (int32_t i : {1, 2}) {
        g_chunks.clear();
        const std::string path = dir.join(entries[size_t(i)].name);
        ASSERT_EQ(extract_file(archive.get(), i, path, record_chunk), status_ok);
        EXPECT_TRUE(file_exists(path));
        EXPECT_TRUE(read_file(path).empty());
        EXPECT_TRUE(g_chunks.empty());  // nothing written, no progress
        EXPECT_EQ(mtime_of(path), int64_t(kProgramTime));
        uint8_t buffer[4];
        EXPECT_EQ(archive_extract(archive.get(), i, buffer, 4, storage_memory, nullptr), status_ok);
    }
}

TEST(ArchiveExtract, FileNameAndHandleSources) {
    const std::vector<WriterEntry> entries = delivered_entries();
    WriterOptions options;
    options.prefix = sample_contents(333, 7);
    const Bytes block = write_package(entries, options);
    TempFolder dir;
    const std::string package = dir.join("package.bin");
    write_file(package, block);

    PackageArchive* by_name = archive_open(package.c_str(), 0, storage_file_name);
    ASSERT_NE(by_name, nullptr);
    Bytes contents;
    int calls = 0;
    EXPECT_EQ(extract_to_memory(by_name, 1, 4096, &contents, &calls), status_ok);
    EXPECT_EQ(contents, entries[1].contents);
    EXPECT_EQ(archive_close(by_name), status_ok);

    // A handle positioned at the archive's first byte: offsets count from there.
    const int fd = open(package.c_str(), O_RDONLY);
    ASSERT_EQ(lseek(fd, 100, SEEK_SET), 100);
    PackageArchive* by_handle = archive_open(reinterpret_cast<void*>(intptr_t(fd)), 0, storage_handle);
    ASSERT_NE(by_handle, nullptr);
    ASSERT_EQ(extract_file(by_handle, 0, dir.join("p.exe")), status_ok);
    EXPECT_EQ(read_file(dir.join("p.exe")), entries[0].contents);
    EXPECT_EQ(archive_close(by_handle), status_ok);
    close(fd);

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_EQ(archive_open(reinterpret_cast<void*>(intptr_t(fds[0])), 0, storage_handle), nullptr);
    close(fds[0]);
    close(fds[1]);
}

}  // namespace
