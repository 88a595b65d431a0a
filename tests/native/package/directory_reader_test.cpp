#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "package/directory_reader.h"
#include "package/format.h"
#include "package_fixture.h"

namespace {

std::vector<WriterEntry> small_entries() {
    return {delivered_entry("a.txt", sample_contents(100, 1), kProgramTime),
            delivered_entry("b.txt", sample_contents(200, 2), kProgramTime)};
}

uint32_t end_record_of(const Bytes& block) {
    ArchiveSource source{};
    EXPECT_TRUE(source_open(&source, block.data(), uint32_t(block.size()), storage_memory));
    return find_end_record(&source);
}

void put16(Bytes& block, size_t at, uint16_t value) {
    block[at] = uint8_t(value);
    block[at + 1] = uint8_t(value >> 8);
}

void put32(Bytes& block, size_t at, uint32_t value) {
    put16(block, at, uint16_t(value));
    put16(block, at + 2, uint16_t(value >> 16));
}

TEST(FindEndRecord, FindsTheRecordForEveryCommentLength) {
    // Comment lengths around the 1,024-byte window steps, so that the
    // signature falls at the start, the end and across two windows.
    for (size_t length : {0, 1, 3, 1000, 1001, 1002, 1003, 1004, 1005, 2024, 2027, 30000, 65513}) {
        SCOPED_TRACE(length);
        WriterOptions options;
        options.comment.assign(length, 'c');
        PackageLayout layout;
        const Bytes block = write_package(small_entries(), options, &layout);
        EXPECT_EQ(end_record_of(block), layout.end_offset);
        OpenArchive archive(block);
        EXPECT_TRUE(archive);
    }
}

TEST(FindEndRecord, ARecordBeyondTheSearchSpanIsNotFound) {
    WriterOptions options;
    options.comment.assign(65514, 'c');  // the record starts 65,536 bytes before the end
    const Bytes block = write_package(small_entries(), options);
    EXPECT_EQ(end_record_of(block), 0u);
    OpenArchive archive(block);
    EXPECT_FALSE(archive);
}

TEST(FindEndRecord, TheLastSignatureInTheCommentWins) {
    WriterOptions options;
    options.comment = std::string("xx") + "PK\x05\x06" + std::string(30, 'y');
    PackageLayout layout;
    const Bytes block = write_package(small_entries(), options, &layout);
    // The bytes after the occurrence in the comment are taken for the record,
    // so the archive does not open.
    EXPECT_EQ(end_record_of(block), layout.end_offset + kEndRecordSize + 2);
    OpenArchive archive(block);
    EXPECT_FALSE(archive);
}

TEST(FindEndRecord, ARecordAtPositionZeroIsNotFound) {
    const Bytes empty = write_package({});
    ASSERT_EQ(empty.size(), kEndRecordSize);
    EXPECT_EQ(end_record_of(empty), 0u);
    OpenArchive archive(empty);
    EXPECT_FALSE(archive);
    // The same empty archive behind one byte of prefix opens with no entries.
    WriterOptions options;
    options.prefix = {0x00};
    OpenArchive shifted(write_package({}, options));
    ASSERT_TRUE(shifted);
    ArchiveEntry entry{};
    EXPECT_EQ(archive_get_entry(shifted.get(), -1, &entry), status_ok);
    EXPECT_EQ(entry.index, 0);
}

TEST(ReaderOpen, RefusesInconsistentEndRecords) {
    PackageLayout layout;
    const Bytes good = write_package(small_entries(), {}, &layout);
    struct Case {
        const char* what;
        size_t field;  // offset in the end record
        uint32_t value;
        int width;
    } const cases[] = {
        {"this disk", 4, 1, 2},
        {"directory disk", 6, 1, 2},
        {"counts differ", 10, 3, 2},
        {"directory past the record", 16, layout.central_offset + 1, 4},
        {"directory too large", 12, layout.end_offset - layout.central_offset + 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes block = good;
        if (c.width == 2) put16(block, layout.end_offset + c.field, uint16_t(c.value));
        else put32(block, layout.end_offset + c.field, c.value);
        OpenArchive archive(block);
        EXPECT_FALSE(archive);
    }
    OpenArchive archive(good);
    EXPECT_TRUE(archive);
}

TEST(ReaderOpen, EmptyOrSignatureFreeBlocksFail) {
    EXPECT_EQ(archive_open(nullptr, 0, storage_memory), nullptr);
    const Bytes zeros(70000, 0);
    EXPECT_EQ(archive_open(zeros.data(), uint32_t(zeros.size()), storage_memory), nullptr);
    const Bytes block = write_package(small_entries());
    EXPECT_EQ(archive_open(block.data(), 0, storage_memory), nullptr);
    EXPECT_EQ(archive_open(block.data(), uint32_t(block.size()), StorageKind(7)), nullptr);
}

TEST(ReaderOpen, TruncatedPackagesNeverOpenWrongly) {
    const Bytes block = write_package(small_entries());
    for (size_t cut = 0; cut < block.size(); ++cut) {
        SCOPED_TRACE(cut);
        // An exactly sized copy, so that the sanitizers catch a read past the end.
        std::unique_ptr<uint8_t[]> truncated(new uint8_t[cut]);
        std::memcpy(truncated.get(), block.data(), cut);
        PackageArchive* archive = archive_open(truncated.get(), uint32_t(cut), storage_memory);
        if (!archive) continue;
        // Whatever opens must describe or refuse every entry cleanly.
        ArchiveEntry entry{};
        ASSERT_EQ(archive_get_entry(archive, -1, &entry), status_ok);
        for (int32_t i = 0; i < entry.index; ++i) {
            ArchiveEntry described{};
            const ArchiveStatus status = archive_get_entry(archive, i, &described);
            EXPECT_TRUE(status == status_ok || status == status_corrupt || status == status_read_failed);
        }
        archive_close(archive);
    }
}

TEST(ReaderOpen, AnUnreadableFirstRecordStillOpens) {
    PackageLayout layout;
    Bytes block = write_package(small_entries(), {}, &layout);
    block[layout.central_offsets[0]] = 'X';
    OpenArchive archive(block);
    ASSERT_TRUE(archive);
    ArchiveEntry entry{};
    EXPECT_EQ(archive_get_entry(archive.get(), -1, &entry), status_ok);
    EXPECT_EQ(entry.index, 2);
    // The walk to either entry cannot pass the broken record.
    EXPECT_EQ(archive_get_entry(archive.get(), 0, &entry), status_corrupt);
    EXPECT_EQ(archive_get_entry(archive.get(), 1, &entry), status_corrupt);
}

TEST(ReaderOpen, APrefixShiftsEveryOffset) {
    const Bytes plain = write_package(delivered_entries());
    WriterOptions options;
    options.prefix = sample_contents(1000, 9);
    const Bytes prefixed = write_package(delivered_entries(), options);
    OpenArchive a(plain), b(prefixed);
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    for (int32_t i = 0; i < 3; ++i) {
        ArchiveEntry x{}, y{};
        ASSERT_EQ(archive_get_entry(a.get(), i, &x), status_ok);
        ASSERT_EQ(archive_get_entry(b.get(), i, &y), status_ok);
        EXPECT_EQ(std::memcmp(&x, &y, sizeof x), 0);
        Bytes xc, yc;
        int calls = 0;
        EXPECT_EQ(extract_to_memory(a.get(), i, 1 << 20, &xc, &calls), status_ok);
        EXPECT_EQ(extract_to_memory(b.get(), i, 1 << 20, &yc, &calls), status_ok);
        EXPECT_EQ(xc, yc);
    }
}

}  // namespace
