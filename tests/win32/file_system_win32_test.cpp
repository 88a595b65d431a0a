// The file-system seam of the archive over Win32, and extraction to Windows
// paths, run under wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/archive.h"
#include "package/file_system.h"
#include "tools/package_writer.h"
#include "win32_temp_folder.h"

namespace {

constexpr uint32_t kUnixTime = 1700000000;  // 2023-11-14 22:13:20 UTC
constexpr uint64_t kTicksPerSecond = 10000000ull;
constexpr uint64_t kUnixEpochTicks = 116444736000000000ull;

uint64_t ticks_of(const FILETIME& time) {
    return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint64_t ticks_of_unix(uint32_t seconds) { return kUnixEpochTicks + uint64_t(seconds) * kTicksPerSecond; }

std::string read_whole(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

bool write_whole(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
    CloseHandle(file);
    return ok;
}

struct Times {
    uint64_t creation, access, write;
};

Times times_of(const std::string& path) {
    Times times = {0, 0, 0};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return times;
    FILETIME c, a, w;
    if (GetFileTime(file, &c, &a, &w)) times = {ticks_of(c), ticks_of(a), ticks_of(w)};
    CloseHandle(file);
    return times;
}

class FileSystemWin32Test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.path().empty()); }
    Win32TempFolder folder;
};

TEST_F(FileSystemWin32Test, WriteSetTimesAndReadBack) {
    const std::string path = folder.join("round.bin");
    FileHandle out = fs_create_for_writing(path.c_str());
    ASSERT_NE(out, kInvalidFile);
    EXPECT_EQ(fs_write(out, "hello, ", 7), 7);
    EXPECT_EQ(fs_write(out, "world", 5), 5);
    const FileTime creation = filetime_from_ticks(ticks_of_unix(kUnixTime));
    const FileTime access = filetime_from_ticks(ticks_of_unix(kUnixTime + 60));
    const FileTime write = filetime_from_ticks(ticks_of_unix(kUnixTime + 120));
    EXPECT_TRUE(fs_set_times(out, creation, access, write));
    fs_close(out);

    const Times times = times_of(path);
    EXPECT_EQ(times.write, filetime_ticks(write));
    EXPECT_EQ(times.access, filetime_ticks(access));

    FileHandle in = fs_open_for_reading(path.c_str());
    ASSERT_NE(in, kInvalidFile);
    EXPECT_TRUE(fs_is_disk_file(in));
    char buffer[32] = {};
    EXPECT_EQ(fs_read(in, buffer, sizeof buffer), 12);
    EXPECT_STREQ(buffer, "hello, world");
    EXPECT_EQ(fs_read(in, buffer, sizeof buffer), 0);
    uint64_t position = 0;
    EXPECT_TRUE(fs_seek(in, -5, seek_end, &position));
    EXPECT_EQ(position, 7u);
    std::memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(fs_read(in, buffer, 5), 5);
    EXPECT_STREQ(buffer, "world");
    fs_close(in);
}

