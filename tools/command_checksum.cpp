// setuppack checksum EXE [--stamp]: shows the PE checksum stored in EXE's
// header and the one computed over the file; --stamp writes the computed one
// into the header (for a file changed after linking) and checks again.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "setup/pe_checksum.h"
#include "tools/setuppack_common.h"

namespace {

bool stamp(const char* path, const PeChecksum& checksum) {
    std::FILE* file = std::fopen(path, "r+b");
    if (!file) {
        print_error("%s: %s", path, std::strerror(errno));
        return false;
    }
    const uint32_t value = checksum.computed_sum;
    const uint8_t bytes[kPeChecksumSize] = {uint8_t(value), uint8_t(value >> 8),
                                           uint8_t(value >> 16), uint8_t(value >> 24)};
    bool ok = std::fseek(file, long(checksum.checksum_offset), SEEK_SET) == 0 &&
              std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes;
    if (std::fclose(file) != 0) ok = false;
    if (!ok) print_error("%s: cannot write the checksum: %s", path, std::strerror(errno));
    return ok;
}

// Reads the file's checksum; prints the error for a file that cannot be read
// or has no PE header.
bool read_checksum(const char* path, PeChecksum* checksum) {
    struct stat info {};
    if (stat(path, &info) != 0) {
        print_error("%s: %s", path, std::strerror(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        print_error("%s: not a regular file", path);
        return false;
    }
    if (!pe_checksum_of_file(path, checksum)) {
        print_error("%s: cannot read the file", path);
        return false;
    }
    if (!checksum->has_pe_header) {
        print_error("%s: not a PE file (no MZ header, or no PE header where it points)", path);
        return false;
    }
    return true;
}

void print_checksum(const PeChecksum& checksum) {
    std::printf("stored:   0x%08X\n", checksum.header_sum);
    std::printf("computed: 0x%08X\n", checksum.computed_sum);
    std::printf("%s\n", checksum.header_sum == checksum.computed_sum ? "match" : "no match");
}

}  // namespace

int command_checksum(int argc, char** argv) {
    const bool stamping = argc == 2 && std::strcmp(argv[1], "--stamp") == 0;
    if (argc != 1 && !stamping) {
        print_error("checksum needs an EXE and optionally --stamp");
        return kExitBadInput;
    }
    const char* path = argv[0];
    PeChecksum checksum{};
    if (!read_checksum(path, &checksum)) return kExitBadInput;
    if (!stamping) {
        print_checksum(checksum);
        return checksum.header_sum == checksum.computed_sum ? kExitOk : kExitFailed;
    }
    if (checksum.header_sum != checksum.computed_sum && !stamp(path, checksum)) return kExitFailed;
    // Read back what is now on disk.
    if (!read_checksum(path, &checksum)) return kExitFailed;
    print_checksum(checksum);
    if (checksum.header_sum != checksum.computed_sum) {
        print_error("%s: the stamped checksum does not verify", path);
        return kExitFailed;
    }
    return kExitOk;
}
