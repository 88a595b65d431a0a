// The file-system seam over POSIX calls. Creation times do not exist here
// and are dropped.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "package/file_system.h"

const char kPathSeparator = '/';

namespace {

int descriptor(FileHandle handle) { return int(handle); }

timespec to_timespec(FileTime time) {
    int64_t seconds = 0;
    uint32_t nanoseconds = 0;
    filetime_to_unix(time, &seconds, &nanoseconds);
    timespec result{};
    result.tv_sec = time_t(seconds);
    result.tv_nsec = long(nanoseconds);
    return result;
}

}  // namespace

FileHandle fs_duplicate_handle(FileHandle handle) {
    const int copy = fcntl(descriptor(handle), F_DUPFD_CLOEXEC, 0);
    return copy < 0 ? kInvalidFile : FileHandle(copy);
}

bool fs_is_disk_file(FileHandle handle) {
    struct stat info {};
    return handle != kInvalidFile && fstat(descriptor(handle), &info) == 0 && S_ISREG(info.st_mode);
}

FileHandle fs_open_for_reading(const char* name) {
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return kInvalidFile;
    struct stat info {};
    // Opening a folder succeeds on POSIX; it is not a file to read.
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return kInvalidFile;
    }
    return FileHandle(fd);
}

FileHandle fs_create_for_writing(const char* name) {
    struct stat info {};
    // Give an existing read-only file its write permission back, so that it
    // can be replaced.
    if (stat(name, &info) == 0 && S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR))
        chmod(name, info.st_mode | S_IWUSR);
    const int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? kInvalidFile : FileHandle(fd);
}

bool fs_seek(FileHandle handle, int64_t offset, SeekOrigin origin, uint64_t* position) {
    static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < seek_start || origin > seek_end) return false;
    const off_t result = lseek(descriptor(handle), off_t(offset), kWhence[origin]);
    if (result < 0) return false;
    if (position) *position = uint64_t(result);
    return true;
}

int32_t fs_read(FileHandle handle, void* buffer, uint32_t count) {
    for (;;) {
        const ssize_t n = read(descriptor(handle), buffer, count);
        if (n >= 0) return int32_t(n);
        if (errno != EINTR) return -1;
    }
}

int32_t fs_write(FileHandle handle, const void* buffer, uint32_t count) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = write(descriptor(handle), bytes + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return -1;
        done += uint32_t(n);
    }
    return int32_t(done);
}

bool fs_set_times(FileHandle handle, FileTime /*creation*/, FileTime access, FileTime write) {
    const timespec times[2] = {to_timespec(access), to_timespec(write)};
    return futimens(descriptor(handle), times) == 0;
}

void fs_close(FileHandle handle) {
    if (handle != kInvalidFile) close(descriptor(handle));
}

bool fs_current_folder(char* buffer, uint32_t capacity) {
    return getcwd(buffer, capacity) != nullptr;
}

bool fs_is_folder(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool fs_create_folder(const char* path) { return mkdir(path, 0777) == 0; }

const char* fs_next_char(const char* text) { return *text ? text + 1 : text; }
