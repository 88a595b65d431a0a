// The package resource (the product's three entries), the manifest and the
// version record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/archive.h"
#include "tests/win32/resources/module_resources.h"
#include "ui/resources/resource_ids.h"

namespace {

struct EntryCase {
    const char* name;
    uint32_t attributes;
};

// Program first (the setup starts it), then the help file and the licence,
// which is read-only.
const EntryCase kEntries[] = {
    {"Songwright.exe", kAttributeNormal | kAttributeArchive},
    {"Songwright.chm", kAttributeNormal | kAttributeArchive},
    {"License.rtf", kAttributeNormal | kAttributeArchive | kAttributeReadOnly},
};

TEST(PackageResource, HoldsTheProductInOrder) {
    const ResourceBytes package = resource_bytes(RT_RCDATA, MAKEINTRESOURCEA(IDR_PACKAGE), PACKAGE_LANGUAGE);
    ASSERT_NE(package.data, nullptr);
    ASSERT_GT(package.size, 0u);
    PackageArchive* archive = archive_open(package.data, package.size, storage_memory);
    ASSERT_NE(archive, nullptr);
    ArchiveEntry entry = {};
    ASSERT_EQ(archive_get_entry(archive, -1, &entry), status_ok);
    ASSERT_EQ(entry.index, 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(archive_get_entry(archive, i, &entry), status_ok);
        EXPECT_STREQ(entry.name, kEntries[i].name);
        EXPECT_EQ(entry.attributes, kEntries[i].attributes);
        EXPECT_GT(entry.uncompressed_size, 0u);
    }
    // The program is a Windows executable, the licence an RTF document.
    char head[8] = {};
    EXPECT_EQ(archive_extract(archive, 0, head, 2, storage_memory, nullptr), status_more);
    EXPECT_EQ(std::memcmp(head, "MZ", 2), 0);
    archive_close(archive);
    archive = archive_open(package.data, package.size, storage_memory);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(archive_extract(archive, 2, head, 5, storage_memory, nullptr), status_more);
    EXPECT_EQ(std::memcmp(head, "{\\rtf", 5), 0);
    archive_close(archive);
}

std::string manifest_text() {
    const ResourceBytes manifest = resource_bytes(RT_MANIFEST, MAKEINTRESOURCEA(IDR_MANIFEST), MANIFEST_LANGUAGE);
    return std::string(reinterpret_cast<const char*>(manifest.data), manifest.size);
}

TEST(Manifest, IsUtf8WithoutByteOrderMark) {
    const std::string text = manifest_text();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u) << text;
    for (unsigned char c : text) EXPECT_LT(c, 0x80);
}

// The delivered 32-bit setup says x86; the x86-64 test build names its own
// processor, or it would not get the common controls it asks for.
#ifdef _WIN64
#define SETUP_ARCHITECTURE "amd64"
#else
#define SETUP_ARCHITECTURE "x86"
#endif

TEST(Manifest, NamesTheSetupAndCommonControlsSix) {
    const std::string text = manifest_text();
    const char* const kParts[] = {
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">",
        "<assemblyIdentity version=\"1.0.0.0\" processorArchitecture=\"" SETUP_ARCHITECTURE
        "\" name=\"Songwright Setup\" "
        "type=\"win32\"/>",
        "<description>Songwright Setup Application</description>",
        "<dependency>",
        "<dependentAssembly>",
        "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"" SETUP_ARCHITECTURE "\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>",
    };
    for (const char* part : kParts) EXPECT_NE(text.find(part), std::string::npos) << part;
    EXPECT_EQ(text.find("trustInfo"), std::string::npos);
}

class VersionRecord : public ::testing::Test {
protected:
    void SetUp() override {
        char path[MAX_PATH];
        ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
        ASSERT_GT(size, 0u);
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data_.data()));
    }

    std::string value(const char* name) {
        char* text = nullptr;
        UINT length = 0;
        const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
        if (!VerQueryValueA(data_.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) ||
            text == nullptr) {
            return "<missing>";
        }
        return text;
    }

    std::vector<char> data_;
};

TEST_F(VersionRecord, FixedPartSaysVersion430Application) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x0004001Eu);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x0004001Eu);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
}

TEST_F(VersionRecord, OneEnglishUnicodeStringBlock) {
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);
    EXPECT_EQ(value("FileDescription"), "Songwright Setup");
    EXPECT_EQ(value("ProductName"), "Songwright");
    EXPECT_EQ(value("FileVersion"), "4, 30, 0, 0");
    EXPECT_EQ(value("ProductVersion"), "4, 30, 0, 0");
}

}  // namespace
