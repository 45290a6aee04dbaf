#include "platform/Accessible.h"

#include <ole2.h>
#include <oleacc.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <utility>

#include "platform/Com.h"
#include "platform/Guard.h"
#include "platform/LinkLabel.h"
#include "platform/Window.h"

namespace veltrane {

namespace {

// Interface ids come from __uuidof: x86-64 MinGW's oleacc import library links IID_IAccessible to a
// code thunk instead of the GUID.

// Default actions in the words of Windows' proxies; screen readers translate them.
constexpr wchar_t kPress[] = L"Press";
constexpr wchar_t kCheck[] = L"Check";
constexpr wchar_t kUncheck[] = L"Uncheck";
constexpr wchar_t kJump[] = L"Jump";

constexpr int kMaxCellText = 256;

// Carries a picture's link name to its subclass.
UINT PictureLinkMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Veltrane.AccessiblePictureLink");
    return message;
}

LONG StyleOf(HWND hwnd) {
    return ::GetWindowLongW(hwnd, GWL_STYLE);
}

bool IsClass(HWND hwnd, const wchar_t* name) {
    return HwndClassIs(hwnd, name);
}

bool IsGroupBox(HWND hwnd) {
    return IsClass(hwnd, L"Button") && (StyleOf(hwnd) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsSeparator(HWND label) {
    const LONG type = StyleOf(label) & SS_TYPEMASK;
    return type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT || type == SS_ETCHEDFRAME;
}

bool IsTextLabel(HWND hwnd) {
    if (!IsClass(hwnd, L"Static"))
        return false;
    const LONG type = StyleOf(hwnd) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
           type == SS_LEFTNOWORDWRAP;
}

bool IsPassword(HWND edit) {
    return (StyleOf(edit) & ES_PASSWORD) || ::SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0) != 0;
}

// A caption as it is read: the '&' that marks an access key goes, "&&" is one '&'.
std::wstring WithoutMnemonic(const std::wstring& text) {
    std::wstring read;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && ++i == text.size())
            break;
        read += text[i];
    }
    return read;
}

std::wstring LabelText(HWND label) {
    const std::wstring text = HwndGetText(label);
    return (StyleOf(label) & SS_NOPREFIX) ? text : WithoutMnemonic(text);
}

// A control without a caption of its own is named by the text label on its left, as the eye pairs
// them (the layouts do not put labels before their fields in window order); failing that, by the
// group box that holds it.
std::wstring LabelName(HWND control) {
    RECT own{};
    ::GetWindowRect(control, &own);
    HWND label = nullptr;
    LONG labelRight = LONG_MIN;
    for (HWND sibling = ::GetWindow(control, GW_HWNDFIRST); sibling;
         sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == control || !(StyleOf(sibling) & WS_VISIBLE) || !IsTextLabel(sibling))
            continue;
        RECT r{};
        ::GetWindowRect(sibling, &r);
        const LONG middle = (r.top + r.bottom) / 2;
        if (r.right <= own.left && middle >= own.top && middle < own.bottom && r.right > labelRight) {
            label = sibling;
            labelRight = r.right;
        }
    }
    if (label)
        return LabelText(label);
    HWND parent = ::GetParent(control);
    return IsGroupBox(parent) ? WithoutMnemonic(HwndGetText(parent)) : std::wstring();
}

