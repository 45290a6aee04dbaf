// Any input either decodes to a picture of consistent size within the limits or gives an error
// without pixels; crashes, leaks and reads outside the input are found by the sanitizers.
#include <cstdlib>

#include "toolkit/jpeg/JpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const veltrane::JpegDecodeResult result = veltrane::JpegDecode({data, size});
    const veltrane::JpegImage& image = result.image;
    if (result.Ok()) {
        const bool sane = image.width > 0 && image.height > 0 && image.width <= veltrane::kJpegMaxSide &&
                          image.height <= veltrane::kJpegMaxSide &&
                          image.rgb.size() == std::size_t(image.width) * std::size_t(image.height) * 3;
        if (!sane)
            std::abort();
        (void)veltrane::JpegToDib24(image);
    } else if (!image.rgb.empty() || result.message.empty()) {
        std::abort();
    }
    return 0;
}
