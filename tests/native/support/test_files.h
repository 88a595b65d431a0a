// Files and folders for the native tests: a temporary folder removed with
// its contents, and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A folder made with mkdtemp under $TMPDIR (or /tmp), removed with
// everything in it, read-only entries included.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string join(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The whole file; empty when it cannot be read.
std::vector<uint8_t> read_file(const std::string& path);
// Replaces the file's contents; aborts the test program when it cannot.
void write_file(const std::string& path, const std::vector<uint8_t>& bytes);
bool file_exists(const std::string& path);  // a regular file
bool path_exists(const std::string& path);  // anything
bool is_folder(const std::string& path);
