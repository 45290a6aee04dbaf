// A skinned pop-up menu window: the window's background and border from [MenuBackground], every item
// from [MenuItem] and the menu colours.
//
// The system draws a selected item straight onto the menu window when the selection changes (Wine
// without any message to the window), so the items are made owner-drawn while the window shows
// them: every drawing of an item, on selection changes too, then comes to the menu's owner as
// WM_DRAWITEM, which a subclass of the owner paints off screen. The window itself paints its
// background and all the items in WM_PAINT. The items get their own type back when the window goes.
//
// The items turn owner-drawn once the window knows its menu, before the system measures them, so
// they ask for the size of MenuItemMeasure. Without a known owner they stay the system's, and so
// does the whole window.

#include "toolkit/win/SkinnedMenu.h"

#include "toolkit/win/ControlLook.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/Guard.h"
#include "platform/Handles.h"
#include "platform/Paint.h"
#include "toolkit/skinning/MenuLook.h"
#include "toolkit/win/GdiDraw.h"
#include "toolkit/win/SkinnedFrame.h"
#include "toolkit/win/TSkinComponent.h"

namespace veltrane {

namespace {

constexpr UINT kMenuGetHandle = 0x01E1; // MN_GETHMENU: the menu a pop-up menu window shows

PixelRect Moved(PixelRect r, int dx, int dy) {
    r.x += dx;
    r.y += dy;
    return r;
}

// A tick in the check mark's square.
void CheckDraw(HDC dc, const PixelRect& r, HPEN pen) {
    if (r.Empty())
        return;
    ScopedSelect selected(dc, pen);
    const int x = r.x + r.width / 4;
    const int y = r.y + r.height / 2;
    ::MoveToEx(dc, x, y, nullptr);
    ::LineTo(dc, x + r.width / 5, y + r.height / 4);
    ::LineTo(dc, r.x + r.width * 3 / 4, r.y + r.height / 4);
}

bool MouseButtonDown() {
    return (::GetAsyncKeyState(VK_LBUTTON) | ::GetAsyncKeyState(VK_RBUTTON) |
            ::GetAsyncKeyState(VK_MBUTTON)) &
           0x8000;
}

class SkinnedMenu;

// An item while the window shows it owner-drawn, with what it was before.
struct MenuItemRecord {
    UINT position = 0;
    UINT type = 0;
    ULONG_PTR data = 0;
    std::wstring text;
};

// On the menu's owner: the measuring, drawing and mnemonic keys of the owner-drawn items.
class MenuOwnerLook final : public WindowSubclass {
public:
    explicit MenuOwnerLook(SkinnedMenu& menu) : menu_(menu) {}

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    SkinnedMenu& menu_;
};

class SkinnedMenu final : public WindowSubclass {
public:
    explicit SkinnedMenu(TSkinComponent& skin);
    ~SkinnedMenu() override;

    bool Start(HWND window);
    HMENU Menu() const { return menu_; }
    void OwnerSet(HWND owner);
    // The menu once the system has handed it to the window (`hint` where it cannot tell yet).
    void MenuFind(HMENU hint = nullptr);
    // Makes the items owner-drawn; items already owner-drawn or drawn as bitmaps are left alone.
    void ItemsMakeOwnerDrawn();

    const MenuItemRecord* Record(ULONG_PTR data) const;
    void Measure(MEASUREITEMSTRUCT& measure, const MenuItemRecord& item) const;
    void DrawItem(const DRAWITEMSTRUCT& draw, const MenuItemRecord& item);
    int MnemonicFind(wchar_t key) const;

private:
    // Where the client area lies in the window and the window's size.
    struct Shape {
        int width = 0;
        int height = 0;
        POINT client{}; // the client area's origin in window coordinates
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ItemsRestoreTypes();
    void MetricsRead();
    Shape ShapeNow() const;
    PixelRect InnerClient(const Shape& shape) const;
    UINT ItemStateRead(UINT position) const;
    HDC Background(const Shape& shape);
    void BackgroundCopy(HDC dc, const Shape& shape, const PixelRect& clientArea);
    void PaintClient(HDC dc);
    void PaintFrame();
    void PaintWindow(HDC dc);
    void ItemPaint(HDC dc, const Shape& shape, const PixelRect& item, const MenuItemRecord& record,
                   const MenuItemState& state, bool systemHidesAccel);
    const SkinModel& Model() const { return *skin_.Model(); }

