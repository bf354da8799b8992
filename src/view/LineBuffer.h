#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lupenta {

// Bytes that start at a chosen place within a 64-byte cache line. A vector load that straddles
// two lines costs nearly two, so the tables and rows the kernels read beside the frame are put
// at the same place within a line as the frame's rows.
class LineBuffer {
public:
    static constexpr std::size_t kLine = 64;

    // A copy would point into the original's bytes; moving keeps the bytes where they are.
    LineBuffer() = default;
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;
    LineBuffer(LineBuffer&&) noexcept = default;
    LineBuffer& operator=(LineBuffer&&) noexcept = default;

    // Room for `bytes` bytes starting `phase` bytes into a line. What the bytes held before is
    // kept only when neither the size nor the phase changes.
    std::uint8_t* Place(std::size_t bytes, std::uintptr_t phase) {
        storage_.resize(bytes + kLine);
        const auto base = reinterpret_cast<std::uintptr_t>(storage_.data());
        begin_ = storage_.data() + ((phase - base) & (kLine - 1));
        size_ = bytes;
        return begin_;
    }

    // Like Place, every byte set to `value`.
    std::uint8_t* Fill(std::size_t bytes, std::uintptr_t phase, std::uint8_t value) {
        std::uint8_t* data = Place(bytes, phase);
        std::fill(data, data + bytes, value);
        return data;
    }

    std::uint8_t* data() { return begin_; }
    const std::uint8_t* data() const { return begin_; }
    std::size_t size() const { return size_; }
    std::uint8_t& operator[](std::size_t i) { return begin_[i]; }

private:
    std::vector<std::uint8_t> storage_;
    std::uint8_t* begin_ = nullptr;
    std::size_t size_ = 0;
};

// Where `p` lies within its cache line.
inline std::uintptr_t LinePhase(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p) & (LineBuffer::kLine - 1);
}

} // namespace lupenta
