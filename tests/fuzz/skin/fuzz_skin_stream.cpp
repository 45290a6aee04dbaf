// The whole load, from a "SkinStream" value to the skin model.
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
    std::vector<std::uint8_t> value(data, data + size);
    value[6] &= 0x07; // the unpacked size: at most 512 KB, enough for our skin, keeps runs quick
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
