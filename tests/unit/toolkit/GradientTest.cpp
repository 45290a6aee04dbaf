#include "toolkit/draw/Gradient.h"

#include <gtest/gtest.h>

#include <map>

namespace veltrane {
namespace {

constexpr Rgb kWhite = MakeRgb(255, 255, 255);
constexpr Rgb kBlack = MakeRgb(0, 0, 0);
constexpr Rgb kLightGrey = MakeRgb(234, 234, 234);

// Bands follow each other from offset 0 without a gap and end at the extent.
void ExpectCovers(const std::vector<GradientBand>& bands, int extent) {
    int next = 0;
    for (const auto& band : bands) {
        EXPECT_EQ(band.offset, next);
        EXPECT_GT(band.length, 0);
        next = band.offset + band.length;
    }
    EXPECT_EQ(next, extent);
}

TEST(Gradient, PanelBlendShowsOneBandPerGreyLevel) {
    for (int extent : {297, 5000}) {
        const auto bands = GradientBands(kWhite, kLightGrey, extent, 1);
        ASSERT_EQ(bands.size(), 22u) << extent;
        ExpectCovers(bands, extent);
        for (unsigned i = 0; i < 22; ++i)
            EXPECT_EQ(bands[i].colour, MakeRgb(255 - i, 255 - i, 255 - i));
    }
}

TEST(Gradient, SmoothFactorIsTheLeastBandWidth) {
    // Black to white over 100 pixels changes at every pixel: bands are exactly the factor wide but
    // for the one at the start edge, which takes what is left.
    for (int factor = 1; factor <= 8; ++factor) {
        const auto bands = GradientBands(kWhite, kBlack, 100, factor);
        ASSERT_EQ(int(bands.size()), (100 + factor - 1) / factor) << factor;
        ExpectCovers(bands, 100);
        for (std::size_t i = 1; i < bands.size(); ++i)
            EXPECT_EQ(bands[i].length, factor);
    }
    const std::map<int, int> clamped = {{0, 1}, {-5, 1}, {9, 8}, {100, 8}};
    for (const auto& [given, used] : clamped)
        EXPECT_EQ(GradientBands(kWhite, kBlack, 100, given), GradientBands(kWhite, kBlack, 100, used))
            << given;
}

TEST(Gradient, BandsAreWorkedOutFromTheStopColour) {
    const Rgb teal = MakeRgb(0, 128, 128);
    struct Case {
        Rgb start, stop;
        int extent;
        std::vector<GradientBand> bands;
    };
    const Case cases[] = {
        {kWhite, kBlack, 0, {}},
        {kWhite, kBlack, 1, {{0, 1, kBlack}}},
        {kWhite, kBlack, 2, {{0, 1, MakeRgb(128, 128, 128)}, {1, 1, kBlack}}}, // 127.5 rounds up
        {MakeRgb(255, 0, 10),
         MakeRgb(0, 255, 10),
         3,
         {{0, 1, MakeRgb(170, 85, 10)}, {1, 1, MakeRgb(85, 170, 10)}, {2, 1, MakeRgb(0, 255, 10)}}},
        {teal, teal, 5000, {{0, 5000, teal}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GradientBands(c.start, c.stop, c.extent, 1), c.bands) << c.extent;
}

TEST(Gradient, DirectionChoosesAxisAndExtent) {
    struct Case {
        TGradientDirection direction;
        PixelSize area;
        Rgb start, stop;
        BandAxis axis;
        PixelRect firstTile, lastTile;
    };
    // The main window's two panels.
    const Case cases[] = {
        {gdHorizontalEnd, {601, 297}, kWhite, kLightGrey, BandAxis::Rows, {0, 0, 8, 7}, {0, 289, 8, 8}},
        {gdVerticalEnd, {615, 49}, kLightGrey, kWhite, BandAxis::Columns, {0, 0, 14, 8}, {600, 0, 15, 8}},
    };
    for (const auto& c : cases) {
        const auto plan = GradientPlanFor(c.direction, c.area, c.start, c.stop, 1);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->axis, c.axis);
        EXPECT_FALSE(plan->plain);
        ASSERT_FALSE(plan->bands.empty());
        EXPECT_EQ(plan->bands.front().colour, c.start);
        EXPECT_EQ(plan->bands.back().colour, c.stop);
        EXPECT_EQ(BandRect(plan->axis, plan->bands.front(), kGradientTile), c.firstTile);
        EXPECT_EQ(BandRect(plan->axis, plan->bands.back(), kGradientTile), c.lastTile);
    }
    EXPECT_TRUE(GradientPlanFor(gdVerticalEnd, {40, 10}, kWhite, kWhite, 1)->plain);
    for (int d : {gdDiagonalUp, gdHorizontalCenter, gdVerticalBox, gdBigSquareBox})
        EXPECT_FALSE(GradientPlanFor(TGradientDirection(d), {10, 10}, kWhite, kBlack, 1)) << d;
}

TEST(Gradient, EvenBlendReachesBothColours) {
    const Rgb top = MakeRgb(214, 207, 198), bottom = MakeRgb(247, 243, 235);
    for (int extent : {128, 26}) {
        const auto bands = EvenBlendBands(top, bottom, 64, extent);
        EXPECT_EQ(int(bands.size()), std::min(64, extent));
        ExpectCovers(bands, extent);
        EXPECT_EQ(bands.front().colour, top);
        EXPECT_EQ(bands.back().colour, bottom);
    }
}

TEST(GradientBackground, InsetAndBitmapSize) {
    const std::map<TFrameStyle, int> insets = {{fsNone, 0},   {fsFlat, 1},    {fsStatus, 1}, {fsPopup, 1},
                                               {fsGroove, 2}, {fsLowered, 2}, {fsRaised, 2}};
    for (const auto& [style, inset] : insets)
        EXPECT_EQ(FrameInset(style), inset) << int(style);
    EXPECT_EQ(GradientBitmapSize({3, 49}), (PixelSize{5, 49}));
    EXPECT_EQ(GradientBitmapSize({601, 0}), (PixelSize{601, 5}));
}

TEST(GradientBackground, SystemColoursTurnIntoRgbWhenSet) {
    std::map<SystemColour, Rgb> scheme = {{SystemColour::HotLight, MakeRgb(0, 102, 204)},
                                          {SystemColour::ActiveCaption, MakeRgb(10, 36, 106)},
                                          {SystemColour::ButtonShadow, MakeRgb(128, 128, 128)}};
    GradientBackgroundProperties p([&](SystemColour c) { return scheme.at(c); });
    EXPECT_TRUE(p.PaintsGradient());
    EXPECT_FALSE(p.ShowTexture() || p.ShowImage());
    EXPECT_EQ(p.GradientDirection(), gdHorizontalEnd);
    EXPECT_EQ(p.GradientSmoothFactor(), 1);
    EXPECT_EQ(p.FrameStyle(), fsNone);

    p.SetGradientColorStop(Colour::FromRgb(kLightGrey));
    p.SetFrameColor(Colour::FromSystem(SystemColour::ButtonShadow));
    scheme = {{SystemColour::ButtonShadow, kBlack}}; // a later change of scheme reaches nothing set
    EXPECT_EQ(p.GradientColorStart(), MakeRgb(0, 102, 204));
    EXPECT_EQ(p.GradientColorStop(), kLightGrey);
    EXPECT_EQ(p.FrameColor(), MakeRgb(128, 128, 128));
}

} // namespace
} // namespace veltrane
