// The whole load, from a "SkinStream" value to the skin model. The unpacked size is kept under
// 256 bytes, room for a small skin (the seed "mini": a version 20000 package of 204 bytes with a
// short description and one bitmap) and quick to decode: decoding the first few hundred symbols,
// while the adaptive tree is full of equal frequencies, is the costliest part of the format.
#include <vector>

#include "toolkit/skin/SkinLoader.h"

namespace {

class NullSink : public veltrane::MessageSink {
public:
    void ShowMessage(std::wstring_view) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8)
        return 0;
    static std::vector<std::uint8_t> value; // one buffer for every run
    value.assign(data, data + size);
    value[5] = 0;
    value[6] = 0;
    value[7] = 0;
    NullSink sink;
    const auto model = veltrane::LoadSkinStream(value, sink);
    if (!model)
        return 0;
    std::size_t total = 0;
    for (const auto& b : model->captionButtons)
        total += b.bitmap.file.size() + std::size_t(b.imageCount);
    if (const auto pixel = model->top.bitmap.info.PixelAt(1, 1))
        total += *pixel;
    if (total == 0xFFFFFFFF)
        __builtin_trap();
    return 0;
}
