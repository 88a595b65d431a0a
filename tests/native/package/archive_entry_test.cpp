#include <gtest/gtest.h>

#include <cstring>

#include "package/format.h"
#include "package_fixture.h"

namespace {

void put32(Bytes& block, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) block[at + size_t(i)] = uint8_t(value >> (8 * i));
}

void put16(Bytes& block, size_t at, uint16_t value) {
    block[at] = uint8_t(value);
    block[at + 1] = uint8_t(value >> 8);
}

ArchiveEntry describe(const Bytes& block, int32_t index, ArchiveStatus* status) {
    ArchiveEntry entry{};
    OpenArchive archive(block);
    if (!archive) {
        *status = status_bad_argument;
        return entry;
    }
    *status = archive_get_entry(archive.get(), index, &entry);
    return entry;
}

TEST(ArchiveEntry, DescribesTheDeliveredShape) {
    const Bytes block = write_package(delivered_entries());
    OpenArchive archive(block);
    ASSERT_TRUE(archive);
    ArchiveEntry entry{};
    ASSERT_EQ(archive_get_entry(archive.get(), -1, &entry), status_ok);
    EXPECT_EQ(entry.index, 3);
    EXPECT_STREQ(entry.name, "");
    EXPECT_EQ(entry.attributes, 0u);
    EXPECT_EQ(entry.uncompressed_size, 0u);
    EXPECT_EQ(entry.write_time, FileTime{});

    struct Expected {
        const char* name;
        uint32_t attributes;
        uint32_t size;
        uint32_t time;
    } const expected[] = {
        {"Songwright.exe", 0xA0, kProgramSize, kProgramTime},
        {"Songwright.chm", 0xA0, kHelpSize, kProgramTime + 60},
        {"License.rtf", 0xA1, kLicenceSize, kProgramTime + 120},
    };
    uint32_t total = 0;
    for (int32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(archive_get_entry(archive.get(), i, &entry), status_ok);
        EXPECT_EQ(entry.index, i);
        EXPECT_STREQ(entry.name, expected[i].name);
        EXPECT_EQ(entry.attributes, expected[i].attributes);
        EXPECT_EQ(entry.uncompressed_size, expected[i].size);
        EXPECT_LT(entry.compressed_size, entry.uncompressed_size);
        EXPECT_EQ(entry.write_time, unix_seconds_to_filetime(expected[i].time));
        EXPECT_EQ(entry.access_time, unix_seconds_to_filetime(expected[i].time));
        EXPECT_EQ(entry.creation_time, unix_seconds_to_filetime(expected[i].time));
        total += entry.uncompressed_size;
    }
    EXPECT_EQ(total, 1426016u);
}

TEST(ArchiveEntry, BadArguments) {
    const Bytes block = write_package(delivered_entries());
    OpenArchive archive(block);
    ArchiveEntry entry{};
    EXPECT_EQ(archive_get_entry(nullptr, 0, &entry), status_bad_argument);
    EXPECT_EQ(archive_get_entry(archive.get(), -2, &entry), status_bad_argument);
    EXPECT_EQ(archive_get_entry(archive.get(), 3, &entry), status_bad_argument);
    EXPECT_EQ(archive_close(nullptr), status_bad_argument);
}

TEST(ArchiveEntry, WalkRestartsBehindAndCachesTheLastEntry) {
    PackageLayout layout;
    Bytes block = write_package(delivered_entries(), {}, &layout);
    OpenArchive archive(block);
    ArchiveEntry first{}, again{}, zero{};
    ASSERT_EQ(archive_get_entry(archive.get(), 2, &first), status_ok);
    ASSERT_EQ(archive_get_entry(archive.get(), 0, &zero), status_ok);
    ASSERT_EQ(archive_get_entry(archive.get(), 2, &again), status_ok);
    EXPECT_EQ(std::memcmp(&first, &again, sizeof first), 0);
    EXPECT_STREQ(zero.name, "Songwright.exe");

    // Break entry 2's local header: a repeated request is served from the
    // cache, a fresh one (after another entry) reads the header again.
    block[layout.local_offsets[2]] = 'X';
    ASSERT_EQ(archive_get_entry(archive.get(), 2, &again), status_ok);
    EXPECT_STREQ(again.name, "License.rtf");
    ASSERT_EQ(archive_get_entry(archive.get(), 1, &again), status_ok);
    EXPECT_EQ(archive_get_entry(archive.get(), 2, &again), status_corrupt);
    // A failure leaves the cache as it was: entry 1 is still served.
    block[layout.local_offsets[1]] = 'X';
    ASSERT_EQ(archive_get_entry(archive.get(), 1, &again), status_ok);
    EXPECT_STREQ(again.name, "Songwright.chm");
}

