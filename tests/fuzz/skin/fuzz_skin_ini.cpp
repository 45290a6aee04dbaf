// The description dialect on any text, reading a few keys of every section: a section is found
// through the name index, so this stays linear in the number of sections. One reader serves every
// run, so its buffers are reused.
#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/skin/SkinIni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static veltrane::TSkinIni ini;
    ini.Load(std::span(data, size));
    std::size_t total = 0;
    for (const std::string& name : ini.SectionNames()) {
        total += ini.ReadString(name, "Image", "").size();
        total += std::size_t(ini.ReadInteger(name, "LeftWidth", 0));
        total += ini.ReadColour(name, "color", 0);
    }
    total += std::size_t(ini.ReadInteger("Personality", "TopFrame", 1));
    // The value readers on the first bytes alone: values are short, and a pass over all of a long
    // text would cost as much as the rest.
    const std::string_view value(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 64));
    total += std::size_t(veltrane::ParseIniInteger(value).value_or(0));
    total += veltrane::ParseIniColour(value).value_or(0);
    if (total == 0xFFFFFFFF)
        __builtin_trap();
    return 0;
}
