// The inputs of `setuppack build`: the command line's files and folders turned
// into the list of entries to write, in package order, and the checks that
// list must pass before anything is written.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// One input of the command line: a file or folder, and the name given with
// --as (empty: the file's own name, or the folder's contents at the top).
struct InputSpec {
    std::string source;
    std::string name;
};

// One entry to write.
struct BuildInput {
    std::string source;  // the file or folder it comes from
    std::string name;    // the entry name; folders end with '/'
    bool is_folder = false;
    bool read_only = false;   // the owner may not write the source
    uint64_t size = 0;        // as the file system reports it
    int64_t modified = 0;     // modification time, whole seconds since 1970 UTC
    dev_t device = 0;
    ino_t inode = 0;
};

// External attributes: a regular file, owner read and write, archive; a
// read-only file (owner read only, read-only bit); a folder (rwxr-xr-x,
// directory bit).
constexpr uint32_t kFileAttributes = 0x81800020;
constexpr uint32_t kReadOnlyFileAttributes = 0x81000021;
constexpr uint32_t kFolderAttributes = 0x41ED0010;

uint32_t external_attributes_of(const BuildInput& input);

// Files in command-line order; a folder's contents depth first, each folder's
// names sorted bytewise, a folder entry ahead of its contents. False with
// `error` set when an input is missing, is neither a file nor a folder, or
// when the first input is not a file.
bool collect_inputs(const std::vector<InputSpec>& specs, std::vector<BuildInput>* inputs,
                    std::string* error);

// False with `error` set for more than 65,535 entries, a name of 260 bytes or
// more, an unsafe name, two names for the same destination file, or a file of
// 4 GB or more.
bool check_inputs(const std::vector<BuildInput>& inputs, std::string* error);
