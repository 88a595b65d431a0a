// setuppack build, run as a subprocess: the package it writes, read back with
// the archive reader and byte by byte, and its refusals.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <functional>

#include "tests/native/package/package_fixture.h"
#include "tool_test_support.h"

namespace {

constexpr uint32_t kFileAttributes = 0x81800020;
constexpr uint32_t kReadOnlyAttributes = 0x81000021;
constexpr uint32_t kFolderAttributes = 0x41ED0010;
constexpr uint32_t kKnownTime = 1700000000;  // 2023-11-14 22:13:20 UTC
constexpr uint32_t kKnownDosTime = 0x576EB1AA;  // the same instant, MS-DOS date and time

struct ExpectedEntry {
    std::string name;
    std::string source;  // empty for folders
    uint32_t external_attributes;
    uint32_t windows_attributes;
    uint32_t time;
};

// A program, a folder of files and sub-folders (one empty, one file read-only,
// one empty file) and a licence stored under another name.
struct SampleTree {
    std::string program;
    std::string folder;
    std::string licence;
    std::vector<ExpectedEntry> expected;  // in package order

    std::vector<std::string> build_arguments(const std::string& out) const {
        return {"build", out, program, folder, "--as", "License.rtf", licence};
    }
};

SampleTree make_sample_tree(const std::string& root, bool reverse_creation = false) {
    SampleTree tree;
    tree.program = root + "/app.exe";
    tree.folder = root + "/data";
    tree.licence = root + "/licence.txt";
    make_folder(tree.folder);
    struct File {
        const char* name;
        Bytes contents;
        uint32_t time;
    };
    std::vector<File> files = {
        {"b.txt", text_bytes(50000, 1), 1600000001},
        {"a/c.bin", noise_bytes(70000, 2), 1600000002},
        {"ro.txt", text_bytes(100, 3), 1600000003},
        {"zero", {}, 1600000004},
    };
    if (reverse_creation) std::reverse(files.begin(), files.end());
    for (const char* sub : {"a", "empty"}) make_folder(tree.folder + "/" + sub);
    for (const File& file : files) {
        write_file(tree.folder + "/" + file.name, file.contents);
        set_mtime(tree.folder + "/" + file.name, file.time);
    }
    chmod((tree.folder + "/ro.txt").c_str(), 0444);
    set_mtime(tree.folder + "/a", 1600000005);
    set_mtime(tree.folder + "/empty", 1600000006);
    write_file(tree.program, noise_bytes(40000, 4));
    set_mtime(tree.program, kKnownTime);
    write_file(tree.licence, text_bytes(14479, 5));
    set_mtime(tree.licence, 1600000008);

    const std::string& d = tree.folder;
    tree.expected = {
        {"app.exe", tree.program, kFileAttributes, 0xA0, kKnownTime},
        {"a/", "", kFolderAttributes, 0x90, 1600000005},
        {"a/c.bin", d + "/a/c.bin", kFileAttributes, 0xA0, 1600000002},
        {"b.txt", d + "/b.txt", kFileAttributes, 0xA0, 1600000001},
        {"empty/", "", kFolderAttributes, 0x90, 1600000006},
        {"ro.txt", d + "/ro.txt", kReadOnlyAttributes, 0xA1, 1600000003},
        {"zero", d + "/zero", kFileAttributes, 0xA0, 1600000004},
        {"License.rtf", tree.licence, kFileAttributes, 0xA0, 1600000008},
    };
    return tree;
}

bool no_leftovers(const std::string& folder, const std::vector<std::string>& expected) {
    return folder_listing(folder) == expected;
}

TEST(SetuppackBuild, RoundTripsThroughTheReaderListVerifyAndExtract) {
    TempFolder root;
    const SampleTree tree = make_sample_tree(root.path());
    const std::string package = root.join("out.pkg");
    const RunResult build = run_setuppack(tree.build_arguments(package));
    ASSERT_EQ(build.exit_code, 0) << build.err;
    EXPECT_EQ(build.err, "");

    // The reader sees every entry as stored.
    const Bytes bytes = read_file(package);
    PackageArchive* archive = archive_open(bytes.data(), uint32_t(bytes.size()), storage_memory);
    ASSERT_NE(archive, nullptr);
    ArchiveEntry count{};
    ASSERT_EQ(archive_get_entry(archive, -1, &count), status_ok);
    ASSERT_EQ(count.index, int32_t(tree.expected.size()));
    for (int32_t i = 0; i < count.index; ++i) {
        const ExpectedEntry& expected = tree.expected[size_t(i)];
        SCOPED_TRACE(expected.name);
        ArchiveEntry entry{};
        ASSERT_EQ(archive_get_entry(archive, i, &entry), status_ok);
        EXPECT_STREQ(entry.name, expected.name.c_str());
        EXPECT_EQ(entry.attributes, expected.windows_attributes);
        EXPECT_EQ(entry.write_time, unix_seconds_to_filetime(expected.time));
        EXPECT_EQ(entry.access_time, unix_seconds_to_filetime(expected.time));
        EXPECT_EQ(entry.creation_time, unix_seconds_to_filetime(expected.time));
        const Bytes source = expected.source.empty() ? Bytes{} : read_file(expected.source);
        EXPECT_EQ(entry.uncompressed_size, source.size());
        Bytes contents;
        int calls = 0;
        EXPECT_EQ(extract_to_memory(archive, i, entry.uncompressed_size + 1, &contents, &calls), status_ok);
        EXPECT_EQ(contents, source);
    }
    archive_close(archive);

    const RunResult list = run_setuppack({"list", package});
    EXPECT_EQ(list.exit_code, 0) << list.err;
    for (const ExpectedEntry& expected : tree.expected)
        EXPECT_NE(list.out.find("  " + expected.name + "\n"), std::string::npos) << expected.name;
    EXPECT_NE(list.out.find("-R--A  2020-09-13 12:26:43  ro.txt\n"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("8 entries\n"), std::string::npos) << list.out;

    const RunResult verify = run_setuppack({"verify", package});
    EXPECT_EQ(verify.exit_code, 0) << verify.err;
    EXPECT_EQ(std::count(verify.out.begin(), verify.out.end(), '\n'), 9) << verify.out;
    EXPECT_NE(verify.out.find("all sound"), std::string::npos);

    const std::string target = root.join("installed/here");
    const RunResult extract = run_setuppack({"extract", package, target});
    ASSERT_EQ(extract.exit_code, 0) << extract.err;
    for (const ExpectedEntry& expected : tree.expected) {
        SCOPED_TRACE(expected.name);
        const std::string path = target + "/" + expected.name;
        if (expected.source.empty()) {
            EXPECT_TRUE(is_folder(path));
            continue;
        }
        EXPECT_EQ(read_file(path), read_file(expected.source));
        EXPECT_EQ(mtime_of(path), int64_t(expected.time));
        // Extracted files keep normal attributes: the read-only one is writable.
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_TRUE(info.st_mode & S_IWUSR);
    }
}

// Version needed 20, flags 2, made by 0x0B17, deflate, UT sub-fields of 13
// and 5 bytes, the attributes, and an end record right after the directory.
TEST(SetuppackBuild, WritesTheDeliveredHeaderFields) {
    TempFolder root;
    const SampleTree tree = make_sample_tree(root.path());
    const std::string package = root.join("out.pkg");
    ASSERT_EQ(run_setuppack(tree.build_arguments(package)).exit_code, 0);
    const Bytes bytes = read_file(package);
    RawRecords records;
    ASSERT_TRUE(walk_records(bytes, &records));
    ASSERT_EQ(records.central_offsets.size(), tree.expected.size());

    for (size_t i = 0; i < tree.expected.size(); ++i) {
        const ExpectedEntry& expected = tree.expected[i];
        SCOPED_TRACE(expected.name);
        const Bytes source = expected.source.empty() ? Bytes{} : read_file(expected.source);
        const uint32_t crc = uint32_t(crc32(0, source.data(), uInt(source.size())));
        const size_t name_length = expected.name.size();

        const size_t c = records.central_offsets[i];
        EXPECT_EQ(get32(bytes, c), 0x02014B50u);
        EXPECT_EQ(get16(bytes, c + 4), 0x0B17u);  // made by
        EXPECT_EQ(get16(bytes, c + 6), 20u);      // version needed
        EXPECT_EQ(get16(bytes, c + 8), 2u);       // flags
        EXPECT_EQ(get16(bytes, c + 10), 8u);      // deflate
        EXPECT_EQ(get32(bytes, c + 16), crc);
        EXPECT_EQ(get32(bytes, c + 24), source.size());
        EXPECT_EQ(get16(bytes, c + 28), name_length);
        EXPECT_EQ(get16(bytes, c + 30), 9u);  // "UT" header + 5 bytes
        EXPECT_EQ(get16(bytes, c + 32), 0u);  // no comment
        EXPECT_EQ(get16(bytes, c + 34), 0u);
        EXPECT_EQ(get16(bytes, c + 36), 0u);
        EXPECT_EQ(get32(bytes, c + 38), expected.external_attributes);
        EXPECT_EQ(std::string(bytes.begin() + long(c + 46), bytes.begin() + long(c + 46 + name_length)),
                  expected.name);
        const size_t central_ut = c + 46 + name_length;
        EXPECT_EQ(get16(bytes, central_ut), 0x5455u);
        EXPECT_EQ(get16(bytes, central_ut + 2), 5u);
        EXPECT_EQ(bytes[central_ut + 4], 7u);
        EXPECT_EQ(get32(bytes, central_ut + 5), expected.time);

        const size_t l = records.local_offsets[i];
        EXPECT_EQ(get32(bytes, l), 0x04555550u);
        EXPECT_EQ(get16(bytes, l + 4), 20u);
        EXPECT_EQ(get16(bytes, l + 6), 2u);
        EXPECT_EQ(get16(bytes, l + 8), 8u);
        EXPECT_EQ(get32(bytes, l + 10), get32(bytes, c + 12));  // MS-DOS date and time
        EXPECT_EQ(get32(bytes, l + 14), crc);
        EXPECT_EQ(get32(bytes, l + 18), get32(bytes, c + 20));  // compressed size
        EXPECT_EQ(get32(bytes, l + 22), source.size());
        EXPECT_EQ(get16(bytes, l + 26), name_length);
        EXPECT_EQ(get16(bytes, l + 28), 17u);  // "UT" header + 13 bytes
        const size_t local_ut = l + 30 + name_length;
        EXPECT_EQ(get16(bytes, local_ut), 0x5455u);
        EXPECT_EQ(get16(bytes, local_ut + 2), 13u);
        EXPECT_EQ(bytes[local_ut + 4], 7u);
        for (size_t t = 0; t < 3; ++t) EXPECT_EQ(get32(bytes, local_ut + 5 + 4 * t), expected.time);
        // Entries follow one another with nothing between them.
        const size_t next = i + 1 < records.local_offsets.size() ? records.local_offsets[i + 1]
                                                                  : get32(bytes, records.end_offset + 16);
        EXPECT_EQ(local_ut + 17 + get32(bytes, c + 20), next);
    }
    EXPECT_EQ(get32(bytes, records.central_offsets[0] + 12), kKnownDosTime);

    const size_t end = records.end_offset;
    EXPECT_EQ(end + 22, bytes.size());  // empty comment, nothing after it
    EXPECT_EQ(get16(bytes, end + 4), 0u);
    EXPECT_EQ(get16(bytes, end + 6), 0u);
    EXPECT_EQ(get16(bytes, end + 8), tree.expected.size());
    EXPECT_EQ(get16(bytes, end + 10), tree.expected.size());
    EXPECT_EQ(get32(bytes, end + 16) + get32(bytes, end + 12), end);  // no prefix
    EXPECT_EQ(records.local_offsets[0], 0u);
}

TEST(SetuppackBuild, SameInputsGiveTheSameBytesWhateverTheCreationOrder) {
    TempFolder first_root;
    TempFolder second_root;
    const SampleTree first = make_sample_tree(first_root.path(), false);
    const SampleTree second = make_sample_tree(second_root.path(), true);
    ASSERT_EQ(run_setuppack(first.build_arguments(first_root.join("a.pkg"))).exit_code, 0);
    ASSERT_EQ(run_setuppack(second.build_arguments(second_root.join("b.pkg"))).exit_code, 0);
    ASSERT_EQ(run_setuppack(first.build_arguments(first_root.join("c.pkg"))).exit_code, 0);
    const Bytes a = read_file(first_root.join("a.pkg"));
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, read_file(second_root.join("b.pkg")));
    EXPECT_EQ(a, read_file(first_root.join("c.pkg")));
}

// The first input comes first even when its name sorts last; a folder's names
// are sorted bytewise at each level, each folder ahead of its contents.
TEST(SetuppackBuild, OrdersEntriesFirstInputThenSortedFolders) {
    TempFolder root;
    const std::string data = root.join("data");
    make_folder(data);
    write_text(root.join("zz-setup.exe"), "program");
    for (const char* name : {"b.txt", "C.txt", "a-b.txt", "\xC3\xA9.txt", "_x"}) write_text(data + "/" + name, name);
    make_folder(data + "/a");
    write_text(data + "/a/z", "z");
    write_text(data + "/a/Y", "Y");
    write_text(root.join("aa-last.txt"), "last");
    const std::string package = root.join("out.pkg");
    const RunResult build = run_setuppack({"build", package, root.join("zz-setup.exe"), data, root.join("aa-last.txt")});
    ASSERT_EQ(build.exit_code, 0) << build.err;

    const Bytes bytes = read_file(package);
    PackageArchive* archive = archive_open(bytes.data(), uint32_t(bytes.size()), storage_memory);
    ASSERT_NE(archive, nullptr);
    std::vector<std::string> names;
    ArchiveEntry entry{};
    archive_get_entry(archive, -1, &entry);
    for (int32_t i = 0, count = entry.index; i < count; ++i) {
        ASSERT_EQ(archive_get_entry(archive, i, &entry), status_ok);
        names.push_back(entry.name);
    }
    archive_close(archive);
    const std::vector<std::string> expected = {
        "zz-setup.exe", "C.txt", "_x", "a/", "a/Y", "a/z", "a-b.txt", "b.txt", "\xC3\xA9.txt",
        "aa-last.txt"};
    EXPECT_EQ(names, expected);
}

TEST(SetuppackBuild, ClampsTimesToSourceDateEpoch) {
    TempFolder root;
    write_text(root.join("new.exe"), "new program");
    set_mtime(root.join("new.exe"), 1800000000);
    write_text(root.join("old.txt"), "old file");
    set_mtime(root.join("old.txt"), 1600000000);
    const std::string package = root.join("out.pkg");
    const RunResult build = run_setuppack({"build", package, root.join("new.exe"), root.join("old.txt")},
                                          {{"SOURCE_DATE_EPOCH", std::to_string(kKnownTime)}});
    ASSERT_EQ(build.exit_code, 0) << build.err;

    const Bytes bytes = read_file(package);
    RawRecords records;
    ASSERT_TRUE(walk_records(bytes, &records));
    ASSERT_EQ(records.central_offsets.size(), 2u);
    const size_t new_local_ut = records.local_offsets[0] + 30 + 7;
    for (size_t t = 0; t < 3; ++t) EXPECT_EQ(get32(bytes, new_local_ut + 5 + 4 * t), kKnownTime);
    EXPECT_EQ(get32(bytes, records.central_offsets[0] + 12), kKnownDosTime);
    EXPECT_EQ(get32(bytes, records.central_offsets[0] + 46 + 7 + 5), kKnownTime);
    const size_t old_local_ut = records.local_offsets[1] + 30 + 7;
    EXPECT_EQ(get32(bytes, old_local_ut + 5), 1600000000u);

    const RunResult extract = run_setuppack({"extract", package, root.join("out")});
    ASSERT_EQ(extract.exit_code, 0) << extract.err;
    EXPECT_EQ(mtime_of(root.join("out/new.exe")), int64_t(kKnownTime));
    EXPECT_EQ(mtime_of(root.join("out/old.txt")), 1600000000);
}

TEST(SetuppackBuild, AcceptsA259ByteName) {
    TempFolder root;
    write_text(root.join("app.exe"), "program");
    const std::string name = std::string(250, 'n') + "/" + std::string(8, 'm');
    ASSERT_EQ(name.size(), 259u);
    const std::string package = root.join("out.pkg");
    const RunResult build = run_setuppack({"build", package, "--as", name, root.join("app.exe")});
    ASSERT_EQ(build.exit_code, 0) << build.err;
    const RunResult list = run_setuppack({"list", package});
    EXPECT_EQ(list.exit_code, 0);
    EXPECT_NE(list.out.find(name + "\n"), std::string::npos);
}

struct BuildErrorCase {
    const char* what;
    // Prepares the inputs in `root` and returns the arguments after "build OUT".
    std::function<std::vector<std::string>(const TempFolder& root)> inputs;
    const char* message;  // part of the error line
    EnvChanges env;
};

std::string program_in(const TempFolder& root) {
    const std::string path = root.join("app.exe");
    if (!path_exists(path)) write_text(path, "program");
    return path;
}

const BuildErrorCase kBuildErrors[] = {
    {"missing input",
     [](const TempFolder& root) { return std::vector<std::string>{program_in(root), root.join("gone.txt")}; },
     "gone.txt: No such file or directory", {}},
    {"260-byte name",
     [](const TempFolder& root) {
         return std::vector<std::string>{"--as", std::string(260, 'n'), program_in(root)};
     },
     "entry name of 260 bytes", {}},
    {"260-byte name inside a folder",
     [](const TempFolder& root) {
         make_folder(root.join("deep"));
         std::string path = root.join("deep");
         for (int i = 0; i < 2; ++i) {
             path += "/" + std::string(120, char('a' + i));
             make_folder(path);
         }
         write_text(path + "/" + std::string(18, 'f'), "x");  // 120 + 1 + 120 + 1 + 18
         return std::vector<std::string>{program_in(root), root.join("deep")};
     },
     "entry name of 260 bytes", {}},
    {"name climbing out",
     [](const TempFolder& root) { return std::vector<std::string>{"--as", "../setup.exe", program_in(root)}; },
     "unsafe entry name", {}},
    {"absolute name",
     [](const TempFolder& root) { return std::vector<std::string>{"--as", "/etc/x", program_in(root)}; },
     "unsafe entry name", {}},
    {"drive name",
     [](const TempFolder& root) { return std::vector<std::string>{"--as", "C:setup.exe", program_in(root)}; },
     "unsafe entry name", {}},
    {"dot-dot inside",
     [](const TempFolder& root) { return std::vector<std::string>{"--as", "a\\..\\..\\b", program_in(root)}; },
     "unsafe entry name", {}},
    {"the same file twice",
     [](const TempFolder& root) { return std::vector<std::string>{program_in(root), program_in(root)}; },
     "duplicate entry name", {}},
    {"names differing in case and separator",
     [](const TempFolder& root) {
         write_text(root.join("other"), "other");
         return std::vector<std::string>{program_in(root), "--as", "Docs\\Read.me", root.join("other"),
                                         "--as", "docs/READ.ME", program_in(root)};
     },
     "duplicate entry name", {}},
    {"a folder first",
     [](const TempFolder& root) {
         make_folder(root.join("folder"));
         write_text(root.join("folder/app.exe"), "program");
         return std::vector<std::string>{root.join("folder")};
     },
     "the first input must be a file", {}},
    {"a pipe in a folder",
     [](const TempFolder& root) {
         make_folder(root.join("folder"));
         mkfifo(root.join("folder/pipe").c_str(), 0644);
         return std::vector<std::string>{program_in(root), root.join("folder")};
     },
     "not a regular file or folder", {}},
    {"a folder linked into itself",
     [](const TempFolder& root) {
         make_folder(root.join("folder"));
         symlink(".", root.join("folder/loop").c_str());
         return std::vector<std::string>{program_in(root), root.join("folder")};
     },
     "a link to a folder that contains it", {}},
    {"a file of 4 GB",
     [](const TempFolder& root) {
         const std::string path = root.join("huge.bin");
         write_text(path, "");
         if (truncate(path.c_str(), 0x100000000ll) != 0) return std::vector<std::string>{};
         return std::vector<std::string>{program_in(root), path};
     },
     "huge.bin: 4 GB or larger", {}},
    {"a time before 1970",
     [](const TempFolder& root) {
         const std::string path = program_in(root);
         set_mtime(path, -86400);
         return std::vector<std::string>{path};
     },
     "modification time outside 1970 to 2106", {}},
    {"SOURCE_DATE_EPOCH not a number",
     [](const TempFolder& root) { return std::vector<std::string>{program_in(root)}; },
     "SOURCE_DATE_EPOCH is not a count of seconds", {{"SOURCE_DATE_EPOCH", "yesterday"}}},
    {"--as without a source",
     [](const TempFolder& root) { return std::vector<std::string>{program_in(root), "--as", "x"}; },
     "--as needs a NAME and a SOURCE", {}},
    {"contents that fail to read part-way",
     [](const TempFolder& root) {
         // Reading a process's own memory from offset 0 fails with EIO after
         // the entry's header has been written.
         return std::vector<std::string>{program_in(root), "--as", "mem", "/proc/self/mem"};
     },
     "/proc/self/mem: cannot read the contents", {}},
};

TEST(SetuppackBuild, RefusesBadInputsAndLeavesNoOutput) {
    for (const BuildErrorCase& c : kBuildErrors) {
        SCOPED_TRACE(c.what);
        TempFolder root;
        std::vector<std::string> arguments = {"build", root.join("out.pkg")};
        const std::vector<std::string> inputs = c.inputs(root);
        ASSERT_FALSE(inputs.empty());
        arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        const std::vector<std::string> before = folder_listing(root.path());
        const RunResult result = run_setuppack(arguments, c.env);
        EXPECT_NE(result.exit_code, 0);
        EXPECT_TRUE(is_one_error_line(result.err)) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(no_leftovers(root.path(), before));
    }
}

TEST(SetuppackBuild, LeavesNoOutputWhenTheRenameFails) {
    TempFolder root;
    write_text(root.join("app.exe"), "program");
    make_folder(root.join("out.pkg"));
    write_text(root.join("out.pkg/keep"), "keep");
    const std::vector<std::string> before = folder_listing(root.path());
    const RunResult result = run_setuppack({"build", root.join("out.pkg"), root.join("app.exe")});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_TRUE(is_one_error_line(result.err)) << result.err;
    EXPECT_TRUE(no_leftovers(root.path(), before));
    EXPECT_EQ(folder_listing(root.join("out.pkg")), std::vector<std::string>{"keep"});

    const RunResult nowhere = run_setuppack({"build", root.join("no/such/out.pkg"), root.join("app.exe")});
    EXPECT_EQ(nowhere.exit_code, 1);
    EXPECT_TRUE(is_one_error_line(nowhere.err)) << nowhere.err;
    EXPECT_TRUE(no_leftovers(root.path(), before));
}

TEST(SetuppackBuild, RefusesMoreThan65535Entries) {
    TempFolder root;
    write_text(root.join("app.exe"), "program");
    const std::string many = root.join("many");
    make_folder(many);
    // The program and 65,535 files: one entry too many.
    char name[16];
    for (int i = 0; i < 65535; ++i) {
        std::snprintf(name, sizeof name, "/%05d", i);
        close(creat((many + name).c_str(), 0644));
    }
    const RunResult result = run_setuppack({"build", root.join("out.pkg"), root.join("app.exe"), many});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_TRUE(is_one_error_line(result.err)) << result.err;
    EXPECT_NE(result.err.find("more than 65,535 entries"), std::string::npos) << result.err;
    EXPECT_FALSE(path_exists(root.join("out.pkg")));

    // One file fewer fits exactly.
    std::snprintf(name, sizeof name, "/%05d", 0);
    std::remove((many + name).c_str());
    const RunResult fits = run_setuppack({"build", root.join("out.pkg"), root.join("app.exe"), many});
    ASSERT_EQ(fits.exit_code, 0) << fits.err;
    const RunResult list = run_setuppack({"list", root.join("out.pkg")});
    EXPECT_EQ(list.exit_code, 0);
    EXPECT_NE(list.out.find(" 65535 entries\n"), std::string::npos);
}

}  // namespace
