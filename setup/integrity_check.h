// The integrity check of the setup file: the PE checksum stored in its
// header against the one computed over the file now on disk. Only a clear
// mismatch refuses the file; a check that cannot be carried out lets the
// installation go on.
#pragma once

#include <cstddef>
#include <cstdint>

// The refusal, shown with no owner, the system's default caption and the
// error icon.
constexpr char kChecksumRefusal[] = "The checksum of this setup program is not correct.";

// What the checksum function returns when it could read the file.
constexpr uint32_t kChecksumSuccess = 0;

// What the check needs of the system.
class IntegrityHost {
public:
    virtual ~IntegrityHost() = default;
    // The full path of the running setup file; false when there is none.
    virtual bool module_path(char* buffer, size_t capacity) = 0;
    // Loads the library that holds the checksum function.
    virtual bool load_checksum_library() = 0;
    // Looks the function up in the loaded library.
    virtual bool find_checksum_function() = 0;
    // Runs it on `path`: kChecksumSuccess, or a failure code.
    virtual uint32_t map_file_and_check_sum(const char* path, uint32_t* header_sum, uint32_t* computed_sum) = 0;
    virtual void free_checksum_library() = 0;
    virtual void show_refusal(const char* text) = 0;
};

// True exactly when the file is refused: the checksum was computed, a sum
// was recorded, and the two sums differ.
bool checksum_refuses(uint32_t call_result, uint32_t header_sum, uint32_t computed_sum);

// True: go on. False: refused, and the refusal has been shown. The library,
// once loaded, is freed on every path.
bool verify_setup_checksum(IntegrityHost& host);
