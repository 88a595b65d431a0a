// Extraction speed against the floor (plain zlib raw inflate of the same
// entries into a 16 KB buffer, output discarded), and peak memory while
// extracting a 1 GB entry.
//
//   extract_bench [--megabytes N] [--folder DIR] [--skip-large]
//
// DIR receives the extracted files (default /dev/shm, a tmpfs).
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "package/archive.h"
#include "package/format.h"
#include "tools/package_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRepeats = 3;
constexpr int kLevel = 6;

uint32_t next_random(uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return *state;
}

// Prose-like text: compresses about 3:1.
Bytes text_contents(size_t size, uint32_t seed) {
    static const char* kWords[] = {"the", "song", "verse", "chorus", "bridge", "melody", "tempo",
                                   "harmony", "key", "minor", "major", "rhythm", "lyric", "note",
                                   "and", "of", "a", "with", "Songwright", "writes", "\n"};
    Bytes out;
    out.reserve(size);
    uint32_t state = seed;
    while (out.size() < size) {
        const char* word = kWords[(next_random(&state) >> 16) % 21];
        for (const char* p = word; *p && out.size() < size; ++p) out.push_back(uint8_t(*p));
        if (out.size() < size) out.push_back(' ');
    }
    return out;
}

// Machine-code-like binary: a small alphabet with repeats, compresses about
// 2:1, plus stretches of noise.
Bytes binary_contents(size_t size, uint32_t seed) {
    Bytes out(size);
    uint32_t state = seed;
    for (size_t i = 0; i < size;) {
        const uint32_t r = next_random(&state);
        if ((r >> 28) < 3 && i > 64) {  // copy an earlier run
            const size_t distance = 1 + (r >> 8) % 64, length = 4 + (r >> 4) % 12;
            for (size_t k = 0; k < length && i < size; ++k, ++i) out[i] = out[i - distance];
        } else if ((r >> 28) < 5) {     // noise
            out[i++] = uint8_t(r >> 12);
        } else {
            static const uint8_t kOps[] = {0x8B, 0x89, 0xE8, 0xFF, 0x00, 0x45, 0x24, 0xC3, 0x83, 0x48};
            out[i++] = kOps[(r >> 12) % 10];
        }
    }
    return out;
}

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A memory figure of this process from /proc/self/status, in KB: "VmHWM:"
// (the peak resident size) or "VmRSS:" (the current one).
long status_kb(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long kb = -1;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0) kb = std::strtol(line + length, nullptr, 10);
    std::fclose(status);
    return kb;
}

struct Package {
    Bytes block;
    PackageLayout layout;
    std::vector<WriterEntry> entries;
    uint64_t total = 0;
};

Package build_package(size_t megabytes) {
    Package package;
    const size_t target = megabytes << 20;
    uint32_t seed = 1;
    size_t sizes[] = {64 << 10, 1 << 20, 3 << 20, 8 << 20, 200 << 10, 16 << 20};
    for (size_t i = 0; package.total < target; ++i, ++seed) {
        const size_t size = sizes[i % 6];
        WriterEntry entry;
        entry.level = kLevel;
        entry.name = "file" + std::to_string(i) + (i % 2 ? ".txt" : ".bin");
        entry.contents = i % 2 ? text_contents(size, seed) : binary_contents(size, seed);
        entry.local_extra = extended_timestamp_local(1700000000, 1700000000, 1700000000);
        package.total += size;
        package.entries.push_back(std::move(entry));
    }
    package.block = write_package(package.entries, {}, &package.layout);
    for (WriterEntry& entry : package.entries) Bytes().swap(entry.contents);  // keep names only
    return package;
}

