// The destination dialog's decisions: start, Install, Cancel and Browse.
#include "ui/folder_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "setup/setup_state.h"
#include "string_table_fixture.h"
#include "tests/native/setup/state_fixture.h"

namespace {

constexpr intptr_t kStillOpen = -99;

struct Question {
    std::string text;
    std::string caption;
    DefaultAnswer default_answer;
};

class FakeFolderHost : public FolderDialogHost {
public:
    // --- The script ---
    std::string field = "C:\\Program Files\\Morrow\\Songwright";
    std::vector<std::string> existing_folders;
    bool creation_works = true;
    std::function<bool()> answer = [] { return true; };
    bool browse_chooses = true;
    std::string chosen_folder = "D:\\Chosen";

    // --- The record ---
    intptr_t ended = kStillOpen;
    std::vector<Question> questions;
    std::vector<Question> errors;
    std::vector<std::string> created;
    std::vector<std::string> browse_started_at;
    int icons = 0;
    int logos = 0;
    int field_writes = 0;

    void load_string(uint32_t id, char* buffer, size_t capacity) override {
        load_table_string(id, buffer, capacity);
    }
    void read_folder_field(char* buffer, size_t capacity) override {
        std::strncpy(buffer, field.c_str(), capacity - 1);
        buffer[capacity - 1] = '\0';
    }
    void set_folder_field(const char* text) override {
        field = text;
        ++field_writes;
    }
    bool folder_exists(const char* path) override {
        for (const std::string& folder : existing_folders)
            if (folder == path) return true;
        return false;
    }
    bool create_folder_path(char* path) override {
        if (!creation_works || path[0] == '\0') return false;
        created.push_back(path);
        return true;
    }
    bool ask_yes_no(const char* text, const char* caption, DefaultAnswer default_answer) override {
        questions.push_back({text, caption, default_answer});
        return answer();
    }
    void show_error(const char* text, const char* caption) override {
        errors.push_back({text, caption, DefaultAnswer::yes});
    }
    void end_dialog(intptr_t result) override { ended = result; }
    bool browse_for_folder(char* path) override {
        browse_started_at.push_back(path);
        if (!browse_chooses) return false;
        std::strcpy(path, chosen_folder.c_str());
        return true;
    }
    void set_small_icon() override { ++icons; }
    void start_logo() override { ++logos; }
};

std::string ask_create(const std::string& folder) {
    return "Folder '" + folder + "' does not yet exist.\nDo you want to create it?";
}

class FolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override { reset_setup_state(); }
    void TearDown() override { reset_setup_state(); }
    FakeFolderHost host;
};

TEST_F(FolderDialogTest, StartShowsTheDefaultFolderWithoutTakingIt) {
    EXPECT_TRUE(folder_dialog_init(host));
    EXPECT_EQ(host.field, table_text(104));
    EXPECT_STREQ(setup_state.target_folder, "");
    EXPECT_EQ(host.icons, 1);
    EXPECT_EQ(host.logos, 1);
}

TEST_F(FolderDialogTest, StartOfTheProgressDialogDoesNothing) {
    std::strcpy(setup_state.target_folder, "C:\\Dest");
    host.field = "";
    EXPECT_FALSE(folder_dialog_init(host));
    EXPECT_EQ(host.field_writes, 0);
    EXPECT_EQ(host.icons, 0);
    EXPECT_EQ(host.logos, 0);
}

struct InstallRow {
    const char* name;
    bool exists;
    bool asked;
    bool answer;
    bool creation_works;
    intptr_t ended;
    bool error_shown;
};

TEST_F(FolderDialogTest, InstallTable) {
    const InstallRow rows[] = {
        {"existing_folder", true, false, false, true, 1, false},
        {"missing_answer_no", false, true, false, true, kStillOpen, false},
        {"missing_answer_yes_created", false, true, true, true, 1, false},
        {"missing_answer_yes_creation_fails", false, true, true, false, kStillOpen, true},
    };
    for (const InstallRow& row : rows) {
        reset_setup_state();
        FakeFolderHost fake;
        fake.field = "C:\\Songs";
        if (row.exists) fake.existing_folders.push_back("C:\\Songs");
        const bool answer = row.answer;
        fake.answer = [answer] { return answer; };
        fake.creation_works = row.creation_works;
        EXPECT_EQ(setup_dialog_command(fake, 1), 1) << row.name;
        EXPECT_STREQ(setup_state.target_folder, "C:\\Songs") << row.name;
        EXPECT_EQ(fake.ended, row.ended) << row.name;
        ASSERT_EQ(fake.questions.size(), row.asked ? 1u : 0u) << row.name;
        if (row.asked) {
            EXPECT_EQ(fake.questions[0].text, ask_create("C:\\Songs")) << row.name;
            EXPECT_EQ(fake.questions[0].caption, table_text(103)) << row.name;
            EXPECT_EQ(fake.questions[0].default_answer, DefaultAnswer::yes) << row.name;
        }
        ASSERT_EQ(fake.errors.size(), row.error_shown ? 1u : 0u) << row.name;
        if (row.error_shown) {
            EXPECT_EQ(fake.errors[0].text,
                      "Folder 'C:\\Songs' cannot be created.\nPlease choose another location.");
            EXPECT_EQ(fake.errors[0].caption, table_text(103));
        }
        EXPECT_FALSE(setup_state.cancelled) << row.name;
    }
}

