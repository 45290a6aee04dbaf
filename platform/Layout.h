#pragma once
// Declared layouts: one constant table per window describes its controls.

#include <windows.h>

#include <span>

namespace veltrane {

enum class ControlKind { Picture, Panel, GroupBox, ListView, RadioButton, Button, LinkLabel, Label, Edit };

inline constexpr COLORREF kNoColor = CLR_INVALID;

// One control. Controls are created in table order, which is also their tab order within
// their container; a container comes before what it holds.
struct ControlLayout {
    ControlKind kind;
    int id;
    int parent; // id of the holding panel or group box, 0 for the window itself
    int x, y, width, height;
    const wchar_t* caption;    // placeholder, overwritten from the texts module
    DWORD style = 0;           // extra window styles
    COLORREF color = kNoColor; // panel background
    int fontHeight = 0;        // pixels; 0 = the window's font
};

struct FormLayout {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int clientWidth, clientHeight;
    const wchar_t* caption;
    const wchar_t* fontFace;
    int fontHeight; // pixels
    COLORREF background;
    std::span<const ControlLayout> controls;
};

} // namespace veltrane
