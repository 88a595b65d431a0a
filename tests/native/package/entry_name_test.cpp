#include <gtest/gtest.h>

#include <string>

#include "package/archive.h"
#include "package/entry_name.h"

namespace {

TEST(EntryName, SafeNamesTable) {
    struct Case {
        const char* name;
        bool safe;
    } const cases[] = {
        {"Songwright.exe", true},
        {"help/index.html", true},
        {"help\\index.html", true},
        {"a/./b", true},
        {"..name", true},
        {"name..", true},
        {"a/..b/c", true},
        {"", false},
        {"/etc/passwd", false},
        {"\\Windows\\win.ini", false},
        {"\\\\server\\share\\x", false},
        {"//server/share/x", false},
        {"C:\\Windows\\x", false},
        {"C:relative", false},
        {"..", false},
        {"../x", false},
        {"a/../../x", false},
        {"a\\..\\..\\x", false},
        {"a/..", false},
        {"a/.. /x", false},   // Windows drops trailing blanks: ".. " is ".."
        {"a/.../x", false},   // and trailing dots
        {"file.txt:stream", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(is_safe_entry_name(c.name), c.safe);
    }
    EXPECT_FALSE(is_safe_entry_name(nullptr));
}

TEST(EntryName, JoinAddsOneSeparator) {
    struct Case {
        const char* folder;
        const char* name;
        const char* joined;
    } const cases[] = {
        {"C:\\Program Files\\Morrow", "a.exe", "C:\\Program Files\\Morrow\\a.exe"},
        {"C:\\Target\\", "a.exe", "C:\\Target\\a.exe"},
        {"C:/Target/", "a.exe", "C:/Target/a.exe"},
        {"C:\\Target", "help/index.html", "C:\\Target\\help/index.html"},
    };
    for (const auto& c : cases) {
        char out[kPathCapacity];
        ASSERT_TRUE(join_entry_path(c.folder, c.name, '\\', out, sizeof out));
        EXPECT_STREQ(out, c.joined);
    }
}

TEST(EntryName, JoinRefusesWhatDoesNotFit) {
    char out[kPathCapacity];
    const std::string folder(250, 'f');
    // 250 + 1 + 8 = 259 bytes: the longest that fits.
    ASSERT_TRUE(join_entry_path(folder.c_str(), "12345678", '\\', out, sizeof out));
    EXPECT_EQ(std::string(out).size(), 259u);
    EXPECT_FALSE(join_entry_path(folder.c_str(), "123456789", '\\', out, sizeof out));
    EXPECT_STREQ(out, "");
}

}  // namespace
