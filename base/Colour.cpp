#include "base/Colour.h"

#include <algorithm>

namespace veltrane {

namespace {

constexpr int kRgbMax = 255;
// Greys have no hue; the system reports two thirds of the scale for them.
constexpr int kUndefinedHue = kHlsMax * 2 / 3;

// One channel from the two magic values of the lightness-saturation pair, hue in 0..kHlsMax.
int HueToChannel(int n1, int n2, int hue) {
    if (hue < 0)
        hue += kHlsMax;
    if (hue > kHlsMax)
        hue -= kHlsMax;
    if (hue < kHlsMax / 6)
        return n1 + ((n2 - n1) * hue + kHlsMax / 12) / (kHlsMax / 6);
    if (hue < kHlsMax / 2)
        return n2;
    if (hue < kHlsMax * 2 / 3)
        return n1 + ((n2 - n1) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
    return n1;
}

int ChannelToRgb(int value) {
    return std::clamp((value * kRgbMax + kHlsMax / 2) / kHlsMax, 0, kRgbMax);
}

} // namespace

Hls RgbToHls(Rgb colour) {
    const int r = int(RedOf(colour)), g = int(GreenOf(colour)), b = int(BlueOf(colour));
    const int high = std::max({r, g, b}), low = std::min({r, g, b});
    Hls hls;
    hls.lightness = ((high + low) * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (high == low) {
        hls.hue = kUndefinedHue;
        return hls;
    }
    const int range = high - low;
    if (hls.lightness <= kHlsMax / 2)
        hls.saturation = (range * kHlsMax + (high + low) / 2) / (high + low);
    else
        hls.saturation = (range * kHlsMax + (2 * kRgbMax - high - low) / 2) / (2 * kRgbMax - high - low);
    const auto delta = [&](int channel) {
        return ((high - channel) * (kHlsMax / 6) + range / 2) / range;
    };
    if (r == high)
        hls.hue = delta(b) - delta(g);
    else if (g == high)
        hls.hue = kHlsMax / 3 + delta(r) - delta(b);
    else
        hls.hue = kHlsMax * 2 / 3 + delta(g) - delta(r);
    if (hls.hue < 0)
        hls.hue += kHlsMax;
    if (hls.hue > kHlsMax)
        hls.hue -= kHlsMax;
    return hls;
}

Rgb HlsToRgb(Hls hls) {
    const int lum = std::clamp(hls.lightness, 0, kHlsMax);
    const int sat = std::clamp(hls.saturation, 0, kHlsMax);
    if (sat == 0) {
        const auto grey = unsigned(lum * kRgbMax / kHlsMax);
        return MakeRgb(grey, grey, grey);
    }
    const int n2 = lum <= kHlsMax / 2 ? (lum * (kHlsMax + sat) + kHlsMax / 2) / kHlsMax
                                      : lum + sat - (lum * sat + kHlsMax / 2) / kHlsMax;
    const int n1 = 2 * lum - n2;
    return MakeRgb(unsigned(ChannelToRgb(HueToChannel(n1, n2, hls.hue + kHlsMax / 3))),
                   unsigned(ChannelToRgb(HueToChannel(n1, n2, hls.hue))),
                   unsigned(ChannelToRgb(HueToChannel(n1, n2, hls.hue - kHlsMax / 3))));
}

Rgb HlsTint(Rgb colour, int lightness) {
    Hls hls = RgbToHls(colour);
    hls.lightness = lightness;
    return HlsToRgb(hls);
}

} // namespace veltrane