    TSkinComponent& skin_;
    HMENU menu_ = nullptr;
    std::vector<std::unique_ptr<MenuItemRecord>> records_;
    std::unique_ptr<MenuOwnerLook> owner_;
    MenuMetrics metrics_;
    UniqueFont font_;
    UniqueFont boldFont_;
    BitmapDC background_;
    bool cuesAlways_ = false;
    bool keyboardUsed_ = false;
};

// The menus shown now, for the hook that finds their owners on systems whose menu windows have none.
struct MenuRegistry {
    std::vector<SkinnedMenu*> menus;
    UniqueHandle<NullHandleTraits<HHOOK, &::UnhookWindowsHookEx>> hook;
};

MenuRegistry& Registry() {
    // The user-interface thread's; never freed, as the manager may free menus as the process ends.
    static MenuRegistry* registry = new MenuRegistry;
    return *registry;
}

// The owner is the window the menu's WM_INITMENUPOPUP goes to; it comes before the items are measured.
void OwnerMessageSeen(const CWPSTRUCT& m) {
    if (m.message != WM_INITMENUPOPUP)
        return;
    const HMENU shown = HMENU(m.wParam);
    std::vector<SkinnedMenu*>& menus = Registry().menus;
    for (auto it = menus.rbegin(); it != menus.rend(); ++it) {
        SkinnedMenu& menu = **it;
        if (menu.Menu() && menu.Menu() != shown)
            continue;
        menu.OwnerSet(m.hwnd);
        menu.MenuFind(shown);
        break;
    }
}

LRESULT CALLBACK OwnerHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION)
        MessageGuard(
            "menu hook", 0,
            [&] {
                OwnerMessageSeen(*reinterpret_cast<const CWPSTRUCT*>(lParam));
                return 0;
            },
            [] { return 0; });
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT MenuOwnerLook::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MEASUREITEM: {
        auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure.CtlType == ODT_MENU)
            if (const MenuItemRecord* item = menu_.Record(measure.itemData)) {
                menu_.Measure(measure, *item);
                return TRUE;
            }
        break;
    }
    case WM_DRAWITEM: {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlType == ODT_MENU && HMENU(draw.hwndItem) == menu_.Menu())
            if (const MenuItemRecord* item = menu_.Record(draw.itemData)) {
                menu_.DrawItem(draw, *item);
                return TRUE;
            }
        break;
    }
    case WM_MENUCHAR:
        // Windows leaves the mnemonics of owner-drawn items to their owner.
        if (HMENU(lParam) == menu_.Menu())
            if (const int position = menu_.MnemonicFind(LOWORD(wParam)); position >= 0)
                return MAKELRESULT(position, MNC_EXECUTE);
        break;
    case WM_INITMENUPOPUP:
        // Items the owner adds as the menu opens are taken too.
        return DefaultThen(message, wParam, lParam, [&] {
            if (HMENU(wParam) == menu_.Menu())
                menu_.ItemsMakeOwnerDrawn();
        });
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

SkinnedMenu::SkinnedMenu(TSkinComponent& skin) : skin_(skin) {
    BOOL cues = FALSE;
    cuesAlways_ = ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0) && cues;
    // A menu opened without a mouse button held was opened from the keyboard.
    keyboardUsed_ = !MouseButtonDown();
    MetricsRead();
}

SkinnedMenu::~SkinnedMenu() {
    owner_.reset();
    ItemsRestoreTypes();
    MenuRegistry& registry = Registry();
    std::erase(registry.menus, this);
    if (registry.menus.empty())
        registry.hook.Reset();
}

