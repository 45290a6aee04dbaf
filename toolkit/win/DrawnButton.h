#pragma once
// What the drawn push buttons share. The button stays a real BUTTON window, made owner-drawn, so
// focus, Space, BM_CLICK, its text and its accessible name stay the system's; this subclass paints
// its face off screen in WM_PAINT (nothing reaches the parent's WM_DRAWITEM that needs an answer),
// tracks the pointer for the hot state and takes a double-click as a second click.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

#include "platform/Paint.h"
#include "platform/Subclass.h"
#include "toolkit/draw/ButtonLook.h"
#include "toolkit/win/GdiDraw.h"

namespace veltrane {

// One image of an image list; no list, no glyph.
struct ButtonGlyph {
    HIMAGELIST images = nullptr;
    int index = 0;
};

class DrawnButton : public WindowSubclass {
public:
    ~DrawnButton() override;

    // Takes over an existing button: its type becomes owner-drawn, its other styles stay. A button
    // created as BS_DEFPUSHBUTTON starts as the default button. The button gets its type back
    // when this object goes first.
    bool Attach(HWND button);
    // The default button shows the focus look while the focus is on no other push button.
    void SetDefault(bool value);
    bool IsDefault() const { return default_; }
    // What the face shows now.
    ButtonState State() const;

    // The drawn button that `window` is, or null.
    static DrawnButton* From(HWND window);
    // The class this button stands for in the skin's rules (TBarButton, TGlyphButton).
    virtual const char* ClassName() const = 0;

protected:
    // Draws the face over the parent's background, already painted into `dc`; the DC holds the
    // button's font.
    virtual void DrawFace(HDC dc, const RECT& client, const ButtonState& state,
                          std::wstring_view caption) = 0;
    virtual void Attached() {}
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Redraw();

private:
    bool Pushed() const;
    void PaintTo(HDC dc);
    void PointerMoved(LPARAM point);
    void HotSet(bool hot);
    bool PointerInside() const;
    void DefaultButtonsRedraw();

    BitmapDC buffer_;
    std::wstring caption_; // kept from WM_SETTEXT, as the font from WM_SETFONT: read at every paint
    HFONT font_ = nullptr;
    LONG originalType_ = BS_PUSHBUTTON;
    bool hot_ = false;
    bool tracking_ = false;
    bool default_ = false;
};

// Glyph left of the caption, placed in `area` as `layout` says and moved by `offset`; the glyph
// greyed when asked, the caption in the disabled text colour when the button is disabled. Uses the
// DC's font.
void ButtonContentDraw(HDC dc, const RECT& area, std::wstring_view caption, const ButtonGlyph& glyph,
                       int offset, bool greyGlyph, bool enabled, GlyphLayout layout = GlyphLayout::Centred);

} // namespace veltrane