TEST_F(FileSystemWin32Test, ReplacesAReadOnlyFile) {
    const std::string path = folder.join("locked.txt");
    ASSERT_TRUE(write_whole(path, "old contents"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    FileHandle out = fs_create_for_writing(path.c_str());
    ASSERT_NE(out, kInvalidFile);
    EXPECT_EQ(fs_write(out, "new", 3), 3);
    fs_close(out);
    EXPECT_EQ(read_whole(path), "new");
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(FileSystemWin32Test, DuplicateOutlivesTheOriginal) {
    const std::string path = folder.join("shared.txt");
    ASSERT_TRUE(write_whole(path, "abcdef"));
    FileHandle original = fs_open_for_reading(path.c_str());
    ASSERT_NE(original, kInvalidFile);
    FileHandle copy = fs_duplicate_handle(original);
    ASSERT_NE(copy, kInvalidFile);
    EXPECT_NE(copy, original);
    fs_close(original);
    char buffer[8] = {};
    EXPECT_EQ(fs_read(copy, buffer, 6), 6);
    EXPECT_STREQ(buffer, "abcdef");
    fs_close(copy);
}

TEST_F(FileSystemWin32Test, APipeIsNoDiskFile) {
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 0));
    const FileHandle pipe = FileHandle(reinterpret_cast<intptr_t>(read_end));
    EXPECT_FALSE(fs_is_disk_file(pipe));
    EXPECT_EQ(archive_open(read_end, 0, storage_handle), nullptr);
    CloseHandle(read_end);
    CloseHandle(write_end);
}

TEST_F(FileSystemWin32Test, CreatesFolderChainsWithEitherSeparator) {
    struct Row {
        std::string path;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {folder.join("one\\two\\three"), {"one", "one\\two", "one\\two\\three"}},
        {folder.join("a\\b/c/"), {"a", "a\\b", "a\\b\\c"}},
        {folder.path() + "/x/y", {"x", "x\\y"}},
    };
    for (const Row& row : rows) {
        std::vector<char> writable(row.path.begin(), row.path.end());
        writable.push_back('\0');
        EXPECT_EQ(create_folder_path(writable.data()), 1) << row.path;
        EXPECT_STREQ(writable.data(), row.path.c_str()) << "the walk restores the text";
        for (const std::string& level : row.expected)
            EXPECT_TRUE(fs_is_folder(folder.join(level).c_str())) << level;
    }
    // A folder that exists, the drive's root, and a name taken by a file.
    char existing[MAX_PATH];
    std::strcpy(existing, folder.path().c_str());
    EXPECT_EQ(create_folder_path(existing), 1);
    char root[] = "C:\\";
    EXPECT_EQ(create_folder_path(root), 1);
    ASSERT_TRUE(write_whole(folder.join("taken"), "file"));
    const std::string under_file = folder.join("taken\\inner");
    std::vector<char> blocked(under_file.begin(), under_file.end());
    blocked.push_back('\0');
    EXPECT_EQ(create_folder_path(blocked.data()), 0);
    char empty[] = "";
    EXPECT_EQ(create_folder_path(empty), 0);
}

TEST_F(FileSystemWin32Test, CurrentFolderHasNoTrailingSeparator) {
    char saved[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(MAX_PATH, saved));
    char buffer[kPathCapacity];
    ASSERT_TRUE(SetCurrentDirectoryA(folder.path().c_str()));
    EXPECT_TRUE(fs_current_folder(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, folder.path().c_str());
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_TRUE(fs_current_folder(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:");
    SetCurrentDirectoryA(saved);
}

WriterEntry timed_entry(const std::string& name, const std::string& text, uint32_t unix_time,
                        uint32_t attributes = 0x81800020) {
    WriterEntry entry;
    entry.name = name;
    entry.contents.assign(text.begin(), text.end());
    entry.external_attributes = attributes;
    entry.local_extra = extended_timestamp_local(unix_time, unix_time + 10, unix_time + 20);
    entry.central_extra = extended_timestamp_central(unix_time);
    return entry;
}

class ExtractWin32Test : public FileSystemWin32Test {
protected:
    void SetUp() override {
        FileSystemWin32Test::SetUp();
        std::string big(100000, 'x');
        for (size_t i = 0; i < big.size(); i += 7) big[i] = char('a' + i % 26);
        entries = {timed_entry("Songwright.exe", big, kUnixTime),
                   timed_entry("License.rtf", "{\\rtf1 terms\\par}", kUnixTime + 3600, 0x81000021)};
        package = write_package(entries);
    }
    std::vector<WriterEntry> entries;
    Bytes package;
};

TEST_F(ExtractWin32Test, ToAWindowsPathWithTheStoredTimes) {
    PackageArchive* archive = archive_open(package.data(), uint32_t(package.size()), storage_memory);
    ASSERT_NE(archive, nullptr);
    for (int32_t i = 0; i < 2; ++i) {
        const std::string target = folder.join("dest\\sub folder\\") + entries[size_t(i)].name;
        std::vector<char> name(target.begin(), target.end());
        name.push_back('\0');
        EXPECT_EQ(archive_extract(archive, i, name.data(), 0, storage_file_name, nullptr), status_ok);
        // Times first: reading the contents moves the access time.
        const uint32_t when = i == 0 ? kUnixTime : kUnixTime + 3600;
        const Times times = times_of(target);
        EXPECT_EQ(times.write, ticks_of_unix(when)) << i;
        EXPECT_EQ(times.access, ticks_of_unix(when + 10)) << i;
        const std::string expected(entries[size_t(i)].contents.begin(), entries[size_t(i)].contents.end());
        EXPECT_EQ(read_whole(target), expected);
        // Written with normal attributes, even from a read-only entry.
        EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << i;
    }
    archive_close(archive);
}

TEST_F(ExtractWin32Test, FromAFileNameAndToAHandle) {
    const std::string source = folder.join("package.zip");
    ASSERT_TRUE(write_whole(source, std::string(package.begin(), package.end())));
    PackageArchive* archive = archive_open(source.c_str(), 0, storage_file_name);
    ASSERT_NE(archive, nullptr);
    const std::string target = folder.join("by-handle.rtf");
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    EXPECT_EQ(archive_extract(archive, 1, out, 0, storage_handle, nullptr), status_ok);
    CloseHandle(out);
    EXPECT_EQ(read_whole(target), "{\\rtf1 terms\\par}");
    archive_close(archive);
}

TEST_F(ExtractWin32Test, FromAnOpenHandle) {
    const std::string source = folder.join("package.zip");
    ASSERT_TRUE(write_whole(source, std::string(package.begin(), package.end())));
    HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    PackageArchive* archive = archive_open(in, 0, storage_handle);
    ASSERT_NE(archive, nullptr);
    ArchiveEntry entry{};
    EXPECT_EQ(archive_get_entry(archive, -1, &entry), status_ok);
    EXPECT_EQ(entry.index, 2);
    char text[64] = {};
    EXPECT_EQ(archive_extract(archive, 1, text, sizeof text - 1, storage_memory, nullptr), status_more);
    EXPECT_STREQ(text, "{\\rtf1 terms\\par}");
    archive_close(archive);
    // The archive worked on its own copy of the handle: ours is still open.
    EXPECT_NE(SetFilePointer(in, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    CloseHandle(in);
}

}  // namespace
