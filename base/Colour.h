#pragma once
// Colours: plain RGB as the skin's bitmaps and the system hold them; as the drawn components take
// them, RGB or one of the system's colours, looked up once when a property is set; and the system's
// hue-lightness-saturation model for tints.

#include <cstdint>
#include <functional>

namespace veltrane {

// A colour as R + 256 G + 65536 B, the layout of the system's colour values.
using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(unsigned r, unsigned g, unsigned b) {
    return Rgb(r & 0xFF) | Rgb(g & 0xFF) << 8 | Rgb(b & 0xFF) << 16;
}
constexpr unsigned RedOf(Rgb c) {
    return c & 0xFF;
}
constexpr unsigned GreenOf(Rgb c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned BlueOf(Rgb c) {
    return (c >> 16) & 0xFF;
}

// The system's colour indices (the values GetSysColor takes) that the components use.
enum class SystemColour : int {
    ActiveCaption = 2,
    Highlight = 13,
    ButtonShadow = 16,
    HotLight = 26,
};

using SystemColourLookup = std::function<Rgb(SystemColour)>;

class Colour {
public:
    static constexpr Colour FromRgb(Rgb rgb) { return Colour(false, rgb); }
    static constexpr Colour FromSystem(SystemColour index) { return Colour(true, Rgb(index)); }

    constexpr bool IsSystem() const { return system_; }
    Rgb ToRgb(const SystemColourLookup& lookup) const {
        return system_ ? lookup(SystemColour(value_)) : value_;
    }

private:
    constexpr Colour(bool system, Rgb value) : system_(system), value_(value) {}

    bool system_;
    Rgb value_;
};

// Hue, lightness and saturation on the system's 0..240 scale (the colour dialog's and shlwapi's).
inline constexpr int kHlsMax = 240;

struct Hls {
    int hue = 0;
    int lightness = 0;
    int saturation = 0;

    bool operator==(const Hls&) const = default;
};

Hls RgbToHls(Rgb colour);
Rgb HlsToRgb(Hls hls);
// The colour's hue and saturation at another lightness.
Rgb HlsTint(Rgb colour, int lightness);

} // namespace veltrane
