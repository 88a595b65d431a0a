// make_hostile_packages PROGRAM OUT_FOLDER: the packages that setuppack
// refuses to write, for the setups that must meet them:
//   unsafe.bin  PROGRAM as entry 0, then an entry named "..\evil.txt" that
//               would land beside the destination folder, then "after.txt";
//   empty.bin   a package without entries (behind a few bytes of prefix, so
//               that it opens and reports a count of 0).
#include <cstdio>
#include <string>
#include <vector>

#include "tools/package_writer.h"

namespace {

bool read_file(const std::string& path, Bytes* contents) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    unsigned char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) contents->insert(contents->end(), buffer, buffer + got);
    const bool read = !std::ferror(in);
    std::fclose(in);
    return read;
}

bool write_file(const std::string& path, const Bytes& contents) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    return std::fclose(out) == 0 && written;
}

WriterEntry text_entry(const std::string& name, const std::string& text) {
    WriterEntry entry;
    entry.name = name;
    entry.contents.assign(text.begin(), text.end());
    return entry;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_hostile_packages PROGRAM OUT_FOLDER\n");
        return 2;
    }
    WriterEntry program;
    program.name = "probe.exe";
    if (!read_file(argv[1], &program.contents)) {
        std::perror(argv[1]);
        return 1;
    }
    const std::string folder = argv[2];
    const std::vector<WriterEntry> unsafe = {program, text_entry("..\\evil.txt", "evil\n"),
                                             text_entry("after.txt", "after\n")};
    WriterOptions prefixed;
    const std::string prefix = "no entries follow";
    prefixed.prefix.assign(prefix.begin(), prefix.end());
    if (!write_file(folder + "/unsafe.bin", write_package(unsafe)) ||
        !write_file(folder + "/empty.bin", write_package({}, prefixed))) {
        std::perror(folder.c_str());
        return 1;
    }
    return 0;
}
