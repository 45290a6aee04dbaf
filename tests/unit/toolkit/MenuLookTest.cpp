#include "toolkit/skinning/MenuLook.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

// The stored skin: [MenuItem] margins 10, 10, 9, 6 on 16-pixel images, [MenuBackground] 5 all round.
MenuMetrics Harbor() {
    MenuMetrics m;
    m.textHeight = 13;
    m.checkSize = 13;
    m.itemMargins = {.leftWidth = 10, .rightWidth = 10, .topHeight = 9, .bottomHeight = 6, .trans = 1};
    m.itemImageHeight = 16;
    return m;
}

const ImageMargins kBackground{.leftWidth = 5, .rightWidth = 5, .topHeight = 5, .bottomHeight = 5};

TEST(MenuLook, EachItemStateTakesItsImage) {
    struct Case {
        MenuItemState state;
        MenuItemImage image;
    };
    const Case cases[] = {
        {{}, MenuItemImage::Normal},
        {{.hot = true}, MenuItemImage::Hot},
        {{.hot = true, .checked = true}, MenuItemImage::Hot},
        {{.checked = true}, MenuItemImage::Checked},
        {{.disabled = true}, MenuItemImage::Disabled},
        {{.disabled = true, .checked = true}, MenuItemImage::Disabled},
        {{.hot = true, .disabled = true}, MenuItemImage::HotDisabled},
        {{.isDefault = true}, MenuItemImage::Normal},
        {{.hot = true, .separator = true}, MenuItemImage::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuItemImageOf(c.state), c.image)
            << c.state.hot << c.state.disabled << c.state.checked << c.state.isDefault << c.state.separator;
}

TEST(MenuLook, TextColourFollowsTheMenuColours) {
    SkinColours colours{};
    colours.menu = MakeRgb(192, 202, 196);
    colours.menuText = MakeRgb(0, 0, 0);
    colours.hilightText = MakeRgb(255, 255, 255);
    EXPECT_EQ(MenuItemTextColour(colours, {}), colours.menuText);
    EXPECT_EQ(MenuItemTextColour(colours, {.isDefault = true}), colours.menuText);
    EXPECT_EQ(MenuItemTextColour(colours, {.hot = true}), colours.hilightText);
    EXPECT_EQ(MenuItemTextColour(colours, {.disabled = true}), MakeRgb(96, 101, 98));
    EXPECT_EQ(MenuItemTextColour(colours, {.hot = true, .disabled = true}), MakeRgb(96, 101, 98));
}

TEST(MenuLook, ItemsKeepOffTheBackgroundBorder) {
    const PixelRect inner = MenuInnerRect(120, 60, kBackground);
    EXPECT_EQ(inner, (PixelRect{5, 5, 110, 50}));
    // An item laid out from 3 pixels in (as the system does) is cut to the inner rectangle.
    const MenuItemPlace first = MenuItemPlaceOf({3, 3, 114, 19}, inner, Harbor(), false);
    EXPECT_EQ(first.image, (PixelRect{5, 5, 110, 17}));
    EXPECT_EQ(first.check, (PixelRect{8, 7, 13, 13}));
    // The text starts past the check mark and stops at the image's right margin.
    EXPECT_EQ(first.text, (PixelRect{25, 5, 80, 17}));
    EXPECT_TRUE(first.separator.Empty());
    // A wide left margin in the skin pushes the text further in.
    MenuMetrics wide = Harbor();
    wide.itemMargins.leftWidth = 30;
    EXPECT_EQ(MenuItemPlaceOf({3, 3, 114, 19}, inner, wide, false).text.x, 35);
    // Outside the inner rectangle nothing is drawn.
    EXPECT_TRUE(MenuItemPlaceOf({3, 56, 114, 4}, inner, Harbor(), false).image.Empty());
}

TEST(MenuLook, SeparatorLinesRunMidItemFromTheText) {
    const PixelRect inner = MenuInnerRect(120, 60, kBackground);
    const MenuItemPlace p = MenuItemPlaceOf({3, 22, 114, 8}, inner, Harbor(), true);
    EXPECT_EQ(p.separator, (PixelRect{25, 25, 87, 2}));
    EXPECT_TRUE(p.check.Empty());
    EXPECT_TRUE(p.text.Empty());
    SkinColours colours{};
    colours.buttonShadow = MakeRgb(192, 192, 192);
    colours.buttonHilight = MakeRgb(255, 255, 255);
    EXPECT_EQ(MenuSeparatorColoursOf(colours).upper, colours.buttonShadow);
    EXPECT_EQ(MenuSeparatorColoursOf(colours).lower, colours.buttonHilight);
}

TEST(MenuLook, MeasuredItemsFitTheirTextsBetweenTheMargins) {
    const MenuMetrics m = Harbor();
    const PixelSize label = MenuItemMeasure(m, 40, 0, false);
    EXPECT_EQ(label, (PixelSize{20 + 40 + 10, 19}));
    EXPECT_EQ(MenuItemMeasure(m, 40, 30, false).width, label.width + kMenuShortcutGap + 30);
    EXPECT_EQ(MenuItemMeasure(m, 40, 0, true), (PixelSize{30, kMenuSeparatorHeight}));
    // The text of a measured item placed where it was measured has exactly the label's room.
    const PixelRect item{0, 0, label.width, label.height};
    EXPECT_EQ(MenuItemPlaceOf(item, item, m, false).text.width, 40);
    // A small font still gets a whole item image; a large one grows the item.
    MenuMetrics small = m;
    small.textHeight = 8;
    EXPECT_EQ(MenuItemMeasure(small, 1, 0, false).height, 16);
    MenuMetrics large = m;
    large.textHeight = 20;
    EXPECT_EQ(MenuItemMeasure(large, 1, 0, false).height, 26);
}

TEST(MenuLook, TextsSplitAtTheTabAndMnemonicsFindTheirItems) {
    EXPECT_EQ(MenuTextSplit(L"&Close\tAlt+F4"), (MenuText{L"&Close", L"Alt+F4"}));
    EXPECT_EQ(MenuTextSplit(L"退出程序"), (MenuText{L"退出程序", L""}));
    EXPECT_EQ(MenuMnemonic(L"Mi&nimize"), L'n');
    EXPECT_EQ(MenuMnemonic(L"Save && &Quit"), L'Q');
    EXPECT_EQ(MenuMnemonic(L"A && B"), std::nullopt);
    EXPECT_EQ(MenuMnemonic(L"End&"), std::nullopt);
    EXPECT_EQ(MenuMnemonic(L"还原(&R)"), L'R');
    const std::vector<std::wstring> items{L"&Restore", L"", L"&Move", L"&Close\tAlt+&F4"};
    EXPECT_EQ(MenuMnemonicFind(items, L'm'), 2);
    EXPECT_EQ(MenuMnemonicFind(items, L'C'), 3);
    EXPECT_EQ(MenuMnemonicFind(items, L'F'), -1); // the shortcut's ampersand is not a mnemonic
    EXPECT_EQ(MenuMnemonicFind(items, L'x'), -1);
}

TEST(MenuLook, UnderlinesShowOnlyWhenTheSystemSaysSo) {
    struct Case {
        bool systemHides, cuesAlways, keyboardUsed, shown;
    };
    const Case cases[] = {
        {false, false, false, false}, {false, true, false, true}, {false, false, true, true},
        {true, true, true, false},    {true, false, true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuAccelShown(c.systemHides, c.cuesAlways, c.keyboardUsed), c.shown)
            << c.systemHides << c.cuesAlways << c.keyboardUsed;
}

} // namespace
} // namespace veltrane