TEST(ArchiveEntry, StandardLocalSignatureIsRefused) {
    WriterOptions options;
    options.local_signature = kStandardLocalHeaderSignature;
    const Bytes block = write_package(delivered_entries(), options);
    OpenArchive archive(block);
    ASSERT_TRUE(archive);
    ArchiveEntry entry{};
    ASSERT_EQ(archive_get_entry(archive.get(), -1, &entry), status_ok);
    EXPECT_EQ(entry.index, 3);
    TempFolder dir;
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(archive_get_entry(archive.get(), i, &entry), status_corrupt);
        EXPECT_NE(archive_extract(archive.get(), i, const_cast<char*>(dir.join("x").c_str()), 0,
                                  storage_file_name, nullptr),
                  status_ok);
        uint8_t buffer[64];
        EXPECT_EQ(archive_extract(archive.get(), i, buffer, sizeof buffer, storage_memory, nullptr),
                  status_inflate_failed);
    }
    EXPECT_FALSE(file_exists(dir.join("x")));
}

// Local header fields, from the header's start.
constexpr size_t kLocalVersion = 4, kLocalFlags = 6, kLocalMethod = 8, kLocalTime = 10,
                 kLocalCrc = 14, kLocalCompressed = 18, kLocalUncompressed = 22,
                 kLocalNameLength = 26;

