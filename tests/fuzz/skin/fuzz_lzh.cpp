// Decoder on any stream and size, and our packer's output always decoding back to its input.
#include <cstring>
#include <stdexcept>

#include "toolkit/skin/Lzh.h"

namespace {
// Larger sizes only make the fuzzer slower: the decoder's work is the same per byte.
constexpr std::uint32_t kSizeMask = 0xFFFF;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using veltrane::TLZH;
    if (size < 4)
        return 0;
    std::int32_t declared = 0;
    std::memcpy(&declared, data, 4);
    const std::span<const std::uint8_t> bits(data + 4, size - 4);
    const std::int64_t wanted = declared < 0 ? declared : std::int64_t(std::uint32_t(declared) & kSizeMask);
    const std::vector<std::uint8_t> out = TLZH::Decode(bits, wanted);
    if (wanted > 0 &&
        (out.size() < std::size_t(wanted) || out.size() >= std::size_t(wanted) + TLZH::kLongestMatch))
        __builtin_trap();

    const std::vector<std::uint8_t> packed = TLZH::Encode(bits);
    const std::vector<std::uint8_t> back = TLZH::Decode(packed, std::int64_t(bits.size()));
    if (back.size() != bits.size() || !std::equal(back.begin(), back.end(), bits.begin()))
        __builtin_trap();
    return 0;
}
