// The install sequence against a scripted platform, with real packages
// extracted into a temporary folder.
#include "setup/run_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "package/file_system.h"
#include "setup/setup_state.h"
#include "state_fixture.h"
#include "tests/native/package/package_fixture.h"
#include "tests/native/ui/string_table_fixture.h"

namespace {

WriterEntry entry_of(const std::string& name, size_t size, uint32_t seed) {
    WriterEntry entry;
    entry.name = name;
    entry.contents = sample_contents(size, seed);
    return entry;
}

// The program, a document and the licence.
std::vector<WriterEntry> small_entries() {
    return {entry_of("Songwright.exe", 40000, 1), entry_of("Songwright.chm", 20000, 2),
            entry_of("License.rtf", 3000, 3)};
}

// A deflate stream that cannot be inflated: its first block has the
// reserved type.
WriterEntry broken_entry(const std::string& name) {
    WriterEntry entry = entry_of(name, 5000, 9);
    entry.stored_data = Bytes(16, 0xFF);
    return entry;
}

std::string in_folder(const std::string& folder, const std::string& name) {
    return folder + kPathSeparator + name;
}

size_t files_under(const std::string& folder) {
    size_t count = 0;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder))
        if (item.is_regular_file()) ++count;
    return count;
}

class RunSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_setup_state();
        destination = dir.join("dest");
        std::filesystem::create_directory(destination);
        fake.destination = destination;
        fake.package = write_package(small_entries());
    }
    void TearDown() override { reset_setup_state(); }

    bool run() { return run_setup(&instance_token, fake); }

    // The one final message, or "" when none was shown.
    std::string final_message() const {
        EXPECT_LE(fake.messages.size(), 1u);
        return fake.messages.empty() ? std::string() : fake.messages[0];
    }

    TempFolder dir;
    std::string destination;
    FakePlatform fake;
    int instance_token = 0;
};

// --- Every row of the failure table ---

enum class Report { none, plain, detail, system_detail };

struct FailureRow {
    const char* name;
    void (*arrange)(FakePlatform&);
    Report report;
    uint32_t id;           // the plain text, or the detail line's id
    bool reached_report;   // run_setup's result: the exit status is 1 exactly then
    bool program_started;
};

void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

const FailureRow kFailureRows[] = {
    {"integrity_refusal", [](FakePlatform& f) { f.checksum_accepts = false; }, Report::none, 0, false,
     false},
    {"licence_declined", [](FakePlatform& f) { f.license_accepted = false; }, Report::none, 0, false,
     false},
    {"folder_cancelled_while_empty",
     [](FakePlatform& f) {
         f.folder_dialog = [] {
             setup_state.cancelled = true;
             return intptr_t(2);
         };
     },
     Report::none, 0, true, false},
    {"folder_cancelled_after_filled",
     [](FakePlatform& f) {
         f.folder_dialog = [] {
             std::strcpy(setup_state.target_folder, "C:\\Nowhere");
             setup_state.cancelled = true;
             return intptr_t(2);
         };
     },
     Report::plain, 113, true, false},
    {"folder_dialog_fails", [](FakePlatform& f) { f.folder_dialog = [] { return intptr_t(-1); }; },
     Report::none, 0, true, false},
    {"progress_dialog_fails", [](FakePlatform& f) { f.progress_dialog_created = false; },
     Report::detail, 110, true, false},
    {"resource_not_found", [](FakePlatform& f) { f.lookup = PackageLookup::missing; }, Report::plain,
     113, true, false},
    {"resource_empty", [](FakePlatform& f) { f.lookup = PackageLookup::empty; }, Report::detail, 116,
     true, false},
    {"resource_not_loadable", [](FakePlatform& f) { f.lookup = PackageLookup::unloadable; },
     Report::system_detail, 0, true, false},
    {"archive_cannot_open", [](FakePlatform& f) { f.package = Bytes(100, 0x5A); }, Report::plain, 113,
     true, false},
    {"no_entries", [](FakePlatform& f) { f.package = write_package({}); }, Report::plain, 113, true,
     false},
    {"entry_cannot_be_described",
     [](FakePlatform& f) {
         PackageLayout layout;
         f.package = write_package(small_entries(), {}, &layout);
         f.package[layout.local_offsets[1]] ^= 0xFF;  // the local header's signature
     },
     Report::plain, 113, true, false},
    {"entry_cannot_be_extracted",
     [](FakePlatform& f) {
         f.package = write_package({entry_of("Songwright.exe", 4000, 1), broken_entry("Songwright.chm")});
     },
     Report::plain, 113, true, false},
    {"cancel_confirmed_during_copy",
     [](FakePlatform& f) { f.on_pump = [] { setup_state.cancelled = true; }; }, Report::plain, 113,
     true, false},
    {"program_cannot_start", [](FakePlatform& f) { f.program_starts = false; }, Report::system_detail,
     0, true, true},
    {"program_still_running", [](FakePlatform& f) { f.program_ends = false; }, Report::detail, 115,
     true, true},
    {"success", [](FakePlatform&) {}, Report::plain, 112, true, true},
};

