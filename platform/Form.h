#pragma once
// Base of every window of the program: built from a declared layout, messages dispatched to
// virtual handlers, everything not consumed passed on to the default handling.

#include <map>
#include <string_view>
#include <vector>

#include "platform/Application.h"
#include "platform/Handles.h"
#include "platform/Layout.h"

namespace veltrane {

inline constexpr int kUnscaled = 96;

class Form : public KeyboardNavigator {
public:
    explicit Form(Application& application) : application_(application) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form() override;

    HWND Handle() const { return window_.Get(); }
    HWND Item(int id) const;
    Application& App() const { return application_; }

    void Show();
    void Hide();
    bool IsVisible() const { return ::IsWindowVisible(Handle()) != FALSE; }
    void SetCaption(std::wstring_view text);
    std::wstring Caption() const;
    void SetItemText(int id, std::wstring_view text);
    std::wstring ItemText(int id) const;

    // Shows the window modally: the application's other windows are disabled and a nested loop
    // runs until a modal result is set. Returns that result.
    int ShowModal();
    void SetModalResult(int result) { modalResult_ = result; }

    bool PreTranslateMessage(MSG& msg) override;

protected:
    // Creates the window hidden, centred on the screen, owned by the application window, with
    // every control of the layout; then runs FormCreate.
    void CreateFromLayout(const FormLayout& layout);
    // Runs once the controls exist and before FormCreate: the window's components are made here.
    virtual void CreateComponents() {}
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnCommand(int id, int code) { (void)id, (void)code; }
    virtual LRESULT OnNotify(const NMHDR& header) { return (void)header, 0; }
    // The close request: a modal window ends with Cancel, any other hides.
    virtual void OnClose();
    void SetActiveControl(int id);
    // A 16 x 16 glyph beside the button's caption; the strip's second image shows while disabled.
    void SetButtonGlyph(int id, int stripResource);
    // A picture control shows a bitmap resource composed over the given background.
    void SetPicture(int id, int resource, COLORREF background);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateControl(const ControlLayout& control);
    HFONT FontOfHeight(int height);
    HBRUSH BrushOfColor(COLORREF color);
    LRESULT ControlColor(HDC dc, HWND control);
    COLORREF BackgroundColor() const;
    void Activated(bool active);
    void ButtonClicked(int id);
    const ControlLayout* ControlWithRole(ButtonRole role) const;
    int Scaled(int pixels) const;
    bool PressRoleButton(ButtonRole role);

    Application& application_;
    UniqueWindow window_;
    const FormLayout* layout_ = nullptr;
    std::map<int, HWND> items_;
    std::map<int, UniqueFont> fonts_;
    std::map<COLORREF, UniqueBrush> brushes_;
    std::vector<UniqueImageList> glyphs_;
    std::vector<UniqueBitmap> pictures_;
    HWND lastFocus_ = nullptr;
    int modalResult_ = kModalNone;
    bool modal_ = false;
    int scale_ = kUnscaled;
};

} // namespace veltrane
