#include "platform/Form.h"

#include <commctrl.h>

#include "platform/Containers.h"
#include "platform/Window.h"

namespace veltrane {

namespace {

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Picture:
        return {L"Static", SS_NOTIFY, 0};
    case ControlKind::Panel:
        return {kPanelClass, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT};
    case ControlKind::GroupBox:
        return {L"Button", BS_GROUPBOX, WS_EX_CONTROLPARENT};
    case ControlKind::ListView:
        return {WC_LISTVIEWW, WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL, 0};
    case ControlKind::RadioButton:
        return {L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case ControlKind::Button:
        return {L"Button", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::LinkLabel:
        return {L"Static", SS_CENTER | SS_NOTIFY | SS_NOPREFIX, 0};
    case ControlKind::Label:
        return {L"Static", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Edit:
        return {L"Edit", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0};
    }
    return {L"Static", 0, 0};
}

// Font heights are character heights in pixels, as the layouts give them.
UniqueFont FontCreate(const wchar_t* face, int height) {
    LOGFONTW lf{};
    lf.lfHeight = -height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&lf));
}

} // namespace

Form::~Form() = default;

HWND Form::Item(int id) const {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

void Form::Show() {
    ::ShowWindow(Handle(), SW_SHOW);
}
void Form::Hide() {
    ::ShowWindow(Handle(), SW_HIDE);
}
void Form::SetCaption(std::wstring_view text) {
    HwndSetText(Handle(), text);
}
void Form::SetItemText(int id, std::wstring_view text) {
    HwndSetText(Item(id), text);
}

void Form::SetActiveControl(int id) {
    lastFocus_ = Item(id);
    if (::GetActiveWindow() == Handle())
        ::SetFocus(lastFocus_);
}

void Form::CreateFromLayout(const FormLayout& layout) {
    layout_ = &layout;
    PanelClassRegister();
    WindowClassRegister(layout.className, &Form::WindowProc, nullptr, CS_DBLCLKS);
    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    ::AdjustWindowRectEx(&frame, layout.style, FALSE, layout.exStyle);
    ::CreateWindowExW(layout.exStyle, layout.className, layout.caption, layout.style, 0, 0,
                      frame.right - frame.left, frame.bottom - frame.top, App().Handle(), nullptr,
                      ModuleInstance(), this);
    if (!Handle())
        return;
    HwndCenterOnScreen(Handle());
    for (const ControlLayout& control : layout.controls)
        items_[control.id] = CreateControl(control);
    FormCreate();
}

HWND Form::CreateControl(const ControlLayout& control) {
    const ControlClass cls = ClassOf(control.kind);
    HWND parent = control.parent ? Item(control.parent) : Handle();
    HWND hwnd = ::CreateWindowExW(cls.exStyle, cls.className, control.caption,
                                  WS_CHILD | WS_VISIBLE | cls.style | control.style, control.x, control.y,
                                  control.width, control.height, parent, HMENU(INT_PTR(control.id)),
                                  ModuleInstance(), nullptr);
    if (!hwnd)
        return nullptr;
    if (control.kind == ControlKind::Panel)
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(control.color));
    if (control.kind == ControlKind::GroupBox)
        GroupBoxMakeContainer(hwnd);
    const int height = control.fontHeight ? control.fontHeight : layout_->fontHeight;
    ::SendMessageW(hwnd, WM_SETFONT, WPARAM(FontOfHeight(height)), FALSE);
    return hwnd;
}

HFONT Form::FontOfHeight(int height) {
    UniqueFont& font = fonts_[height];
    if (!font)
        font = FontCreate(layout_->fontFace, height);
    return font.Get();
}

HBRUSH Form::BrushOfColor(COLORREF color) {
    UniqueBrush& brush = brushes_[color];
    if (!brush)
        brush.Reset(::CreateSolidBrush(color));
    return brush.Get();
}

LRESULT Form::ControlColor(HDC dc, HWND control) {
    COLORREF color = ContainerColor(control);
    if (color == CLR_INVALID)
        color = layout_->background;
    ::SetBkColor(dc, color);
    ::SetBkMode(dc, TRANSPARENT);
    return LRESULT(BrushOfColor(color));
}

void Form::Activated(bool active) {
    if (!active) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus))
            lastFocus_ = focus;
    } else if (lastFocus_) {
        ::SetFocus(lastFocus_);
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam)
            OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ControlColor(HDC(wParam), HWND(lParam));
    case WM_ERASEBKGND: {
        RECT r;
        ::GetClientRect(Handle(), &r);
        ::FillRect(HDC(wParam), &r, BrushOfColor(layout_->background));
        return TRUE;
    }
    case WM_ACTIVATE:
        Activated(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_.Reset(hwnd);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(self));
    }
    auto* self = reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->layout_)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->window_.Release();
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dispatcher.
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace veltrane