// The floor: what zlib alone costs for the same entries.
double floor_seconds(const Package& package) {
    PackageArchive* archive = archive_open(package.block.data(), uint32_t(package.block.size()), storage_memory);
    std::vector<std::pair<uint32_t, uint32_t>> spans;  // data offset, compressed size
    for (size_t i = 0; i < package.entries.size(); ++i) {
        ArchiveEntry entry{};
        archive_get_entry(archive, int32_t(i), &entry);
        const uint32_t local = package.layout.local_offsets[i];
        const uint32_t name_length = package.block[local + 26] | package.block[local + 27] << 8;
        const uint32_t extra_length = package.block[local + 28] | package.block[local + 29] << 8;
        spans.push_back({local + kLocalHeaderSize + name_length + extra_length, entry.compressed_size});
    }
    archive_close(archive);
    static uint8_t out[kChunkSize];
    const auto start = Clock::now();
    for (const auto& span : spans) {
        z_stream z{};
        inflateInit2(&z, -15);
        z.next_in = const_cast<uint8_t*>(package.block.data() + span.first);
        z.avail_in = span.second;
        int result = Z_OK;
        while (result == Z_OK) {
            z.next_out = out;
            z.avail_out = sizeof out;
            result = inflate(&z, Z_SYNC_FLUSH);
        }
        inflateEnd(&z);
        if (result != Z_STREAM_END) std::fprintf(stderr, "floor: inflate failed\n");
    }
    return seconds_since(start);
}

double memory_seconds(const Package& package, Bytes* scratch) {
    const auto start = Clock::now();
    PackageArchive* archive = archive_open(package.block.data(), uint32_t(package.block.size()), storage_memory);
    for (size_t i = 0; i < package.entries.size(); ++i) {
        ArchiveEntry entry{};
        archive_get_entry(archive, int32_t(i), &entry);
        if (scratch->size() < entry.uncompressed_size) scratch->resize(entry.uncompressed_size);
        ArchiveStatus status = archive_extract(archive, int32_t(i), scratch->data(),
                                               entry.uncompressed_size, storage_memory, nullptr);
        if (status == status_more)
            status = archive_extract(archive, int32_t(i), scratch->data(), entry.uncompressed_size,
                                     storage_memory, nullptr);
        if (status != status_ok) std::fprintf(stderr, "memory: entry %zu failed\n", i);
    }
    archive_close(archive);
    return seconds_since(start);
}

double files_seconds(const Package& package, const std::string& folder) {
    const auto start = Clock::now();
    PackageArchive* archive = archive_open(package.block.data(), uint32_t(package.block.size()), storage_memory);
    for (size_t i = 0; i < package.entries.size(); ++i) {
        ArchiveEntry entry{};
        archive_get_entry(archive, int32_t(i), &entry);
        std::string path = folder + "/" + entry.name;
        if (archive_extract(archive, int32_t(i), path.data(), 0, storage_file_name, nullptr) != status_ok)
            std::fprintf(stderr, "files: entry %zu failed\n", i);
    }
    archive_close(archive);
    return seconds_since(start);
}

void remove_files(const Package& package, const std::string& folder) {
    for (const WriterEntry& entry : package.entries) unlink((folder + "/" + entry.name).c_str());
}

template <typename F>
double best_of(F run) {
    double best = 1e30;
    for (int i = 0; i < kRepeats; ++i) {
        const double t = run();
        if (t < best) best = t;
    }
    return best;
}

