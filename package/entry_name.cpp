#include "package/entry_name.h"

#include <cstring>

#include "package/file_system.h"
#include "package/folder_path.h"

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

// "..", and the forms Windows reads as ".." because it drops trailing dots
// and blanks from a path segment (".. ", "...").
bool is_dot_dot_segment(const char* segment, size_t length) {
    size_t dots = 0;
    for (size_t i = 0; i < length; ++i) {
        if (segment[i] == '.') ++dots;
        else if (segment[i] != ' ') return false;
    }
    return dots >= 2;
}

}  // namespace

bool is_safe_entry_name(const char* name) {
    if (!name || name[0] == '\0') return false;
    if (is_separator(name[0])) return false;  // absolute, or a UNC prefix
    const char* segment = name;
    for (const char* p = name;; p = fs_next_char(p)) {
        if (*p == ':') return false;  // a drive letter, or an alternate data stream
        if (*p == '\0' || is_separator(*p)) {
            if (is_dot_dot_segment(segment, size_t(p - segment))) return false;
            if (*p == '\0') break;
            segment = p + 1;
        }
    }
    return true;
}

bool join_entry_path(const char* folder, const char* name, char separator, char* out,
                     size_t capacity) {
    if (capacity == 0) return false;
    out[0] = '\0';
    const size_t folder_length = std::strlen(folder);
    const char* last = last_char(folder);
    const bool needs_separator = !last || !is_separator(*last);
    const size_t total = folder_length + (needs_separator ? 1 : 0) + std::strlen(name);
    if (total + 1 > capacity) return false;
    std::memcpy(out, folder, folder_length);
    size_t at = folder_length;
    if (needs_separator) out[at++] = separator;
    std::memcpy(out + at, name, std::strlen(name) + 1);
    return true;
}
