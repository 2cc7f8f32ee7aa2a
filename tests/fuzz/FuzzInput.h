// Reads typed values off the front of a fuzzer's input, then the rest as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace corvinade::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next bytes as T; zeros once the input runs out.
    template <class T> T Take() {
        T value{};
        const std::size_t n = size_ < sizeof value ? size_ : sizeof value;
        if (n > 0)
            std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    // An int in [low, high].
    int Int(int low, int high) {
        const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
        return static_cast<int>(low + static_cast<std::int64_t>(Take<std::uint32_t>() % span));
    }
    bool Bool() { return (Take<std::uint8_t>() & 1) != 0; }
    std::string_view Rest() const { return {reinterpret_cast<const char*>(data_), size_}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace corvinade::fuzz
