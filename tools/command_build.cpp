// setuppack build OUT INPUT...: writes a package from files and folders. The
// package goes to a temporary file beside OUT, renamed over OUT only when
// complete, so a failed build leaves nothing behind.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "package/file_time.h"
#include "tools/build_inputs.h"
#include "tools/package_writer.h"
#include "tools/setuppack_common.h"

namespace {

constexpr int kBestCompression = 9;

bool parse_specs(int argc, char** argv, std::vector<InputSpec>* specs) {
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--as") != 0) {
            specs->push_back({argv[i], ""});
            continue;
        }
        if (i + 2 >= argc) {
            print_error("--as needs a NAME and a SOURCE");
            return false;
        }
        if (argv[i + 1][0] == '\0') {
            print_error("--as needs a non-empty NAME");
            return false;
        }
        specs->push_back({argv[i + 2], argv[i + 1]});
        i += 2;
    }
    if (specs->empty()) {
        print_error("build needs at least one INPUT");
        return false;
    }
    return true;
}

// SOURCE_DATE_EPOCH, when set: the latest time a build may store. False when
// it is set but is not a count of seconds.
bool source_date_epoch(std::optional<int64_t>* epoch) {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text || text[0] == '\0') return true;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 0 || text[0] < '0' || text[0] > '9') {
        print_error("SOURCE_DATE_EPOCH is not a count of seconds: '%s'", text);
        return false;
    }
    *epoch = int64_t(value);
    return true;
}

// The time stored for an input: its modification time, no later than the
// epoch. False when it cannot be held as unsigned 32-bit seconds.
bool stored_time(const BuildInput& input, const std::optional<int64_t>& epoch, uint32_t* seconds) {
    int64_t time = input.modified;
    if (epoch && time > *epoch) time = *epoch;
    if (time < 0 || time > int64_t(UINT32_MAX)) {
        print_error("%s: modification time outside 1970 to 2106", input.source.c_str());
        return false;
    }
    *seconds = uint32_t(time);
    return true;
}

// Overwriting an input while reading it would store a half-written package.
bool output_is_an_input(const char* out, const std::vector<BuildInput>& inputs) {
    struct stat info {};
    if (stat(out, &info) != 0) return false;
    for (const BuildInput& input : inputs) {
        if (input.device == info.st_dev && input.inode == info.st_ino) {
            print_error("%s: the output is also an input", out);
            return true;
        }
    }
    return false;
}

WriterEntry entry_fields(const BuildInput& input, uint32_t seconds) {
    WriterEntry entry;
    entry.name = input.name;
    entry.method = kMethodDeflate;
    entry.level = kBestCompression;
    entry.dos_datetime = unix_seconds_to_dos_datetime(seconds);
    entry.external_attributes = external_attributes_of(input);
    entry.local_extra = extended_timestamp_local(seconds, seconds, seconds);
    entry.central_extra = extended_timestamp_central(seconds);
    return entry;
}

PackageWriteStatus add_input(PackageStream* stream, const BuildInput& input, uint32_t seconds) {
    if (input.is_folder) return package_stream_add(stream, entry_fields(input, seconds), nullptr);
    std::FILE* contents = std::fopen(input.source.c_str(), "rb");
    if (!contents) return write_read_failed;
    const PackageWriteStatus status = package_stream_add(stream, entry_fields(input, seconds), contents);
    std::fclose(contents);
    return status;
}

// Writes every input into `file`. Prints the error and returns false on failure.
bool write_inputs(std::FILE* file, const std::vector<BuildInput>& inputs,
                  const std::vector<uint32_t>& times, uint64_t* size) {
    PackageStream stream;
    PackageWriteStatus status = package_stream_begin(&stream, file);
    for (size_t i = 0; status == write_ok && i < inputs.size(); ++i) {
        status = add_input(&stream, inputs[i], times[i]);
        if (status != write_ok) {
            print_error("%s: %s", inputs[i].source.c_str(), package_write_status_text(status));
            return false;
        }
    }
    if (status == write_ok) status = package_stream_finish(&stream);
    if (status != write_ok) {
        print_error("%s", package_write_status_text(status));
        return false;
    }
    *size = stream.prefix_size + stream.offset;
    return true;
}

mode_t new_file_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

int command_build(int argc, char** argv) {
    if (argc < 2) {
        print_error("build needs OUT and at least one INPUT");
        print_usage(stderr);
        return kExitBadInput;
    }
    const char* out = argv[0];
    std::vector<InputSpec> specs;
    std::optional<int64_t> epoch;
    if (!parse_specs(argc - 1, argv + 1, &specs) || !source_date_epoch(&epoch)) return kExitBadInput;

    std::vector<BuildInput> inputs;
    std::string error;
    if (!collect_inputs(specs, &inputs, &error) || !check_inputs(inputs, &error)) {
        print_error("%s", error.c_str());
        return kExitBadInput;
    }
    if (output_is_an_input(out, inputs)) return kExitBadInput;
    std::vector<uint32_t> times(inputs.size());
    for (size_t i = 0; i < inputs.size(); ++i) {
        if (!stored_time(inputs[i], epoch, &times[i])) return kExitBadInput;
    }

    std::string temporary = std::string(out) + ".tmp-XXXXXX";
    const int descriptor = mkstemp(&temporary[0]);
    if (descriptor < 0) {
        print_error("cannot create a file beside %s: %s", out, std::strerror(errno));
        return kExitFailed;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        print_error("%s: %s", temporary.c_str(), std::strerror(errno));
        close(descriptor);
        unlink(temporary.c_str());
        return kExitFailed;
    }
    uint64_t size = 0;
    bool ok = write_inputs(file, inputs, times, &size);
    if (ok && fchmod(descriptor, new_file_mode()) != 0) {
        print_error("%s: %s", temporary.c_str(), std::strerror(errno));
        ok = false;
    }
    if (std::fclose(file) != 0 && ok) {
        print_error("%s: %s", temporary.c_str(), std::strerror(errno));
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), out) != 0) {
        print_error("cannot rename %s to %s: %s", temporary.c_str(), out, std::strerror(errno));
        ok = false;
    }
    if (!ok) {
        unlink(temporary.c_str());
        return kExitFailed;
    }
    std::printf("%s: %zu entries, %llu bytes\n", out, inputs.size(), (unsigned long long)size);
    return kExitOk;
}
