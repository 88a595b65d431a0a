// Each resource exists in exactly one language: neutral for what the user
// reads, English (United States) for the package, the manifest and the
// version record.
#include <gtest/gtest.h>

#include "tests/win32/resources/module_resources.h"
#include "ui/resources/resource_ids.h"

namespace {

struct LanguageCase {
    const char* what;
    LPCSTR type;
    LPCSTR name;
    WORD language;
};

// String table blocks hold 16 ids each: 103-111 are in block 7, 112-116 in 8.
const LanguageCase kLanguages[] = {
    {"strings 96-111", RT_STRING, MAKEINTRESOURCEA(IDS_SETUP_CAPTION / 16 + 1), kNeutral},
    {"strings 112-127", RT_STRING, MAKEINTRESOURCEA(IDS_UNEXPECTED_SITUATION / 16 + 1), kNeutral},
    {"licence dialog", RT_DIALOG, MAKEINTRESOURCEA(IDD_LICENSE), kNeutral},
    {"destination dialog", RT_DIALOG, MAKEINTRESOURCEA(IDD_DESTINATION), kNeutral},
    {"progress dialog", RT_DIALOG, MAKEINTRESOURCEA(IDD_PROGRESS), kNeutral},
    {"file icon", RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_SETUP_FILE), kNeutral},
    {"small icon", RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_SETUP_SMALL), kNeutral},
    {"logo", LOGO_RESOURCE_TYPE, MAKEINTRESOURCEA(IDR_LOGO), kNeutral},
    {"package", RT_RCDATA, MAKEINTRESOURCEA(IDR_PACKAGE), PACKAGE_LANGUAGE},
    {"manifest", RT_MANIFEST, MAKEINTRESOURCEA(IDR_MANIFEST), MANIFEST_LANGUAGE},
    {"version", RT_VERSION, MAKEINTRESOURCEA(1), kEnglishUs},
};

TEST(ResourceLanguage, EachResourceHasItsOneLanguage) {
    for (const LanguageCase& c : kLanguages) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(resource_languages(c.type, c.name), std::vector<WORD>{c.language});
        EXPECT_NE(resource_bytes(c.type, c.name, c.language).data, nullptr);
    }
}

TEST(ResourceLanguage, LogoIsFoundByTypeName) {
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_LOGO), "GIF"), nullptr);
}

}  // namespace
