// Folder chains: the folder part of a path, and create_folder_path (declared
// in archive.h) which creates a folder with every missing folder above it.
#pragma once

#include <cstddef>

// The text of `path` up to and including its last backslash or slash. False
// when there is no separator, or when the folder part, the base name or the
// extension is longer than 255 bytes, or the part does not fit `capacity`.
bool folder_part(const char* path, char* folder, size_t capacity);

// Pointer to the last character of `text` (double-byte aware), or null when
// it is empty.
const char* last_char(const char* text);
