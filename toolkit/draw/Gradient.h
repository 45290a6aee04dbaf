#pragma once
// What TGradientBackground paints, worked out without a device: the colour bands of its gradient,
// the inset of the copied bitmap by frame style, and its properties with their starting values.

#include <optional>
#include <vector>

#include "base/Colour.h"
#include "base/Geometry.h"

namespace veltrane {

enum TGradientDirection : int {
    gdDiagonalUp = 0,
    gdDiagonalDown = 1,
    gdHorizontalEnd = 2, // start colour at the top, stop colour at the bottom, horizontal bands
    gdHorizontalCenter = 3,
    gdHorizontalBox = 4,
    gdVerticalEnd = 5, // start colour at the left, stop colour at the right, vertical bands
    gdVerticalCenter = 6,
    gdVerticalBox = 7,
    gdSquareBox = 8,
    gdBigSquareBox = 9,
};

enum TFrameStyle : int {
    fsNone,
    fsFlat, // a 1-pixel line in FrameColor
    fsGroove,
    fsBump,
    fsLowered,
    fsRaised,
    fsStatus,
    fsPopup,
};

inline constexpr int kMinSmoothFactor = 1;
inline constexpr int kMaxSmoothFactor = 8;
// A band is painted this thick across and then copied along the rest of the area.
inline constexpr int kGradientTile = 8;
inline constexpr int kMinGradientBitmapSide = 5;

struct GradientBand {
    int offset = 0; // from the edge that shows the start colour
    int length = 0;
    Rgb colour = 0;

    bool operator==(const GradientBand&) const = default;
};

int SmoothFactorClamped(int factor);

// Bands covering `extent` pixels from the start colour's edge, each one solid colour: that of its
// pixel nearest the stop edge. Worked out from the stop colour's edge in 16.16 fixed point, so the
// stop colour is exact and rounding settles the start end. Ordered by offset; empty for an extent
// below 1.
std::vector<GradientBand> GradientBands(Rgb start, Rgb stop, int extent, int smoothFactor);

// `count` evenly divided bands from `start` to `stop` inclusive (at most one a pixel).
std::vector<GradientBand> EvenBlendBands(Rgb start, Rgb stop, int count, int extent);

enum class BandAxis {
    Rows,    // horizontal bands stacked top to bottom
    Columns, // vertical bands side by side, left to right
};

struct GradientPlan {
    BandAxis axis = BandAxis::Rows;
    bool plain = false; // start equals stop: one fill of the whole area
    std::vector<GradientBand> bands;
};

// Nothing for the directions the program does not draw.
std::optional<GradientPlan> GradientPlanFor(TGradientDirection direction, PixelSize area, Rgb start, Rgb stop,
                                            int smoothFactor);
// Where a band lies when painted `across` pixels thick (the tile's or the whole area's).
PixelRect BandRect(BandAxis axis, const GradientBand& band, int across);

// How far inside the control the off-screen bitmap is copied, leaving room for the frame.
int FrameInset(TFrameStyle style);
PixelSize GradientBitmapSize(PixelSize control);

// The component's properties. Colours are stored as plain RGB: a system colour is looked up when
// it is set, so a later change of the system's scheme does not reach a painted panel.
class GradientBackgroundProperties {
public:
    explicit GradientBackgroundProperties(SystemColourLookup systemColour);

    bool Active() const { return active_; }
    void SetActive(bool value) { active_ = value; }
    bool ShowGradient() const { return showGradient_; }
    void SetShowGradient(bool value) { showGradient_ = value; }
    bool ShowTexture() const { return showTexture_; }
    void SetShowTexture(bool value) { showTexture_ = value; }
    bool ShowImage() const { return showImage_; }
    void SetShowImage(bool value) { showImage_ = value; }
    Rgb GradientColorStart() const { return start_; }
    void SetGradientColorStart(Colour value) { start_ = value.ToRgb(systemColour_); }
    Rgb GradientColorStop() const { return stop_; }
    void SetGradientColorStop(Colour value) { stop_ = value.ToRgb(systemColour_); }
    TGradientDirection GradientDirection() const { return direction_; }
    void SetGradientDirection(TGradientDirection value) { direction_ = value; }
    int GradientSmoothFactor() const { return smoothFactor_; }
    void SetGradientSmoothFactor(int value) { smoothFactor_ = SmoothFactorClamped(value); }
    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle value) { frameStyle_ = value; }
    Rgb FrameColor() const { return frame_; }
    void SetFrameColor(Colour value) { frame_ = value.ToRgb(systemColour_); }

    bool PaintsGradient() const { return active_ && showGradient_; }
    std::optional<GradientPlan> Plan(PixelSize area) const {
        return GradientPlanFor(direction_, area, start_, stop_, smoothFactor_);
    }

private:
    SystemColourLookup systemColour_;
    bool active_ = true;
    bool showGradient_ = true;
    bool showTexture_ = false;
    bool showImage_ = false;
    Rgb start_ = 0;
    Rgb stop_ = 0;
    TGradientDirection direction_ = gdHorizontalEnd;
    int smoothFactor_ = 1;
    TFrameStyle frameStyle_ = fsNone;
    Rgb frame_ = 0;
};

} // namespace veltrane
