// The licence dialog's decisions: running it, its commands, the text taken
// from the package and the stream that hands it over.
#include "ui/license_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/package/package_fixture.h"
#include "tools/package_writer.h"

namespace {

WriterEntry text_entry(const std::string& name, const std::string& text) {
    WriterEntry entry;
    entry.name = name;
    entry.contents.assign(text.begin(), text.end());
    return entry;
}

std::string stream_text() {
    if (!license_stream.data) return "<none>";
    return std::string(reinterpret_cast<const char*>(license_stream.data), size_t(license_stream.size));
}

class LicenseTextTest : public ::testing::Test {
protected:
    void TearDown() override { free_license_stream(); }
};

struct EntryRow {
    const char* name;
    std::vector<WriterEntry> entries;
    std::string expected;  // "<none>": no text
};

TEST_F(LicenseTextTest, TakesTheFirstEntryNamedExactly) {
    const std::string rtf = "{\\rtf1\\ansi Terms\\par}";
    const EntryRow rows[] = {
        {"exact_name", {text_entry("Songwright.exe", "MZ"), text_entry("License.rtf", rtf)}, rtf},
        {"other_case", {text_entry("license.rtf", rtf), text_entry("LICENSE.RTF", rtf)}, "<none>"},
        {"folder_part", {text_entry("docs/License.rtf", rtf), text_entry("docs\\License.rtf", rtf)}, "<none>"},
        {"lower_index_wins", {text_entry("License.rtf", "first"), text_entry("License.rtf", "second")}, "first"},
        {"empty_entry", {text_entry("License.rtf", "")}, ""},
        {"no_entries", {}, "<none>"},
    };
    for (const EntryRow& row : rows) {
        const Bytes package = write_package(row.entries);
        EXPECT_EQ(fill_license_stream(package.data(), uint32_t(package.size())), row.expected != "<none>")
            << row.name;
        EXPECT_EQ(stream_text(), row.expected) << row.name;
        EXPECT_EQ(license_stream.position, 0) << row.name;
        free_license_stream();
    }
}

TEST_F(LicenseTextTest, NothingToReadGivesNoText) {
    const Bytes garbage(64, 0x33);
    EXPECT_FALSE(fill_license_stream(garbage.data(), uint32_t(garbage.size())));
    EXPECT_FALSE(fill_license_stream(nullptr, 0));
    EXPECT_EQ(license_stream.data, nullptr);
}

TEST_F(LicenseTextTest, AnEntryThatCannotBeDescribedIsPassedOver) {
    PackageLayout layout;
    Bytes package = write_package({text_entry("License.rtf", "damaged"), text_entry("License.rtf", "sound")}, {},
                                  &layout);
    package[layout.local_offsets[0]] ^= 0xFF;
    ASSERT_TRUE(fill_license_stream(package.data(), uint32_t(package.size())));
    EXPECT_EQ(stream_text(), "sound");
}

TEST_F(LicenseTextTest, LargeTextIsReadWhole) {
    WriterEntry entry;
    entry.name = "License.rtf";
    entry.contents = sample_contents(100000, 7);
    const Bytes package = write_package({entry});
    ASSERT_TRUE(fill_license_stream(package.data(), uint32_t(package.size())));
    EXPECT_EQ(Bytes(license_stream.data, license_stream.data + license_stream.size), entry.contents);
}

TEST_F(LicenseTextTest, StreamHandsOverThePiecesAskedFor) {
    const std::string text = "{\\rtf1 0123456789abcdefghij}";
    const Bytes package = write_package({text_entry("License.rtf", text)});
    for (int32_t piece : {1, 3, 7, 4096}) {
        ASSERT_TRUE(fill_license_stream(package.data(), uint32_t(package.size())));
        std::string joined;
        uint8_t buffer[4096];
        int32_t delivered = -1;
        int calls = 0;
        do {
            ASSERT_EQ(license_stream_read(0, buffer, piece, &delivered), 0u);
            ASSERT_LE(delivered, piece);
            joined.append(reinterpret_cast<const char*>(buffer), size_t(delivered));
            ASSERT_LT(++calls, 1000);
        } while (delivered > 0);
        EXPECT_EQ(joined, text) << piece;
        // Every call after the end delivers nothing.
        EXPECT_EQ(license_stream_read(0, buffer, piece, &delivered), 0u);
        EXPECT_EQ(delivered, 0);
        free_license_stream();
    }
}

TEST_F(LicenseTextTest, StreamRefusesMissingPlaces) {
    const Bytes package = write_package({text_entry("License.rtf", "abc")});
    ASSERT_TRUE(fill_license_stream(package.data(), uint32_t(package.size())));
    uint8_t buffer[8];
    int32_t delivered = 0;
    EXPECT_EQ(license_stream_read(0, nullptr, 8, &delivered), 1u);
    EXPECT_EQ(license_stream_read(0, buffer, 8, nullptr), 1u);
    EXPECT_EQ(license_stream.position, 0);
    // A negative request delivers nothing.
    EXPECT_EQ(license_stream_read(0, buffer, -5, &delivered), 0u);
    EXPECT_EQ(delivered, 0);
}

TEST_F(LicenseTextTest, EmptyTextEndsAtTheFirstCall) {
    const Bytes package = write_package({text_entry("License.rtf", "")});
    ASSERT_TRUE(fill_license_stream(package.data(), uint32_t(package.size())));
    uint8_t buffer[8];
    int32_t delivered = -1;
    EXPECT_EQ(license_stream_read(0, buffer, 8, &delivered), 0u);
    EXPECT_EQ(delivered, 0);
}

// --- Running the dialog ---

class FakeRunner : public LicenseRunner {
public:
    bool library_loads = true;
    intptr_t result = 1;
    std::vector<std::string> calls;
    bool load_rich_edit() override {
        calls.push_back("load");
        return library_loads;
    }
    void free_rich_edit() override { calls.push_back("free"); }
    intptr_t show_license_dialog() override {
        calls.push_back("show");
        return result;
    }
};

TEST(RunLicenseDialog, GoesOnOnlyWhenAcceptedOrSkipped) {
    struct Row {
        bool loads;
        intptr_t result;
        bool goes_on;
        std::vector<std::string> calls;
    };
    const Row rows[] = {
        {false, 1, true, {"load"}},
        {true, 1, true, {"load", "show", "free"}},
        {true, 2, false, {"load", "show", "free"}},
        {true, -1, false, {"load", "show", "free"}},
    };
    for (const Row& row : rows) {
        FakeRunner runner;
        runner.library_loads = row.loads;
        runner.result = row.result;
        EXPECT_EQ(run_license_dialog(runner), row.goes_on) << row.loads << " " << row.result;
        EXPECT_EQ(runner.calls, row.calls);
    }
}

// --- The procedure's decisions ---

class FakeLicenseHost : public LicenseDialogHost {
public:
    bool ticked = false;
    std::vector<bool> agree_states;
    intptr_t ended = -99;
    int icons = 0;
    int loads = 0;
    void set_small_icon() override { ++icons; }
    void enable_agree(bool enabled) override { agree_states.push_back(enabled); }
    bool is_agreement_ticked() override { return ticked; }
    void end_dialog(intptr_t result) override { ended = result; }
    void load_license_text() override { ++loads; }
};

TEST_F(LicenseTextTest, StartDisablesAgreeAndLoadsTheText) {
    FakeLicenseHost host;
    EXPECT_EQ(license_dialog_init(host), 0);
    EXPECT_EQ(host.agree_states, std::vector<bool>{false});
    EXPECT_EQ(host.icons, 1);
    EXPECT_EQ(host.loads, 1);
}

TEST_F(LicenseTextTest, TheBoxDrivesAgree) {
    FakeLicenseHost host;
    host.ticked = true;
    EXPECT_EQ(license_dialog_command(host, 1000), 0);
    host.ticked = false;
    EXPECT_EQ(license_dialog_command(host, 1000), 0);
    EXPECT_EQ(host.agree_states, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.ended, -99);
}

TEST_F(LicenseTextTest, BothButtonsEndWithTheirIdAndFreeTheText) {
    const Bytes package = write_package({text_entry("License.rtf", "terms")});
    for (int id : {1, 2}) {
        ASSERT_TRUE(fill_license_stream(package.data(), uint32_t(package.size())));
        FakeLicenseHost host;
        EXPECT_EQ(license_dialog_command(host, id), 1);
        EXPECT_EQ(host.ended, id);
        EXPECT_EQ(license_stream.data, nullptr);
    }
}

TEST_F(LicenseTextTest, OtherCommandsAreNotHandled) {
    FakeLicenseHost host;
    for (int id : {0, 3, 1010, 0xFFFF}) EXPECT_EQ(license_dialog_command(host, id), 0) << id;
    EXPECT_TRUE(host.agree_states.empty());
    EXPECT_EQ(host.ended, -99);
}

}  // namespace
