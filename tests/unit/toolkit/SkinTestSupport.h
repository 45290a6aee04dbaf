#pragma once
// Builders for skin packages and bitmaps used by the skin tests.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/Bytes.h"
#include "toolkit/skin/Lzh.h"
#include "toolkit/skin/SkinReader.h"

namespace veltrane::testing_support {

using Bytes = std::vector<std::uint8_t>;

inline Bytes FromText(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// An unpacked package with the reserved block the version asks for.
inline Bytes MakePackage(std::int32_t version, const std::vector<std::pair<std::string, Bytes>>& members,
                         std::size_t listOffset = 0) {
    std::string list;
    for (const auto& m : members)
        list += m.first + "\r\n";
    Bytes out;
    AppendLe32(out, std::uint32_t(version));
    AppendLe32(out, std::uint32_t(list.size()));
    AppendLe32(out, 0xDEADBEEF); // reserved fields are never read
    AppendLe32(out, 0xDEADBEEF);
    const std::size_t at = listOffset ? listOffset : SkinNameListOffset(version).value_or(16);
    out.resize(at, 0xAA);
    out.insert(out.end(), list.begin(), list.end());
    for (const auto& m : members)
        AppendLe32(out, std::uint32_t(m.second.size()));
    for (const auto& m : members)
        out.insert(out.end(), m.second.begin(), m.second.end());
    return out;
}

inline Bytes Packed(const Bytes& unpacked) {
    return TLZH::EncodeWithSize(unpacked);
}

inline Bytes SkinStreamValue(const Bytes& packed) {
    Bytes value;
    AppendLe32(value, std::uint32_t(packed.size()));
    value.insert(value.end(), packed.begin(), packed.end());
    return value;
}

// A bottom-up 24-bit bitmap whose pixel (x, y) from the top is colour(x, y) = R + 256 G + 65536 B.
template <typename ColourFn> Bytes MakeBmp24(int width, int height, ColourFn colour) {
    const std::uint32_t stride = std::uint32_t((width * 24 + 31) / 32 * 4);
    Bytes out{'B', 'M'};
    AppendLe32(out, 54 + stride * std::uint32_t(height));
    AppendLe32(out, 0);
    AppendLe32(out, 54);
    AppendLe32(out, 40);
    AppendLe32(out, std::uint32_t(width));
    AppendLe32(out, std::uint32_t(height));
    out.push_back(1), out.push_back(0), out.push_back(24), out.push_back(0);
    for (int i = 0; i < 6; ++i)
        AppendLe32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t row = out.size();
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y);
            out.push_back(std::uint8_t(c >> 16));
            out.push_back(std::uint8_t(c >> 8));
            out.push_back(std::uint8_t(c));
        }
        out.resize(row + stride, 0);
    }
    return out;
}

inline Bytes MakeBmp24(int width, int height) {
    return MakeBmp24(width, height, [](int, int) { return 0x808080u; });
}

class RecordingSink : public MessageSink {
public:
    void ShowMessage(std::wstring_view text) override { messages.emplace_back(text); }
    std::vector<std::wstring> messages;
};

} // namespace veltrane::testing_support
