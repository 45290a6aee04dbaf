#pragma once
// How a skinned pop-up menu draws its items: which [MenuItem] image each item state takes, where an
// item's image, check mark, text and separator line go, how big an item is, its text colour, which
// item a mnemonic key chooses, and whether the keyboard underlines show. Coordinates are those of the
// menu window, y from the top.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/skinning/FrameGeometry.h"

namespace veltrane {

struct MenuItemState {
    bool hot = false; // selected, with the pointer or the keys
    bool disabled = false;
    bool checked = false;
    bool isDefault = false; // drawn bold
    bool separator = false;
};

// The five [MenuItem] images, side by side: an item that can be chosen, the selected one, a checked
// one (a pushed-in look), one that cannot be chosen, and one that cannot be chosen but is selected
// (the keys walk over it). Separators take none.
enum class MenuItemImage : int { None = -1, Normal = 0, Hot = 1, Checked = 2, Disabled = 3, HotDisabled = 4 };

MenuItemImage MenuItemImageOf(const MenuItemState& state);

// Selected items in HilightText, items that cannot be chosen half way between MenuText and Menu, the
// rest in MenuText.
Rgb MenuItemTextColour(const SkinColours& colours, const MenuItemState& state);

// A separator's two lines, upper then lower.
struct MenuSeparatorColours {
    Rgb upper = 0;
    Rgb lower = 0;
};
MenuSeparatorColours MenuSeparatorColoursOf(const SkinColours& colours);

// What the layout of the items depends on.
struct MenuMetrics {
    int textHeight = 0;       // the menu font's line height
    int checkSize = 0;        // the square of a check mark
    int arrowWidth = 0;       // room for a submenu arrow at the right
    ImageMargins itemMargins; // [MenuItem]'s; zero without it
    int itemImageHeight = 0;  // one [MenuItem] image; 0 without it
};

inline constexpr int kMenuItemPad = 3;         // between an item's image edge and its check mark
inline constexpr int kMenuCheckGap = 4;        // between the check mark and the text
inline constexpr int kMenuShortcutGap = 12;    // between a label and its shortcut
inline constexpr int kMenuTextPadVertical = 3; // above and below the text
inline constexpr int kMenuSeparatorHeight = 8;

struct MenuItemPlace {
    PixelRect image;     // the item's image: the item inside the background's border
    PixelRect check;     // empty for a separator
    PixelRect text;      // the label at its left, the shortcut at its right; empty for a separator
    PixelRect separator; // two one-pixel lines; empty unless a separator
    bool operator==(const MenuItemPlace&) const = default;
};

// The menu window inside [MenuBackground]'s margins: items keep off the border.
PixelRect MenuInnerRect(int windowWidth, int windowHeight, const ImageMargins& background);

// `item` and `inner` in window coordinates.
MenuItemPlace MenuItemPlaceOf(const PixelRect& item, const PixelRect& inner, const MenuMetrics& metrics,
                              bool separator);

// The size an item asks for, so that its texts fit between the item image's margins.
PixelSize MenuItemMeasure(const MenuMetrics& metrics, int labelWidth, int shortcutWidth, bool separator);

// An item's text is its label, then after a tab the shortcut shown at the right.
struct MenuText {
    std::wstring_view label;
    std::wstring_view shortcut;
    bool operator==(const MenuText&) const = default;
};
MenuText MenuTextSplit(std::wstring_view text);

// The character after the first single '&' ("&&" is a literal ampersand).
std::optional<wchar_t> MenuMnemonic(std::wstring_view label);
// The first item whose mnemonic is `key` (ASCII letters in either case); -1 for none.
int MenuMnemonicFind(const std::vector<std::wstring>& texts, wchar_t key);

// Underlines show unless the system hides them for this drawing, and then only when the system
// always shows keyboard cues or the menu was opened or walked with the keyboard.
bool MenuAccelShown(bool systemHides, bool cuesAlways, bool keyboardUsed);

} // namespace veltrane
