// The decoder on any stream and size, the size as FuzzUnpackedSize allows. Whether our packer's output
// decodes back is for the unit tests; running the packer here would cost more than the decoding.
#include <cstring>

#include "tests/fuzz/skin/UnpackedSize.h"
#include "toolkit/skin/Lzh.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using veltrane::TLZH;
    if (size < 4)
        return 0;
    std::int32_t declared = 0;
    std::memcpy(&declared, data, 4);
    const std::int64_t wanted = FuzzUnpackedSize(declared, size - 4);
    const std::vector<std::uint8_t> out = TLZH::Decode({data + 4, size - 4}, wanted);
    if (wanted > 0 &&
        (out.size() < std::size_t(wanted) || out.size() >= std::size_t(wanted) + TLZH::kLongestMatch))
        __builtin_trap();
    if (wanted <= 0 && !out.empty())
        __builtin_trap();
    return 0;
}
