// Helpers of the tool tests: files with chosen times, the
// setuppack program run as a subprocess, a minimal PE image, and a walk over
// a package's raw records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "package/archive.h"
#include "tests/native/support/test_files.h"
#include "tools/package_writer.h"

void write_text(const std::string& path, const std::string& text);
void make_folder(const std::string& path);
// Sets the access and modification times to `seconds` (whole seconds).
void set_mtime(const std::string& path, int64_t seconds);
int64_t mtime_of(const std::string& path);
// Names in a folder, sorted.
std::vector<std::string> folder_listing(const std::string& path);

// Deterministic bytes: text-like (compressible) or noise (incompressible).
Bytes text_bytes(size_t size, uint32_t seed);
Bytes noise_bytes(size_t size, uint32_t seed);


struct RunResult {
    int exit_code = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Environment changes for a run: a value sets the variable, none removes it.
using EnvChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

// Runs `program` with `arguments`, capturing both outputs. SOURCE_DATE_EPOCH
// is removed from the environment unless `env` sets it.
RunResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                      const EnvChanges& env = {});
RunResult run_setuppack(const std::vector<std::string>& arguments, const EnvChanges& env = {});

// True when `err` is exactly one line that starts with "setuppack: ".
bool is_one_error_line(const std::string& err);

uint32_t get16(const Bytes& bytes, size_t at);
uint32_t get32(const Bytes& bytes, size_t at);
void put32_at(Bytes& bytes, size_t at, uint32_t value);

// The records of a ZIP-shaped file, found through its end record (the last
// 50 4B 05 06) and central directory, as any ZIP reader finds them.
struct RawRecords {
    size_t end_offset = 0;
    std::vector<size_t> central_offsets;
    std::vector<size_t> local_offsets;
};
bool walk_records(const Bytes& archive, RawRecords* records);

// A minimal PE image: an MZ header whose e_lfanew points at `pe_offset`,
// "PE\0\0", a zeroed COFF header and optional header with the CheckSum field
// set to `stored_checksum`, padded with zeros to `size` bytes.
Bytes minimal_pe_image(uint32_t pe_offset, uint32_t stored_checksum, size_t size);
constexpr size_t kChecksumFieldFromPe = 88;  // signature 4 + COFF 20 + 64
