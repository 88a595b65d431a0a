// setuppack list, extract, verify and checksum, run as a subprocess on damaged,
// foreign and hostile inputs, and the usage text.
#include <gtest/gtest.h>

#include "tool_test_support.h"

namespace {

const char* const kReadCommands[] = {"list", "verify", "extract"};

std::vector<std::string> read_command(const char* command, const std::string& package,
                                      const TempFolder& root) {
    std::vector<std::string> arguments = {command, package};
    if (std::string(command) == "extract") arguments.push_back(root.join("target"));
    return arguments;
}

// A real package of three entries, from the tool itself.
Bytes built_package(const TempFolder& root) {
    write_file(root.join("Songwright.exe"), noise_bytes(50000, 11));
    write_file(root.join("Songwright.chm"), text_bytes(90000, 12));
    write_file(root.join("License.rtf"), text_bytes(14479, 13));
    const std::string package = root.join("built.pkg");
    const RunResult build = run_setuppack({"build", package, root.join("Songwright.exe"),
                                           root.join("Songwright.chm"), root.join("License.rtf")});
    EXPECT_EQ(build.exit_code, 0) << build.err;
    return read_file(package);
}

TEST(SetuppackRead, RefusesWhatIsNotAPackage) {
    TempFolder root;
    const Bytes package = built_package(root);
    RawRecords records;
    ASSERT_TRUE(walk_records(package, &records));
    struct Input {
        std::string what;
        std::string path;
    };
    std::vector<Input> inputs = {{"missing", root.join("missing.pkg")}, {"a folder", root.path()}};
    auto add = [&](const std::string& what, const Bytes& bytes) {
        const std::string path = root.join("input" + std::to_string(inputs.size()));
        write_file(path, bytes);
        inputs.push_back({what, path});
    };
    add("empty", {});
    add("text", text_bytes(3000, 1));
    add("end record alone", Bytes(package.end() - 22, package.end()));
    // Cut at several points: inside the first local header, inside its data,
    // at the central directory, inside it, inside the end record's counts and
    // its directory size. (Cutting only the high bytes of later fields that
    // are 0 anyway loses nothing: those fields read as 0.)
    for (size_t cut : {size_t(10), size_t(5000), records.central_offsets[0],
                       records.central_offsets[1] + 20, records.end_offset + 10,
                       records.end_offset + 14})
        add("cut at " + std::to_string(cut), Bytes(package.begin(), package.begin() + long(cut)));

    for (const Input& input : inputs) {
        for (const char* command : kReadCommands) {
            SCOPED_TRACE(input.what + ", " + command);
            const RunResult result = run_setuppack(read_command(command, input.path, root));
            // 2 when it does not open as a package, 1 when its entries fail.
            EXPECT_TRUE(result.exit_code == 1 || result.exit_code == 2) << result.exit_code;
            EXPECT_TRUE(is_one_error_line(result.err)) << result.err;
            EXPECT_FALSE(path_exists(root.join("target")));
        }
    }
}

// A standard ZIP opens, but each entry's local header is refused.
TEST(SetuppackRead, StandardZipIsDamagedForEveryCommand) {
    TempFolder root;
    std::vector<WriterEntry> entries(2);
    entries[0].name = "a.txt";
    entries[0].contents = text_bytes(1000, 1);
    entries[1].name = "b.txt";
    WriterOptions options;
    options.local_signature = kStandardLocalHeaderSignature;
    write_file(root.join("standard.zip"), write_package(entries, options));

    const RunResult list = run_setuppack({"list", root.join("standard.zip")});
    EXPECT_EQ(list.exit_code, 1);
    EXPECT_TRUE(is_one_error_line(list.err)) << list.err;
    EXPECT_NE(list.err.find("entry 0: local header"), std::string::npos) << list.err;
    EXPECT_NE(list.err.find("0x700"), std::string::npos) << list.err;

    const RunResult verify = run_setuppack({"verify", root.join("standard.zip")});
    EXPECT_EQ(verify.exit_code, 1);
    EXPECT_TRUE(is_one_error_line(verify.err)) << verify.err;
    EXPECT_NE(verify.err.find("2 of 2 entries damaged"), std::string::npos) << verify.err;
    EXPECT_EQ(std::count(verify.out.begin(), verify.out.end(), '\n'), 2) << verify.out;

    const RunResult extract = run_setuppack({"extract", root.join("standard.zip"), root.join("target")});
    EXPECT_EQ(extract.exit_code, 1);
    EXPECT_TRUE(is_one_error_line(extract.err)) << extract.err;
    EXPECT_FALSE(path_exists(root.join("target")));
}

// Damaged data are found by verify and stop extract at the damaged entry,
// while list, which reads no data, still lists them.
TEST(SetuppackRead, FindsDamagedData) {
    TempFolder root;
    std::vector<WriterEntry> entries(3);
    entries[0].name = "Songwright.exe";
    entries[0].contents = text_bytes(40000, 1);
    entries[1].name = "wrong-crc.txt";
    entries[1].contents = text_bytes(20000, 2);
    entries[1].declared_crc = 0x12345678;
    entries[2].name = "flipped.bin";
    entries[2].method = kMethodStored;
    entries[2].contents = text_bytes(3000, 3);
    Bytes flipped = entries[2].contents;
    flipped[1500] ^= 0x20;
    entries[2].stored_data = flipped;
    const std::string package = root.join("damaged.pkg");
    write_file(package, write_package(entries));

    EXPECT_EQ(run_setuppack({"list", package}).exit_code, 0);

    const RunResult verify = run_setuppack({"verify", package});
    EXPECT_EQ(verify.exit_code, 1);
    EXPECT_NE(verify.out.find("ok       "), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find("DAMAGED  entry 1 (wrong-crc.txt)"), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find("DAMAGED  entry 2 (flipped.bin)"), std::string::npos) << verify.out;
    EXPECT_TRUE(is_one_error_line(verify.err)) << verify.err;
    EXPECT_NE(verify.err.find("2 of 3 entries damaged"), std::string::npos) << verify.err;

    const RunResult extract = run_setuppack({"extract", package, root.join("target")});
    EXPECT_EQ(extract.exit_code, 1);
    EXPECT_TRUE(is_one_error_line(extract.err)) << extract.err;
    EXPECT_NE(extract.err.find("entry 1 (wrong-crc.txt): cannot extract to " + root.join("target/wrong-crc.txt")),
              std::string::npos)
        << extract.err;
    EXPECT_EQ(read_file(root.join("target/Songwright.exe")), entries[0].contents);
    EXPECT_FALSE(path_exists(root.join("target/flipped.bin")));
}

TEST(SetuppackRead, FindsAFlippedByteInDeflatedData) {
    TempFolder root;
    Bytes package = built_package(root);
    RawRecords records;
    ASSERT_TRUE(walk_records(package, &records));
    // Inside the help file's compressed data, past its headers.
    const size_t data = records.local_offsets[1] + 30 + 14 + 17;
    for (size_t offset : {size_t(100), size_t(2000), size_t(9000)}) {
        SCOPED_TRACE(offset);
        Bytes damaged = package;
        damaged[data + offset] ^= 0x10;
        write_file(root.join("damaged.pkg"), damaged);
        const RunResult verify = run_setuppack({"verify", root.join("damaged.pkg")});
        EXPECT_EQ(verify.exit_code, 1);
        EXPECT_NE(verify.out.find("DAMAGED  entry 1 (Songwright.chm)"), std::string::npos) << verify.out;
        EXPECT_TRUE(is_one_error_line(verify.err)) << verify.err;
    }
}

// Names that would land outside the target are refused before anything is written.
TEST(SetuppackRead, ExtractRefusesUnsafeNames) {
    for (const char* name : {"../evil.txt", "..\\evil.txt", "sub/../../evil.txt", "/tmp/evil.txt",
                             "\\evil.txt", "C:evil.txt", "evil.txt:stream"}) {
        SCOPED_TRACE(name);
        TempFolder root;
        std::vector<WriterEntry> entries(2);
        entries[0].name = "Songwright.exe";
        entries[0].contents = text_bytes(100, 1);
        entries[1].name = name;
        entries[1].contents = text_bytes(100, 2);
        write_file(root.join("hostile.pkg"), write_package(entries));
        make_folder(root.join("inner"));
        const RunResult extract = run_setuppack({"extract", root.join("hostile.pkg"), root.join("inner/target")});
        EXPECT_EQ(extract.exit_code, 1);
        EXPECT_TRUE(is_one_error_line(extract.err)) << extract.err;
        EXPECT_NE(extract.err.find("entry 1 (" + std::string(name) + "): unsafe name"), std::string::npos)
            << extract.err;
        EXPECT_EQ(folder_listing(root.join("inner")), std::vector<std::string>{});
        EXPECT_FALSE(path_exists(root.join("evil.txt")));
    }
}

TEST(SetuppackRead, ExtractRefusesATargetPathOver259Bytes) {
    TempFolder root;
    std::vector<WriterEntry> entries(1);
    entries[0].name = std::string(250, 'n');
    write_file(root.join("long.pkg"), write_package(entries));
    const RunResult extract = run_setuppack({"extract", root.join("long.pkg"), root.join("target")});
    EXPECT_EQ(extract.exit_code, 1);
    EXPECT_TRUE(is_one_error_line(extract.err)) << extract.err;
    EXPECT_NE(extract.err.find("longer than 259 bytes"), std::string::npos) << extract.err;
    EXPECT_FALSE(path_exists(root.join("target")));
}

// Control bytes in names are shown escaped, so that a listing keeps one line
// per entry and cannot drive the terminal.
TEST(SetuppackRead, ListShowsControlBytesEscaped) {
    TempFolder root;
    std::vector<WriterEntry> entries(2);
    entries[0].name = "Songwright.exe";
    entries[1].name = "red\x1B[31m\nname";
    write_file(root.join("names.pkg"), write_package(entries));
    const RunResult list = run_setuppack({"list", root.join("names.pkg")});
    EXPECT_EQ(list.exit_code, 0);
    EXPECT_NE(list.out.find("  red\\x1B[31m\\x0Aname\n"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 6) << list.out;
}

TEST(SetuppackRead, ExtractShowsNoProgressWhenNotOnATerminal) {
    TempFolder root;
    write_file(root.join("built.pkg"), built_package(root));
    const RunResult extract = run_setuppack({"extract", root.join("built.pkg"), root.join("target")});
    ASSERT_EQ(extract.exit_code, 0);
    EXPECT_EQ(extract.err, "");
    EXPECT_NE(extract.out.find(root.join("target/License.rtf") + "\n"), std::string::npos) << extract.out;
}

TEST(SetuppackChecksum, ShowsComparesAndStamps) {
    TempFolder root;
    const std::string exe = root.join("setup.exe");
    // Words 0x5A4D + 0x0040 + 0x4550 = 0x9FDD, plus the length 160.
    write_file(exe, minimal_pe_image(64, 0, 160));
    const uint32_t expected = 0x9FDD + 160;

    const RunResult unstamped = run_setuppack({"checksum", exe});
    EXPECT_EQ(unstamped.exit_code, 1);
    EXPECT_EQ(unstamped.out, "stored:   0x00000000\ncomputed: 0x0000A07D\nno match\n");

    const RunResult stamp = run_setuppack({"checksum", exe, "--stamp"});
    EXPECT_EQ(stamp.exit_code, 0) << stamp.err;
    const Bytes stamped = read_file(exe);
    EXPECT_EQ(get32(stamped, 64 + kChecksumFieldFromPe), expected);
    EXPECT_EQ(stamped.size(), 160u);

    const RunResult matching = run_setuppack({"checksum", exe});
    EXPECT_EQ(matching.exit_code, 0);
    EXPECT_EQ(matching.out, "stored:   0x0000A07D\ncomputed: 0x0000A07D\nmatch\n");

    // Changing a byte after stamping is noticed.
    Bytes changed = stamped;
    changed[100] = 1;
    write_file(exe, changed);
    EXPECT_EQ(run_setuppack({"checksum", exe}).exit_code, 1);
}

TEST(SetuppackChecksum, RefusesWhatIsNotAPeFile) {
    TempFolder root;
    write_file(root.join("text.exe"), text_bytes(500, 1));
    Bytes no_signature = minimal_pe_image(64, 0, 160);
    no_signature[64] = 'N';
    write_file(root.join("nosig.exe"), no_signature);
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"checksum", root.join("missing.exe")},
                                               {"checksum", root.path()},
                                               {"checksum", root.join("text.exe")},
                                               {"checksum", root.join("nosig.exe"), "--stamp"},
                                               {"checksum", root.join("text.exe"), "--bogus"},
                                               {"checksum"}}) {
        SCOPED_TRACE(arguments.back());
        const RunResult result = run_setuppack(arguments);
        EXPECT_EQ(result.exit_code, 2);
        EXPECT_TRUE(is_one_error_line(result.err)) << result.err;
    }
    EXPECT_EQ(read_file(root.join("nosig.exe")), no_signature);
}

TEST(SetuppackUsage, ExplainsItselfOnNoOrUnknownCommands) {
    const RunResult none = run_setuppack({});
    EXPECT_EQ(none.exit_code, 2);
    EXPECT_EQ(none.err.rfind("usage: setuppack", 0), 0u) << none.err;

    const RunResult unknown = run_setuppack({"pack"});
    EXPECT_EQ(unknown.exit_code, 2);
    EXPECT_EQ(unknown.err.rfind("setuppack: unknown command 'pack'\nusage: setuppack", 0), 0u) << unknown.err;
    EXPECT_NE(unknown.err.find("--as NAME SOURCE"), std::string::npos);

    const RunResult help = run_setuppack({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.out.rfind("usage: setuppack", 0), 0u);

    for (const char* command : {"build", "list", "extract", "verify"}) {
        SCOPED_TRACE(command);
        const RunResult result = run_setuppack({command});
        EXPECT_EQ(result.exit_code, 2);
        EXPECT_EQ(result.err.rfind("setuppack: ", 0), 0u) << result.err;
    }
}

}  // namespace
