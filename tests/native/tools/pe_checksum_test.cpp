#include <gtest/gtest.h>

#include <functional>

#include "setup/pe_checksum.h"
#include "tool_test_support.h"

namespace {

// The base image: "MZ" (word 0x5A4D), e_lfanew 64 (word 0x0040), "PE\0\0"
// (word 0x4550) and the CheckSum field at 64 + 88 = 152 holding 0xDEADBEEF,
// 160 bytes: the words sum to 0x9FDD.
Bytes base_image() { return minimal_pe_image(64, 0xDEADBEEF, 160); }

struct ChecksumCase {
    const char* what;
    std::function<Bytes()> image;
    bool has_pe_header;
    uint32_t header_sum;
    uint32_t checksum_offset;
    uint32_t computed_sum;
};

const ChecksumCase kCases[] = {
    {"field counted as zeros", base_image, true, 0xDEADBEEF, 152, 0x9FDD + 160},
    {"odd last byte is a low byte",
     [] {
         Bytes image = base_image();
         image.push_back(0x7F);
         return image;
     },
     true, 0xDEADBEEF, 152, 0x9FDD + 0x7F + 161},
    {"carries fold back in",
     [] {
         Bytes image = base_image();
         image[101] = 0x80;  // word 0x8000 at 100
         image[103] = 0x80;  // word 0x8000 at 102
         // 0x9FDD + 0x8000 = 0x11FDD -> 0x1FDE; + 0x8000 = 0x9FDE
         return image;
     },
     true, 0xDEADBEEF, 152, 0x9FDE + 160},
    {"field at an odd offset",
     [] {
         // Words 0x5A4D, 0x0041 (e_lfanew 65), 0x5000 ('P' high), 0x0045 ('E'
         // low); the field 153..156 is zeroed across three words.
         return minimal_pe_image(65, 0x11223344, 160);
     },
     true, 0x11223344, 153, 0xAAD3 + 160},
    {"no MZ: every byte counts",
     [] {
         Bytes image = base_image();
         image[0] = 'N';  // 0x5A4E + 0x40 + 0x4550 + 0xBEEF + 0xDEAD -> 0x3D7C
         return image;
     },
     false, 0, 0, 0x3D7C + 160},
    {"e_lfanew past the end",
     [] {
         Bytes image = base_image();
         put32_at(image, 60, 1000);  // 0x5A4D + 0x3E8 + 0x4550 + 0xBEEF + 0xDEAD -> 0x4123
         return image;
     },
     false, 0, 0, 0x4123 + 160},
    {"no PE signature",
     [] {
         Bytes image = base_image();
         image[65] = 'F';  // 0x5A4D + 0x40 + 0x4650 + 0xBEEF + 0xDEAD -> 0x3E7B
         return image;
     },
     false, 0, 0, 0x3E7B + 160},
    {"field cut by the end of the file",
     [] {
         Bytes image = base_image();
         image.resize(154);  // keeps 0xBEEF of the field: 0x9FDD + 0xBEEF -> 0x5ECD
         return image;
     },
     false, 0, 0, 0x5ECD + 154},
    {"length is added as 32 bits", [] { return Bytes(70000, 0); }, false, 0, 0, 70000},
    {"empty", [] { return Bytes{}; }, false, 0, 0, 0},
    {"one byte", [] { return Bytes{0x4D}; }, false, 0, 0, 0x4D + 1},
};

TEST(PeChecksum, MatchesHandComputedValues) {
    TempFolder folder;
    for (const ChecksumCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const Bytes image = c.image();
        const PeChecksum sum = pe_checksum_of_memory(image.data(), image.size());
        EXPECT_EQ(sum.has_pe_header, c.has_pe_header);
        EXPECT_EQ(sum.header_sum, c.header_sum);
        EXPECT_EQ(sum.checksum_offset, c.checksum_offset);
        EXPECT_EQ(sum.computed_sum, c.computed_sum);

        // The file helper gives the same record.
        const std::string path = folder.join("image.exe");
        write_file(path, image);
        PeChecksum from_file{};
        ASSERT_TRUE(pe_checksum_of_file(path.c_str(), &from_file));
        EXPECT_EQ(from_file.has_pe_header, c.has_pe_header);
        EXPECT_EQ(from_file.header_sum, c.header_sum);
        EXPECT_EQ(from_file.checksum_offset, c.checksum_offset);
        EXPECT_EQ(from_file.computed_sum, c.computed_sum);
    }
}

TEST(PeChecksum, IgnoresTheStoredValueButNoticesAnyOtherByte) {
    const Bytes image = minimal_pe_image(128, 0, 5001);
    const uint32_t computed = pe_checksum_of_memory(image.data(), image.size()).computed_sum;

    Bytes stamped = image;
    put32_at(stamped, 128 + kChecksumFieldFromPe, 0xFFFFFFFF);
    EXPECT_EQ(pe_checksum_of_memory(stamped.data(), stamped.size()).computed_sum, computed);

    for (size_t at : {size_t(2), size_t(128 + kChecksumFieldFromPe - 1),
                      size_t(128 + kChecksumFieldFromPe + 4), size_t(5000)}) {
        SCOPED_TRACE(at);
        Bytes flipped = image;
        flipped[at] ^= 0x01;
        EXPECT_NE(pe_checksum_of_memory(flipped.data(), flipped.size()).computed_sum, computed);
    }
}

TEST(PeChecksum, FileInPiecesMatchesMemory) {
    TempFolder folder;
    // Fields straddling the file helper's 16,384-byte pieces, odd lengths.
    for (uint32_t pe_offset : {200u, 16382u - 88u, 16383u - 88u, 32768u - 90u}) {
        SCOPED_TRACE(pe_offset);
        Bytes image = noise_bytes(70001, pe_offset);
        const Bytes header = minimal_pe_image(pe_offset, 0x01020304, pe_offset + 92);
        std::copy(header.begin(), header.begin() + 64, image.begin());
        std::copy(header.begin() + pe_offset, header.end(), image.begin() + pe_offset);
        const PeChecksum expected = pe_checksum_of_memory(image.data(), image.size());
        ASSERT_TRUE(expected.has_pe_header);

        const std::string path = folder.join("big.exe");
        write_file(path, image);
        PeChecksum actual{};
        ASSERT_TRUE(pe_checksum_of_file(path.c_str(), &actual));
        EXPECT_EQ(actual.header_sum, 0x01020304u);
        EXPECT_EQ(actual.checksum_offset, pe_offset + 88);
        EXPECT_EQ(actual.computed_sum, expected.computed_sum);
    }
}

TEST(PeChecksum, FileThatCannotBeReadFails) {
    TempFolder folder;
    PeChecksum sum{};
    EXPECT_FALSE(pe_checksum_of_file(folder.join("missing.exe").c_str(), &sum));
    EXPECT_FALSE(pe_checksum_of_file(folder.path().c_str(), &sum));
    EXPECT_FALSE(pe_checksum_of_file(nullptr, &sum));
}

}  // namespace
