// The PE image checksum: the value the CheckSum field of a PE optional header
// holds, and the sum computed over the whole file the way the loader's
// checksum routines compute it. Portable, so that the setup has it where the
// system's own routine is missing and the packaging tool can stamp files.
#pragma once

#include <cstddef>
#include <cstdint>

struct PeChecksum {
    uint32_t header_sum;       // the CheckSum field; 0 without valid PE headers
    uint32_t computed_sum;     // the sum over the file, the field counted as zeros
    uint32_t checksum_offset;  // file offset of the CheckSum field; 0 without PE headers
    bool has_pe_header;        // "MZ", e_lfanew in range, "PE\0\0", field within the file
};

// Offsets of the headers that locate the CheckSum field.
constexpr uint32_t kPeHeaderOffsetField = 60;  // e_lfanew, 32-bit
constexpr uint32_t kPeSignatureSize = 4;       // "PE\0\0"
constexpr uint32_t kPeOptionalHeaderStart = 24;  // from the signature: signature + COFF header
constexpr uint32_t kPeChecksumInOptionalHeader = 64;
constexpr uint32_t kPeChecksumSize = 4;

// The checksum of a file held in memory.
PeChecksum pe_checksum_of_memory(const uint8_t* data, size_t size);

// The checksum of the file at `path`, read in pieces with bounded memory.
// False when the file cannot be opened or read, or is 4 GB or larger.
bool pe_checksum_of_file(const char* path, PeChecksum* out);
