#include "toolkit/skin/SkinLoader.h"

#include <gtest/gtest.h>

#include "tests/unit/toolkit/SkinTestSupport.h"

namespace veltrane {
namespace {

using namespace testing_support;

// Loads a description plus bitmaps through the whole sequence, from a "SkinStream" value.
SkinModel Load(const std::string& ini, std::vector<std::pair<std::string, Bytes>> bitmaps = {}) {
    bitmaps.insert(bitmaps.begin(), {"skin.ini", FromText(ini)});
    RecordingSink sink;
    std::string error;
    std::optional<SkinModel> model =
        LoadSkinStream(SkinStreamValue(Packed(MakePackage(kSkinVersion4, bitmaps))), sink, {}, &error);
    EXPECT_TRUE(model) << error;
    return model ? std::move(*model) : SkinModel{};
}

TEST(SkinBitmapReference, StripsFoldersAndWantsExactlyDotBmp) {
    RecordingSink sink;
    TSkinReader reader;
    ASSERT_TRUE(reader.OpenUnpacked(MakePackage(kSkinVersion4, {{"trackbarthumbdown.bmp", MakeBmp24(55, 21)},
                                                                {"bg-menuborder.bmp", MakeBmp24(4, 4)},
                                                                {"broken.bmp", FromText("BMnot really")},
                                                                {"noext", MakeBmp24(2, 2)}}),
                                    sink));
    struct Case {
        const char* reference;
        int width;
    };
    const Case cases[] = {
        {"TrackBarThumbDown.bmp", 55},
        {"Harbor\\TrackBarThumbDown.bmp", 55},
        {"C:TrackBarThumbDown.bmp", 55},
        {"Harbor\\bg-Menuborder.bmp", 4}, // present here, so the stripped name finds it
        {"Harbor\\bg-explore.bmp", 0},
        {"TrackBarThumbDown.BMP", 0}, // the extension must be lower case
        {"TrackBarThumbDown.bmp.txt", 0},
        {"noext", 0},
        {"Harbor\\", 0},
        {"", 0},
        {"broken.bmp", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveSkinBitmap(reader, c.reference).Width(), c.width) << c.reference;
    std::vector<std::string> warnings;
    EXPECT_TRUE(ResolveSkinBitmap(reader, "broken.bmp", &warnings).Empty());
    EXPECT_EQ(warnings.size(), 1u);
}

TEST(SkinLoading, CaptionButtonSelectionAndImageCounts) {
    const SkinModel m = Load("[Buttons]\nBitmap=x.bmp\n"
                             "[BUTTON]\nAction=5\n"
                             "[Button.Radio]\nAction=5\n"
                             "[button.checkbox]\nAction=5\n"
                             "[ButtonHidden]\nAction=-1\n"
                             "[ButtonShown]\nAction=-1\nVisibility=0\n"
                             "[ButtonWide]\nAction=2\nButtonImage=wide.bmp\nAlign=1\nXcoord=3\nYcoord=4\n"
                             "[ButtonNarrow]\nAction=1\nButtonImage=narrow.bmp\nCombineOp=2\n"
                             "[ButtonFramed]\nAction=3\nButtonImage=wide.bmp\nFrame=2\n"
                             "[ButtonSys]\nAction=11\nButtonImage=narrow.bmp\n"
                             "[MDICONTROLS]\nImage=mdi.bmp\n",
                             {{"wide.bmp", MakeBmp24(126, 21)},
                              {"narrow.bmp", MakeBmp24(57, 15)},
                              {"mdi.bmp", MakeBmp24(180, 10)}});
    ASSERT_EQ(m.captionButtons.size(), 5u + 3u);
    const CaptionButton& shown = m.captionButtons[0];
    EXPECT_EQ(shown.action, -1);
    EXPECT_EQ(shown.visibility1, -1);
    EXPECT_EQ(shown.imageCount, 6); // negative action
    const CaptionButton& wide = m.captionButtons[1];
    EXPECT_EQ(wide.imageCount, 6); // 126 / 21 = 6 > 3.8
    EXPECT_EQ(wide.visibility1, 0);
    EXPECT_EQ(wide.combineOp, -1);
    EXPECT_EQ(wide.xcoord, 3);
    EXPECT_EQ(wide.ycoord, 4);
    const CaptionButton& narrow = m.captionButtons[2];
    EXPECT_EQ(narrow.imageCount, 3); // 57 / 15 = 3.8
    EXPECT_EQ(narrow.combineOp, 2);
    const CaptionButton& framed = m.captionButtons[3];
    EXPECT_EQ(framed.imageCount, 2);
    EXPECT_FALSE(framed.bitmap.Empty()); // only frame 0 buttons of action 3 or 11 lose the bitmap
    const CaptionButton& sys = m.captionButtons[4];
    EXPECT_EQ(sys.imageCount, 3);
    EXPECT_TRUE(sys.bitmap.Empty());

    for (int k = 0; k < 3; ++k) {
        const CaptionButton& b = m.captionButtons[std::size_t(5 + k)];
        EXPECT_EQ(b.action, 7 + k);
        EXPECT_EQ(b.align, 100);
        EXPECT_EQ(b.visibility, 100);
        EXPECT_EQ(b.visibility1, 100);
        EXPECT_EQ(b.imageCount, 4);
        ASSERT_TRUE(b.source);
        EXPECT_EQ(b.source->x, 60 * k);
        EXPECT_EQ(b.source->width, 60);
        EXPECT_EQ(b.source->height, 10);
        EXPECT_EQ(b.xcoord, 19 * (3 - k));
    }
}

TEST(SkinLoading, SectionsWithoutTheirBitmapKeyHaveNoObject) {
    const SkinModel m = Load("[Tabs]\nLeftWidth=3\n[Progress]\nLeftWidth=2\n[Headerbar]\nImage=\n"
                             "[Scrollbar]\nImage=missing.bmp\nLeftWidth=2\n");
    EXPECT_FALSE(m.tabs);
    EXPECT_FALSE(m.progress);
    EXPECT_FALSE(m.headerbar);
    ASSERT_TRUE(m.scrollbar); // the key is there, the bitmap just resolves to nothing
    EXPECT_TRUE(m.scrollbar->image.Empty());
    EXPECT_EQ(m.scrollbar->leftWidth, 2);
    EXPECT_EQ(m.scrollbar->imageCount, 23);
}

TEST(SkinLoading, ClampsAndSpecialCounts) {
    const SkinModel m =
        Load("[Personality]\nTopStretch=5\nLeftStretch=0\n"
             "[Tab.Pane]\nImage=a.bmp\nLeftWidth=9\nRightWidth=4\nTopHeight=3\nBottomHeight=100\n"
             "[Progress]\nBitmap=a.bmp\nStyle=1\nTile=7\n"
             "[Headerbar]\nImage=a.bmp\nFrame=7\n"
             "[HorzScrollThumb]\nImage=a.bmp\nFrameCount=9\n"
             "[VertScrollThumb]\nImage=a.bmp\n"
             "[Track]\nImage=a.bmp\nFrame=3\n"
             "[Buttons]\nCheckButton=a.bmp\nRadioButton=b.bmp\nCheckButtonFrame=9\n",
             {{"a.bmp", MakeBmp24(10, 10)}, {"b.bmp", MakeBmp24(96, 16)}});
    EXPECT_EQ(m.top.stretch, 1);
    EXPECT_EQ(m.left.stretch, 0);
    EXPECT_EQ(m.right.stretch, 1);
    EXPECT_EQ(m.top.imageCount, 1);
    ASSERT_TRUE(m.tabPane);
    EXPECT_EQ(m.tabPane->leftWidth, 4);
    EXPECT_EQ(m.tabPane->rightWidth, 4);
    EXPECT_EQ(m.tabPane->topHeight, 3);
    EXPECT_EQ(m.tabPane->bottomHeight, 4);
    ASSERT_TRUE(m.progress);
    EXPECT_EQ(m.progress->imageCount, 1);
    EXPECT_EQ(m.progress->tile, 1);
    EXPECT_EQ(m.headerbar->imageCount, 7);
    EXPECT_EQ(m.horzScrollThumb->imageCount, 9);
    EXPECT_EQ(m.vertScrollThumb->imageCount, 3);
    ASSERT_TRUE(m.track);
    ASSERT_TRUE(m.trackVert); // [TRACKVERT] missing: [TRACK] stands in
    EXPECT_EQ(m.trackVert->imageCount, 3);
    EXPECT_EQ(m.buttons.checkImageCount, 9);
    EXPECT_EQ(m.buttons.radioImageCount, 6); // 96 wide, 16 high: by 16
}

// Positions, sizes and counts that a window would compute with: within their limits they load,
// beyond them the load fails and says which value.
TEST(SkinLoading, RefusesValuesNoWindowCouldUse) {
    struct Case {
        const char* section; // with the lines that make the loader read the key
        const char* key;
        int low;
        int high;
    };
    const Case cases[] = {
        {"[Personality]", "TopFrame", 1, kSkinMaxImageCount},
        {"[Personality]", "LeftTopHeight", 0, kSkinMaxExtent},
        {"[Personality]", "BottomBotHeight", 0, kSkinMaxExtent},
        {"[Personality]", "TextShift", -kSkinMaxExtent, kSkinMaxExtent},
        {"[Personality]", "TextShiftVert", -kSkinMaxExtent, kSkinMaxExtent},
        {"[Personality]", "TextRightClip", -kSkinMaxExtent, kSkinMaxExtent},
        {"[Fonts]", "FontHeight", 1, kSkinMaxFontHeight},
        {"[Buttons]", "LeftWidth", 0, kSkinMaxExtent},
        {"[Buttons]", "CheckButtonFrame", 0, kSkinMaxImageCount},
        {"[HorzScrollThumb]\nImage=a.bmp", "BottomHeight", 0, kSkinMaxExtent},
        {"[HorzScrollThumb]\nImage=a.bmp", "Frame", 0, kSkinMaxImageCount},
        {"[HorzScrollThumb]\nImage=a.bmp", "FrameCount", 1, kSkinMaxImageCount},
        {"[Button0]", "Xcoord", -kSkinMaxExtent, kSkinMaxExtent},
        {"[Button0]", "Ycoord", -kSkinMaxExtent, kSkinMaxExtent},
        {"[Button0]", "Frame", 0, kSkinMaxImageCount},
    };
    const Bytes bitmap = MakeBmp24(8, 8);
    for (const Case& c : cases) {
        for (const std::int64_t value : {std::int64_t(c.low) - 1, std::int64_t(c.low), std::int64_t(c.high),
                                         std::int64_t(c.high) + 1, std::int64_t(INT32_MIN)}) {
            const std::string key = std::string(c.key) + "=" + std::to_string(value);
            const std::string ini = std::string(c.section) + "\n" + key + "\n";
            RecordingSink sink;
            std::string error;
            const auto m = LoadSkinStream(SkinStreamValue(Packed(MakePackage(
                                              kSkinVersion4, {{"d.ini", FromText(ini)}, {"a.bmp", bitmap}}))),
                                          sink, {}, &error);
            const bool inside = value >= c.low && value <= c.high;
            EXPECT_EQ(bool(m), inside) << c.section << " " << key;
            if (!inside) {
                EXPECT_NE(error.find(key), std::string::npos) << error;
            }
        }
    }
}

TEST(SkinLoading, ColoursTableAndDefaults) {
    SystemColours system;
    system.windowText = 0x010203;
    system.buttonFace = 0x0A0B0C;
    const std::string ini = "[Colours]\nButtonFace=1 2 3\n"
                            "[Colour0]\ncolor=9 9 9\n[ColourX]\n[COLOURS]\n[colours2]\nColor=1 0 0\n";
    RecordingSink sink;
    const auto m = LoadSkinStream(
        SkinStreamValue(Packed(MakePackage(kSkinVersion4, {{"d.ini", FromText(ini)}}))), sink, system);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->colours.buttonFace, MakeRgb(1, 2, 3));
    EXPECT_EQ(m->colours.menubar, MakeRgb(1, 2, 3)); // defaults to the ButtonFace value
    EXPECT_EQ(m->colours.windowText, system.windowText);
    EXPECT_EQ(m->colourTable, (std::vector<Rgb>{MakeRgb(9, 9, 9), system.windowText, MakeRgb(1, 0, 0)}));
    for (Rgb c : m->customColours)
        EXPECT_EQ(c, MakeRgb(255, 255, 255));
    EXPECT_EQ(m->backgroundColour, MakeRgb(1, 2, 3)); // no top frame bitmap
    EXPECT_EQ(m->buttonFaceBrush, MakeRgb(1, 2, 3));
    EXPECT_EQ(m->toolbarBackground.colour, MakeRgb(1, 2, 3));
}

TEST(SkinLoading, BackgroundIsTakenFromTheTopFrame) {
    // Two images stacked: 90 x 30 each; the pixel at (30, 10) of the first decides.
    const auto pixel = [](int x, int y) {
        return x == 30 && y == 10 ? 0x00AA55u : 0x111111u;
    };
    const SkinModel m =
        Load("[Personality]\nTop=top.bmp\nTopFrame=2\n", {{"top.bmp", MakeBmp24(90, 60, pixel)}});
    EXPECT_EQ(m.backgroundColour, Rgb(0x00AA55));
    EXPECT_EQ(m.toolbarBackground.colour, Rgb(0x00AA55));
}

TEST(SkinLoadStream, NothingForEmptyOrBadValues) {
    struct Case {
        const char* name;
        Bytes value;
        bool message;
    };
    const Bytes good = SkinStreamValue(Packed(MakePackage(kSkinVersion4, {{"a.ini", FromText("[A]")}})));
    Bytes truncated = good;
    truncated.resize(good.size() - 5);
    const Case cases[] = {
        {"zero count", {0, 0, 0, 0}, false},
        {"negative count", {0xFF, 0xFF, 0xFF, 0xFF, 1, 2}, false},
        {"short", {1, 0}, false},
        {"count past the value", truncated, false},
        {"wrong version", SkinStreamValue(Packed(MakePackage(30001, {}, 96))), true},
    };
    for (const Case& c : cases) {
        RecordingSink sink;
        EXPECT_FALSE(LoadSkinStream(c.value, sink)) << c.name;
        EXPECT_EQ(sink.messages.size(), c.message ? 1u : 0u) << c.name;
    }
}

TEST(SkinLoadStream, PackageWithoutDescriptionLoadsDefaults) {
    RecordingSink sink;
    const auto m = LoadSkinStream(SkinStreamValue(Packed(MakePackage(kSkinVersion2, {{"a.bmp", {}}}))), sink);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->title.fontHeight, 14);
    EXPECT_EQ(m->captionButtons.size(), 3u); // only the MDI ones
    EXPECT_FALSE(m->warnings.empty());
}

} // namespace
} // namespace veltrane