class FailureTableTest : public RunSetupTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(FailureTableTest, ShowsItsMessageAndEndsWithItsStatus) {
    const FailureRow& row = GetParam();
    row.arrange(fake);
    EXPECT_EQ(run(), row.reached_report);
    switch (row.report) {
    case Report::none:
        EXPECT_TRUE(fake.messages.empty());
        break;
    case Report::plain:
        EXPECT_EQ(final_message(), table_text(row.id));
        break;
    case Report::detail:
        EXPECT_EQ(final_message(), table_text(114) + "\n" + table_text(row.id));
        break;
    case Report::system_detail:
        EXPECT_EQ(final_message(), table_text(114) + "\n" + fake.system_error_text);
        break;
    }
    for (const std::string& caption : fake.captions) EXPECT_EQ(caption, table_text(103));
    EXPECT_EQ(fake.has_event("start"), row.program_started);
    // Whatever happened, no setup window is left when the hand-off or the
    // final report runs.
    EXPECT_FALSE(fake.progress_exists);
    if (fake.has_event("start")) {
        EXPECT_LT(fake.event_index("destroy-progress"), fake.event_index("start"));
    }
}

std::string row_name(const ::testing::TestParamInfo<FailureRow>& row) { return row.param.name; }

INSTANTIATE_TEST_SUITE_P(EveryRow, FailureTableTest, ::testing::ValuesIn(kFailureRows), row_name);

TEST_F(RunSetupTest, RefusedFileOpensNoDialog) {
    fake.checksum_accepts = false;
    EXPECT_FALSE(run());
    EXPECT_EQ(fake.events, std::vector<std::string>{"checksum"});
}

TEST_F(RunSetupTest, DeclinedLicenceEndsBeforeTheFolderDialog) {
    fake.license_accepted = false;
    EXPECT_FALSE(run());
    EXPECT_EQ(fake.events, (std::vector<std::string>{"checksum", "license"}));
}

// --- The copy ---

