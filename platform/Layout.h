#pragma once
// Declared layouts: one constant table per window describes its controls.

#include <windows.h>

#include <span>

namespace veltrane {

enum class ControlKind { Picture, Panel, GroupBox, ListView, RadioButton, Button, LinkLabel, Label, Edit };

inline constexpr COLORREF kNoColour = CLR_INVALID;

// A dialog button's part in the keyboard handling: Enter presses the default button, Esc the
// cancel button.
enum class ButtonRole { Plain, Default, Cancel };

inline constexpr int kModalNone = 0;
inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

// One control. Controls are created in table order, which is also their tab order within
// their container; a container comes before what it holds.
struct ControlLayout {
    ControlKind kind;
    int id;
    int parent; // id of the holding panel or group box, 0 for the window itself
    int x, y, width, height;
    const wchar_t* caption;      // placeholder, overwritten from the texts module
    DWORD style = 0;             // extra window styles
    COLORREF colour = kNoColour; // panel background
    int fontHeight = 0;          // pixels; 0 = the window's font
    ButtonRole role = ButtonRole::Plain;
    int modalResult = kModalNone; // set on the window before the button's click handler runs
};

struct FormLayout {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int clientWidth, clientHeight;
    const wchar_t* caption;
    const wchar_t* fontFace;
    int fontHeight;      // pixels
    COLORREF background; // kNoColour: the system's dialog colour
    std::span<const ControlLayout> controls;
    bool scalesWithTextSize = false; // positions, sizes and fonts follow the screen's text size
};

} // namespace veltrane
