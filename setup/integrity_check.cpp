#include "setup/integrity_check.h"

#include "package/archive.h"

bool checksum_refuses(uint32_t call_result, uint32_t header_sum, uint32_t computed_sum) {
    // A header sum of 0 means that none was recorded when the file was built.
    return call_result == kChecksumSuccess && header_sum != 0 && computed_sum != 0 &&
           header_sum != computed_sum;
}

bool verify_setup_checksum(IntegrityHost& host) {
    char path[kPathCapacity];
    if (!host.module_path(path, sizeof path)) return true;
    if (!host.load_checksum_library()) return true;
    if (!host.find_checksum_function()) {
        host.free_checksum_library();
        return true;
    }
    uint32_t header_sum = 0;
    uint32_t computed_sum = 0;
    const uint32_t result = host.map_file_and_check_sum(path, &header_sum, &computed_sum);
    const bool refused = checksum_refuses(result, header_sum, computed_sum);
    if (refused) host.show_refusal(kChecksumRefusal);
    host.free_checksum_library();
    return !refused;
}
