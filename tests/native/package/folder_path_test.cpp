#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/folder_path.h"
#include "package_fixture.h"

namespace {

int32_t create(const std::string& path) {
    std::vector<char> writable(path.begin(), path.end());
    writable.push_back('\0');
    const int32_t result = create_folder_path(writable.data());
    EXPECT_EQ(std::string(writable.data()), path);  // the string is restored
    return result;
}

TEST(CreateFolderPath, Table) {
    TempFolder dir;
    write_file(dir.join("file"), {});
    struct Case {
        std::string path;
        bool result;
        std::vector<std::string> folders;  // exist afterwards
    } const cases[] = {
        {dir.join("New/Sub/"), true, {dir.join("New"), dir.join("New/Sub")}},
        {dir.join("New/Sub"), true, {dir.join("New/Sub")}},                 // exists already
        {dir.join("A/B/C"), true, {dir.join("A"), dir.join("A/B"), dir.join("A/B/C")}},
        {dir.join("file/Sub"), false, {}},                                  // parent is a file
        {dir.join("file"), false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(create(c.path) != 0, c.result);
        for (const std::string& folder : c.folders) EXPECT_TRUE(is_folder(folder)) << folder;
    }
}

TEST(CreateFolderPath, AnExistingFolderSucceedsEvenWhenAPrefixCannotBeMade) {
    // Backslashes are visited first: the walk looks at "X/a\" , which is a
    // file here, so creating it fails; the whole path is a folder all along.
    TempFolder dir;
    write_file(dir.join("a\\"), {});
    const std::string path = dir.join("a\\b");
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    EXPECT_NE(create(path), 0);
}

TEST(FolderPart, Table) {
    struct Case {
        const char* path;
        bool found;
        const char* folder;
    } const cases[] = {
        {"C:\\Program Files\\Morrow\\a.exe", true, "C:\\Program Files\\Morrow\\"},
        {"C:\\Target/help/index.html", true, "C:\\Target/help/"},
        {"plain.txt", false, ""},
        {"/abs/x", true, "/abs/"},
    };
    for (const Case& c : cases) {
        char folder[260] = "";
        EXPECT_EQ(folder_part(c.path, folder, sizeof folder), c.found) << c.path;
        if (c.found) {
            EXPECT_STREQ(folder, c.folder);
        }
    }
    char folder[260];
    const std::string long_base = "C:\\dir\\" + std::string(256, 'b') + ".txt";
    EXPECT_FALSE(folder_part(long_base.c_str(), folder, sizeof folder));
    const std::string long_extension = "C:\\dir\\b." + std::string(256, 'e');
    EXPECT_FALSE(folder_part(long_extension.c_str(), folder, sizeof folder));
    const std::string fits = "C:\\dir\\" + std::string(200, 'b') + ".txt";
    EXPECT_TRUE(folder_part(fits.c_str(), folder, sizeof folder));
}

TEST(LastChar, FindsTheLastCharacter) {
    EXPECT_EQ(last_char(""), nullptr);
    const char* text = "ab\\";
    EXPECT_EQ(last_char(text), text + 2);
}

}  // namespace
