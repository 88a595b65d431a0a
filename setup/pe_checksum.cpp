#include "setup/pe_checksum.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kFilePiece = 16384;

// Reads `size` bytes at `offset`; false unless all of them lie within the file.
using ReadAt = bool (*)(void* context, uint64_t offset, uint8_t* out, uint32_t size);

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Finds the CheckSum field: "MZ" at the start, the "PE\0\0" signature at the
// offset stored at byte 60, and the field inside the file after it.
void locate_checksum_field(ReadAt read_at, void* context, PeChecksum* out) {
    out->header_sum = 0;
    out->checksum_offset = 0;
    out->has_pe_header = false;
    uint8_t bytes[4];
    if (!read_at(context, 0, bytes, 2) || bytes[0] != 'M' || bytes[1] != 'Z') return;
    if (!read_at(context, kPeHeaderOffsetField, bytes, 4)) return;
    const uint64_t signature = le32(bytes);
    if (!read_at(context, signature, bytes, kPeSignatureSize)) return;
    if (std::memcmp(bytes, "PE\0\0", kPeSignatureSize) != 0) return;
    const uint64_t field = signature + kPeOptionalHeaderStart + kPeChecksumInOptionalHeader;
    if (field + kPeChecksumSize > uint64_t(UINT32_MAX) + 1) return;
    if (!read_at(context, field, bytes, kPeChecksumSize)) return;
    out->header_sum = le32(bytes);
    out->checksum_offset = uint32_t(field);
    out->has_pe_header = true;
}

// The running sum of 16-bit little-endian words, fed in pieces of any size.
struct WordSum {
    uint32_t sum = 0;
    uint64_t length = 0;  // bytes added so far
    int pending = -1;     // the low byte of a word still waiting for its high byte
};

void add_word(WordSum* words, uint32_t word) {
    words->sum += word;
    words->sum = (words->sum & 0xFFFF) + (words->sum >> 16);
}

// Adds the bytes that follow those added so far; the CheckSum field's bytes
// count as zeros.
void add_bytes(WordSum* words, const uint8_t* data, size_t size, const PeChecksum& field) {
    for (size_t i = 0; i < size; ++i) {
        const uint64_t position = words->length + i;
        const bool in_field = field.has_pe_header && position >= field.checksum_offset &&
                              position - field.checksum_offset < kPeChecksumSize;
        const uint32_t byte = in_field ? 0 : data[i];
        if (words->pending < 0) {
            words->pending = int(byte);
        } else {
            add_word(words, uint32_t(words->pending) | byte << 8);
            words->pending = -1;
        }
    }
    words->length += size;
}

// An odd last byte is the low byte of a final word; the length is added last.
uint32_t finish_sum(WordSum* words) {
    if (words->pending >= 0) add_word(words, uint32_t(words->pending));
    words->pending = -1;
    const uint32_t folded = ((words->sum & 0xFFFF) + (words->sum >> 16)) & 0xFFFF;
    return folded + uint32_t(words->length);
}

struct MemoryBlock {
    const uint8_t* data;
    size_t size;
};

bool read_memory(void* context, uint64_t offset, uint8_t* out, uint32_t size) {
    const auto* block = static_cast<const MemoryBlock*>(context);
    if (offset > block->size || block->size - offset < size) return false;
    std::memcpy(out, block->data + offset, size);
    return true;
}

bool read_file_at(void* context, uint64_t offset, uint8_t* out, uint32_t size) {
    auto* file = static_cast<std::FILE*>(context);
    if (offset > uint64_t(LONG_MAX)) return false;
    if (std::fseek(file, long(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, size, file) == size;
}

}  // namespace

PeChecksum pe_checksum_of_memory(const uint8_t* data, size_t size) {
    MemoryBlock block{data, data ? size : 0};
    PeChecksum result{};
    locate_checksum_field(read_memory, &block, &result);
    WordSum words;
    add_bytes(&words, block.data, block.size, result);
    result.computed_sum = finish_sum(&words);
    return result;
}

bool pe_checksum_of_file(const char* path, PeChecksum* out) {
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) return false;
    PeChecksum result{};
    locate_checksum_field(read_file_at, file, &result);
    bool ok = std::fseek(file, 0, SEEK_SET) == 0;
    WordSum words;
    uint8_t piece[kFilePiece];
    while (ok) {
        const size_t n = std::fread(piece, 1, sizeof piece, file);
        add_bytes(&words, piece, n, result);
        if (words.length > UINT32_MAX) ok = false;  // no PE image is that large
        if (n < sizeof piece) break;
    }
    if (std::ferror(file)) ok = false;
    std::fclose(file);
    if (!ok) return false;
    result.computed_sum = finish_sum(&words);
    *out = result;
    return true;
}
