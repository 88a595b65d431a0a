#include "tools/setuppack_common.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <ctime>

void print_error(const char* format, ...) {
    std::fputs("setuppack: ", stderr);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
}

bool open_package(const char* path, OpenPackage* package) {
    *package = OpenPackage{};
    struct stat info {};
    if (stat(path, &info) != 0) {
        print_error("%s: %s", path, std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        print_error("%s: is a folder, not a package", path);
        return false;
    }
    // Anything else (a pipe, a device) could block or never end.
    if (!S_ISREG(info.st_mode)) {
        print_error("%s: not a regular file", path);
        return false;
    }
    if (uint64_t(info.st_size) > UINT32_MAX) {
        print_error("%s: not a package (4 GB or larger)", path);
        return false;
    }
    package->size = size_t(info.st_size);
    if (package->size > 0) {
        const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            print_error("%s: %s", path, std::strerror(errno));
            return false;
        }
        void* mapping = mmap(nullptr, package->size, PROT_READ, MAP_PRIVATE, descriptor, 0);
        close(descriptor);
        if (mapping == MAP_FAILED) {
            print_error("%s: %s", path, std::strerror(errno));
            return false;
        }
        package->mapping = mapping;
    }
    package->archive = archive_open(package->mapping, uint32_t(package->size), storage_memory);
    if (!package->archive) {
        print_error("%s: not a package (no valid end of central directory record)", path);
        close_package(package);
        return false;
    }
    return true;
}

void close_package(OpenPackage* package) {
    if (package->archive) archive_close(package->archive);
    if (package->mapping) munmap(package->mapping, package->size);
    *package = OpenPackage{};
}

const char* archive_status_text(ArchiveStatus status) {
    switch (status) {
        case status_ok: return "no error";
        case status_more: return "more data follow";
        case status_create_failed: return "cannot create the target file";
        case status_write_failed:
            return "reading, inflating or writing failed (damaged data, a wrong CRC-32 or "
                   "length, or a full disk)";
        case status_corrupt:
            return "local header unreadable or disagreeing with the central directory";
        case status_read_failed: return "local extra field unreadable";
        case status_bad_argument: return "bad argument";
        case status_inflate_failed:
            return "damaged data (unreadable, inflate failed, or a wrong CRC-32 or length)";
    }
    return "unknown status";
}

void format_file_time(FileTime time, char* out) {
    int64_t seconds = 0;
    uint32_t nanoseconds = 0;
    filetime_to_unix(time, &seconds, &nanoseconds);
    const time_t clock = time_t(seconds);
    struct tm calendar {};
    if (!gmtime_r(&clock, &calendar) ||
        std::strftime(out, kTimeTextCapacity, "%Y-%m-%d %H:%M:%S", &calendar) == 0)
        std::snprintf(out, kTimeTextCapacity, "?");
}

std::string shown_name(const std::string& name) {
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02X", byte);
        shown += escape;
    }
    return shown;
}
