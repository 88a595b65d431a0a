// Message texts composed into fixed buffers: never overrunning the buffer and
// never cutting a double-byte character in half.
#pragma once

#include <cstddef>

// Capacities of the dialogs' message boxes: the format string and the caption.
constexpr size_t kFormatCapacity = 128;
constexpr size_t kCaptionCapacity = 64;

// What stands for the cut-out middle of a shortened folder name.
constexpr char kEllipsis[] = "...";

// Appends as many whole characters of `text` to the string in `out` as fit in
// `capacity` bytes with the terminator. False when `text` was cut.
bool append_text(char* out, size_t capacity, const char* text);

// Writes `text` into `out`, at most `limit` bytes of it: unchanged when it
// fits, otherwise its start, the ellipsis and its end, cut at whole
// characters. `out` holds at least `limit` + 1 bytes.
void shorten_middle(const char* text, size_t limit, char* out);

// The wsprintfA of the dialogs, with one string argument: "%s" is replaced by
// `folder` (shortened in its middle so that the whole text fits), "%%" gives
// "%", anything else is copied. The text always fits `capacity` bytes.
void format_with_folder(const char* format, const char* folder, char* out, size_t capacity);
