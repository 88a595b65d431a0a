#include "tools/build_inputs.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "package/archive.h"
#include "package/entry_name.h"
#include "package/format.h"
#include "tools/package_writer.h"
#include "tools/setuppack_common.h"

namespace {

struct FolderId {
    dev_t device;
    ino_t inode;
};

std::string system_error(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

std::string without_trailing_slashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string base_name(const std::string& path) {
    const std::string trimmed = without_trailing_slashes(path);
    const size_t slash = trimmed.find_last_of('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

BuildInput describe(const std::string& source, const std::string& name, const struct stat& info) {
    BuildInput input;
    input.source = source;
    input.name = name;
    input.is_folder = S_ISDIR(info.st_mode);
    input.read_only = !(info.st_mode & S_IWUSR);
    input.size = input.is_folder ? 0 : uint64_t(info.st_size);
    input.modified = int64_t(info.st_mtim.tv_sec);
    input.device = info.st_dev;
    input.inode = info.st_ino;
    return input;
}

// Stops collecting as soon as the list is too long to be written, so that a
// huge tree fails fast.
bool add_input(std::vector<BuildInput>* inputs, BuildInput input, std::string* error) {
    if (inputs->size() >= kMaxEntries) {
        *error = "more than 65,535 entries";
        return false;
    }
    inputs->push_back(std::move(input));
    return true;
}

bool folder_names(const std::string& folder, std::vector<std::string>* names, std::string* error) {
    DIR* listing = opendir(folder.c_str());
    if (!listing) {
        *error = system_error(folder);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* item = readdir(listing);
        if (!item) break;
        if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0) continue;
        names->push_back(item->d_name);
    }
    const int read_error = errno;
    closedir(listing);
    if (read_error != 0) {
        errno = read_error;
        *error = system_error(folder);
        return false;
    }
    // Bytewise, whatever order the file system lists them in.
    std::sort(names->begin(), names->end());
    return true;
}

bool walk_folder(const std::string& folder, const std::string& prefix,
                 std::vector<FolderId>* ancestors, std::vector<BuildInput>* inputs,
                 std::string* error) {
    std::vector<std::string> names;
    if (!folder_names(folder, &names, error)) return false;
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            *error = system_error(path);
            return false;
        }
        if (S_ISREG(info.st_mode)) {
            if (!add_input(inputs, describe(path, prefix + name, info), error)) return false;
            continue;
        }
        if (!S_ISDIR(info.st_mode)) {
            *error = path + ": not a regular file or folder";
            return false;
        }
        // A link back to a folder above would never end.
        for (const FolderId& above : *ancestors) {
            if (above.device == info.st_dev && above.inode == info.st_ino) {
                *error = path + ": a link to a folder that contains it";
                return false;
            }
        }
        if (!add_input(inputs, describe(path, prefix + name + "/", info), error)) return false;
        ancestors->push_back({info.st_dev, info.st_ino});
        const bool walked = walk_folder(path, prefix + name + "/", ancestors, inputs, error);
        ancestors->pop_back();
        if (!walked) return false;
    }
    return true;
}

bool collect_one(const InputSpec& spec, std::vector<BuildInput>* inputs, bool* is_file,
                 std::string* error) {
    struct stat info {};
    if (stat(spec.source.c_str(), &info) != 0) {
        *error = system_error(spec.source);
        return false;
    }
    *is_file = S_ISREG(info.st_mode);
    if (*is_file) {
        const std::string name = spec.name.empty() ? base_name(spec.source) : spec.name;
        return add_input(inputs, describe(spec.source, name, info), error);
    }
    if (!S_ISDIR(info.st_mode)) {
        *error = spec.source + ": not a regular file or folder";
        return false;
    }
    const std::string folder = without_trailing_slashes(spec.source);
    std::string prefix;
    if (!spec.name.empty()) {
        prefix = spec.name;
        while (!prefix.empty() && (prefix.back() == '/' || prefix.back() == '\\')) prefix.pop_back();
        prefix += '/';
        if (!add_input(inputs, describe(folder, prefix, info), error)) return false;
    }
    std::vector<FolderId> ancestors{{info.st_dev, info.st_ino}};
    return walk_folder(folder, prefix, &ancestors, inputs, error);
}

// Two names that land on the same file on the target system: separators
// either way, a trailing separator, and letter case do not tell them apart.
std::string destination_key(const std::string& name) {
    std::string key = name;
    for (char& c : key) {
        if (c == '\\') c = '/';
        else if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    while (!key.empty() && key.back() == '/') key.pop_back();
    return key;
}

}  // namespace

uint32_t external_attributes_of(const BuildInput& input) {
    if (input.is_folder) return kFolderAttributes;
    return input.read_only ? kReadOnlyFileAttributes : kFileAttributes;
}

bool collect_inputs(const std::vector<InputSpec>& specs, std::vector<BuildInput>* inputs,
                    std::string* error) {
    inputs->clear();
    for (size_t i = 0; i < specs.size(); ++i) {
        bool is_file = false;
        if (!collect_one(specs[i], inputs, &is_file, error)) return false;
        if (i == 0 && !is_file) {
            *error = specs[0].source +
                     ": the first input must be a file (the program the setup starts)";
            return false;
        }
    }
    return true;
}

bool check_inputs(const std::vector<BuildInput>& inputs, std::string* error) {
    if (inputs.size() > kMaxEntries) {
        *error = "more than 65,535 entries";
        return false;
    }
    std::map<std::string, const BuildInput*> destinations;
    for (const BuildInput& input : inputs) {
        const std::string shown = shown_name(input.name);
        if (input.name.size() >= kPathCapacity) {
            *error = shown + ": entry name of " + std::to_string(input.name.size()) +
                     " bytes (at most 259)";
            return false;
        }
        if (std::strlen(input.name.c_str()) != input.name.size() ||
            !is_safe_entry_name(input.name.c_str())) {
            *error = shown + ": unsafe entry name (empty, absolute, a drive, '..' or ':')";
            return false;
        }
        const auto [where, added] = destinations.emplace(destination_key(input.name), &input);
        if (!added) {
            *error = shown + ": duplicate entry name (from " + where->second->source + " and " +
                     input.source + ")";
            return false;
        }
        if (input.size > kMaxEntrySize) {
            *error = input.source + ": 4 GB or larger";
            return false;
        }
    }
    return true;
}
