// The archive reader against ZIP files written by other programs (Info-ZIP's
// zip and Python's zipfile, to a file and streamed through a pipe with data
// descriptors): with their local header signatures changed to the package's,
// every entry reads back; unchanged, the archive opens but no entry does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "tests/native/package/package_fixture.h"
#include "tool_test_support.h"

namespace {

struct SourceFile {
    std::string name;  // as stored; folders end with '/'
    Bytes contents;
    uint32_t time;     // even seconds, so that MS-DOS times hold them exactly
};

// Text (deflated), noise (stored by zip), an empty file and a sub-folder.
std::vector<SourceFile> make_sources(const std::string& folder) {
    const std::vector<SourceFile> sources = {
        {"readme.txt", text_bytes(30000, 1), 1650000000},
        {"noise.bin", noise_bytes(20000, 2), 1650000002},
        {"empty.txt", {}, 1650000004},
        {"sub/deep.txt", text_bytes(5000, 3), 1650000006},
        {"sub/", {}, 1650000008},
    };
    make_folder(folder);
    make_folder(folder + "/sub");
    for (const SourceFile& source : sources) {
        if (source.name.back() != '/') write_file(folder + "/" + source.name, source.contents);
    }
    for (const SourceFile& source : sources) set_mtime(folder + "/" + source.name, source.time);
    return sources;
}

bool have_program(const char* name) {
    const RunResult which = run_program("/bin/sh", {"-c", std::string("command -v ") + name});
    return which.exit_code == 0;
}

// Runs a shell command line in `folder`, with TZ=UTC so that the MS-DOS times
// that the writers take from local time are UTC.
bool shell(const std::string& folder, const std::string& command) {
    const RunResult result = run_program("/bin/sh", {"-c", "cd '" + folder + "' && " + command},
                                         {{"TZ", "UTC"}});
    EXPECT_EQ(result.exit_code, 0) << command << "\n" << result.err;
    return result.exit_code == 0;
}

const char kPythonWriter[] =
    "import os, sys, zipfile\n"
    "out = sys.stdout.buffer if sys.argv[1] == '-' else sys.argv[1]\n"
    "with zipfile.ZipFile(out, 'w') as z:\n"
    "    z.write('readme.txt', compress_type=zipfile.ZIP_DEFLATED)\n"
    "    z.write('noise.bin', compress_type=zipfile.ZIP_STORED)\n"
    "    z.write('empty.txt', compress_type=zipfile.ZIP_DEFLATED)\n"
    "    z.write('sub', 'sub/')\n"
    "    z.write('sub/deep.txt', compress_type=zipfile.ZIP_DEFLATED)\n";

// Changes every local header signature that the central directory points
// at from 50 4B 03 04 to the package's 50 55 55 04.
bool to_package_signatures(Bytes* archive) {
    RawRecords records;
    if (!walk_records(*archive, &records) || records.local_offsets.empty()) return false;
    for (size_t offset : records.local_offsets) {
        if (get32(*archive, offset) != kStandardLocalHeaderSignature) return false;
        put32_at(*archive, offset, kLocalHeaderSignature);
    }
    return true;
}

// Names, kinds, sizes, contents and write times (from Info-ZIP's "UT" field,
// or from an MS-DOS time that Python wrote in UTC).
void expect_reads_every_entry(const Bytes& archive_bytes, const std::vector<SourceFile>& sources) {
    PackageArchive* archive =
        archive_open(archive_bytes.data(), uint32_t(archive_bytes.size()), storage_memory);
    ASSERT_NE(archive, nullptr);
    ArchiveEntry count{};
    ASSERT_EQ(archive_get_entry(archive, -1, &count), status_ok);
    EXPECT_EQ(count.index, int32_t(sources.size()));
    std::map<std::string, const SourceFile*> expected;
    for (const SourceFile& source : sources) expected[source.name] = &source;
    for (int32_t i = 0; i < count.index; ++i) {
        ArchiveEntry entry{};
        ASSERT_EQ(archive_get_entry(archive, i, &entry), status_ok) << i;
        SCOPED_TRACE(entry.name);
        const auto found = expected.find(entry.name);
        ASSERT_NE(found, expected.end());
        const SourceFile& source = *found->second;
        expected.erase(found);
        const bool folder = source.name.back() == '/';
        EXPECT_EQ(entry.attributes & kAttributeDirectory, folder ? kAttributeDirectory : 0u);
        EXPECT_EQ(entry.attributes & kAttributeReadOnly, 0u);
        EXPECT_EQ(entry.uncompressed_size, source.contents.size());
        EXPECT_EQ(entry.write_time, unix_seconds_to_filetime(source.time));
        Bytes contents;
        int calls = 0;
        EXPECT_EQ(extract_to_memory(archive, i, entry.uncompressed_size + 1, &contents, &calls), status_ok);
        EXPECT_EQ(contents, source.contents);
    }
    EXPECT_TRUE(expected.empty());
    archive_close(archive);
}

void expect_standard_zip_refused(const Bytes& archive_bytes, size_t entries) {
    PackageArchive* archive =
        archive_open(archive_bytes.data(), uint32_t(archive_bytes.size()), storage_memory);
    ASSERT_NE(archive, nullptr);
    ArchiveEntry entry{};
    ASSERT_EQ(archive_get_entry(archive, -1, &entry), status_ok);
    EXPECT_EQ(entry.index, int32_t(entries));
    uint8_t buffer[64];
    for (int32_t i = 0; i < int32_t(entries); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(archive_get_entry(archive, i, &entry), status_corrupt);
        EXPECT_FALSE(status_succeeded(
            archive_extract(archive, i, buffer, sizeof buffer, storage_memory, nullptr)));
    }
    archive_close(archive);
}

struct Writer {
    const char* what;
    const char* program;
    std::string command;  // run in the sources' folder; writes ../out.zip
};

TEST(ForeignZip, ReaderReadsEveryEntryOfOtherWriters) {
    const Writer writers[] = {
        {"Info-ZIP zip", "zip", "zip -q -r ../out.zip readme.txt noise.bin empty.txt sub"},
        {"Info-ZIP zip through a pipe", "zip",
         "zip -q -r - readme.txt noise.bin empty.txt sub | cat > ../out.zip"},
        {"Python zipfile", "python3", "python3 ../writer.py ../out.zip"},
        {"Python zipfile through a pipe", "python3", "python3 ../writer.py - | cat > ../out.zip"},
    };
    for (const Writer& writer : writers) {
        SCOPED_TRACE(writer.what);
        if (!have_program(writer.program)) GTEST_SKIP() << writer.program << " is not installed";
        TempFolder root;
        const std::vector<SourceFile> sources = make_sources(root.join("src"));
        write_text(root.join("writer.py"), kPythonWriter);
        ASSERT_TRUE(shell(root.join("src"), writer.command));
        const Bytes standard = read_file(root.join("out.zip"));
        ASSERT_FALSE(standard.empty());

        expect_standard_zip_refused(standard, sources.size());
        Bytes package = standard;
        ASSERT_TRUE(to_package_signatures(&package));
        expect_reads_every_entry(package, sources);
    }
}

}  // namespace