TEST_F(RunSetupTest, CopiesEveryEntryAndStartsEntryZero) {
    const std::vector<WriterEntry> entries = delivered_entries();
    fake.package = write_package(entries);
    ASSERT_TRUE(run());

    ASSERT_EQ(fake.labels.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(fake.labels[i], in_folder(destination, entries[i].name));
        EXPECT_EQ(read_file(fake.labels[i]), entries[i].contents) << entries[i].name;
    }
    EXPECT_EQ(setup_state.bytes_total, kProgramSize + kHelpSize + kLicenceSize);
    EXPECT_EQ(setup_state.bytes_done, setup_state.bytes_total);
    EXPECT_STREQ(setup_state.first_path, fake.labels[0].c_str());
    EXPECT_EQ(fake.command_line, "\"" + fake.labels[0] + "\" /Install");
    EXPECT_EQ(fake.program_folder, destination);
    EXPECT_EQ(fake.waited_milliseconds, 20000u);
    EXPECT_EQ(final_message(), table_text(112));

    // The bar rises per chunk and ends full.
    ASSERT_FALSE(fake.positions.empty());
    EXPECT_TRUE(std::is_sorted(fake.positions.begin(), fake.positions.end()));
    EXPECT_EQ(fake.positions.back(), 100u);
    EXPECT_GT(fake.positions.size(), entries.size());
    // Label, range, shown and painted before the first byte; destroyed before
    // the program starts; closed after the wait.
    EXPECT_LT(fake.event_index("label"), fake.event_index("range"));
    EXPECT_LT(fake.event_index("range"), fake.event_index("show"));
    EXPECT_LT(fake.event_index("show"), fake.event_index("pump"));
    EXPECT_LT(fake.event_index("pump"), fake.event_index("position"));
    EXPECT_LT(fake.event_index("destroy-progress"), fake.event_index("start"));
    EXPECT_LT(fake.event_index("wait"), fake.event_index("close"));
    EXPECT_LT(fake.event_index("close"), fake.event_index("message"));
}

TEST_F(RunSetupTest, EntryZeroIsStartedWhateverItsName) {
    fake.package = write_package({entry_of("Readme.txt", 100, 1), entry_of("Songwright.exe", 100, 2)});
    ASSERT_TRUE(run());
    EXPECT_EQ(fake.command_line, "\"" + in_folder(destination, "Readme.txt") + "\" /Install");
}

TEST_F(RunSetupTest, PackageWithoutEntriesNeverShowsTheDialog) {
    fake.package = write_package({});
    ASSERT_TRUE(run());
    EXPECT_TRUE(fake.has_event("create-progress"));
    EXPECT_TRUE(fake.has_event("destroy-progress"));
    EXPECT_FALSE(fake.has_event("show"));
    EXPECT_FALSE(fake.has_event("start"));
    EXPECT_EQ(files_under(destination), 0u);
    EXPECT_EQ(final_message(), table_text(113));
}

TEST_F(RunSetupTest, EmptyEntriesLeaveTheBarAtZeroAndStillHandOff) {
    fake.package = write_package({entry_of("Songwright.exe", 0, 1), entry_of("Empty.txt", 0, 2)});
    ASSERT_TRUE(run());
    EXPECT_EQ(setup_state.bytes_total, 0u);
    EXPECT_TRUE(fake.positions.empty());
    EXPECT_TRUE(file_exists(in_folder(destination, "Songwright.exe")));
    EXPECT_TRUE(read_file(in_folder(destination, "Empty.txt")).empty());
    EXPECT_TRUE(fake.has_event("start"));
    EXPECT_EQ(final_message(), table_text(112));
}

TEST_F(RunSetupTest, TrailingSeparatorIsNotDoubled) {
    fake.destination = destination + kPathSeparator;
    ASSERT_TRUE(run());
    EXPECT_EQ(fake.labels[0], destination + kPathSeparator + "Songwright.exe");
}

TEST_F(RunSetupTest, ForwardSlashesInNamesLeadIntoSubfolders) {
    fake.package = write_package({entry_of("Songwright.exe", 100, 1), entry_of("docs/guide/intro.txt", 100, 2)});
    ASSERT_TRUE(run());
    EXPECT_EQ(fake.labels[1], in_folder(destination, "docs/guide/intro.txt"));
    EXPECT_TRUE(file_exists(destination + "/docs/guide/intro.txt"));
}

TEST_F(RunSetupTest, FailureAtAnEntryKeepsTheEntriesBeforeIt) {
    const std::vector<WriterEntry> entries = {entry_of("Songwright.exe", 30000, 1), entry_of("Second.txt", 30000, 2),
                                              broken_entry("Third.txt"), entry_of("Fourth.txt", 300, 4)};
    fake.package = write_package(entries);
    ASSERT_TRUE(run());
    EXPECT_EQ(read_file(in_folder(destination, "Songwright.exe")), entries[0].contents);
    EXPECT_EQ(read_file(in_folder(destination, "Second.txt")), entries[1].contents);
    EXPECT_FALSE(file_exists(in_folder(destination, "Fourth.txt")));
    EXPECT_EQ(fake.labels.size(), 3u);
    EXPECT_FALSE(fake.has_event("start"));
    EXPECT_EQ(final_message(), table_text(113));
}

