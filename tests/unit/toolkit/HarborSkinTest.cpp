// Our stored skin, as the build packs it (dist/skin/harbor.skinstream for the presets).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "tests/unit/toolkit/SkinTestSupport.h"
#include "toolkit/skin/SkinLoader.h"

namespace veltrane {
namespace {

using namespace testing_support;

Bytes StoredValue() {
    std::ifstream in(HARBOR_SKINSTREAM, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ExpectedMember {
    const char* name;
    int width, height, bits; // 0 for the description
};

const ExpectedMember kMembers[] = {
    {"f-top.bmp", 312, 60, 24},
    {"f-bot.bmp", 312, 8, 24},
    {"f-left.bmp", 8, 288, 24},
    {"f-right.bmp", 8, 288, 24},
    {"bg-menubar.bmp", 70, 38, 8},
    {"bg-dialog.bmp", 20, 20, 8},
    {"bg-systembuttons.bmp", 250, 23, 8},
    {"bg-checkbox.bmp", 52, 13, 24},
    {"bg-radio.bmp", 52, 13, 24},
    {"bg-progress.bmp", 132, 13, 8},
    {"bg-groupbox-border.bmp", 50, 25, 8},
    {"bg-tabborders.bmp", 29, 28, 8},
    {"bg-tabs.bmp", 200, 19, 8},
    {"bg-statusbar.bmp", 96, 32, 24},
    {"bg-listheader.bmp", 375, 23, 8},
    {"bg-menuitem.bmp", 620, 16, 8},
    {"bg-menuback.bmp", 128, 38, 8},
    {"button-mdi.bmp", 180, 10, 24},
    {"bg-groupbox-tab.bmp", 47, 15, 8},
    {"bg-toolbarback.bmp", 20, 20, 8},
    {"bg-toolbarbuttons.bmp", 375, 23, 8},
    {"bg-menubarbuttons.bmp", 225, 15, 8},
    {"harbor.ini", 0, 0, 0},
    {"Window CloseButton1.bmp", 126, 21, 24},
    {"Window MaxButton1.bmp", 126, 21, 24},
    {"Window RestoreButton1.bmp", 126, 21, 24},
    {"Window MinButton1.bmp", 126, 21, 24},
    {"combo.bmp", 64, 21, 24},
    {"sunkedge.bmp", 64, 19, 24},
    {"combo-arrows.bmp", 80, 16, 24},
    {"arrows.bmp", 368, 16, 24},
    {"hscroll_back.bmp", 96, 16, 24},
    {"vscroll_back.bmp", 64, 18, 24},
    {"hscroll_bar.bmp", 126, 16, 24},
    {"vscroll_bar.bmp", 48, 24, 24},
    {"trackbarthumbdown.bmp", 55, 21, 24},
    {"trackbarthumbhorz.bmp", 55, 21, 24},
    {"trackbarthumbleft.bmp", 105, 11, 24},
    {"trackbarthumbright.bmp", 105, 11, 24},
    {"trackbarthumbup.bmp", 55, 21, 24},
    {"trackbarthumbvert.bmp", 105, 11, 24},
    {"spinner-h.bmp", 72, 21, 24},
    {"spinner-v.bmp", 128, 10, 24},
};

class HarborSkin : public testing::Test {
protected:
    void SetUp() override {
        value_ = StoredValue();
        ASSERT_GT(value_.size(), 4u) << "missing " << HARBOR_SKINSTREAM;
    }
    std::span<const std::uint8_t> Packed() const { return std::span(value_).subspan(4); }
    Bytes value_;
};

TEST_F(HarborSkin, ValueAndPackageLayout) {
    const std::int32_t count = LoadLeI32(value_, 0);
    EXPECT_EQ(std::size_t(count) + 4, value_.size());
    RecordingSink sink;
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(Packed(), sink)) << reader.Error();
    EXPECT_EQ(reader.Version(), kSkinVersion4);
    const Bytes& all = reader.Unpacked();
    const std::int32_t listLength = LoadLeI32(all, 4);
    ASSERT_EQ(reader.MemberCount(), 43u);
    std::size_t total = 0;
    for (std::size_t i = 0; i < reader.MemberCount(); ++i)
        total += reader.MemberAt(i).data.size();
    // The members end exactly at the end of the package.
    EXPECT_EQ(96 + std::size_t(listLength) + 4 * 43 + total, all.size());
}

TEST_F(HarborSkin, HoldsTheFortyTwoBitmapsAndTheDescription) {
    RecordingSink sink;
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(Packed(), sink));
    ASSERT_EQ(reader.MemberCount(), std::size(kMembers));
    for (std::size_t i = 0; i < reader.MemberCount(); ++i) {
        const ExpectedMember& e = kMembers[i];
        EXPECT_EQ(reader.StoredNames()[i], e.name);
        if (e.bits == 0)
            continue;
        std::string error;
        const auto bmp = ParseBmp(reader.MemberAt(i).data, error);
        ASSERT_TRUE(bmp) << e.name << ": " << error;
        EXPECT_EQ(bmp->width, e.width) << e.name;
        EXPECT_EQ(bmp->height, e.height) << e.name;
        EXPECT_EQ(bmp->bitsPerPixel, e.bits) << e.name;
    }
    TSkinIni ini;
    ini.Load(reader.MemberByFragment(".ini")->data);
    const std::vector<std::string> sections = ini.SectionNames();
    ASSERT_EQ(sections.size(), 47u);
    EXPECT_EQ(sections.front(), "Personality");
    EXPECT_EQ(sections[15], "STATUSBAREDGES");
    EXPECT_EQ(sections[16], "Fonts");
    EXPECT_EQ(sections.back(), "UpDown.Vert");
}

TEST_F(HarborSkin, FolderPrefixedReferencesNameNoMember) {
    RecordingSink sink;
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(Packed(), sink));
    TSkinIni ini;
    ini.Load(reader.MemberByFragment(".ini")->data);
    const std::pair<const char*, const char*> references[] = {
        {"Personality", "MenuBorder"}, {"Personality", "Explorer"}, {"Personality", "MDIBackground"},
        {"TaskBar", "Image"},          {"REBARGRIP", "Image"},
    };
    for (const auto& [section, key] : references) {
        const std::string value = ini.ReadString(section, key, "");
        EXPECT_TRUE(value.starts_with("Harbor\\")) << value;
        EXPECT_TRUE(ResolveSkinBitmap(reader, value).Empty()) << value;
    }
    // Mixed-case references reach the lower-cased members.
    EXPECT_EQ(ResolveSkinBitmap(reader, "TrackBarThumbDown.bmp").Width(), 55);
    EXPECT_EQ(ResolveSkinBitmap(reader, ini.ReadString("Tabs", "Border", "")).member, "bg-tabborders.bmp");
}

TEST_F(HarborSkin, LoadsTheStoredValues) {
    RecordingSink sink;
    std::string error;
    const std::optional<SkinModel> loaded = LoadSkinStream(value_, sink, {}, &error);
    ASSERT_TRUE(loaded) << error;
    const SkinModel& m = *loaded;
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(m.warnings.empty());
    EXPECT_EQ(m.skinName, "");

    struct Edge {
        const FrameEdge& edge;
        const char* member;
        int topHeight, botHeight;
    };
    for (const Edge& e : {Edge{m.top, "f-top.bmp", 20, 20}, Edge{m.bottom, "f-bot.bmp", 3, 6},
                          Edge{m.left, "f-left.bmp", 30, 5}, Edge{m.right, "f-right.bmp", 30, 5}}) {
        EXPECT_EQ(e.edge.bitmap.member, e.member);
        EXPECT_EQ(e.edge.imageCount, 2) << e.member;
        EXPECT_EQ(e.edge.topHeight, e.topHeight) << e.member;
        EXPECT_EQ(e.edge.botHeight, e.botHeight) << e.member;
        EXPECT_EQ(e.edge.stretch, 1) << e.member;
        EXPECT_EQ(e.edge.trans, 1) << e.member;
    }

    EXPECT_EQ(m.title.textShift, 26);
    EXPECT_EQ(m.title.textShiftVert, 1);
    EXPECT_EQ(m.title.textRightClip, 85);
    EXPECT_EQ(m.title.textAlignment, 0);
    EXPECT_EQ(m.title.textBackground, 0);
    EXPECT_TRUE(m.title.textBack.Empty());
    EXPECT_EQ(m.title.activeText, MakeRgb(0, 0, 0));
    EXPECT_EQ(m.title.inactiveText, MakeRgb(100, 100, 100));
    EXPECT_EQ(m.title.fontHeight, 12);
    EXPECT_EQ(m.menuBar.bitmap.member, "bg-menubar.bmp");
    EXPECT_EQ(m.menuBar.tileMenu, 1);
    EXPECT_EQ(m.menuBar.tileLeftMenu, 4);
    EXPECT_EQ(m.menuBar.tileRightMenu, 4);

    const SkinColours& c = m.colours;
    EXPECT_EQ(c.buttonFace, MakeRgb(238, 233, 213));
    EXPECT_EQ(c.scrollbar, Rgb(0 + 256 * 74 + 65536 * 128));
    EXPECT_EQ(c.hilight, MakeRgb(133, 174, 194));
    EXPECT_EQ(c.menubar, MakeRgb(238, 233, 213));
    EXPECT_EQ(c.menu, MakeRgb(192, 202, 196));
    EXPECT_EQ(c.buttonHilight, MakeRgb(255, 255, 255));
    EXPECT_EQ(c.buttonLight, MakeRgb(223, 223, 223));
    EXPECT_EQ(c.buttonShadow, MakeRgb(192, 192, 192));
    EXPECT_EQ(c.buttonDkShadow, MakeRgb(0, 0, 0));
    EXPECT_EQ(c.titleTextActive, MakeRgb(255, 255, 255));
    EXPECT_EQ(c.titleTextNoActive, MakeRgb(100, 100, 100));
    EXPECT_EQ(m.colourTable,
              (std::vector<Rgb>{MakeRgb(0, 0, 0), MakeRgb(255, 255, 255), MakeRgb(128, 128, 128)}));
    for (Rgb custom : m.customColours)
        EXPECT_EQ(custom, MakeRgb(255, 255, 255));

    EXPECT_EQ(m.buttons.bitmap.member, "bg-systembuttons.bmp");
    EXPECT_EQ(m.buttons.leftWidth, 16);
    EXPECT_EQ(m.buttons.rightWidth, 18);
    EXPECT_EQ(m.buttons.topHeight, 11);
    EXPECT_EQ(m.buttons.bottomHeight, 11);
    EXPECT_EQ(m.buttons.normalColour, 0);
    EXPECT_EQ(m.buttons.normalColour2, MakeRgb(0, 0, 0));
    EXPECT_EQ(m.buttons.checkImageCount, 4);
    EXPECT_EQ(m.buttons.radioImageCount, 4);

    ASSERT_TRUE(m.progress);
    EXPECT_EQ(m.progress->imageCount, 2);
    EXPECT_EQ(m.progress->leftWidth, 9);
    EXPECT_EQ(m.progress->rightWidth, 8);
    EXPECT_FALSE(m.progressChunk);
    EXPECT_FALSE(m.tabPane);
    EXPECT_FALSE(m.track);
    EXPECT_FALSE(m.trackVert);
}

TEST_F(HarborSkin, ImageSectionsMarginsAndCounts) {
    RecordingSink sink;
    const std::optional<SkinModel> m = LoadSkinStream(value_, sink);
    ASSERT_TRUE(m);
    struct Section {
        const char* name;
        const std::optional<ImageSkin>& skin;
        const char* member;
        int left, right, top, bottom, tile, trans, count;
    };
    const Section sections[] = {
        {"GroupBoxEdge", m->groupBoxEdge, "bg-groupbox-border.bmp", 5, 5, 16, 5, 0, 0, 2},
        {"GroupBox", m->groupBox, "bg-groupbox-tab.bmp", 20, 20, 11, 3, 0, 0, 1},
        {"Tabs", m->tabs, "bg-tabs.bmp", 20, 19, 14, 4, 0, 0, 5},
        {"STATUSBAREDGES", m->statusBarEdges, "bg-statusbar.bmp", 2, 2, 5, 0, 0, 0, 3},
        {"ToolBars", m->toolBars, "bg-toolbarbuttons.bmp", 10, 10, 11, 11, 0, 0, 5},
        {"ComboButton", m->comboButton, "combo.bmp", 3, 3, 3, 3, 0, 0, 4},
        {"SunkEdge", m->sunkEdge, "sunkedge.bmp", 1, 1, 1, 1, 0, 0, 4},
        {"ExtraImages", m->extraImages, "combo-arrows.bmp", 0, 0, 0, 0, 0, 1, 5},
        {"Headerbar", m->headerbar, "bg-listheader.bmp", 0, 1, 0, 0, 0, 0, 5},
        {"MENUITEM", m->menuItem, "bg-menuitem.bmp", 10, 10, 9, 6, 0, 1, 5},
        {"MENUBACKGROUND", m->menuBackground, "bg-menuback.bmp", 5, 5, 5, 5, 0, 1, 1},
        {"Scrollbar", m->scrollbar, "arrows.bmp", 2, 2, 2, 2, 1, 1, 23},
        {"HorzScroll", m->horzScroll, "hscroll_back.bmp", 6, 6, 8, 6, 0, 0, 4},
        {"VertScroll", m->vertScroll, "vscroll_back.bmp", 8, 6, 6, 6, 1, 0, 4},
        {"HorzScrollThumb", m->horzScrollThumb, "hscroll_bar.bmp", 5, 6, 2, 2, 0, 0, 3},
        {"VertScrollThumb", m->vertScrollThumb, "vscroll_bar.bmp", 2, 2, 5, 6, 0, 0, 3},
        {"UpDown.Horz", m->upDownHorz, "spinner-h.bmp", 7, 1, 3, 15, 0, 1, 8},
        {"UpDown.Vert", m->upDownVert, "spinner-v.bmp", 2, 13, 2, 7, 0, 0, 8},
        {"ThumbHorz", m->thumbHorz, "trackbarthumbhorz.bmp", 0, 0, 0, 0, 0, 1, 5},
        {"ThumbVert", m->thumbVert, "trackbarthumbvert.bmp", 0, 0, 0, 0, 0, 1, 5},
        {"ThumbLeft", m->thumbLeft, "trackbarthumbleft.bmp", 0, 0, 0, 0, 0, 1, 5},
        {"ThumbRight", m->thumbRight, "trackbarthumbright.bmp", 0, 0, 0, 0, 0, 1, 5},
        {"ThumbUp", m->thumbUp, "trackbarthumbup.bmp", 0, 0, 0, 0, 0, 1, 5},
        {"ThumbDown", m->thumbDown, "trackbarthumbdown.bmp", 0, 0, 0, 0, 0, 1, 5},
    };
    for (const Section& s : sections) {
        ASSERT_TRUE(s.skin) << s.name;
        EXPECT_EQ(s.skin->image.member, s.member) << s.name;
        EXPECT_EQ(s.skin->leftWidth, s.left) << s.name;
        EXPECT_EQ(s.skin->rightWidth, s.right) << s.name;
        EXPECT_EQ(s.skin->topHeight, s.top) << s.name;
        EXPECT_EQ(s.skin->bottomHeight, s.bottom) << s.name;
        EXPECT_EQ(s.skin->tile, s.tile) << s.name;
        EXPECT_EQ(s.skin->trans, s.trans) << s.name;
        EXPECT_EQ(s.skin->imageCount, s.count) << s.name;
    }
    EXPECT_EQ(m->tabs->second.member, "bg-tabborders.bmp");
    EXPECT_TRUE(m->upDownHorz->second.Empty());
}

TEST_F(HarborSkin, CaptionButtonsAndDerivedValues) {
    RecordingSink sink;
    const std::optional<SkinModel> m = LoadSkinStream(value_, sink);
    ASSERT_TRUE(m);
    struct Expected {
        int action, align, x, y, visibility, count;
        const char* member;
    };
    const Expected expected[] = {
        {0, 1, 30, 5, 0, 6, "window closebutton1.bmp"},
        {1, 1, 53, 5, 2, 6, "window maxbutton1.bmp"},
        {1, 1, 53, 5, 1, 6, "window restorebutton1.bmp"},
        {2, 1, 75, 5, 0, 6, "window minbutton1.bmp"},
        {3, 0, 8, 7, 0, 6, ""},
        {7, 100, 57, 0, 100, 4, "button-mdi.bmp"},
        {8, 100, 38, 0, 100, 4, "button-mdi.bmp"},
        {9, 100, 19, 0, 100, 4, "button-mdi.bmp"},
    };
    ASSERT_EQ(m->captionButtons.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const CaptionButton& b = m->captionButtons[i];
        const Expected& e = expected[i];
        EXPECT_EQ(b.action, e.action) << i;
        EXPECT_EQ(b.align, e.align) << i;
        EXPECT_EQ(b.xcoord, e.x) << i;
        EXPECT_EQ(b.ycoord, e.y) << i;
        EXPECT_EQ(b.visibility, e.visibility) << i;
        EXPECT_EQ(b.imageCount, e.count) << i;
        EXPECT_EQ(b.bitmap.member, e.member) << i;
    }

    // The first caption image, one third across and down: our caption teal.
    const auto pixel = m->top.bitmap.info.PixelAt(312 / 3, 30 / 3);
    ASSERT_TRUE(pixel);
    EXPECT_EQ(m->backgroundColour, *pixel);
    EXPECT_GT(GreenOf(*pixel), RedOf(*pixel));
    EXPECT_EQ(m->toolbarBackground.width, 10);
    EXPECT_EQ(m->toolbarBackground.height, 40);
    EXPECT_EQ(m->toolbarBackground.colour, m->backgroundColour);
    EXPECT_EQ(m->buttonFaceBrush, MakeRgb(238, 233, 213));
}

} // namespace
} // namespace veltrane
