#include "toolkit/draw/Gradient.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace veltrane {

namespace {

constexpr int kFixedOne = 65536;

std::array<int, 3> Channels(Rgb c) {
    return {int(RedOf(c)), int(GreenOf(c)), int(BlueOf(c))};
}

Rgb RoundedColour(const std::array<int, 3>& fixed) {
    const auto round = [](int v) {
        return unsigned((v + kFixedOne / 2) >> 16);
    };
    return MakeRgb(round(fixed[0]), round(fixed[1]), round(fixed[2]));
}

// Rounds halves away from zero; `d` is positive.
int RoundedDiv(int n, int d) {
    return (2 * n + (n < 0 ? -d : d)) / (2 * d);
}

} // namespace

int SmoothFactorClamped(int factor) {
    return std::clamp(factor, kMinSmoothFactor, kMaxSmoothFactor);
}

std::vector<GradientBand> GradientBands(Rgb start, Rgb stop, int extent, int smoothFactor) {
    std::vector<GradientBand> bands;
    if (extent < 1)
        return bands;
    if (start == stop) {
        bands.push_back({0, extent, start});
        return bands;
    }
    const int factor = SmoothFactorClamped(smoothFactor);
    const auto from = Channels(stop), to = Channels(start);
    std::array<int, 3> value{}, step{};
    for (std::size_t c = 0; c < 3; ++c) {
        value[c] = from[c] * kFixedOne;
        step[c] = (to[c] * kFixedOne - from[c] * kFixedOne) / extent;
    }
    // Walk from the far edge; `pixel` counts from there. Bands are closed as they are found and
    // turned round at the end.
    Rgb bandColour = RoundedColour(value);
    int bandFirst = 0;
    for (int pixel = 1; pixel < extent; ++pixel) {
        for (std::size_t c = 0; c < 3; ++c)
            value[c] += step[c];
        const Rgb colour = RoundedColour(value);
        if (colour == bandColour || pixel - bandFirst < factor)
            continue;
        bands.push_back({extent - pixel, pixel - bandFirst, bandColour});
        bandColour = colour;
        bandFirst = pixel;
    }
    bands.push_back({0, extent - bandFirst, bandColour});
    std::reverse(bands.begin(), bands.end());
    return bands;
}

std::vector<GradientBand> EvenBlendBands(Rgb start, Rgb stop, int count, int extent) {
    std::vector<GradientBand> bands;
    if (count < 1 || extent < 1)
        return bands;
    // Fewer pixels than bands: one band a pixel, still from the start colour to the stop colour.
    count = std::min(count, extent);
    const auto from = Channels(start), to = Channels(stop);
    const int last = std::max(count - 1, 1);
    for (int k = 0; k < count; ++k) {
        const int begin = int(std::int64_t(k) * extent / count);
        const int end = int(std::int64_t(k + 1) * extent / count);
        const auto mix = [&](std::size_t c) {
            return unsigned(from[c] + RoundedDiv((to[c] - from[c]) * k, last));
        };
        bands.push_back({begin, end - begin, MakeRgb(mix(0), mix(1), mix(2))});
    }
    return bands;
}

std::optional<GradientPlan> GradientPlanFor(TGradientDirection direction, PixelSize area, Rgb start, Rgb stop,
                                            int smoothFactor) {
    GradientPlan plan;
    int extent = 0;
    switch (direction) {
    case gdHorizontalEnd:
        plan.axis = BandAxis::Rows;
        extent = area.height;
        break;
    case gdVerticalEnd:
        plan.axis = BandAxis::Columns;
        extent = area.width;
        break;
    default:
        return std::nullopt;
    }
    plan.plain = start == stop;
    plan.bands = GradientBands(start, stop, extent, smoothFactor);
    return plan;
}

PixelRect BandRect(BandAxis axis, const GradientBand& band, int across) {
    if (axis == BandAxis::Rows)
        return {0, band.offset, across, band.length};
    return {band.offset, 0, band.length, across};
}

int FrameInset(TFrameStyle style) {
    switch (style) {
    case fsNone:
        return 0;
    case fsFlat:
    case fsStatus:
    case fsPopup:
        return 1;
    default:
        return 2;
    }
}

PixelSize GradientBitmapSize(PixelSize control) {
    return {std::max(control.width, kMinGradientBitmapSide),
            std::max(control.height, kMinGradientBitmapSide)};
}

GradientBackgroundProperties::GradientBackgroundProperties(SystemColourLookup systemColour)
    : systemColour_(std::move(systemColour)) {
    SetGradientColorStart(Colour::FromSystem(SystemColour::HotLight));
    SetGradientColorStop(Colour::FromSystem(SystemColour::ActiveCaption));
    SetFrameColor(Colour::FromSystem(SystemColour::ButtonShadow));
}

} // namespace veltrane
