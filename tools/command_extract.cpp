// setuppack extract PKG DIR: extracts every entry into DIR the way the setup's
// copy step does: the sizes summed first, then each entry in index order to
// DIR joined with its name, with a progress callback after every chunk.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "package/entry_name.h"
#include "tools/setuppack_common.h"

namespace {

// The progress callback takes no context, as in the setup: its state lives here.
struct Progress {
    bool on_terminal = false;
    uint64_t bytes_total = 0;
    uint64_t bytes_done = 0;
    int shown_percent = -1;
    std::string name;
};
Progress g_progress;

void show_progress() {
    if (!g_progress.on_terminal) return;
    const uint64_t total = g_progress.bytes_total;
    const int percent = total ? int(g_progress.bytes_done * 100 / total) : 100;
    if (percent == g_progress.shown_percent) return;
    g_progress.shown_percent = percent;
    std::fprintf(stderr, "\r\033[K%3d%%  %s", percent, g_progress.name.c_str());
    std::fflush(stderr);
}

void clear_progress() {
    if (g_progress.on_terminal) std::fputs("\r\033[K", stderr);
}

int32_t report_progress(uint32_t* count) {
    g_progress.bytes_done += *count;
    show_progress();
    return 0;
}

// DIR joined with the entry's name, its backslashes turned into this
// system's separator. False when the result does not fit a path buffer.
bool target_path(const char* folder, const char* name, char* out) {
    char converted[kPathCapacity];
    std::strncpy(converted, name, sizeof converted - 1);
    converted[sizeof converted - 1] = '\0';
    for (char* p = converted; *p; ++p) {
        if (*p == '\\') *p = '/';
    }
    return join_entry_path(folder, converted, '/', out, kPathCapacity);
}

bool is_folder(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// Checks every name before anything is written and sums the sizes.
bool check_entries(PackageArchive* archive, const char* package, const char* folder, int32_t count,
                   uint64_t* bytes_total) {
    for (int32_t index = 0; index < count; ++index) {
        ArchiveEntry entry{};
        const ArchiveStatus status = archive_get_entry(archive, index, &entry);
        if (status != status_ok) {
            print_error("%s: entry %d: %s (status 0x%X)", package, index,
                        archive_status_text(status), unsigned(status));
            return false;
        }
        const std::string shown = shown_name(entry.name);
        if (!is_safe_entry_name(entry.name)) {
            print_error("%s: entry %d (%s): unsafe name (empty, absolute, a drive, '..' or ':'); "
                        "nothing extracted",
                        package, index, shown.c_str());
            return false;
        }
        char target[kPathCapacity];
        if (!target_path(folder, entry.name, target)) {
            print_error("%s: entry %d (%s): the target path would be longer than 259 bytes",
                        package, index, shown.c_str());
            return false;
        }
        *bytes_total += entry.uncompressed_size;
    }
    return true;
}

bool create_destination(const char* folder) {
    char path[kPathCapacity];
    if (std::strlen(folder) >= sizeof path) {
        print_error("%s: folder path longer than 259 bytes", folder);
        return false;
    }
    std::strcpy(path, folder);
    create_folder_path(path);
    if (!is_folder(folder)) {
        print_error("%s: cannot create the folder", folder);
        return false;
    }
    return true;
}

bool extract_entry(PackageArchive* archive, const char* package, const char* folder,
                   int32_t index) {
    ArchiveEntry entry{};
    ArchiveStatus status = archive_get_entry(archive, index, &entry);
    char target[kPathCapacity] = "";
    if (status == status_ok && target_path(folder, entry.name, target)) {
        g_progress.name = shown_name(entry.name);
        status = archive_extract(archive, index, target, 0, storage_file_name, report_progress);
    }
    if (status == status_ok && (entry.attributes & kAttributeDirectory) && !is_folder(target)) {
        status = status_create_failed;  // folder creation reports no failure of its own
    }
    if (status != status_ok) {
        clear_progress();
        print_error("%s: entry %d (%s): cannot extract to %s: %s (status 0x%X)", package, index,
                    shown_name(entry.name).c_str(), shown_name(target).c_str(),
                    archive_status_text(status), unsigned(status));
        return false;
    }
    clear_progress();
    std::printf("  %s\n", shown_name(target).c_str());
    g_progress.shown_percent = -1;
    show_progress();
    return true;
}

}  // namespace

int command_extract(int argc, char** argv) {
    if (argc != 2) {
        print_error("extract needs a PKG and a DIR");
        return kExitBadInput;
    }
    const char* package = argv[0];
    const char* folder = argv[1];
    OpenPackage opened;
    if (!open_package(package, &opened)) return kExitBadInput;
    PackageArchive* archive = opened.archive;
    ArchiveEntry count{};
    archive_get_entry(archive, -1, &count);

    g_progress = Progress{};
    g_progress.on_terminal = isatty(STDERR_FILENO) != 0;
    bool ok = check_entries(archive, package, folder, count.index, &g_progress.bytes_total) &&
              create_destination(folder);
    for (int32_t index = 0; ok && index < count.index; ++index) {
        ok = extract_entry(archive, package, folder, index);
    }
    close_package(&opened);
    clear_progress();
    if (!ok) return kExitFailed;
    std::printf("%s: %d %s, %llu bytes extracted\n", folder, count.index,
                count.index == 1 ? "entry" : "entries", (unsigned long long)g_progress.bytes_done);
    return kExitOk;
}
