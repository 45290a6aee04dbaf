#pragma once
// LZHUF: LZSS over a 4096-byte window with adaptive Huffman coding of literals and match lengths
// and a static code for the upper six bits of match positions. The skin package is stored this way.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace veltrane {

inline constexpr const char* kLzhNoMemoryMessage = "LZH : Cannot get memory for dictionary tables";
inline constexpr const char* kLzhFreeFailedMessage = "LZH : Error freeing memory for dictionary tables";

class ElzhException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TLZH {
public:
    static constexpr int kWindowSize = 4096;
    static constexpr int kLongestMatch = 60;
    static constexpr int kThreshold = 2;
    static constexpr int kFirstWritePosition = kWindowSize - kLongestMatch;

    // Decodes until at least `size` bytes exist; the last match is copied whole, so the result may
    // run up to 59 bytes past `size`. Input past its end reads as zero bits. A size of zero or less
    // gives nothing. The caller bounds `size`; failing to get the memory throws ElzhException.
    static std::vector<std::uint8_t> Decode(std::span<const std::uint8_t> bits, std::int64_t size);

    // Our own packer (the build tool and round-trip tests use it): the bit stream only, no size.
    static std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> data);

    // A stored stream: 32-bit little-endian signed size, then the bit stream.
    static std::vector<std::uint8_t> EncodeWithSize(std::span<const std::uint8_t> data);
};

} // namespace veltrane