bool SkinnedMenu::Start(HWND window) {
    if (!Attach(window))
        return false;
    MenuRegistry& registry = Registry();
    registry.menus.push_back(this);
    if (!registry.hook)
        registry.hook.Reset(
            ::SetWindowsHookExW(WH_CALLWNDPROC, &OwnerHookProc, nullptr, ::GetCurrentThreadId()));
    OwnerSet(::GetWindow(window, GW_OWNER));
    MenuFind();
    return true;
}

void SkinnedMenu::OwnerSet(HWND owner) {
    if (owner_ || !owner || ::GetWindowThreadProcessId(owner, nullptr) != ::GetCurrentThreadId())
        return;
    owner_ = std::make_unique<MenuOwnerLook>(*this);
    if (!owner_->Attach(owner))
        owner_.reset();
    ItemsMakeOwnerDrawn();
}

void SkinnedMenu::MenuFind(HMENU hint) {
    if (menu_ || !Window())
        return;
    HMENU shown = HMENU(::SendMessageW(Window(), kMenuGetHandle, 0, 0));
    if (!shown)
        shown = hint;
    if (!shown || !::IsMenu(shown))
        return;
    menu_ = shown;
    ItemsMakeOwnerDrawn();
}

void SkinnedMenu::MetricsRead() {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) {
        // Systems before Vista know the structure without its last member.
        ncm.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0);
    }
    font_.Reset(::CreateFontIndirectW(&ncm.lfMenuFont));
    LOGFONTW bold = ncm.lfMenuFont;
    bold.lfWeight = FW_BOLD;
    boldFont_.Reset(::CreateFontIndirectW(&bold));

    ScreenDC screen;
    ScopedSelect selected(screen.Get(), font_ ? HGDIOBJ(font_.Get()) : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    ::GetTextMetricsW(screen.Get(), &tm);
    metrics_.textHeight = tm.tmHeight;
    metrics_.checkSize = ::GetSystemMetrics(SM_CXMENUCHECK);
    if (const SkinModel* model = skin_.Model(); model && model->menuItem) {
        metrics_.itemMargins = *model->menuItem;
        metrics_.itemImageHeight = model->menuItem->image.Height();
    }
}

void SkinnedMenu::ItemsMakeOwnerDrawn() {
    // Only the owner hears of the items' drawing.
    if (!menu_ || !owner_ || !::IsMenu(menu_))
        return;
    const int count = ::GetMenuItemCount(menu_);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING | MIIM_SUBMENU;
        if (!::GetMenuItemInfoW(menu_, UINT(i), TRUE, &info) || (info.fType & (MFT_OWNERDRAW | MFT_BITMAP)))
            continue;
        auto record = std::make_unique<MenuItemRecord>();
        record->position = UINT(i);
        record->type = info.fType;
        record->data = info.dwItemData;
        if (info.cch > 0) {
            record->text.resize(info.cch + 1);
            info.fMask = MIIM_STRING;
            info.dwTypeData = record->text.data();
            info.cch = UINT(record->text.size());
            ::GetMenuItemInfoW(menu_, UINT(i), TRUE, &info);
            record->text.resize(info.cch);
        }
        if (info.hSubMenu)
            metrics_.arrowWidth = metrics_.checkSize;
        MENUITEMINFOW owned{};
        owned.cbSize = sizeof owned;
        owned.fMask = MIIM_FTYPE | MIIM_DATA;
        owned.fType = record->type | MFT_OWNERDRAW;
        owned.dwItemData = ULONG_PTR(record.get());
        if (::SetMenuItemInfoW(menu_, UINT(i), TRUE, &owned))
            records_.push_back(std::move(record));
    }
}

