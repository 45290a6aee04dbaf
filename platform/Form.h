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

class Form {
public:
    explicit Form(Application& application) : application_(application) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    HWND Handle() const { return window_.Get(); }
    HWND Item(int id) const;
    Application& App() const { return application_; }

    void Show();
    void Hide();
    bool IsVisible() const { return ::IsWindowVisible(Handle()) != FALSE; }
    void SetCaption(std::wstring_view text);
    void SetItemText(int id, std::wstring_view text);

protected:
    // Creates the window hidden, centred on the screen, owned by the application window, with
    // every control of the layout; then runs FormCreate.
    void CreateFromLayout(const FormLayout& layout);
    virtual void FormCreate() {}
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnCommand(int id, int code) { (void)id, (void)code; }
    virtual LRESULT OnNotify(const NMHDR& header) { return (void)header, 0; }
    // The close request; the base hides the window instead of destroying it.
    virtual void OnClose() { Hide(); }
    void SetActiveControl(int id);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateControl(const ControlLayout& control);
    HFONT FontOfHeight(int height);
    HBRUSH BrushOfColor(COLORREF color);
    LRESULT ControlColor(HDC dc, HWND control);
    void Activated(bool active);

    Application& application_;
    UniqueWindow window_;
    const FormLayout* layout_ = nullptr;
    std::map<int, HWND> items_;
    std::map<int, UniqueFont> fonts_;
    std::map<COLORREF, UniqueBrush> brushes_;
    HWND lastFocus_ = nullptr;
};

} // namespace veltrane
