// The description dialect on any text.
#include <string>

#include "toolkit/skin/SkinIni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    veltrane::TSkinIni ini;
    ini.Load(std::span(data, size));
    std::size_t total = 0;
    for (const std::string& name : ini.SectionNames()) {
        total += ini.ReadString(name, "Image", "").size();
        total += std::size_t(ini.ReadInteger(name, "LeftWidth", 0));
        total += ini.ReadColour(name, "color", 0);
    }
    total += std::size_t(ini.ReadInteger("Personality", "TopFrame", 1));
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    total += std::size_t(veltrane::ParseIniInteger(text).value_or(0));
    total += veltrane::ParseIniColour(text).value_or(0);
    if (total == 0xFFFFFFFF)
        __builtin_trap();
    return 0;
}