void SkinnedMenu::ItemsRestoreTypes() {
    if (!menu_ || !::IsMenu(menu_))
        return;
    for (const std::unique_ptr<MenuItemRecord>& record : records_) {
        MENUITEMINFOW now{};
        now.cbSize = sizeof now;
        now.fMask = MIIM_DATA;
        if (!::GetMenuItemInfoW(menu_, record->position, TRUE, &now) ||
            now.dwItemData != ULONG_PTR(record.get()))
            continue; // the item moved or went while the menu showed
        MENUITEMINFOW own{};
        own.cbSize = sizeof own;
        own.fMask = MIIM_FTYPE | MIIM_DATA;
        own.fType = record->type;
        own.dwItemData = record->data;
        if (!record->text.empty()) {
            own.fMask |= MIIM_STRING;
            own.dwTypeData = record->text.data();
        }
        ::SetMenuItemInfoW(menu_, record->position, TRUE, &own);
    }
    records_.clear();
}

const MenuItemRecord* SkinnedMenu::Record(ULONG_PTR data) const {
    for (const std::unique_ptr<MenuItemRecord>& record : records_)
        if (ULONG_PTR(record.get()) == data)
            return record.get();
    return nullptr;
}

UINT SkinnedMenu::ItemStateRead(UINT position) const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    return ::GetMenuItemInfoW(menu_, position, TRUE, &info) ? info.fState : 0;
}

void SkinnedMenu::Measure(MEASUREITEMSTRUCT& measure, const MenuItemRecord& item) const {
    const bool separator = (item.type & MFT_SEPARATOR) != 0;
    const MenuText text = MenuTextSplit(item.text);
    ScreenDC screen;
    const bool bold = (ItemStateRead(item.position) & MFS_DEFAULT) != 0;
    ScopedSelect selected(screen.Get(), bold ? boldFont_.Get() : font_.Get());
    const auto width = [&](std::wstring_view part, UINT prefix) {
        RECT r{};
        if (!part.empty())
            ::DrawTextW(screen.Get(), part.data(), int(part.size()), &r,
                        DT_SINGLELINE | DT_CALCRECT | prefix);
        return int(r.right - r.left);
    };
    const PixelSize size =
        MenuItemMeasure(metrics_, width(text.label, 0), width(text.shortcut, DT_NOPREFIX), separator);
    measure.itemWidth = UINT(size.width);
    measure.itemHeight = UINT(size.height);
}

int SkinnedMenu::MnemonicFind(wchar_t key) const {
    std::vector<std::wstring> texts(std::size_t(std::max(0, ::GetMenuItemCount(menu_))));
    for (const std::unique_ptr<MenuItemRecord>& record : records_)
        if (record->position < texts.size() && !(record->type & MFT_SEPARATOR) &&
            !(ItemStateRead(record->position) & MFS_DISABLED))
            texts[record->position] = record->text;
    return MenuMnemonicFind(texts, key);
}

SkinnedMenu::Shape SkinnedMenu::ShapeNow() const {
    Shape s;
    RECT window{};
    ::GetWindowRect(Window(), &window);
    POINT origin{0, 0};
    ::ClientToScreen(Window(), &origin);
    s.width = window.right - window.left;
    s.height = window.bottom - window.top;
    s.client = {origin.x - window.left, origin.y - window.top};
    return s;
}

PixelRect SkinnedMenu::InnerClient(const Shape& shape) const {
    const ImageMargins margins =
        Model().menuBackground ? ImageMargins(*Model().menuBackground) : ImageMargins{};
    return Moved(MenuInnerRect(shape.width, shape.height, margins), -shape.client.x, -shape.client.y);
}

// The whole window's background, made once for each size.
HDC SkinnedMenu::Background(const Shape& shape) {
    const SIZE size = background_.Size();
    if (background_.Get() && size.cx == shape.width && size.cy == shape.height)
        return background_.Get();
    if (!background_.Make({shape.width, shape.height}))
        return nullptr;
    HDC dc = background_.Get();
    const PixelRect whole{0, 0, shape.width, shape.height};
    SolidFill(dc, RectOf(whole), Model().colours.menu);
    const std::optional<ImageSkin>& back = Model().menuBackground;
    if (HBITMAP bitmap = back ? skin_.Bitmap(back->image) : nullptr) {
        MemoryDC source(dc);
        SkinBitmapDraw(dc, source.Get(), bitmap, ImageSkinPieces(*back, 0, whole),
                       back->trans ? std::optional<COLORREF>(kSkinTransparent) : std::nullopt);
    } else {
        const RECT r = RectOf(whole);
        ::FrameRect(dc, &r, skin_.Gdi().Brush(Model().colours.buttonShadow));
    }
    return dc;
}

