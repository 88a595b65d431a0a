// The string table: every text byte for byte as LoadStringA gives it, with
// real line feeds and single backslashes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/win32/resources/module_resources.h"
#include "ui/resources/resource_ids.h"

namespace {

struct StringCase {
    UINT id;
    const char* text;
};

const StringCase kStrings[] = {
    {IDS_SETUP_CAPTION, "Songwright Setup"},
    {IDS_DEFAULT_FOLDER, "C:\\Program Files\\Morrow\\Songwright"},
    {IDS_ASK_CREATE_FOLDER, "Folder '%s' does not yet exist.\nDo you want to create it?"},
    {IDS_CANNOT_CREATE_FOLDER, "Folder '%s' cannot be created.\nPlease choose another location."},
    {IDS_ASK_ABORT, "Are you sure you want to abort the installation?"},
    {IDS_BROWSE_TITLE, "Choose a location:"},
    {IDS_OUT_OF_MEMORY, "There is not enough memory available."},
    {IDS_INSTALL_SUCCEEDED,
     "The program has successfully been installed.\n\nYou can start it from the Windows Start "
     "menu, in the folder Program Files / Morrow."},
    {IDS_INSTALL_INCOMPLETE, "The program was not completely installed."},
    {IDS_INSTALL_FAILED, "The program cannot be installed."},
    {IDS_REGISTRATION_FAILED,
     "The registration of the program in the system registry was not possible.\nIf you are "
     "installing on Windows NT, 2000 or XP, then please make sure you have Administrator rights."},
    {IDS_UNEXPECTED_SITUATION, "An unexpected situation was encountered."},
};

std::string load_string(UINT id) {
    char buffer[1024];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof(buffer));
    return std::string(buffer, length > 0 ? size_t(length) : 0);
}

TEST(StringTable, EveryTextIsExact) {
    for (const StringCase& c : kStrings) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(load_string(c.id), c.text);
    }
}

TEST(StringTable, IdsWithoutTextAreEmpty) {
    for (UINT id : {102u, 105u, 111u, 117u}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(load_string(id), "");
    }
}

TEST(StringTable, FormatsTakeTheFolder) {
    char format[128];
    char text[260];
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ASK_CREATE_FOLDER, format, sizeof(format)), 0);
    wsprintfA(text, format, "C:\\Songs");
    EXPECT_STREQ(text, "Folder 'C:\\Songs' does not yet exist.\nDo you want to create it?");
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ASK_ABORT, format, sizeof(format)), 0);
    wsprintfA(text, format, "C:\\Songs");
    EXPECT_STREQ(text, "Are you sure you want to abort the installation?");
}

TEST(StringTable, TextIsCutAtTheCapacity) {
    char buffer[8];
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), IDS_SETUP_CAPTION, buffer, sizeof(buffer)), 7);
    EXPECT_STREQ(buffer, "Songwri");
}

}  // namespace
