// The parser as the tests drive it: over an exact-sized copy of a stream,
// with allocations that can be made to fail, and every frame taken at once.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "logo/gif_parser.h"
#include "gif_writer.h"

// The stream copied into a heap block of exactly its size, so that the
// sanitizer catches any read past its end.
class ExactBuffer {
public:
    explicit ExactBuffer(const Bytes& bytes);
    const uint8_t* data() const { return bytes_.get(); }
    uint32_t size() const { return size_; }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    uint32_t size_;
};

// A parser over an exact copy of `bytes`, whose allocations can be made to
// fail from a given one on.
class TestParser : public GifParser {
public:
    explicit TestParser(const Bytes& bytes);
    uint8_t* allocate_frame_block(uint32_t size) override;

    int allocations = 0;
    int fail_from_allocation = 0;  // 1-based; 0: never fail

private:
    ExactBuffer buffer_;
};

// What one `take_frame` call gave. `size` and `offset` start as sentinels so
// that a frame that does not write them shows it.
struct TakenFrame {
    Bytes stream;
    uint32_t delay;
    int32_t disposal;
    GifSize size;
    GifOffset offset;
};

constexpr int32_t kUnwritten = -7;

// `rewind`, then `take_frame` until it gives null; every block is freed.
std::vector<TakenFrame> take_all_frames(GifParser& parser);