void SkinnedMenu::BackgroundCopy(HDC dc, const Shape& shape, const PixelRect& area) {
    if (HDC background = Background(shape))
        ::BitBlt(dc, area.x, area.y, area.width, area.height, background, area.x + shape.client.x,
                 area.y + shape.client.y, SRCCOPY);
}

void SkinnedMenu::ItemPaint(HDC dc, const Shape& shape, const PixelRect& item, const MenuItemRecord& record,
                            const MenuItemState& state, bool systemHidesAccel) {
    const MenuItemPlace place = MenuItemPlaceOf(item, InnerClient(shape), metrics_, state.separator);
    const SkinColours& colours = Model().colours;
    if (state.separator) {
        if (!place.separator.Empty()) {
            const MenuSeparatorColours lines = MenuSeparatorColoursOf(colours);
            const PixelRect& s = place.separator;
            SolidFill(dc, RectOf({s.x, s.y, s.width, 1}), lines.upper);
            SolidFill(dc, RectOf({s.x, s.y + 1, s.width, 1}), lines.lower);
        }
        return;
    }
    const std::optional<ImageSkin>& look = Model().menuItem;
    if (HBITMAP bitmap = look ? skin_.Bitmap(look->image) : nullptr) {
        MemoryDC source(dc);
        SkinBitmapDraw(dc, source.Get(), bitmap,
                       ImageSkinPieces(*look, int(MenuItemImageOf(state)), place.image),
                       look->trans ? std::optional<COLORREF>(kSkinTransparent) : std::nullopt);
    } else if (state.hot) {
        SolidFill(dc, RectOf(place.image), colours.hilight);
    }

    const COLORREF ink = MenuItemTextColour(colours, state);
    if (state.checked)
        CheckDraw(dc, place.check, skin_.Gdi().Pen(ink, 2));
    if (place.text.Empty())
        return;
    const MenuText text = MenuTextSplit(record.text);
    ScopedSelect font(dc, state.isDefault ? boldFont_.Get() : font_.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ink);
    RECT r = RectOf(place.text);
    const UINT common = DT_SINGLELINE | DT_VCENTER;
    if (!text.shortcut.empty())
        ::DrawTextW(dc, text.shortcut.data(), int(text.shortcut.size()), &r, common | DT_RIGHT | DT_NOPREFIX);
    const bool accel = MenuAccelShown(systemHidesAccel, cuesAlways_, keyboardUsed_);
    ::DrawTextW(dc, text.label.data(), int(text.label.size()), &r,
                common | DT_LEFT | DT_END_ELLIPSIS | (accel ? 0 : DT_HIDEPREFIX));
}

void SkinnedMenu::DrawItem(const DRAWITEMSTRUCT& draw, const MenuItemRecord& item) {
    MenuItemState state;
    state.hot = (draw.itemState & ODS_SELECTED) != 0;
    state.disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    state.checked = (draw.itemState & ODS_CHECKED) != 0;
    state.isDefault = (draw.itemState & ODS_DEFAULT) || (ItemStateRead(item.position) & MFS_DEFAULT);
    state.separator = (item.type & MFT_SEPARATOR) != 0;
    const Shape shape = ShapeNow();
    DoubleBuffer buffer(draw.hDC, draw.rcItem);
    BackgroundCopy(buffer.Get(), shape, PixelRectOf(draw.rcItem));
    ItemPaint(buffer.Get(), shape, PixelRectOf(draw.rcItem), item, state,
              (draw.itemState & ODS_NOACCEL) != 0);
}

