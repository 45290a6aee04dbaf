// Any input either decodes to a picture of consistent size within the limits or gives an error
// without pixels; crashes, leaks and bad memory accesses, in libjpeg too, are found by the
// sanitizers. Built twice: fuzz_jpeg lowers the side and scan limits and the input length for
// speed (the decoder's paths are the same for small pictures and few scans; more of either costs
// only time), fuzz_jpeg_limits keeps the program's own limits.
#include <cstdlib>

#include "toolkit/jpeg/JpegImage.h"

namespace {
#ifdef VELTRANE_JPEG_PROGRAM_LIMITS
constexpr veltrane::JpegLimits kLimits{};
// The banner is 8 KB; eight times that leaves room for every marker, table and scan the limits allow.
constexpr std::size_t kMaxInput = 64 * 1024;
#else
constexpr veltrane::JpegLimits kLimits{.maxSide = 128, .maxLibraryMemory = 4L * 1024 * 1024, .maxScans = 32};
// Every marker and table the decoder knows fits in far less; longer inputs only add entropy-coded
// data, which a long run would otherwise let grow until it spends its time there.
constexpr std::size_t kMaxInput = 2048;
#endif
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    const veltrane::JpegDecodeResult result = veltrane::JpegDecode({data, size}, kLimits);
    const veltrane::JpegImage& image = result.image;
    if (result.Ok()) {
        const bool sane = image.width > 0 && image.height > 0 && image.width <= kLimits.maxSide &&
                          image.height <= kLimits.maxSide &&
                          image.rgb.size() == std::size_t(image.width) * std::size_t(image.height) * 3;
        if (!sane)
            std::abort();
        (void)veltrane::JpegToDib24(image);
    } else if (!image.rgb.empty() || result.message.empty()) {
        std::abort();
    }
    return 0;
}
