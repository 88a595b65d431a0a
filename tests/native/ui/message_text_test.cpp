// Message texts in fixed buffers: whole characters, never an overrun, and a
// long folder shortened in its middle.
#include "ui/message_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "string_table_fixture.h"

namespace {

TEST(AppendText, AppendsWhatFitsAndSaysWhenCut) {
    char out[8] = "abc";
    EXPECT_TRUE(append_text(out, sizeof out, "de"));
    EXPECT_STREQ(out, "abcde");
    EXPECT_FALSE(append_text(out, sizeof out, "fghij"));
    EXPECT_STREQ(out, "abcdefg");
    EXPECT_FALSE(append_text(out, sizeof out, "x"));
    EXPECT_STREQ(out, "abcdefg");
    EXPECT_TRUE(append_text(out, sizeof out, ""));
}

struct ShortenRow {
    const char* text;
    size_t limit;
    const char* expected;
};

TEST(ShortenMiddle, KeepsStartAndEnd) {
    const ShortenRow rows[] = {
        {"C:\\Short", 20, "C:\\Short"},
        {"C:\\Short", 8, "C:\\Short"},
        {"C:\\Program Files\\Morrow\\Songwright", 20, "C:\\Progr...ongwright"},
        {"0123456789", 9, "012...789"},
        {"0123456789", 3, "012"},
        {"0123456789", 0, ""},
    };
    for (const ShortenRow& row : rows) {
        char out[64];
        shorten_middle(row.text, row.limit, out);
        EXPECT_STREQ(out, row.expected) << row.text << " " << row.limit;
        EXPECT_LE(std::strlen(out), row.limit);
    }
}

TEST(FormatWithFolder, PutsTheFolderBetweenTheQuotes) {
    char out[260];
    format_with_folder(table_text(106).c_str(), "C:\\Songs", out, sizeof out);
    EXPECT_STREQ(out, "Folder 'C:\\Songs' does not yet exist.\nDo you want to create it?");
    format_with_folder(table_text(107).c_str(), "", out, sizeof out);
    EXPECT_STREQ(out, "Folder '' cannot be created.\nPlease choose another location.");
}

TEST(FormatWithFolder, AFormatWithoutPlaceholderIsUnchanged) {
    char out[260];
    format_with_folder(table_text(108).c_str(), "C:\\Songs", out, sizeof out);
    EXPECT_EQ(std::string(out), table_text(108));
    format_with_folder("100%% sure: %s", "yes", out, sizeof out);
    EXPECT_STREQ(out, "100% sure: yes");
}

TEST(FormatWithFolder, ALongFolderIsShortenedToFit) {
    const std::string folder = "C:\\" + std::string(240, 'a') + "\\LastFolder";  // 254 bytes
    const std::string format = table_text(106);
    char out[260];
    std::memset(out, '#', sizeof out);
    format_with_folder(format.c_str(), folder.c_str(), out, sizeof out);
    const std::string text(out);
    EXPECT_EQ(text.size(), 259u);
    EXPECT_EQ(text.rfind("Folder 'C:\\aaa", 0), 0u);
    EXPECT_NE(text.find("aaa...aaa"), std::string::npos);
    const std::string end = "a\\LastFolder' does not yet exist.\nDo you want to create it?";
    EXPECT_EQ(text.compare(text.size() - end.size(), end.size(), end), 0);
}

TEST(FormatWithFolder, NeverOverrunsASmallBuffer) {
    char out[24];
    std::memset(out, '#', sizeof out);
    format_with_folder(table_text(107).c_str(), "C:\\Somewhere\\Else", out, 16);
    EXPECT_EQ(std::strlen(out), 15u);
    EXPECT_EQ(out[16], '#');
}

}  // namespace
