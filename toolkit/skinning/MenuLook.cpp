#include "toolkit/skinning/MenuLook.h"

#include <algorithm>

namespace veltrane {

namespace {

Rgb Halfway(Rgb a, Rgb b) {
    return MakeRgb((RedOf(a) + RedOf(b)) / 2, (GreenOf(a) + GreenOf(b)) / 2, (BlueOf(a) + BlueOf(b)) / 2);
}

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right - left, bottom - top};
}

// From the image's left edge to the text: the check mark's room, or the image's own margin if wider.
int TextIndent(const MenuMetrics& m) {
    return std::max(kMenuItemPad + m.checkSize + kMenuCheckGap, m.itemMargins.leftWidth);
}

int TextRightRoom(const MenuMetrics& m) {
    return std::max(m.itemMargins.rightWidth, kMenuItemPad) + m.arrowWidth;
}

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c;
}

} // namespace

MenuItemImage MenuItemImageOf(const MenuItemState& s) {
    if (s.separator)
        return MenuItemImage::None;
    if (s.disabled)
        return s.hot ? MenuItemImage::HotDisabled : MenuItemImage::Disabled;
    if (s.hot)
        return MenuItemImage::Hot;
    return s.checked ? MenuItemImage::Checked : MenuItemImage::Normal;
}

Rgb MenuItemTextColour(const SkinColours& colours, const MenuItemState& s) {
    if (s.disabled)
        return Halfway(colours.menuText, colours.menu);
    return s.hot ? colours.hilightText : colours.menuText;
}

MenuSeparatorColours MenuSeparatorColoursOf(const SkinColours& colours) {
    return {colours.buttonShadow, colours.buttonHilight};
}

PixelRect MenuInnerRect(int windowWidth, int windowHeight, const ImageMargins& b) {
    return {b.leftWidth, b.topHeight, std::max(0, windowWidth - b.leftWidth - b.rightWidth),
            std::max(0, windowHeight - b.topHeight - b.bottomHeight)};
}

MenuItemPlace MenuItemPlaceOf(const PixelRect& item, const PixelRect& inner, const MenuMetrics& m,
                              bool separator) {
    MenuItemPlace p;
    p.image = Intersection(item, inner);
    if (p.image.Empty())
        return p;
    const int textLeft = p.image.x + TextIndent(m);
    const int textRight = p.image.x + p.image.width - TextRightRoom(m);
    if (separator) {
        const int right = p.image.x + p.image.width - kMenuItemPad;
        if (right > textLeft)
            p.separator = {textLeft, item.y + item.height / 2 - 1, right - textLeft, 2};
        return p;
    }
    p.check = {p.image.x + kMenuItemPad, p.image.y + (p.image.height - m.checkSize) / 2, m.checkSize,
               m.checkSize};
    if (textRight > textLeft)
        p.text = {textLeft, p.image.y, textRight - textLeft, p.image.height};
    return p;
}

PixelSize MenuItemMeasure(const MenuMetrics& m, int labelWidth, int shortcutWidth, bool separator) {
    if (separator)
        return {TextIndent(m) + TextRightRoom(m), kMenuSeparatorHeight};
    int width = TextIndent(m) + labelWidth + TextRightRoom(m);
    if (shortcutWidth > 0)
        width += kMenuShortcutGap + shortcutWidth;
    const int height = std::max({m.textHeight + 2 * kMenuTextPadVertical, m.itemImageHeight,
                                 m.itemMargins.topHeight + m.itemMargins.bottomHeight, m.checkSize});
    return {width, height};
}

MenuText MenuTextSplit(std::wstring_view text) {
    const std::size_t tab = text.find(L'\t');
    if (tab == std::wstring_view::npos)
        return {text, {}};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

std::optional<wchar_t> MenuMnemonic(std::wstring_view label) {
    for (std::size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != L'&')
            continue;
        if (label[i + 1] != L'&')
            return label[i + 1];
        ++i; // "&&" stands for one ampersand
    }
    return std::nullopt;
}

int MenuMnemonicFind(const std::vector<std::wstring>& texts, wchar_t key) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::optional<wchar_t> mnemonic = MenuMnemonic(MenuTextSplit(texts[i]).label);
        if (mnemonic && AsciiUpper(*mnemonic) == AsciiUpper(key))
            return int(i);
    }
    return -1;
}

bool MenuAccelShown(bool systemHides, bool cuesAlways, bool keyboardUsed) {
    return !systemHides && (cuesAlways || keyboardUsed);
}

} // namespace veltrane
