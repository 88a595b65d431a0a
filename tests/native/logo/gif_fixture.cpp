#include "gif_fixture.h"

#include <cstring>

ExactBuffer::ExactBuffer(const Bytes& bytes)
    : bytes_(new uint8_t[bytes.size()]), size_(uint32_t(bytes.size())) {
    if (!bytes.empty()) std::memcpy(bytes_.get(), bytes.data(), bytes.size());
}

TestParser::TestParser(const Bytes& bytes) : buffer_(bytes) {
    stream = buffer_.data();
    stream_size = buffer_.size();
}

uint8_t* TestParser::allocate_frame_block(uint32_t size) {
    ++allocations;
    if (fail_from_allocation != 0 && allocations >= fail_from_allocation) return nullptr;
    return GifParser::allocate_frame_block(size);
}

std::vector<TakenFrame> take_all_frames(GifParser& parser) {
    std::vector<TakenFrame> frames;
    parser.rewind();
    for (;;) {
        TakenFrame frame{};
        frame.size = {kUnwritten, kUnwritten};
        frame.offset = {kUnwritten, kUnwritten};
        uint32_t block_size = 0;
        uint8_t* block = parser.take_frame(&block_size, &frame.delay, &frame.size, &frame.offset,
                                           &frame.disposal);
        if (!block) return frames;
        frame.stream.assign(block, block + block_size);
        parser.free_frame_block(block);
        frames.push_back(frame);
    }
}