TEST(ArchiveEntry, LocalHeaderAgreementTable) {
    PackageLayout layout;
    const Bytes good = write_package(delivered_entries(), {}, &layout);
    const size_t local = layout.local_offsets[2];
    struct Case {
        const char* what;
        size_t field;
        int width;
        uint32_t value;
        bool set_bit3;
        ArchiveStatus expected;
    } const cases[] = {
        {"version needed differs", kLocalVersion, 2, 45, false, status_ok},
        {"date and time differ", kLocalTime, 4, 0x12345678, false, status_ok},
        {"crc differs", kLocalCrc, 4, 0xDEADBEEF, false, status_corrupt},
        {"crc differs with bit 3", kLocalCrc, 4, 0xDEADBEEF, true, status_ok},
        {"compressed size differs", kLocalCompressed, 4, 1, false, status_corrupt},
        {"compressed size with bit 3", kLocalCompressed, 4, 0, true, status_ok},
        {"uncompressed size differs", kLocalUncompressed, 4, 1, false, status_corrupt},
        {"method differs", kLocalMethod, 2, 0, false, status_corrupt},
        {"name length differs", kLocalNameLength, 2, 3, false, status_corrupt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes block = good;
        if (c.width == 2) put16(block, local + c.field, uint16_t(c.value));
        else put32(block, local + c.field, c.value);
        if (c.set_bit3) put16(block, local + kLocalFlags, 0x0002 | kFlagDataDescriptor);
        ArchiveStatus status;
        describe(block, 2, &status);
        EXPECT_EQ(status, c.expected);
    }
}

TEST(ArchiveEntry, MethodsOtherThanStoredOrDeflateAreCorrupt) {
    std::vector<WriterEntry> entries = {delivered_entry("x.bin", sample_contents(50, 1), kProgramTime)};
    entries[0].method = 12;  // bzip2
    entries[0].stored_data = Bytes(10, 0);
    ArchiveStatus status;
    describe(write_package(entries), 0, &status);
    EXPECT_EQ(status, status_corrupt);
}

TEST(ArchiveEntry, AnExtraFieldDifferingInLengthIsAccepted) {
    std::vector<WriterEntry> entries = delivered_entries();
    entries[0].local_extra.clear();  // central record keeps its 5-byte field
    ArchiveStatus status;
    const ArchiveEntry entry = describe(write_package(entries), 0, &status);
    ASSERT_EQ(status, status_ok);
    FileTime dos{};
    dos_datetime_to_filetime(entries[0].dos_datetime, &dos);
    EXPECT_EQ(entry.write_time, dos);
}

Bytes subfield(uint16_t id, const Bytes& data) {
    Bytes out = {uint8_t(id), uint8_t(id >> 8), uint8_t(data.size()), uint8_t(data.size() >> 8)};
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(ArchiveEntry, ExtendedTimestampTable) {
    const uint32_t m = 1600000000, a = 1600000100, c = 1600000200;
    // The MS-DOS value of the entry, deliberately different from every UT time.
    const uint32_t dos_seconds = 1500000000;
    const FileTime d = unix_seconds_to_filetime(dos_seconds - dos_seconds % 2);
    const FileTime M = unix_seconds_to_filetime(m), A = unix_seconds_to_filetime(a), C = unix_seconds_to_filetime(c);
    struct Case {
        const char* what;
        Bytes extra;
        FileTime write, access, creation;
    } const cases[] = {
        {"13-byte UT, flags 7", extended_timestamp_local(m, a, c), M, A, C},
        {"no extra field", {}, d, d, d},
        {"flags 7 but only the modification time",
         subfield(0x5455, concat({{7}, le32(m)})), M, d, d},
        {"flags 1", subfield(0x5455, concat({{1}, le32(m)})), M, d, d},
        {"flags 6: access then creation", subfield(0x5455, concat({{6}, le32(a), le32(c)})), d, A, C},
        {"after a 200-byte sub-field",
         concat({subfield(0x7875, Bytes(200, 0x55)), extended_timestamp_local(m, a, c)}), M, A, C},
        {"the first UT wins",
         concat({extended_timestamp_local(m, a, c), extended_timestamp_local(1, 2, 3)}), M, A, C},
        {"a 4-byte extra field is not searched", {'U', 'T', 0, 0}, d, d, d},
        {"UT with flags only", subfield(0x5455, {7}), d, d, d},
        {"sub-field claiming more than there is", {'x', 'x', 0xFF, 0xFF, 'U', 'T', 5, 0, 1}, d, d, d},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        WriterEntry entry = delivered_entry("t.txt", sample_contents(10, 1), 0);
        entry.dos_datetime = unix_seconds_to_dos_datetime(dos_seconds);
        entry.local_extra = k.extra;
        ArchiveStatus status;
        const ArchiveEntry described = describe(write_package({entry}), 0, &status);
        ASSERT_EQ(status, status_ok);
        EXPECT_EQ(described.write_time, k.write);
        EXPECT_EQ(described.access_time, k.access);
        EXPECT_EQ(described.creation_time, k.creation);
    }
}

TEST(ArchiveEntry, AttributesTable) {
    struct Case {
        uint32_t external;
        uint32_t attributes;
    } const cases[] = {
        {0x81800020, 0xA0}, {0x81000021, 0xA1}, {0x00000020, 0xA1},
        {0x40800010 | (1u << 30), 0x90},  // Unix directory, owner write, MS-DOS directory
        {0x41ED0000 | (1u << 30), 0x90},  // drwxr-xr-x
        {0x00800010, 0x90}, {0x00800002, 0x82}, {0x00800004, 0x84}, {0x00000000, 0x81},
        {0x008000FF, 0xB7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.external);
        WriterEntry entry = delivered_entry("t", {}, kProgramTime, c.external);
        ArchiveStatus status;
        EXPECT_EQ(describe(write_package({entry}), 0, &status).attributes, c.attributes);
        EXPECT_EQ(status, status_ok);
    }
}

TEST(ArchiveEntry, NamesOf260BytesOrMoreAreRefused) {
    for (size_t length : {1u, 259u, 260u, 1000u}) {
        SCOPED_TRACE(length);
        const WriterEntry entry = delivered_entry(std::string(length, 'n'), {}, kProgramTime);
        ArchiveStatus status;
        const ArchiveEntry described = describe(write_package({entry}), 0, &status);
        if (length < kPathCapacity) {
            EXPECT_EQ(status, status_ok);
            EXPECT_EQ(std::strlen(described.name), length);
        } else {
            EXPECT_EQ(status, status_corrupt);
        }
    }
}

TEST(ArchiveEntry, AnInvalidDosTimeGivesTheDosEpoch) {
    WriterEntry entry = delivered_entry("t", {}, kProgramTime);
    entry.local_extra.clear();
    entry.dos_datetime = 0;
    ArchiveStatus status;
    const ArchiveEntry described = describe(write_package({entry}), 0, &status);
    ASSERT_EQ(status, status_ok);
    EXPECT_EQ(described.write_time, dos_epoch_filetime());
}

}  // namespace
