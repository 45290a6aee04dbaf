#pragma once
// What a loaded skin holds, as plain data: colours as RGB values, bitmaps as views of the
// package's member bytes with their parsed headers. The Win32 layer makes device bitmaps and
// brushes from it.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "toolkit/skin/Bmp.h"

namespace veltrane {

// The loader refuses a skin that gives a value beyond these, as no window could use it. Positions
// and sizes keep to 16 bits, the range of window and GDI coordinates on Windows 9x; a few of them
// added to a window's size are then far from overflowing an int.
inline constexpr int kSkinMaxExtent = 32767;
// An image count above the widest bitmap's pixels leaves images of no pixels.
inline constexpr int kSkinMaxImageCount = kBmpMaxSide;
// Caption font heights in pixels: a font taller than this fits no caption bar of any screen, and the
// limit keeps the height's negation, which asks GDI for a character height, in range.
inline constexpr int kSkinMaxFontHeight = 1024;
// A skin's key colour: where a piece is drawn transparent, its pixels of this colour are left out.
inline constexpr Rgb kSkinTransparent = MakeRgb(0xFF, 0x00, 0xFF);

struct SkinBitmap {
    std::string member;                 // lower-cased member name; empty for an empty bitmap
    std::span<const std::uint8_t> file; // the whole BMP file
    BmpInfo info;

    bool Empty() const { return file.empty(); }
    int Width() const { return Empty() ? 0 : info.width; }
    int Height() const { return Empty() ? 0 : info.height; }
};

// One window edge of [Personality]: Top, Left, Right or Bottom.
struct FrameEdge {
    SkinBitmap bitmap;
    int imageCount = 1;
    int topHeight = 0; // unstretched ends: left/right widths for Top and Bottom, top/bottom heights
    int botHeight = 0; // for Left and Right
    int stretch = 1;
    int trans = 1;
};

struct CaptionTitle {
    int textShift = 0;
    int textShiftVert = 0;
    int textRightClip = 0;
    int textAlignment = 0;
    int textBackground = 0;
    int txtBackLeft = 0;
    int txtBackRight = 0;
    SkinBitmap textBack;
    std::optional<Rgb> activeText;
    std::optional<Rgb> inactiveText;
    int fontHeight = 14;
    int imageCount = 2;
};

struct MenuBarSkin {
    SkinBitmap bitmap;
    int tileMenu = 1;
    int tileLeftMenu = 1;
    int tileRightMenu = 1;
    int imageCount = 2;
};

// The system colours used where [Colours] has no value. The Win32 layer fills these from the
// system; the defaults are the classic scheme.
struct SystemColours {
    Rgb windowText = MakeRgb(0, 0, 0);
    Rgb buttonFace = MakeRgb(212, 208, 200);
    Rgb scrollbar = MakeRgb(212, 208, 200);
    Rgb highlightText = MakeRgb(255, 255, 255);
    Rgb highlight = MakeRgb(10, 36, 106);
    Rgb menu = MakeRgb(212, 208, 200);
    Rgb menuText = MakeRgb(0, 0, 0);
    Rgb buttonText = MakeRgb(0, 0, 0);
    Rgb buttonHighlight = MakeRgb(255, 255, 255);
    Rgb buttonShadow = MakeRgb(128, 128, 128);
    Rgb darkShadow3d = MakeRgb(64, 64, 64);
    Rgb captionText = MakeRgb(255, 255, 255);
    Rgb inactiveCaptionText = MakeRgb(212, 208, 200);
};

// The [Colours] keys the skin uses.
struct SkinColours {
    Rgb windowText, buttonFace, scrollbar, hilightText, hilight, menubar, menu, menuText, buttonText,
        buttonHilight, buttonLight, buttonShadow, buttonDkShadow, menuBarText, titleTextActive,
        titleTextNoActive;
};

// The margins and fill rules of a framed image: LeftWidth, RightWidth, TopHeight, BottomHeight,
// Trans and Tile.
struct ImageMargins {
    int leftWidth = 0;
    int rightWidth = 0;
    int topHeight = 0;
    int bottomHeight = 0;
    int trans = 0;
    int tile = 0;
};

// Text colours for the three pointer states: NormalColour, MouseOverColour, PressedColour and
// their optional second colours.
struct StateColours {
    int normalColour = -1;
    int mouseOverColour = -1;
    int pressedColour = -1;
    std::optional<Rgb> normalColour2;
    std::optional<Rgb> mouseOverColour2;
    std::optional<Rgb> pressedColour2;
};

// The key set shared by the image sections.
struct ImageSkin : ImageMargins, StateColours {
    SkinBitmap image;
    int style = 0;
    int frame = 0;
    int imageCount = 1;
    SkinBitmap second;           // [Tabs] Border, [UpDown.*] GlyphImage
    int backgroundAlignment = 0; // [GroupBox] only
    int backgroundLeftShift = 0;
    int backgroundRightShift = 0;
};

// [Buttons]: push buttons, check boxes and radio buttons.
struct PushButtonSkin : ImageMargins, StateColours {
    SkinBitmap bitmap;
    SkinBitmap checkButton;
    SkinBitmap radioButton;
    int imageCount = 5;
    int checkImageCount = 4;
    int radioImageCount = 4;
};

struct ProgressSkin : ImageMargins {
    SkinBitmap bitmap;
    int style = 0;
    int imageCount = 2;
};

struct CaptionButton {
    int action = 0;
    int align = 0;
    int xcoord = 0;
    int ycoord = 0;
    int visibility = 0;
    int visibility1 = 0;
    int combineOp = -1;
    int frame = 0;
    int imageCount = 6;
    SkinBitmap bitmap;
    std::optional<PixelRect> source; // the part of the bitmap used; the whole bitmap if absent
};

struct ToolbarBackground {
    int width = 10;
    int height = 40;
    int imageCount = 1;
    Rgb colour = 0;
};

struct SkinModel {
    std::shared_ptr<const std::vector<std::uint8_t>> package; // owns every bitmap's bytes
    std::string skinName;

    FrameEdge top, left, right, bottom;
    SkinColours colours{};
    std::vector<Rgb> colourTable;
    std::array<Rgb, 10> customColours{};
    std::vector<CaptionButton> captionButtons; // the description's, then the three MDI ones
    SkinBitmap mdiControls;
    PushButtonSkin buttons;
    CaptionTitle title;
    std::optional<ProgressSkin> progress;
    std::optional<ImageSkin> progressChunk;
    MenuBarSkin menuBar;
    std::optional<ImageSkin> groupBoxEdge, groupBox, tabs, statusBarEdges, tabPane, toolBars, comboButton,
        sunkEdge, extraImages, headerbar, menuItem, menuBackground, scrollbar, horzScroll, vertScroll,
        horzScrollThumb, vertScrollThumb, thumbHorz, thumbVert, thumbLeft, thumbRight, thumbUp, thumbDown,
        upDownHorz, upDownVert, track, trackVert;

    Rgb backgroundColour = 0;
    ToolbarBackground toolbarBackground;
    Rgb buttonFaceBrush = 0;

    std::vector<std::string> warnings; // bitmaps that were present but unreadable, and the like
};

} // namespace veltrane