TEST_F(RunSetupTest, CancelDuringTheCopyStillWritesEveryEntry) {
    int pumps = 0;
    fake.on_pump = [&] {
        if (++pumps == 2) setup_state.cancelled = true;
    };
    ASSERT_TRUE(run());
    EXPECT_EQ(files_under(destination), small_entries().size());
    EXPECT_EQ(fake.labels.size(), small_entries().size());
    EXPECT_FALSE(fake.has_event("start"));
    EXPECT_EQ(final_message(), table_text(113));
}

TEST_F(RunSetupTest, FirstEntryThatCannotBeReadNeverShowsTheDialog) {
    PackageLayout layout;
    fake.package = write_package(small_entries(), {}, &layout);
    fake.package[layout.local_offsets[0]] ^= 0xFF;
    ASSERT_TRUE(run());
    EXPECT_TRUE(fake.has_event("create-progress"));
    EXPECT_FALSE(fake.has_event("show"));
    EXPECT_TRUE(fake.labels.empty());
    EXPECT_EQ(final_message(), table_text(113));
}

// An entry whose name would leave the destination is never written: it
// fails like an extraction, and the entries before it stay.
class UnsafeNameTest : public RunSetupTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnsafeNameTest, FailsThatEntryAndWritesNothingOutside) {
    fake.package = write_package({entry_of("Songwright.exe", 100, 1), entry_of(GetParam(), 100, 2),
                                  entry_of("After.txt", 100, 3)});
    ASSERT_TRUE(run());
    EXPECT_TRUE(file_exists(in_folder(destination, "Songwright.exe")));
    EXPECT_FALSE(file_exists(in_folder(destination, "After.txt")));
    EXPECT_EQ(files_under(dir.path()), 1u);
    EXPECT_EQ(fake.labels.size(), 1u);
    EXPECT_FALSE(fake.has_event("start"));
    EXPECT_EQ(final_message(), table_text(113));
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeNameTest,
                         ::testing::Values("../escape.txt", "docs/../../escape.txt", "/absolute.txt",
                                           "\\absolute.txt", "\\\\server\\share\\x.txt", "C:drive.txt",
                                           "C:\\drive.txt", "file.txt:stream", ".. /escape.txt"));

// A path of more than 259 bytes fails its entry rather than being cut.
TEST_F(RunSetupTest, PathLongerThan259BytesFailsThatEntry) {
    // Name segments stay below the file systems' 255-byte limit.
    auto name_of_length = [&](size_t total) {
        const size_t length = total - destination.size() - 1;
        std::string name;
        while (name.size() + 101 < length) name += std::string(100, 'd') + "/";
        name += std::string(length - name.size(), 'f');
        return name;
    };
    const std::string fits = name_of_length(259);
    const std::string too_long = "x" + name_of_length(260).substr(1);
    fake.package = write_package({entry_of("Songwright.exe", 100, 1), entry_of(fits, 100, 2),
                                  entry_of(too_long, 100, 3)});
    ASSERT_TRUE(run());
    EXPECT_TRUE(file_exists(in_folder(destination, fits)));
    EXPECT_EQ(in_folder(destination, fits).size(), 259u);
    EXPECT_FALSE(std::filesystem::exists(in_folder(destination, too_long.substr(0, 101))));
    EXPECT_EQ(fake.labels.size(), 2u);
    EXPECT_EQ(final_message(), table_text(113));
}

// --- The final report ---

TEST_F(RunSetupTest, LongDetailIsCutAt259Bytes) {
    fake.lookup = PackageLookup::unloadable;
    fake.system_error_text = std::string(300, 'e');
    ASSERT_TRUE(run());
    const std::string expected = (table_text(114) + "\n" + std::string(300, 'e')).substr(0, 259);
    EXPECT_EQ(final_message(), expected);
}

