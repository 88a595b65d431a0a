#include "ui/message_text.h"

#include <cstring>

#include "package/archive.h"
#include "package/file_system.h"

namespace {

constexpr size_t kEllipsisLength = sizeof kEllipsis - 1;

// Length of the longest run of whole characters from `text` that has at most
// `limit` bytes.
size_t whole_prefix(const char* text, size_t limit) {
    const char* p = text;
    while (*p) {
        const char* next = fs_next_char(p);
        if (size_t(next - text) > limit) break;
        p = next;
    }
    return size_t(p - text);
}

// Offset of the first character boundary from which the rest of `text` has
// at most `limit` bytes.
size_t whole_suffix_start(const char* text, size_t length, size_t limit) {
    const char* p = text;
    while (*p && length - size_t(p - text) > limit) p = fs_next_char(p);
    return size_t(p - text);
}

// Appends whole characters of the first `length` bytes of `text`, as many as
// fit. False when some were left out.
bool append_bytes(char* out, size_t capacity, const char* text, size_t length) {
    if (capacity == 0) return length == 0;
    const size_t used = std::strlen(out);
    const size_t room = capacity - 1 > used ? capacity - 1 - used : 0;
    size_t taken = 0;
    while (taken < length) {
        const size_t next = size_t(fs_next_char(text + taken) - text);
        if (next > length || next > room) break;
        taken = next;
    }
    std::memcpy(out + used, text, taken);
    out[used + taken] = '\0';
    return taken == length;
}

// Walks a format: calls `literal` for copied text and `argument` for "%s".
template <typename Literal, typename Argument>
void walk_format(const char* format, Literal literal, Argument argument) {
    const char* run = format;
    const char* p = format;
    while (*p) {
        if (p[0] == '%' && (p[1] == 's' || p[1] == '%')) {
            literal(run, size_t(p - run));
            if (p[1] == 's') argument();
            else literal("%", 1);
            p += 2;
            run = p;
            continue;
        }
        p = fs_next_char(p);
    }
    literal(run, size_t(p - run));
}

}  // namespace

bool append_text(char* out, size_t capacity, const char* text) {
    return append_bytes(out, capacity, text, std::strlen(text));
}

void shorten_middle(const char* text, size_t limit, char* out) {
    const size_t length = std::strlen(text);
    if (length <= limit) {
        std::memcpy(out, text, length + 1);
        return;
    }
    if (limit <= kEllipsisLength) {
        const size_t head = whole_prefix(text, limit);
        std::memcpy(out, text, head);
        out[head] = '\0';
        return;
    }
    // The end of a path names the folder, so it gets the larger half.
    const size_t room = limit - kEllipsisLength;
    const size_t head = whole_prefix(text, room / 2);
    const size_t tail_start = whole_suffix_start(text, length, room - head);
    std::memcpy(out, text, head);
    std::memcpy(out + head, kEllipsis, kEllipsisLength);
    std::memcpy(out + head + kEllipsisLength, text + tail_start, length - tail_start + 1);
}

void format_with_folder(const char* format, const char* folder, char* out, size_t capacity) {
    if (capacity == 0) return;
    out[0] = '\0';
    size_t fixed = 0;
    size_t arguments = 0;
    walk_format(format, [&](const char*, size_t length) { fixed += length; },
                [&] { ++arguments; });
    // Each "%s" gets an equal share of the room the fixed text leaves; a
    // folder never has more than kPathCapacity - 1 bytes.
    const size_t room = capacity - 1 > fixed ? capacity - 1 - fixed : 0;
    size_t share = arguments ? room / arguments : 0;
    if (share > kPathCapacity - 1) share = kPathCapacity - 1;
    char shortened[kPathCapacity];
    shorten_middle(folder, share, shortened);
    walk_format(format,
                [&](const char* text, size_t length) { append_bytes(out, capacity, text, length); },
                [&] { append_text(out, capacity, shortened); });
}
