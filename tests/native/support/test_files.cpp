#include "tests/native/support/test_files.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

int remove_one(const char* path, const struct stat* info, int, struct FTW*) {
    // A read-only folder must not keep its contents.
    if (S_ISDIR(info->st_mode)) chmod(path, 0700);
    remove(path);
    return 0;  // go on with the rest
}

}  // namespace

TempFolder::TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/songwright-test-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        std::perror("mkdtemp");
        std::abort();
    }
    path_ = pattern;
}

TempFolder::~TempFolder() { nftw(path_.c_str(), remove_one, 16, FTW_DEPTH | FTW_PHYS); }

std::vector<uint8_t> read_file(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t piece[65536];
    size_t n = 0;
    while ((n = std::fread(piece, 1, sizeof piece, file)) > 0) bytes.insert(bytes.end(), piece, piece + n);
    std::fclose(file);
    return bytes;
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written =
        file && (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    if (!file || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

bool file_exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool path_exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool is_folder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
