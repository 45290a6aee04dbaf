#include "platform/Form.h"

#include <commctrl.h>

#include "platform/Accessible.h"
#include "platform/Bitmaps.h"
#include "platform/CommonControls.h"
#include "platform/Guard.h"
#include "platform/LinkLabel.h"
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
        return {nullptr, WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::GroupBox:
        return {L"Button", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::ListView:
        return {WC_LISTVIEWW, WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL, 0};
    case ControlKind::RadioButton:
        return {L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case ControlKind::Button:
        return {L"Button", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::LinkLabel:
        return {kLinkLabelClass, 0, 0};
    case ControlKind::Label:
        return {L"Static", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Edit:
        return {L"Edit", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0};
    }
    return {L"Static", 0, 0};
}

// Font heights are character heights in pixels, as the layouts give them.
bool FontHasChinese(HFONT font) {
    if (!font)
        return false;
    ScreenDC screen;
    const HGDIOBJ old = ::SelectObject(screen.Get(), font);
    FONTSIGNATURE signature{};
    ::GetTextCharsetInfo(screen.Get(), &signature, 0);
    ::SelectObject(screen.Get(), old);
    return (signature.fsCsb[0] & FS_CHINESESIMP) != 0;
}

UniqueFont FontCreate(const wchar_t* face, int height) {
    LOGFONTW lf{};
    lf.lfHeight = -height;
    lf.lfWeight = FW_NORMAL;
    // The texts are Chinese: ask for a font that has their characters whatever the system code page;
    // the edit control does not borrow missing glyphs through font linking.
    lf.lfCharSet = GB2312_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    UniqueFont font(::CreateFontIndirectW(&lf));
    if (!FontHasChinese(font.Get())) {
        // The face asked for may map to a font without the characters (a system without its
        // Chinese fonts); the Sans Serif face is linked to one on every system that has any.
        lstrcpynW(lf.lfFaceName, L"Microsoft Sans Serif", LF_FACESIZE);
        if (UniqueFont linked{::CreateFontIndirectW(&lf)}; FontHasChinese(linked.Get()))
            return linked;
    }
    return font;
}

// Pixels per logical inch of the screen; layouts are drawn for 96.
int ScreenTextScale() {
    const int dpi = ::GetDeviceCaps(ScreenDC().Get(), LOGPIXELSY);
    return dpi > 0 ? dpi : kUnscaled;
}

} // namespace

Form::~Form() {
    Destroy();
}

void Form::Destroy() {
    if (!window_)
        return;
    ReleasePictures();
    window_.Reset(); // WM_NCDESTROY detaches the form
}

int Form::Scaled(int pixels) const {
    return ::MulDiv(pixels, scale_, kUnscaled);
}

HWND Form::Item(int id) const {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

void Form::Show() {
    MakeControls();
    const bool appearing = !::IsWindowVisible(Handle());
    if (appearing)
        HwndHoldOffScreen(Handle());
    ::ShowWindow(Handle(), SW_SHOW);
    if (appearing)
        HwndRevealPainted(Handle());
    App().RefreshTaskbarEntry();
    FormShow();
}

void Form::Hide() {
    ::ShowWindow(Handle(), SW_HIDE);
    App().RefreshTaskbarEntry();
}

void Form::SetCaption(std::wstring_view text) {
    HwndSetText(Handle(), text);
}
std::wstring Form::Caption() const {
    return HwndGetText(Handle());
}
void Form::SetItemText(int id, std::wstring_view text) {
    HwndSetText(Item(id), text);
}
std::wstring Form::ItemText(int id) const {
    return HwndGetText(Item(id));
}

namespace {

bool KeepsReturn(HWND hwnd) {
    return hwnd && (::GetWindowLongW(hwnd, GWL_STYLE) & ES_MULTILINE) != 0;
}

bool ModifierDown() {
    return ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0;
}

} // namespace

int Form::ShowModal() {
    modal_ = true;
    modalResult_ = kModalNone;
    {
        ModalScope others(Handle());
        Show();
        while (modalResult_ == kModalNone) {
            // A window destroyed under the loop (by a handler, or by the system) ends it as Cancel.
            if (!Handle() || !App().HandleOneMessage()) {
                modalResult_ = kModalCancel;
                break;
            }
        }
        others.EnableOthers();
        if (Handle())
            Hide();
    }
    modal_ = false;
    return modalResult_;
}

const ControlLayout* Form::ControlWithRole(ButtonRole role) const {
    for (const ControlLayout& control : layout_->controls)
        if (control.role == role)
            return &control;
    return nullptr;
}

bool Form::PressRoleButton(ButtonRole role) {
    const ControlLayout* control = ControlWithRole(role);
    if (!control || !::IsWindowEnabled(Item(control->id)) || !::IsWindowVisible(Item(control->id)))
        return false;
    ButtonClicked(control->id);
    return true;
}

void Form::ButtonClicked(int id) {
    for (const ControlLayout& control : layout_->controls)
        if (control.id == id && control.modalResult != kModalNone)
            modalResult_ = control.modalResult;
    OnCommand(id, BN_CLICKED);
}

bool Form::PreTranslateMessage(MSG& msg) {
    const bool enterOrEsc = msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && enterOrEsc) {
        HWND focus = ::GetFocus();
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && KeepsReturn(focus))
            return false; // a multi-line box takes its returns, Shift or Ctrl held or not
        if (ModifierDown())
            return true; // no default or cancel button for Enter and Esc with Shift, Ctrl or Alt
        if (msg.wParam == VK_ESCAPE) {
            PressRoleButton(ButtonRole::Cancel);
            return true;
        }
        if (HwndIsPushButton(focus) && ::IsChild(Handle(), focus)) {
            ButtonClicked(::GetDlgCtrlID(focus));
            return true;
        }
        PressRoleButton(ButtonRole::Default);
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0 &&
        KeepsReturn(::GetFocus()) && ::IsChild(Handle(), ::GetFocus())) {
        // Tab leaves a multi-line text box as any other control; Ctrl+Tab is the box's own.
        if (HWND next = ::GetNextDlgTabItem(Handle(), ::GetFocus(), ::GetKeyState(VK_SHIFT) < 0))
            ::SetFocus(next);
        return true;
    }
    return ::IsDialogMessageW(Handle(), &msg) != FALSE;
}

void Form::OnClose() {
    if (modal_)
        modalResult_ = kModalCancel;
    else
        Hide();
}

void Form::SetButtonGlyph(int id, int stripResource) {
    UniqueImageList list = ButtonGlyphList(stripResource);
    if (!list)
        return;
    BUTTON_IMAGELIST glyph{list.Get(), {4, 0, 2, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
    ::SendMessageW(Item(id), BCM_SETIMAGELIST, 0, LPARAM(&glyph));
    glyphs_.push_back(std::move(list));
}

void Form::SetPicture(int id, int resource, COLORREF background) {
    SetPicture(id, BitmapLoadOver(resource, background));
}

void Form::SetPicture(int id, UniqueBitmap bitmap) {
    UniqueBitmap& shown = pictures_[id];
    StaticSetBitmap(Item(id), bitmap.Get(), shown.Get());
    shown = std::move(bitmap);
}

// Takes each picture back from its control, so that a copy the control made is freed too.
void Form::ReleasePictures() {
    for (auto& [id, bitmap] : pictures_)
        StaticSetBitmap(Item(id), nullptr, bitmap.Get());
}

Panel* Form::PanelOf(int id) const {
    auto it = panels_.find(id);
    return it == panels_.end() ? nullptr : it->second.get();
}

void Form::SetActiveControl(int id) {
    lastFocus_ = Item(id);
    if (::GetActiveWindow() == Handle())
        ::SetFocus(lastFocus_);
}

void Form::CreateFromLayout(const FormLayout& layout, Controls when) {
    layout_ = &layout;
    LinkLabelClassRegister();
    scale_ = layout.scalesWithTextSize ? ScreenTextScale() : kUnscaled;
    WindowClassRegister(layout.className, &WindowProcedure<Form>::Procedure, nullptr, CS_DBLCLKS, false);
    RECT frame{0, 0, Scaled(layout.clientWidth), Scaled(layout.clientHeight)};
    ::AdjustWindowRectEx(&frame, layout.style, FALSE, layout.exStyle);
    // Forms and the panels and boxes in them paint their background off screen and never under
    // their controls: a repainting of the whole window (as when it is revealed) then shows no
    // control blanked until it paints again.
    ::CreateWindowExW(layout.exStyle, layout.className, layout.caption, layout.style | WS_CLIPCHILDREN, 0, 0,
                      frame.right - frame.left, frame.bottom - frame.top, App().Handle(), nullptr,
                      ModuleInstance(), this);
    if (!Handle())
        return;
    // Dialog frames carry the close box alone; other windows show the program's icon before it.
    if (!(layout.exStyle & WS_EX_DLGMODALFRAME))
        HwndSetProgramIcon(Handle());
    HwndCentre(Handle());
    if (when == Controls::WithWindow)
        MakeControls();
    CreateComponents();
    FormCreate();
}

void Form::MakeControls() {
    if (controlsMade_ || !Handle())
        return;
    controlsMade_ = true;
    comctl::FormClassesRegister();
    for (const ControlLayout& control : layout_->controls)
        items_[control.id] = CreateControl(control);
    ControlsCreated();
}

HWND Form::CreateControl(const ControlLayout& control) {
    const ControlClass cls = ClassOf(control.kind);
    HWND parent = control.parent ? Item(control.parent) : Handle();
    const RECT bounds{Scaled(control.x), Scaled(control.y), Scaled(control.x + control.width),
                      Scaled(control.y + control.height)};
    HWND hwnd = nullptr;
    if (control.kind == ControlKind::Panel) {
        auto panel =
            std::make_unique<Panel>(control.colour == kNoColour ? SolidBackground() : control.colour);
        hwnd = panel->Create(parent, control.id, bounds, cls.style | control.style, cls.exStyle);
        panels_[control.id] = std::move(panel);
    } else {
        hwnd = ::CreateWindowExW(cls.exStyle, cls.className, control.caption,
                                 WS_CHILD | WS_VISIBLE | cls.style | control.style, bounds.left, bounds.top,
                                 bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                 HMENU(INT_PTR(control.id)), ModuleInstance(), nullptr);
    }
    if (!hwnd)
        return nullptr;
    if (control.kind == ControlKind::GroupBox) {
        auto container = std::make_unique<GroupBoxContainer>();
        container->Attach(hwnd);
        containers_.push_back(std::move(container));
    }
    if (auto accessible = AccessibleAttach(hwnd, control, App().Apartment()))
        accessibles_.push_back(std::move(accessible));
    const int height = control.fontHeight ? control.fontHeight : layout_->fontHeight;
    ::SendMessageW(hwnd, WM_SETFONT, WPARAM(FontOfHeight(height)), FALSE);
    return hwnd;
}

HFONT Form::FontOfHeight(int height) {
    UniqueFont& font = fonts_[height];
    if (!font)
        font = FontCreate(layout_->fontFace, Scaled(height));
    return font.Get();
}

COLORREF Form::SolidBackground() const {
    return layout_->background == kNoColour ? ::GetSysColor(COLOR_BTNFACE) : layout_->background;
}

void Form::PaintBackground(HDC dc, const RECT& area) {
    ::FillRect(dc, &area, gdi_.Brush(SolidBackground()));
}

HBRUSH Form::OnControlColour(HDC dc, HWND control) {
    BackgroundProvider* holder = BackgroundProviderOf(control);
    return (holder ? holder : this)->BrushFor(control, dc);
}

void Form::PaintClient() {
    PaintDC paint(Handle());
    DoubleBuffer buffer(paint.Get(), paint.Area());
    PaintBackground(buffer.Get(), paint.Area());
    Paint(buffer.Get(), paint.Area());
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
        // Commands without a control (menus, the dialog manager's IDOK/IDCANCEL) are not ours.
        if (lParam && HIWORD(wParam) == BN_CLICKED && HwndIsPushButton(HWND(lParam)))
            ButtonClicked(LOWORD(wParam));
        else if (lParam)
            OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return LRESULT(OnControlColour(HDC(wParam), HWND(lParam)));
    case WM_DRAWITEM:
        if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_ERASEBKGND:
        return TRUE; // the background is painted with the rest, off screen
    case WM_PAINT:
        PaintClient();
        return 0;
    case WM_PRINTCLIENT: {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        PaintBackground(HDC(wParam), client);
        Paint(HDC(wParam), client);
        return 0;
    }
    case WM_ACTIVATE:
        Activated(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SHOWWINDOW:
        if (wParam)
            MakeControls(); // shown by someone else than Show()
        break;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        FormDestroy();
        break;
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

void Form::Attached(HWND hwnd) {
    window_.Reset(hwnd);
    Application::SetNavigator(hwnd, this);
    ProvideFor(hwnd);
}

void Form::Detached(HWND hwnd) {
    window_.Release();
    Withdraw();
    Application::SetNavigator(hwnd, nullptr);
    items_.clear();
}

} // namespace veltrane
