#include "package_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

CurrentFolder::CurrentFolder(const std::string& folder) {
    char buffer[4096];
    saved_ = getcwd(buffer, sizeof buffer) ? buffer : "/";
    if (chdir(folder.c_str()) != 0) std::abort();
}

CurrentFolder::~CurrentFolder() {
    if (chdir(saved_.c_str()) != 0) std::abort();
}

Bytes sample_contents(size_t size, uint32_t seed) {
    static const char kWords[][8] = {"song", "verse", "chorus", "bridge", "note", "tempo", "key", "\n"};
    Bytes out;
    out.reserve(size);
    uint32_t state = seed * 2654435761u + 1;
    while (out.size() < size) {
        state = state * 1664525u + 1013904223u;
        if ((state >> 24) < 16) {
            out.push_back(uint8_t(state >> 8));  // a little noise
            continue;
        }
        const char* word = kWords[(state >> 16) % 8];
        for (const char* p = word; *p && out.size() < size; ++p) out.push_back(uint8_t(*p));
        if (out.size() < size) out.push_back(' ');
    }
    return out;
}

WriterEntry delivered_entry(const std::string& name, Bytes contents, uint32_t unix_time,
                            uint32_t attributes) {
    WriterEntry entry;
    entry.name = name;
    entry.contents = std::move(contents);
    entry.dos_datetime = unix_seconds_to_dos_datetime(unix_time);
    entry.external_attributes = attributes;
    entry.local_extra = extended_timestamp_local(unix_time, unix_time, unix_time);
    entry.central_extra = extended_timestamp_central(unix_time);
    return entry;
}

std::vector<WriterEntry> delivered_entries() {
    return {
        delivered_entry("Songwright.exe", sample_contents(kProgramSize, 1), kProgramTime),
        delivered_entry("Songwright.chm", sample_contents(kHelpSize, 2), kProgramTime + 60),
        delivered_entry("License.rtf", sample_contents(kLicenceSize, 3), kProgramTime + 120,
                        0x81000021),
    };
}

ArchiveStatus extract_to_memory(PackageArchive* archive, int32_t index, uint32_t piece,
                                Bytes* contents, int* calls) {
    contents->clear();
    *calls = 0;
    // The caller learns from the entry's size how much each call delivered:
    // a full buffer, or what was left.
    ArchiveEntry entry{};
    if (archive_get_entry(archive, index, &entry) != status_ok) return status_bad_argument;
    Bytes buffer(piece);
    size_t left = entry.uncompressed_size;
    for (int guard = 0; guard < 1000000; ++guard) {
        const ArchiveStatus status =
            archive_extract(archive, index, buffer.data(), piece, storage_memory, nullptr);
        if (status != status_more) return status;
        ++*calls;
        const size_t delivered = left < piece ? left : piece;
        contents->insert(contents->end(), buffer.begin(), buffer.begin() + long(delivered));
        left -= delivered;
    }
    return status_bad_argument;
}
