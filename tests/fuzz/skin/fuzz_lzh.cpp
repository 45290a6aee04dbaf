// The decoder on any stream and size. The declared size is cut to 64 times the stream's bytes (plus
// one window of 4096): no LZHUF stream unpacks by more than 48 times (a 60-byte match costs at least
// 10 bits), so every stream an encoder can write decodes whole, up to the 16 MB the package reader
// accepts, while a few bytes cannot ask for megabytes of zero-bit decoding. Whether our packer's
// output decodes back is for the unit tests; running the packer here would cost more than the decoding.
#include <algorithm>
#include <cstring>

#include "toolkit/skin/Lzh.h"
#include "toolkit/skin/SkinReader.h"

namespace {
constexpr std::int64_t kUnpackRatio = 64;
constexpr std::int64_t kUnpackSlack = 4096;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using veltrane::TLZH;
    if (size < 4)
        return 0;
    std::int32_t declared = 0;
    std::memcpy(&declared, data, 4);
    const std::int64_t cap =
        std::min(kUnpackRatio * std::int64_t(size - 4) + kUnpackSlack, veltrane::kMaxUnpackedSkinSize);
    const std::int64_t wanted = declared <= cap ? declared : declared % (cap + 1);
    const std::vector<std::uint8_t> out = TLZH::Decode({data + 4, size - 4}, wanted);
    if (wanted > 0 &&
        (out.size() < std::size_t(wanted) || out.size() >= std::size_t(wanted) + TLZH::kLongestMatch))
        __builtin_trap();
    if (wanted <= 0 && !out.empty())
        __builtin_trap();
    return 0;
}
