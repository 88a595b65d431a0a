// The integrity check: its decision table, the library's life, and the
// decision over real PE images summed by the portable checksum.
#include "setup/integrity_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/pe_checksum.h"

namespace {

struct DecisionRow {
    uint32_t result;
    uint32_t header_sum;
    uint32_t computed_sum;
    bool refused;
};

TEST(ChecksumRefuses, OnlyAClearMismatch) {
    const DecisionRow rows[] = {
        {kChecksumSuccess, 0x1234, 0x1234, false},  // equal
        {kChecksumSuccess, 0x1234, 0x1235, true},   // differ
        {kChecksumSuccess, 0, 0x1235, false},       // no sum recorded
        {kChecksumSuccess, 0x1234, 0, false},       // nothing computed
        {1, 0x1234, 0x1235, false},                 // the file could not be opened
        {3, 0x1234, 0x1235, false},                 // or mapped
    };
    for (const DecisionRow& row : rows)
        EXPECT_EQ(checksum_refuses(row.result, row.header_sum, row.computed_sum), row.refused)
            << row.result << " " << row.header_sum << " " << row.computed_sum;
}

// The system side, scripted; the sums come from `file` when it is set.
class FakeIntegrityHost : public IntegrityHost {
public:
    bool has_path = true;
    bool library_loads = true;
    bool function_found = true;
    uint32_t result = kChecksumSuccess;
    uint32_t header_sum = 0x00012345;
    uint32_t computed_sum = 0x00012345;
    const std::vector<uint8_t>* file = nullptr;

    int loads = 0;
    int frees = 0;
    std::vector<std::string> refusals;
    std::string checked_path;

    bool module_path(char* buffer, size_t capacity) override {
        if (!has_path) return false;
        std::strncpy(buffer, "C:\\Temp\\Setup.exe", capacity);
        return true;
    }
    bool load_checksum_library() override {
        loads += library_loads ? 1 : 0;
        return library_loads;
    }
    bool find_checksum_function() override { return function_found; }
    uint32_t map_file_and_check_sum(const char* path, uint32_t* header, uint32_t* computed) override {
        checked_path = path;
        if (file) {
            const PeChecksum sums = pe_checksum_of_memory(file->data(), file->size());
            *header = sums.header_sum;
            *computed = sums.computed_sum;
            return kChecksumSuccess;
        }
        *header = header_sum;
        *computed = computed_sum;
        return result;
    }
    void free_checksum_library() override { ++frees; }
    void show_refusal(const char* text) override { refusals.push_back(text); }
};

struct VerifyRow {
    const char* name;
    void (*arrange)(FakeIntegrityHost&);
    bool accepted;
};

TEST(VerifySetupChecksum, EveryRowOfTheTable) {
    const VerifyRow rows[] = {
        {"no_module_path", [](FakeIntegrityHost& h) { h.has_path = false; }, true},
        {"library_missing", [](FakeIntegrityHost& h) { h.library_loads = false; }, true},
        {"function_missing", [](FakeIntegrityHost& h) { h.function_found = false; }, true},
        {"call_fails",
         [](FakeIntegrityHost& h) {
             h.result = 1;
             h.computed_sum = 1;
         },
         true},
        {"no_sum_recorded", [](FakeIntegrityHost& h) { h.header_sum = 0; }, true},
        {"nothing_computed", [](FakeIntegrityHost& h) { h.computed_sum = 0; }, true},
        {"sums_equal", [](FakeIntegrityHost&) {}, true},
        {"sums_differ", [](FakeIntegrityHost& h) { h.computed_sum = 0x00012346; }, false},
    };
    for (const VerifyRow& row : rows) {
        FakeIntegrityHost host;
        row.arrange(host);
        EXPECT_EQ(verify_setup_checksum(host), row.accepted) << row.name;
        // Only the refusal is ever shown, with its literal text.
        if (row.accepted) {
            EXPECT_TRUE(host.refusals.empty()) << row.name;
        } else {
            EXPECT_EQ(host.refusals, std::vector<std::string>{kChecksumRefusal}) << row.name;
        }
        // A library that was loaded is freed exactly once.
        EXPECT_EQ(host.frees, host.loads) << row.name;
        if (host.loads && host.function_found) {
            EXPECT_EQ(host.checked_path, "C:\\Temp\\Setup.exe") << row.name;
        }
    }
}

// A minimal PE image: MZ header, "PE\0\0", COFF header and an optional
// header long enough to hold the CheckSum field, then some payload.
std::vector<uint8_t> pe_image(size_t payload) {
    constexpr uint32_t kSignatureAt = 0x40;
    std::vector<uint8_t> image(kSignatureAt + kPeSignatureSize + 20 + 96 + payload, 0);
    image[0] = 'M';
    image[1] = 'Z';
    image[kPeHeaderOffsetField] = uint8_t(kSignatureAt);
    std::memcpy(image.data() + kSignatureAt, "PE\0\0", 4);
    for (size_t i = kSignatureAt + 120; i < image.size(); ++i) image[i] = uint8_t(i * 37 + 11);
    return image;
}

void stamp_checksum(std::vector<uint8_t>* image, uint32_t sum) {
    const PeChecksum sums = pe_checksum_of_memory(image->data(), image->size());
    ASSERT_TRUE(sums.has_pe_header);
    for (int i = 0; i < 4; ++i) (*image)[sums.checksum_offset + i] = uint8_t(sum >> (8 * i));
}

TEST(VerifySetupChecksum, RealImages) {
    FakeIntegrityHost host;

    std::vector<uint8_t> image = pe_image(1001);  // odd length
    stamp_checksum(&image, pe_checksum_of_memory(image.data(), image.size()).computed_sum);
    host.file = &image;
    EXPECT_TRUE(verify_setup_checksum(host));

    // One byte changed outside the CheckSum field after stamping.
    image[image.size() - 7] ^= 0x40;
    EXPECT_FALSE(verify_setup_checksum(host));
    EXPECT_EQ(host.refusals.size(), 1u);

    // Built without a checksum: never refused, whatever the content.
    stamp_checksum(&image, 0);
    EXPECT_TRUE(verify_setup_checksum(host));
    EXPECT_EQ(host.refusals.size(), 1u);
}

}  // namespace
