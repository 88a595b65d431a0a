// The hand-off: the command line, the start in the destination folder and
// the bounded wait.
#include "setup/handoff.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_platform.h"
#include "setup/setup_state.h"
#include "state_fixture.h"
#include "tests/native/ui/string_table_fixture.h"

namespace {

TEST(ComposeInstallCommand, QuotesThePathWhole) {
    char out[kCommandLineCapacity];
    ASSERT_TRUE(compose_install_command("C:\\Program Files\\Morrow\\Songwright\\Songwright.exe", out,
                                        sizeof out));
    EXPECT_STREQ(out, "\"C:\\Program Files\\Morrow\\Songwright\\Songwright.exe\" /Install");
}

TEST(ComposeInstallCommand, RefusesWhatDoesNotFit) {
    const std::string path(20, 'p');
    char out[32];
    // Quotes, path, " /Install" and the terminator: 2 + 20 + 9 + 1 = 32.
    EXPECT_TRUE(compose_install_command(path.c_str(), out, 32));
    EXPECT_EQ(std::strlen(out), 31u);
    EXPECT_FALSE(compose_install_command(path.c_str(), out, 31));
    EXPECT_STREQ(out, "");
}

TEST(ComposeInstallCommand, ALongestPathFitsTheBuffer) {
    const std::string path(kPathCapacity - 1, 'p');
    char out[kCommandLineCapacity];
    EXPECT_TRUE(compose_install_command(path.c_str(), out, sizeof out));
}

struct LaunchRow {
    const char* name;
    bool starts;
    bool ends;
    bool result;
    uint32_t message_id;
    bool error_text_set;
    bool waited;
};

TEST(LaunchInstalledProgram, StartsWaitsAndRecordsFailures) {
    const LaunchRow rows[] = {
        {"ends_in_time", true, true, true, 0, false, true},
        {"still_running_or_wait_failed", true, false, false, 115, false, true},
        {"cannot_start", false, true, false, 0, true, false},
    };
    for (const LaunchRow& row : rows) {
        reset_setup_state();
        std::strcpy(setup_state.target_folder, "C:\\Program Files\\Morrow\\Songwright");
        std::strcpy(setup_state.first_path, "C:\\Program Files\\Morrow\\Songwright\\Songwright.exe");
        FakePlatform fake;
        fake.program_starts = row.starts;
        fake.program_ends = row.ends;
        EXPECT_EQ(launch_installed_program(fake), row.result) << row.name;
        EXPECT_EQ(setup_state.succeeded, row.result) << row.name;
        EXPECT_EQ(setup_state.message_id, row.message_id) << row.name;
        EXPECT_EQ(std::string(setup_state.error_text), row.error_text_set ? fake.system_error_text : "")
            << row.name;
        EXPECT_EQ(fake.command_line, "\"C:\\Program Files\\Morrow\\Songwright\\Songwright.exe\" /Install")
            << row.name;
        EXPECT_EQ(fake.program_folder, "C:\\Program Files\\Morrow\\Songwright") << row.name;
        EXPECT_EQ(fake.has_event("wait"), row.waited) << row.name;
        // The handles are released whenever the program was started; the
        // program itself is never stopped.
        EXPECT_EQ(fake.has_event("close"), row.starts) << row.name;
        if (row.waited) {
            EXPECT_EQ(fake.waited_milliseconds, 20000u) << row.name;
        }
        // The system's text is read right after the failed start.
        if (!row.starts) {
            EXPECT_EQ(fake.event_index("last-error"), fake.event_index("start") + 1);
        }
    }
    reset_setup_state();
}

}  // namespace