TEST_F(FolderDialogTest, InstallWithAnEmptyFieldThenCancelEndsWithoutAsking) {
    host.field = "";
    setup_dialog_command(host, 1);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].text, ask_create(""));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.ended, kStillOpen);
    EXPECT_EQ(setup_dialog_command(host, 2), 1);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.ended, 2);
    EXPECT_TRUE(setup_state.cancelled);
}

TEST_F(FolderDialogTest, LongestFieldIsShortenedInTheQuestion) {
    host.field = "C:\\" + std::string(256, 'x');  // 259 bytes, the most the field gives
    host.answer = [] { return false; };
    setup_dialog_command(host, 1);
    EXPECT_EQ(std::strlen(setup_state.target_folder), 259u);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].text.size(), 259u);
    EXPECT_NE(host.questions[0].text.find("..."), std::string::npos);
}

TEST_F(FolderDialogTest, FieldLongerThan259IsCut) {
    host.field = std::string(400, 'y');
    host.existing_folders.push_back(std::string(259, 'y'));
    setup_dialog_command(host, 1);
    EXPECT_EQ(std::string(setup_state.target_folder), std::string(259, 'y'));
    EXPECT_EQ(host.ended, 1);
}

struct CancelRow {
    const char* name;
    const char* target_folder;
    bool answer;
    bool cancelled_when_answered;
    bool asked;
    intptr_t ended;
};

TEST_F(FolderDialogTest, CancelTable) {
    const CancelRow rows[] = {
        {"empty_folder", "", false, false, false, 2},
        {"answer_yes", "C:\\Songs", true, false, true, 2},
        {"answer_no_cancelled_meanwhile", "C:\\Songs", false, true, true, 2},
        {"answer_no", "C:\\Songs", false, false, true, kStillOpen},
    };
    for (const CancelRow& row : rows) {
        reset_setup_state();
        std::strcpy(setup_state.target_folder, row.target_folder);
        FakeFolderHost fake;
        const CancelRow copy = row;
        fake.answer = [copy] {
            if (copy.cancelled_when_answered) setup_state.cancelled = true;
            return copy.answer;
        };
        EXPECT_EQ(setup_dialog_command(fake, 2), 1) << row.name;
        EXPECT_EQ(fake.ended, row.ended) << row.name;
        EXPECT_EQ(setup_state.cancelled, row.ended == 2) << row.name;
        ASSERT_EQ(fake.questions.size(), row.asked ? 1u : 0u) << row.name;
        if (row.asked) {
            // The folder is passed along and not used.
            EXPECT_EQ(fake.questions[0].text, table_text(108)) << row.name;
            EXPECT_EQ(fake.questions[0].caption, table_text(103)) << row.name;
            EXPECT_EQ(fake.questions[0].default_answer, DefaultAnswer::no) << row.name;
        }
    }
}

TEST_F(FolderDialogTest, BrowseStartsFromTheDefaultAndFillsTheField) {
    host.field = "typed but ignored";
    EXPECT_EQ(setup_dialog_command(host, 1012), 0);
    EXPECT_EQ(host.browse_started_at, std::vector<std::string>{table_text(104)});
    EXPECT_STREQ(setup_state.target_folder, "D:\\Chosen");
    EXPECT_EQ(host.field, "D:\\Chosen");
}

TEST_F(FolderDialogTest, CancelledBrowseStillMakesCancelAsk) {
    host.field = "typed";
    host.browse_chooses = false;
    setup_dialog_command(host, 1012);
    EXPECT_EQ(host.field, "typed");
    EXPECT_EQ(std::string(setup_state.target_folder), table_text(104));
    host.answer = [] { return false; };
    setup_dialog_command(host, 2);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.ended, kStillOpen);
}

TEST_F(FolderDialogTest, BrowseKeepsAFolderAlreadyTaken) {
    std::strcpy(setup_state.target_folder, "E:\\Earlier");
    setup_dialog_command(host, 1012);
    EXPECT_EQ(host.browse_started_at, std::vector<std::string>{"E:\\Earlier"});
}

TEST_F(FolderDialogTest, OtherCommandsAreNotHandled) {
    for (int id : {0, 3, 507, 1006, 1011, 0xFFFF}) {
        EXPECT_EQ(setup_dialog_command(host, id), 0) << id;
    }
    EXPECT_EQ(host.ended, kStillOpen);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_TRUE(host.browse_started_at.empty());
}

}  // namespace
