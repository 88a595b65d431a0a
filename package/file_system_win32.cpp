// The file-system seam over the ANSI Win32 calls.
#include <windows.h>

#include "package/file_system.h"

const char kPathSeparator = '\\';

namespace {

HANDLE native(FileHandle handle) { return reinterpret_cast<HANDLE>(handle); }
FileHandle wrap(HANDLE handle) { return FileHandle(reinterpret_cast<intptr_t>(handle)); }

FILETIME native_time(FileTime time) {
    FILETIME result;
    result.dwLowDateTime = time.low;
    result.dwHighDateTime = time.high;
    return result;
}

}  // namespace

FileHandle fs_duplicate_handle(FileHandle handle) {
    HANDLE copy = nullptr;
    const HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, native(handle), process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return kInvalidFile;
    return wrap(copy);
}

bool fs_is_disk_file(FileHandle handle) {
    return handle != kInvalidFile && GetFileType(native(handle)) == FILE_TYPE_DISK;
}

FileHandle fs_open_for_reading(const char* name) {
    return wrap(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle fs_create_for_writing(const char* name) {
    // An existing read-only file could not be replaced otherwise; the result
    // does not matter when there is no file yet.
    SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL);
    return wrap(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
}

bool fs_seek(FileHandle handle, int64_t offset, SeekOrigin origin, uint64_t* position) {
    static const DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin < seek_start || origin > seek_end) return false;
    LONG high = LONG(offset >> 32);
    SetLastError(NO_ERROR);
    const DWORD low = SetFilePointer(native(handle), LONG(offset & 0xFFFFFFFF), &high, kMethod[origin]);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
    if (position) *position = (uint64_t(uint32_t(high)) << 32) | low;
    return true;
}

int32_t fs_read(FileHandle handle, void* buffer, uint32_t count) {
    DWORD got = 0;
    if (!ReadFile(native(handle), buffer, count, &got, nullptr)) return -1;
    return int32_t(got);
}

int32_t fs_write(FileHandle handle, const void* buffer, uint32_t count) {
    DWORD written = 0;
    if (!WriteFile(native(handle), buffer, count, &written, nullptr) || written != count) return -1;
    return int32_t(written);
}

bool fs_set_times(FileHandle handle, FileTime creation, FileTime access, FileTime write) {
    const FILETIME c = native_time(creation), a = native_time(access), w = native_time(write);
    return SetFileTime(native(handle), &c, &a, &w) != 0;
}

void fs_close(FileHandle handle) {
    if (handle != kInvalidFile) CloseHandle(native(handle));
}

bool fs_current_folder(char* buffer, uint32_t capacity) {
    const DWORD length = GetCurrentDirectoryA(capacity, buffer);
    if (length == 0 || length >= capacity) return false;
    // The root of a drive comes with its backslash; the caller adds its own.
    if (length > 0 && buffer[length - 1] == '\\') buffer[length - 1] = '\0';
    return true;
}

bool fs_is_folder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fs_create_folder(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }

const char* fs_next_char(const char* text) { return *text ? CharNextA(text) : text; }