// The client area: the background, then each item as its state is now.
void SkinnedMenu::PaintClient(HDC dc) {
    const Shape shape = ShapeNow();
    RECT client{};
    ::GetClientRect(Window(), &client);
    BackgroundCopy(dc, shape, PixelRectOf(client));
    for (const std::unique_ptr<MenuItemRecord>& record : records_) {
        RECT r{};
        if (!::GetMenuItemRect(Window(), menu_, record->position, &r))
            continue;
        ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&r), 2);
        const UINT fState = ItemStateRead(record->position);
        MenuItemState state;
        state.hot = (fState & MFS_HILITE) != 0;
        state.disabled = (fState & MFS_DISABLED) != 0;
        state.checked = (fState & MFS_CHECKED) != 0;
        state.isDefault = (fState & MFS_DEFAULT) != 0;
        state.separator = (record->type & MFT_SEPARATOR) != 0;
        ItemPaint(dc, shape, PixelRectOf(r), *record, state, false);
    }
}

// The window's border where the system gives it one (Windows; Wine's menu windows are all client).
void SkinnedMenu::PaintFrame() {
    const Shape shape = ShapeNow();
    RECT client{};
    ::GetClientRect(Window(), &client);
    if (client.right == shape.width && client.bottom == shape.height)
        return;
    WindowDC dc(Window());
    if (!dc)
        return;
    ::ExcludeClipRect(dc.Get(), shape.client.x, shape.client.y, shape.client.x + client.right,
                      shape.client.y + client.bottom);
    if (HDC background = Background(shape))
        ::BitBlt(dc.Get(), 0, 0, shape.width, shape.height, background, 0, 0, SRCCOPY);
}

// The whole window into a DC in window coordinates: menu animations print the window before it shows.
void SkinnedMenu::PaintWindow(HDC dc) {
    const Shape shape = ShapeNow();
    if (HDC background = Background(shape))
        ::BitBlt(dc, 0, 0, shape.width, shape.height, background, 0, 0, SRCCOPY);
    POINT previous{};
    ::OffsetViewportOrgEx(dc, shape.client.x, shape.client.y, &previous);
    PaintClient(dc);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

LRESULT SkinnedMenu::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return DefaultThen(message, wParam, lParam, [&] { MenuFind(); });
    case WM_SHOWWINDOW:
        MenuFind();
        break;
    case WM_ERASEBKGND:
        return TRUE; // painted with the rest, off screen
    case WM_PAINT: {
        MenuFind();
        if (records_.empty())
            break;
        PaintDC dc(Window());
        RECT client{};
        ::GetClientRect(Window(), &client);
        DoubleBuffer buffer(dc.Get(), client);
        PaintClient(buffer.Get());
        return 0;
    }
    case WM_PRINTCLIENT:
        if (records_.empty())
            break;
        PaintClient(HDC(wParam));
        return 0;
    case WM_PRINT:
        if (records_.empty() || !(lParam & PRF_NONCLIENT))
            break;
        PaintWindow(HDC(wParam));
        return 0;
    case WM_NCPAINT:
        if (records_.empty())
            break;
        PaintFrame();
        return 0;
    case WM_UPDATEUISTATE:
        if (HIWORD(wParam) & UISF_HIDEACCEL) {
            keyboardUsed_ = LOWORD(wParam) == UIS_CLEAR;
            ::InvalidateRect(Window(), nullptr, FALSE);
        }
        break;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace

std::unique_ptr<WindowSubclass> SkinnedMenuAttach(HWND menuWindow, TSkinComponent& skin) {
    const SkinModel* model = skin.Model();
    if (!model || (!model->menuItem && !model->menuBackground))
        return nullptr; // the system's look
    auto menu = std::make_unique<SkinnedMenu>(skin);
    if (!menu->Start(menuWindow))
        return nullptr;
    return menu;
}

} // namespace veltrane
