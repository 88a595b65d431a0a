// Whether an entry's name may be joined to a destination folder, and the join.
#pragma once

#include <cstddef>

// A name is safe when it is not empty, not absolute (no leading separator),
// has no drive letter or UNC prefix, no ".." segment and no ':' anywhere
// (which would reach an alternate data stream). Either slash separates.
bool is_safe_entry_name(const char* name);

// Writes `folder`, a separator unless the folder already ends with a backslash
// or a slash, and `name` into `out`. False, with `out` emptied, when the
// result would not fit in `capacity` bytes with its terminator.
bool join_entry_path(const char* folder, const char* name, char separator, char* out,
                     size_t capacity);