struct ReportRow {
    const char* name;
    const char* target_folder;
    bool succeeded;
    bool cancelled;
    uint32_t message_id;
    const char* error_text;
    std::string expected;  // "" for no message
};

TEST(FinalReport, ChoosesItsTextFromTheOutcome) {
    const std::string failed = table_text(114) + "\n";
    const ReportRow rows[] = {
        {"no_folder_chosen", "", false, true, 0, "", ""},
        {"no_folder_even_after_a_failure", "", false, false, 110, "", ""},
        {"success", "C:\\Dest", true, false, 0, "", table_text(112)},
        {"success_but_cancelled", "C:\\Dest", true, true, 0, "", table_text(113)},
        {"failure_without_detail", "C:\\Dest", false, false, 0, "", table_text(113)},
        {"message_id", "C:\\Dest", false, false, 116, "", failed + table_text(116)},
        {"message_id_replaces_system_text", "C:\\Dest", false, false, 110, "Access is denied.",
         failed + table_text(110)},
        {"cancel_hides_message_id", "C:\\Dest", false, true, 116, "", table_text(113)},
        {"cancel_keeps_system_text", "C:\\Dest", false, true, 0, "Access is denied.",
         failed + "Access is denied."},
    };
    for (const ReportRow& row : rows) {
        reset_setup_state();
        std::strcpy(setup_state.target_folder, row.target_folder);
        setup_state.succeeded = row.succeeded;
        setup_state.cancelled = row.cancelled;
        setup_state.message_id = row.message_id;
        std::strcpy(setup_state.error_text, row.error_text);
        FakePlatform fake;
        final_report(fake);
        if (row.expected.empty()) {
            EXPECT_TRUE(fake.messages.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(fake.messages.size(), 1u) << row.name;
        EXPECT_EQ(fake.messages[0], row.expected) << row.name;
        EXPECT_EQ(fake.captions[0], table_text(103)) << row.name;
    }
    reset_setup_state();
}

// --- Composing an entry's path ---

struct PathRow {
    const char* folder;
    const char* name;
    bool ok;
    std::string expected;
};

TEST(ComposeEntryPath, JoinsWithOneSeparatorAndKeepsTheName) {
    const std::string sep(1, kPathSeparator);
    const PathRow rows[] = {
        {"C:\\Dest", "Songwright.exe", true, "C:\\Dest" + sep + "Songwright.exe"},
        {"C:\\Dest\\", "Songwright.exe", true, "C:\\Dest\\Songwright.exe"},
        {"C:\\Dest/", "a.txt", true, "C:\\Dest/a.txt"},
        {"C:\\Dest", "docs/a.txt", true, "C:\\Dest" + sep + "docs/a.txt"},
        {"C:\\Dest", "docs\\a.txt", true, "C:\\Dest" + sep + "docs\\a.txt"},
        {"C:\\Dest", "", false, ""},
        {"C:\\Dest", "..\\a.txt", false, ""},
        {"C:\\Dest", "a/../../b.txt", false, ""},
        {"C:\\Dest", "D:\\a.txt", false, ""},
        {"C:\\Dest", "a.txt:hidden", false, ""},
    };
    for (const PathRow& row : rows) {
        char out[kPathCapacity] = "stale";
        EXPECT_EQ(compose_entry_path(row.folder, row.name, out), row.ok) << row.name;
        EXPECT_EQ(std::string(out), row.expected) << row.name;
    }
}

TEST(ComposeEntryPath, FitsExactly259Bytes) {
    const std::string folder(200, 'f');
    char out[kPathCapacity];
    EXPECT_TRUE(compose_entry_path(folder.c_str(), std::string(58, 'n').c_str(), out));
    EXPECT_EQ(std::strlen(out), 259u);
    EXPECT_FALSE(compose_entry_path(folder.c_str(), std::string(59, 'n').c_str(), out));
    EXPECT_STREQ(out, "");
}

}  // namespace