void measure_large_entry() {
    std::printf("\nPeak memory while extracting a 1 GB entry (to /dev/null):\n");
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        // Streamed through deflate, never held whole.
        const Bytes text = text_contents(1 << 20, 7);
        constexpr uint64_t kSize = 1ull << 30;
        z_stream z{};
        deflateInit2(&z, 1, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
        Bytes compressed;
        static uint8_t out[1 << 16];
        uLong crc = crc32(0, nullptr, 0);
        for (uint64_t done = 0; done < kSize; done += text.size()) {
            crc = crc32(crc, text.data(), uInt(text.size()));
            z.next_in = const_cast<uint8_t*>(text.data());
            z.avail_in = uInt(text.size());
            const int flush = done + text.size() >= kSize ? Z_FINISH : Z_NO_FLUSH;
            do {
                z.next_out = out;
                z.avail_out = sizeof out;
                deflate(&z, flush);
                compressed.insert(compressed.end(), out, out + (sizeof out - z.avail_out));
            } while (z.avail_out == 0);
        }
        deflateEnd(&z);
        WriterEntry entry;
        entry.name = "large.bin";
        entry.stored_data = std::move(compressed);
        entry.declared_crc = uint32_t(crc);
        entry.declared_uncompressed_size = uint32_t(kSize);
        const Bytes block = write_package({entry});
        // Baseline: the package in memory, everything but the extraction.
        const long baseline = status_kb("VmRSS:");
        // Reset the high-water mark to the current size where the kernel allows.
        if (FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", clear);
            std::fclose(clear);
        }
        const long before_peak = status_kb("VmHWM:");
        const auto start = Clock::now();
        PackageArchive* archive = archive_open(block.data(), uint32_t(block.size()), storage_memory);
        char target[] = "/dev/null";
        const ArchiveStatus status = archive_extract(archive, 0, target, 0, storage_file_name, nullptr);
        archive_close(archive);
        const double seconds = seconds_since(start);
        const long peak = status_kb("VmHWM:");
        std::printf("  entry %.0f MB (compressed %.1f MB), status 0x%X, %.2f s, %.0f MB/s\n",
                    double(kSize) / (1 << 20), double(block.size()) / (1 << 20), unsigned(status),
                    seconds, double(kSize) / (1 << 20) / seconds);
        std::printf("  RSS baseline %ld KB, peak before %ld KB, peak after %ld KB: +%ld KB during extraction\n",
                    baseline, before_peak, peak, peak - (before_peak > baseline ? before_peak : baseline));
        std::fflush(stdout);
        _exit(status == status_ok ? 0 : 1);
    }
    int wait_status = 0;
    waitpid(child, &wait_status, 0);
}

}  // namespace

int main(int argc, char** argv) {
    size_t megabytes = 256;
    std::string folder = "/dev/shm";
    bool large = true;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--megabytes") && i + 1 < argc) megabytes = size_t(std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--folder") && i + 1 < argc) folder = argv[++i];
        else if (!std::strcmp(argv[i], "--skip-large")) large = false;
    }
    std::printf("Building a package of %zu MB of mixed text and binaries (deflate level %d)...\n",
                megabytes, kLevel);
    std::fflush(stdout);
    const Package package = build_package(megabytes);
    const double mb = double(package.total) / (1 << 20);
    std::printf("  %zu entries, %.1f MB of contents, %.1f MB packed\n\n", package.entries.size(), mb,
                double(package.block.size()) / (1 << 20));

    Bytes scratch;
    char pattern[4096];
    std::snprintf(pattern, sizeof pattern, "%s/extract_bench.XXXXXX", folder.c_str());
    const char* out = mkdtemp(pattern);
    if (!out) {
        std::fprintf(stderr, "cannot make a folder in %s\n", folder.c_str());
        return 1;
    }
    const std::string out_folder = out;
    const double floor = best_of([&] { return floor_seconds(package); });
    const double memory = best_of([&] { return memory_seconds(package, &scratch); });
    const double files = best_of([&] {
        remove_files(package, out_folder);
        return files_seconds(package, out_folder);
    });
    remove_files(package, out_folder);
    rmdir(out_folder.c_str());

    std::printf("Best of %d runs, MB/s of contents delivered:\n", kRepeats);
    std::printf("  %-44s %8.1f MB/s  %6.3f s\n", "floor: zlib raw inflate, 16 KB, discarded", mb / floor, floor);
    std::printf("  %-44s %8.1f MB/s  %6.3f s\n", "archive_extract to memory (with CRC-32)", mb / memory, memory);
    std::printf("  %-44s %8.1f MB/s  %6.3f s\n", ("archive_extract to files in " + folder).c_str(), mb / files, files);
    std::printf("\nRatios:\n");
    std::printf("  memory speed / floor speed = %.2f  (goal >= 0.90)\n", floor / memory);
    std::printf("  files time / floor time    = %.2f  (goal <= 1.50)\n", files / floor);
    if (large) measure_large_entry();
    return 0;
}
