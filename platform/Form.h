#pragma once
// Base of every window of the program: built from a declared layout, messages dispatched to
// virtual handlers, everything not consumed passed on to the default handling.

#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/Application.h"
#include "platform/Background.h"
#include "platform/Containers.h"
#include "platform/Handles.h"
#include "platform/Layout.h"
#include "platform/Paint.h"
#include "platform/WindowProcedure.h"

namespace veltrane {

inline constexpr int kUnscaled = 96;

// Every form is held as Owned<TheForm> (see below), so that its window is destroyed before any
// member of the form dies.
class Form : public KeyboardNavigator, public BackgroundProvider {
public:
    explicit Form(Application& application) : application_(application) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form() override;

    // Destroys the window and its controls while everything they paint with still exists.
    void Destroy();

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
    // When a form's controls are made: with its window, or just before the window is first shown
    // (a window that may stay hidden for the whole session then costs no controls, fonts or
    // pictures, and the common controls are not loaded for it).
    enum class Controls { WithWindow, OnFirstShow };
    // Creates the window hidden, centred on the screen, owned by the application window; makes the
    // layout's controls (now or later), then runs CreateComponents and FormCreate.
    void CreateFromLayout(const FormLayout& layout, Controls when = Controls::WithWindow);
    // The window's components are made here; with controls made with the window, they exist by now.
    virtual void CreateComponents() {}
    virtual void FormCreate() {}
    // The controls have just been made (before CreateComponents when they come with the window).
    virtual void ControlsCreated() {}
    virtual void FormShow() {}
    // The window is being destroyed; its controls still exist.
    virtual void FormDestroy() {}
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnCommand(int id, int code) { (void)id, (void)code; }
    virtual LRESULT OnNotify(const NMHDR& header) { return (void)header, 0; }
    // The close request: a modal window ends with Cancel, any other hides.
    virtual void OnClose();

    // Painting. The client area is painted off screen, background first, then Paint, and copied
    // in one piece; WM_ERASEBKGND does nothing.
    void PaintBackground(HDC dc, const RECT& area) override;
    COLORREF SolidBackground() const override;
    virtual void Paint(HDC dc, const RECT& area) { (void)dc, (void)area; }
    // An owner-drawn control of the form, or of a panel or group box in it; false leaves it undrawn.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& item) { return (void)item, false; }
    // The brush a static text or button fills its background with: by default the background of the
    // window holding it, lined up with the control.
    virtual HBRUSH OnControlColour(HDC dc, HWND control);

    // Makes the controls now if they wait for the first showing (hidden, as after a hiding).
    void MakeControls();
    void SetActiveControl(int id);
    // A 16 x 16 glyph beside the button's caption; the strip's second image shows while disabled.
    void SetButtonGlyph(int id, int stripResource);
    // A picture control shows a bitmap resource composed over the given background.
    void SetPicture(int id, int resource, COLORREF background);
    // A picture control shows the bitmap, which the form keeps until the control is gone.
    void SetPicture(int id, UniqueBitmap bitmap);
    Panel* PanelOf(int id) const;
    GdiCache& Gdi() { return gdi_; }

private:
    friend class WindowProcedure<Form>;
    static constexpr char kWhere[] = "form";
    // Only Owned<T> makes a form something that can be created.
    virtual void HeldByOwned() = 0;
    void Attached(HWND hwnd);
    void Detached(HWND hwnd);
    HWND CreateControl(const ControlLayout& control);
    HFONT FontOfHeight(int height);
    void PaintClient();
    void Activated(bool active);
    void ButtonClicked(int id);
    const ControlLayout* ControlWithRole(ButtonRole role) const;
    int Scaled(int pixels) const;
    bool PressRoleButton(ButtonRole role);
    void ReleasePictures();

    Application& application_;
    const FormLayout* layout_ = nullptr;
    std::map<int, HWND> items_;
    std::map<int, UniqueFont> fonts_;
    GdiCache gdi_;
    std::map<int, std::unique_ptr<Panel>> panels_;
    std::vector<std::unique_ptr<WindowSubclass>> containers_;
    std::vector<std::unique_ptr<WindowSubclass>> accessibles_; // what each control tells a screen reader
    std::vector<UniqueImageList> glyphs_;
    std::map<int, UniqueBitmap> pictures_;
    HWND lastFocus_ = nullptr;
    int modalResult_ = kModalNone;
    bool modal_ = false;
    bool controlsMade_ = false;
    int scale_ = kUnscaled;
    UniqueWindow window_; // last, so that it would go first even without Destroy
};

// How a form is held: the most derived destructor destroys the window, so that every member of
// the form, its own included, outlives the last message the window receives.
// A form of any other kind cannot be made: `TfrmAbout dialog(app);` does not compile.
template <typename T> class Owned final : public T {
public:
    using T::T;
    ~Owned() override { this->Destroy(); }

private:
    void HeldByOwned() override {}
};

} // namespace veltrane
