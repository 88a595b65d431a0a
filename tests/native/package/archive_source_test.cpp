#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "package/archive_source.h"
#include "package_fixture.h"

namespace {

const uint8_t kBytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};

TEST(ArchiveSource, MemorySeekTellRead) {
    ArchiveSource source{};
    ASSERT_TRUE(source_open(&source, kBytes, sizeof kBytes, storage_memory));
    EXPECT_TRUE(source.seekable);
    EXPECT_FALSE(source.is_handle);
    uint8_t buffer[8] = {};
    EXPECT_EQ(source_read(&source, buffer, 2, 2), 2u);  // four bytes as two items
    EXPECT_EQ(source_tell(&source), 4u);
    EXPECT_EQ(source_read(&source, buffer, 2, 2), 1u);  // three bytes left: one whole item
    EXPECT_EQ(source_tell(&source), 7u);
    EXPECT_TRUE(source_seek(&source, -3, seek_end));
    EXPECT_EQ(source_tell(&source), 4u);
    EXPECT_TRUE(source_seek(&source, 1, seek_current));
    EXPECT_EQ(source_tell(&source), 5u);
    // Past the end is allowed; reads there deliver nothing.
    EXPECT_TRUE(source_seek(&source, 100, seek_start));
    EXPECT_EQ(source_read(&source, buffer, 1, 1), 0u);
    source_close(&source);
}

TEST(ArchiveSource, FieldReadersAreLittleEndianAndZeroPastTheEnd) {
    ArchiveSource source{};
    ASSERT_TRUE(source_open(&source, kBytes, sizeof kBytes, storage_memory));
    uint32_t value = 99;
    EXPECT_TRUE(read_u16(&source, &value));
    EXPECT_EQ(value, 0x0201u);
    EXPECT_TRUE(read_u32(&source, &value));
    EXPECT_EQ(value, 0x06050403u);
    // One byte left: a 32-bit field runs past the end, reads as 0, no failure,
    // and consumes what was there.
    EXPECT_TRUE(read_u32(&source, &value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(read_u8(&source, &value));
    EXPECT_EQ(value, 0u);
    source_close(&source);
}

TEST(ArchiveSource, RefusesUnknownKinds) {
    ArchiveSource source{};
    for (int32_t kind : {0, 4, -1}) EXPECT_FALSE(source_open(&source, kBytes, 7, StorageKind(kind)));
}

TEST(ArchiveSource, HandleKindsCountFromTheOpeningPosition) {
    TempFolder dir;
    const std::string path = dir.join("source.bin");
    write_file(path, Bytes(kBytes, kBytes + sizeof kBytes));
    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(lseek(fd, 2, SEEK_SET), 2);
    ArchiveSource source{};
    ASSERT_TRUE(source_open(&source, reinterpret_cast<void*>(intptr_t(fd)), 0, storage_handle));
    EXPECT_TRUE(source.seekable);
    EXPECT_EQ(source.start_offset, 2u);
    uint32_t value = 0;
    EXPECT_TRUE(read_u8(&source, &value));
    EXPECT_EQ(value, 0x03u);
    EXPECT_TRUE(source_seek(&source, 0, seek_start));
    EXPECT_EQ(source_tell(&source), 0u);
    source_close(&source);
    // The caller's own descriptor stays open.
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR) >= 0, true);
    close(fd);

    ASSERT_TRUE(source_open(&source, path.c_str(), 0, storage_file_name));
    EXPECT_EQ(source.start_offset, 0u);
    uint8_t all[16] = {};
    EXPECT_EQ(source_read(&source, all, 1, 16), 7u);
    source_close(&source);
    EXPECT_FALSE(source_open(&source, dir.join("missing").c_str(), 0, storage_file_name));
    EXPECT_FALSE(source_open(&source, dir.path().c_str(), 0, storage_file_name));
}

TEST(ArchiveSource, PipeIsNotSeekable) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ArchiveSource source{};
    ASSERT_TRUE(source_open(&source, reinterpret_cast<void*>(intptr_t(fds[0])), 0, storage_handle));
    EXPECT_FALSE(source.seekable);
    EXPECT_FALSE(source_seek(&source, 0, seek_start));
    EXPECT_EQ(source_tell(&source), 0u);
    source_close(&source);
    close(fds[0]);
    close(fds[1]);
}

}  // namespace
