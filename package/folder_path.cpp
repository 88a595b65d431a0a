#include "package/folder_path.h"

#include <cstring>

#include "package/archive.h"
#include "package/file_system.h"

namespace {

constexpr size_t kMaxPathComponent = 255;

bool is_separator(char c) { return c == '\\' || c == '/'; }

// The next separator at or after `from`: a backslash if any remains, else a
// forward slash. Trail bytes of double-byte characters are never separators.
char* next_separator(char* from) {
    char* slash = nullptr;
    for (char* p = from; *p; p = const_cast<char*>(fs_next_char(p))) {
        if (*p == '\\') return p;
        if (*p == '/' && !slash) slash = p;
    }
    return slash;
}

}  // namespace

const char* last_char(const char* text) {
    const char* last = nullptr;
    for (const char* p = text; *p; p = fs_next_char(p)) last = p;
    return last;
}

bool folder_part(const char* path, char* folder, size_t capacity) {
    const char* last_separator = nullptr;
    const char* last_dot = nullptr;
    for (const char* p = path; *p; p = fs_next_char(p)) {
        if (is_separator(*p)) {
            last_separator = p;
            last_dot = nullptr;
        } else if (*p == '.') {
            last_dot = p;
        }
    }
    if (!last_separator) return false;
    // A drive ("C:") does not count towards the folder part's length.
    const char* folder_start = std::strlen(path) >= 2 && path[1] == ':' ? path + 2 : path;
    const size_t folder_length = size_t(last_separator + 1 - folder_start);
    const char* base = last_separator + 1;
    const char* base_end = last_dot ? last_dot : base + std::strlen(base);
    const size_t extension_length = last_dot ? std::strlen(last_dot) : 0;
    if (folder_length > kMaxPathComponent || size_t(base_end - base) > kMaxPathComponent ||
        extension_length > kMaxPathComponent)
        return false;
    const size_t length = size_t(last_separator + 1 - path);
    if (length + 1 > capacity) return false;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    return true;
}

int32_t create_folder_path(char* path) {
    if (!path) return 0;
    int32_t result = 1;
    char* cursor = path;
    while (result) {
        char* separator = next_separator(cursor);
        if (!separator) break;
        cursor = separator + 1;
        const char saved = *cursor;
        *cursor = '\0';  // the prefix keeps its trailing separator
        if (!fs_is_folder(path)) result = fs_create_folder(path) ? 1 : 0;
        *cursor = saved;
    }
    // A folder that exists is a success, even when a prefix on the way could
    // not be probed or created (UNC roots and the like).
    if (fs_is_folder(path)) return 1;
    return fs_create_folder(path) ? 1 : 0;
}