int RowCount(HWND list) {
    return int(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool RowChecked(HWND list, int row) {
    return ((ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

// A row reads as its cells, left to right.
std::wstring RowName(HWND list, int row) {
    const int columns = std::max(1, Header_GetItemCount(ListView_GetHeader(list)));
    std::wstring name;
    for (int column = 0; column < columns; ++column) {
        wchar_t cell[kMaxCellText] = {};
        ListView_GetItemText(list, row, column, cell, kMaxCellText);
        if (!cell[0])
            continue;
        if (!name.empty())
            name += L' ';
        name += cell;
    }
    return name;
}

LONG RowState(HWND list, int row) {
    LONG state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    const UINT bits = ListView_GetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED);
    if (bits & LVIS_SELECTED)
        state |= STATE_SYSTEM_SELECTED;
    if ((bits & LVIS_FOCUSED) && ::GetFocus() == list)
        state |= STATE_SYSTEM_FOCUSED;
    if (RowChecked(list, row))
        state |= STATE_SYSTEM_CHECKED;
    if (!::IsWindowVisible(list))
        state |= STATE_SYSTEM_INVISIBLE;
    return state;
}

HRESULT TextResult(const std::wstring& text, BSTR* out) {
    if (text.empty())
        return S_FALSE;
    *out = ComAllocString(text.data(), UINT(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ChildIdResult(int id, VARIANT* out) {
    out->vt = VT_I4;
    out->lVal = id;
    return S_OK;
}

HRESULT NoChildResult(VARIANT* out) {
    out->vt = VT_EMPTY;
    return S_FALSE;
}

// The accessible object of one control. What it does not answer itself goes to the standard object
// the system made for the window. It lives on the window's thread; clients in other processes reach
// it through the thread's apartment.
class ControlAccessible final : public IAccessible, public IOleWindow {
public:
    ControlAccessible(HWND window, ControlKind kind, bool isDefault, std::wstring linkName,
                      ComRef<IAccessible> standard)
        : window_(window), kind_(kind), isDefault_(isDefault), linkName_(std::move(linkName)),
          standard_(std::move(standard)) {}
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    void SetLinkName(std::wstring name) { linkName_ = std::move(name); }
    // The window is going: from now on every call fails as on an object whose server has gone.
    void Disconnect() {
        standard_.Reset();
        window_ = nullptr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
        } else if (iid == __uuidof(IOleWindow)) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return ULONG(left);
    }

    // IDispatch. No late binding: assistive technology calls IAccessible directly, and passing
    // Invoke to the standard object would give its answers instead of this object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out)
            return E_POINTER;
        *out = window_;
        return window_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Call(parent, [&] { return standard_->get_accParent(parent); });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return Call(count, [&] {
            if (!IsList())
                return standard_->get_accChildCount(count);
            *count = RowCount(window_);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return Call(object, [&] {
            if (!IsList())
                return standard_->get_accChild(child, object);
            return RowOf(child) ? S_FALSE : E_INVALIDARG; // rows are simple elements, not objects
        });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Call(name, [&] {
            return ForElement(
                child, [&] { return TextResult(Name(), name); },
                [&](int row) { return TextResult(RowName(window_, row), name); },
                [&] { return standard_->get_accName(child, name); });
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Call(value, [&] {
            return ForElement(
                child,
                [&] {
                    if (kind_ != ControlKind::Edit)
                        return standard_->get_accValue(child, value);
                    // Never the password itself, nor its length.
                    return IsPassword(window_) ? E_ACCESSDENIED : TextResult(HwndGetText(window_), value);
                },
                [&](int) { return S_FALSE; }, [&] { return standard_->get_accValue(child, value); });
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Call(
            text, [&] { return Passed(child, [&] { return standard_->get_accDescription(child, text); }); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Call(role, [&] {
            return ForElement(
                child, [&] { return ChildIdResult(Role(), role); },
                [&](int) { return ChildIdResult(ROLE_SYSTEM_LISTITEM, role); },
                [&] { return standard_->get_accRole(child, role); });
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Call(state, [&] {
            return ForElement(
                child, [&] { return ChildIdResult(State(), state); },
                [&](int row) { return ChildIdResult(RowState(window_, row), state); },
                [&] { return standard_->get_accState(child, state); });
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Call(help, [&] { return Passed(child, [&] { return standard_->get_accHelp(child, help); }); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (!topic)
            return E_POINTER;
        *topic = 0;
        return Call(file, [&] {
            return Passed(child, [&] { return standard_->get_accHelpTopic(file, child, topic); });
        });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return Call(keys, [&] {
            return Passed(child, [&] { return standard_->get_accKeyboardShortcut(child, keys); });
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return Call(focus, [&] {
            if (!IsList())
                return standard_->get_accFocus(focus);
            if (::GetFocus() != window_)
                return NoChildResult(focus);
            const int row = ListView_GetNextItem(window_, -1, LVNI_FOCUSED);
            return ChildIdResult(row >= 0 ? row + 1 : CHILDID_SELF, focus);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Call(selection, [&] {
            if (!IsList())
                return standard_->get_accSelection(selection);
            const int row = ListView_GetNextItem(window_, -1, LVNI_SELECTED);
            return row >= 0 ? ChildIdResult(row + 1, selection) : NoChildResult(selection);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Call(action, [&] {
            return ForElement(
                child, [&] { return TextResult(DefaultAction(), action); },
                [&](int row) { return TextResult(RowChecked(window_, row) ? kUncheck : kCheck, action); },
                [&] { return standard_->get_accDefaultAction(child, action); });
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Run([&] {
            return ForElement(
                child, [&] { return standard_->accSelect(flags, child); },
                [&](int row) {
                    SelectRow(row, flags);
                    return S_OK;
                },
                [&] { return standard_->accSelect(flags, child); });
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height)
            return E_POINTER;
        *left = *top = *width = *height = 0;
        return Run([&] {
            return ForElement(
                child, [&] { return standard_->accLocation(left, top, width, height, child); },
                [&](int row) {
                    RECT r{};
                    ListView_GetItemRect(window_, row, &r, LVIR_BOUNDS);
                    ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
                    *left = r.left, *top = r.top, *width = r.right - r.left, *height = r.bottom - r.top;
                    return S_OK;
                },
                [&] { return standard_->accLocation(left, top, width, height, child); });
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return Call(end, [&] {
            return ForElement(
                start, [&] { return NavigateFromList(direction, start, end); },
                [&](int row) { return NavigateFromRow(row, direction, end); },
                [&] { return standard_->accNavigate(direction, start, end); });
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        return Call(hit, [&] {
            if (IsList()) {
                LVHITTESTINFO test{};
                test.pt = {x, y};
                ::ScreenToClient(window_, &test.pt);
                const int row = ListView_HitTest(window_, &test);
                if (row >= 0)
                    return ChildIdResult(row + 1, hit);
            }
            return standard_->accHitTest(x, y, hit);
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Run([&] {
            return ForElement(
                child, [&] { return DoDefaultAction(); },
                [&](int row) {
                    ListView_SetCheckState(window_, row, !RowChecked(window_, row));
                    return S_OK;
                },
                [&] { return standard_->accDoDefaultAction(child); });
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return Run([&] { return Passed(child, [&] { return standard_->put_accName(child, name); }); });
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return Run([&] { return Passed(child, [&] { return standard_->put_accValue(child, value); }); });
    }

private:
    ~ControlAccessible() = default; // only Release deletes

    // Every call runs through Run: none after the window has gone, no exception out to the caller.
    template <typename Body> HRESULT Run(Body&& body) noexcept {
        if (!standard_)
            return RPC_E_DISCONNECTED;
        try {
            return body();
        } catch (...) {
            CaughtErrorRecord("accessible object", WM_GETOBJECT);
            return E_FAIL;
        }
    }
    // The answer is cleared first, so that a failed call hands back nothing to free.
    template <typename Out, typename Body> HRESULT Call(Out* out, Body&& body) noexcept {
        if (!out)
            return E_POINTER;
        Clear(out);
        return Run(std::forward<Body>(body));
    }
    static void Clear(VARIANT* out) { out->vt = VT_EMPTY; } // what VariantInit does
    template <typename T> static void Clear(T* out) { *out = {}; }

    bool IsList() const { return kind_ == ControlKind::ListView; }

    // The row a list's child id names (ids count from 1), if it names one.
    std::optional<int> RowOf(const VARIANT& child) const {
        if (!IsList() || child.vt != VT_I4 || child.lVal < 1 || child.lVal > RowCount(window_))
            return std::nullopt;
        return int(child.lVal - 1);
    }

    // Picks the answer for the control itself, for one of the list's rows, or for any other
    // child, which the standard object knows (a list has no other children).
    template <typename Self, typename Row, typename Other>
    HRESULT ForElement(const VARIANT& child, Self&& self, Row&& row, Other&& other) const {
        if (child.vt != VT_I4)
            return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF)
            return self();
        if (std::optional<int> index = RowOf(child))
            return row(*index);
        return IsList() ? E_INVALIDARG : other();
    }
    // Properties this object leaves to the standard one; a row has none of them.
    template <typename Standard> HRESULT Passed(const VARIANT& child, Standard&& standard) const {
        return ForElement(
            child, standard, [](int) { return S_FALSE; }, standard);
    }

    std::wstring Name() const {
        switch (kind_) {
        case ControlKind::Button:
        case ControlKind::RadioButton:
        case ControlKind::GroupBox:
            return WithoutMnemonic(HwndGetText(window_));
        case ControlKind::Label:
            return IsSeparator(window_) ? std::wstring() : LabelText(window_);
        case ControlKind::LinkLabel:
            return HwndGetText(window_); // drawn without access keys
        case ControlKind::Edit:
        case ControlKind::ListView:
            return LabelName(window_);
        case ControlKind::Picture:
            return linkName_;
        case ControlKind::Panel:
            break;
        }
        return {};
    }

    bool IsLink() const {
        return kind_ == ControlKind::LinkLabel || (kind_ == ControlKind::Picture && !linkName_.empty());
    }

    long Role() const {
        if (IsLink())
            return ROLE_SYSTEM_LINK;
        switch (kind_) {
        case ControlKind::Button:
            return ROLE_SYSTEM_PUSHBUTTON;
        case ControlKind::RadioButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case ControlKind::GroupBox:
            return ROLE_SYSTEM_GROUPING;
        case ControlKind::ListView:
            return ROLE_SYSTEM_LIST;
        case ControlKind::Label:
            return IsSeparator(window_) ? ROLE_SYSTEM_SEPARATOR : ROLE_SYSTEM_STATICTEXT;
        case ControlKind::Edit:
            return ROLE_SYSTEM_TEXT;
        case ControlKind::Picture:
            return ROLE_SYSTEM_GRAPHIC;
        case ControlKind::LinkLabel:
        case ControlKind::Panel:
            break;
        }
        return ROLE_SYSTEM_CLIENT;
    }

    long State() const {
        long state = 0;
        if (!::IsWindowVisible(window_))
            state |= STATE_SYSTEM_INVISIBLE;
        if (!::IsWindowEnabled(window_))
            state |= STATE_SYSTEM_UNAVAILABLE;
        switch (kind_) {
        case ControlKind::Button:
            if (::SendMessageW(window_, BM_GETSTATE, 0, 0) & BST_PUSHED)
                state |= STATE_SYSTEM_PRESSED;
            if (isDefault_)
                state |= STATE_SYSTEM_DEFAULT;
            return state | Focus();
        case ControlKind::RadioButton:
            if (::SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED)
                state |= STATE_SYSTEM_CHECKED;
            return state | Focus();
        case ControlKind::Edit:
            if (IsPassword(window_))
                state |= STATE_SYSTEM_PROTECTED;
            if (StyleOf(window_) & ES_READONLY)
                state |= STATE_SYSTEM_READONLY;
            return state | Focus();
        case ControlKind::ListView:
            return state | Focus();
        case ControlKind::LinkLabel:
            return state | STATE_SYSTEM_LINKED | (LinkLabelVisited(window_) ? STATE_SYSTEM_TRAVERSED : 0);
        case ControlKind::Picture:
            return state | (IsLink() ? STATE_SYSTEM_LINKED : STATE_SYSTEM_READONLY);
        case ControlKind::Label:
            return state | STATE_SYSTEM_READONLY;
        case ControlKind::GroupBox:
        case ControlKind::Panel:
            break;
        }
        return state;
    }

    long Focus() const {
        return STATE_SYSTEM_FOCUSABLE | (::GetFocus() == window_ ? STATE_SYSTEM_FOCUSED : 0);
    }

    std::wstring DefaultAction() const {
        if (IsLink())
            return kJump;
        if (kind_ == ControlKind::Button)
            return kPress;
        if (kind_ == ControlKind::RadioButton)
            return kCheck;
        return {};
    }

    // Posted, as a click is: the action may open a modal window, and the caller waits for the answer.
    HRESULT DoDefaultAction() const {
        if (kind_ == ControlKind::LinkLabel) {
            LinkLabelClickLater(window_);
        } else if (IsLink()) {
            ::PostMessageW(::GetParent(window_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(window_), STN_CLICKED),
                           LPARAM(window_));
        } else if (kind_ == ControlKind::Button || kind_ == ControlKind::RadioButton) {
            ::PostMessageW(window_, BM_CLICK, 0, 0);
        } else {
            return DISP_E_MEMBERNOTFOUND;
        }
        return S_OK;
    }

    void SelectRow(int row, long flags) const {
        if (flags & SELFLAG_TAKEFOCUS) {
            ::SetFocus(window_);
            ListView_SetItemState(window_, row, LVIS_FOCUSED, LVIS_FOCUSED);
        }
        if (flags & SELFLAG_TAKESELECTION)
            ListView_SetItemState(window_, -1, 0, LVIS_SELECTED);
        if (flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION))
            ListView_SetItemState(window_, row, LVIS_SELECTED, LVIS_SELECTED);
        if (flags & SELFLAG_REMOVESELECTION)
            ListView_SetItemState(window_, row, 0, LVIS_SELECTED);
    }

    HRESULT NavigateFromList(long direction, const VARIANT& start, VARIANT* end) const {
        if (!IsList() || (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD))
            return standard_->accNavigate(direction, start, end);
        const int count = RowCount(window_);
        if (count == 0)
            return NoChildResult(end);
        return ChildIdResult(direction == NAVDIR_FIRSTCHILD ? 1 : count, end);
    }

    HRESULT NavigateFromRow(int row, long direction, VARIANT* end) const {
        int next = -1;
        if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)
            next = row + 1;
        else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)
            next = row - 1;
        if (next < 0 || next >= RowCount(window_))
            return NoChildResult(end);
        return ChildIdResult(next + 1, end);
    }

    LONG references_ = 1;
    HWND window_;
    ControlKind kind_;
    bool isDefault_;
    std::wstring linkName_;
    ComRef<IAccessible> standard_;
};

// Answers the window's WM_GETOBJECT with its accessible object, made on the first request and let go
// when the window is destroyed; clients that still hold it then find it disconnected.
class AccessibleSubclass final : public WindowSubclass {
public:
    AccessibleSubclass(ControlKind kind, bool isDefault, ComApartment& apartment)
        : kind_(kind), isDefault_(isDefault), apartment_(apartment) {}
    ~AccessibleSubclass() override { LetGo(); }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        // The object id is compared as a DWORD: on 64-bit Windows lParam may carry it sign-extended.
        if (message == WM_GETOBJECT && DWORD(lParam) == DWORD(OBJID_CLIENT)) {
            if (IAccessible* object = Object())
                return AccResultFromObject(__uuidof(IAccessible), wParam, object);
        } else if (message == WM_DESTROY) {
            gone_ = true;
            LetGo();
        } else if (message == PictureLinkMessage() && kind_ == ControlKind::Picture) {
            linkName_ = *reinterpret_cast<const std::wstring_view*>(lParam);
            if (object_)
                object_->SetLinkName(linkName_);
            return TRUE;
        }
        return Default(message, wParam, lParam);
    }

    IAccessible* Object() {
        if (!object_ && !gone_) {
            apartment_.Join();
            ComRef<IAccessible> standard;
            if (FAILED(
                    AccCreateStdObject(Window(), OBJID_CLIENT, __uuidof(IAccessible), standard.PutVoid())) ||
                !standard)
                return nullptr;
            object_.Reset(new ControlAccessible(Window(), kind_, isDefault_, linkName_, std::move(standard)));
        }
        return object_.Get();
    }

    void LetGo() {
        if (!object_)
            return;
        object_->Disconnect();
        // Clients in other processes lose their hold too, so the object goes now.
        ComDisconnectObject(static_cast<IAccessible*>(object_.Get()));
        object_.Reset();
    }

    ControlKind kind_;
    bool isDefault_;
    ComApartment& apartment_;
    bool gone_ = false;
    std::wstring linkName_;
    ComRef<ControlAccessible> object_;
};

} // namespace

std::unique_ptr<WindowSubclass> AccessibleAttach(HWND control, const ControlLayout& layout,
                                                 ComApartment& apartment) {
    if (!control || layout.kind == ControlKind::Panel)
        return nullptr;
    auto subclass =
        std::make_unique<AccessibleSubclass>(layout.kind, layout.role == ButtonRole::Default, apartment);
    if (!subclass->Attach(control))
        return nullptr;
    return subclass;
}

void AccessiblePictureLink(HWND picture, std::wstring_view name) {
    ::SendMessageW(picture, PictureLinkMessage(), 0, LPARAM(&name));
}

} // namespace veltrane
