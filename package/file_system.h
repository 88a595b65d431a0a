// The file-system seam under the archive: the few file and folder operations
// that the handle and file-name kinds and the file targets need. One
// implementation per platform is linked: POSIX (file_system_posix.cpp) or
// Win32 (file_system_win32.cpp). The memory kind needs none of them.
#pragma once

#include <cstdint>

#include "package/file_time.h"

// An open file as the platform knows it: a POSIX descriptor or a Win32 HANDLE,
// carried as an integer. -1 is invalid on both (INVALID_HANDLE_VALUE).
using FileHandle = intptr_t;
constexpr FileHandle kInvalidFile = -1;

// The separator of this system's paths: a backslash on Windows, else a slash.
extern const char kPathSeparator;

enum SeekOrigin : int32_t { seek_start = 0, seek_current = 1, seek_end = 2 };

// A second handle to the same file, not inheritable; the caller keeps its own.
FileHandle fs_duplicate_handle(FileHandle handle);

// True when the handle is a random-access disk file.
bool fs_is_disk_file(FileHandle handle);

// Opens an existing file for reading, read sharing allowed.
FileHandle fs_open_for_reading(const char* name);

// Resets an existing file's attributes so that it can be replaced (read-only
// included), then creates or truncates it for writing, no sharing.
FileHandle fs_create_for_writing(const char* name);

// Moves the file position; `position` (may be null) receives the new one.
bool fs_seek(FileHandle handle, int64_t offset, SeekOrigin origin, uint64_t* position);

// Bytes delivered (0 at the end), or -1 when the read fails.
int32_t fs_read(FileHandle handle, void* buffer, uint32_t count);

// Bytes written, or -1 when the write fails.
int32_t fs_write(FileHandle handle, const void* buffer, uint32_t count);

// Sets the three times of an open disk file. Systems without a creation time
// drop it.
bool fs_set_times(FileHandle handle, FileTime creation, FileTime access, FileTime write);

void fs_close(FileHandle handle);

// The process's current folder, without a trailing separator.
bool fs_current_folder(char* buffer, uint32_t capacity);

// True when `path` exists and is a folder.
bool fs_is_folder(const char* path);

// Creates one folder whose parent exists.
bool fs_create_folder(const char* path);

// The next character of an ANSI string: one byte, or two for a lead byte of
// the active double-byte code page (so a trail byte is never a separator).
const char* fs_next_char(const char* text);
