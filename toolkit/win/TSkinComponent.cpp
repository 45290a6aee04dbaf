#include "toolkit/win/TSkinComponent.h"

#include <cstddef>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Bitmaps.h"
#include "platform/LateBound.h"
#include "platform/Paint.h"
#include "toolkit/win/TSkinManager.h"

namespace veltrane {

namespace {

OptionalUser32 OptionalUser32Lookup() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    OptionalUser32 found;
    found.getScrollBarInfo = LateBound<BOOL WINAPI(HWND, LONG, PSCROLLBARINFO)>(user32, "GetScrollBarInfo");
    found.getComboBoxInfo = LateBound<BOOL WINAPI(HWND, PCOMBOBOXINFO)>(user32, "GetComboBoxInfo");
    found.disableProcessWindowsGhosting = LateBound<void WINAPI()>(user32, "DisableProcessWindowsGhosting");
    return found;
}

// Found when the program starts and never changed afterwards.
const OptionalUser32 kProcessUser32 = OptionalUser32Lookup();

HICON ApplicationIcon(HWND application) {
    for (WPARAM which : {WPARAM(ICON_SMALL), WPARAM(ICON_BIG)})
        if (auto icon = HICON(::SendMessageW(application, WM_GETICON, which, 0)))
            return icon;
    // The application window may carry its icon through its class only.
    for (int which : {GCLP_HICONSM, GCLP_HICON})
        if (auto icon = HICON(::GetClassLongPtrW(application, which)))
            return icon;
    return nullptr;
}

// A 32-bit top-down DIB section of `size`, its pixels readable and writable through `bits`.
UniqueBitmap PixelsMake(SIZE size, std::uint32_t*& bits) {
    BITMAPINFO info = Dib32Info(size.cx, size.cy);
    void* made = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &made, nullptr, 0));
    bits = static_cast<std::uint32_t*>(made);
    return bitmap;
}

// The icon at `size` on `background`. The icon is drawn over black and over white: where the two
// differ it lets the background through. A pixel at least half covered keeps the icon's colour, any
// other becomes the background, so that treating the background as transparent leaves no fringe.
UniqueBitmap IconOnBackground(HICON icon, SIZE size, Rgb background) {
    std::uint32_t* overBlack = nullptr;
    std::uint32_t* overWhite = nullptr;
    std::uint32_t* out = nullptr;
    UniqueBitmap black = PixelsMake(size, overBlack);
    UniqueBitmap white = PixelsMake(size, overWhite);
    UniqueBitmap result = PixelsMake(size, out);
    ScreenDC screen;
    MemoryDC dc(screen.Get());
    if (!black || !white || !result || !dc)
        return {};
    const RECT all{0, 0, size.cx, size.cy};
    for (auto [bitmap, brush] : {std::pair{black.Get(), BLACK_BRUSH}, std::pair{white.Get(), WHITE_BRUSH}}) {
        ScopedSelect selected(dc.Get(), bitmap);
        ::FillRect(dc.Get(), &all, HBRUSH(::GetStockObject(brush)));
        ::DrawIconEx(dc.Get(), 0, 0, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
    }
    ::GdiFlush();
    const std::uint32_t backgroundPixel =
        RedOf(background) << 16 | GreenOf(background) << 8 | BlueOf(background);
    for (int i = 0; i < size.cx * size.cy; ++i) {
        int cover = 255;
        for (int shift : {0, 8, 16})
            cover =
                std::min(cover, 255 - int((overWhite[i] >> shift & 0xFF) - (overBlack[i] >> shift & 0xFF)));
        if (cover < 128) {
            out[i] = backgroundPixel;
            continue;
        }
        std::uint32_t pixel = 0;
        for (int shift : {0, 8, 16})
            pixel |= std::uint32_t(std::min(255, int(overBlack[i] >> shift & 0xFF) * 255 / cover)) << shift;
        out[i] = pixel == backgroundPixel ? pixel ^ 1 : pixel; // never the transparent colour by chance
    }
    return result;
}
} // namespace

const OptionalUser32& OptionalUser32::Process() {
    return kProcessUser32;
}

SystemColours SystemColoursRead() {
    SystemColours c;
    c.windowText = ::GetSysColor(COLOR_WINDOWTEXT);
    c.buttonFace = ::GetSysColor(COLOR_BTNFACE);
    c.scrollbar = ::GetSysColor(COLOR_SCROLLBAR);
    c.highlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    c.highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    c.menu = ::GetSysColor(COLOR_MENU);
    c.menuText = ::GetSysColor(COLOR_MENUTEXT);
    c.buttonText = ::GetSysColor(COLOR_BTNTEXT);
    c.buttonHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    c.buttonShadow = ::GetSysColor(COLOR_BTNSHADOW);
    c.darkShadow3d = ::GetSysColor(COLOR_3DDKSHADOW);
    c.captionText = ::GetSysColor(COLOR_CAPTIONTEXT);
    c.inactiveCaptionText = ::GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    return c;
}

UniqueBitmap BitmapFromFile(const SkinBitmap& bitmap) {
    if (bitmap.Empty())
        return {};
    // Our own decoding, not the file: GDI would decode run-length codes and headers on its own,
    // past the bounds our reader checked.
    const std::vector<std::uint32_t> pixels = BmpDecodeDib32(bitmap.info);
    if (pixels.empty())
        return {};
    const BITMAPINFO info = Dib32Info(bitmap.info.width, bitmap.info.height);
    ScreenDC screen;
    return UniqueBitmap(
        ::CreateDIBitmap(screen.Get(), &info.bmiHeader, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS));
}

TSkinComponent::TSkinComponent(Application& application, HWND ownerForm, const OptionalUser32& user32)
    : application_(application), ownerForm_(ownerForm), user32_(user32) {}

TSkinComponent::~TSkinComponent() {
    TSkinManager::ComponentRemove(*this);
}

void TSkinComponent::SetSkinStream(std::span<const std::uint8_t> value) {
    bitmaps_.clear();
    buttonFace_.Reset();
    core_.SkinStreamRead(value, *this, SystemColoursRead());
    if (const SkinModel* model = core_.Skin())
        buttonFace_.Reset(::CreateSolidBrush(model->buttonFaceBrush));
}

void TSkinComponent::Loaded() {
    core_.Loaded(*this);
}

void TSkinComponent::SetActive(bool active) {
    if (active == Active() || (active && !SkinLoaded()))
        return;
    core_.settings.active = active;
    if (TSkinManager* manager = TSkinManager::Instance())
        manager->ActionRequest(*this, active ? SkinAction::Skin : SkinAction::Unskin);
}

void TSkinComponent::Refresh() {
    if (TSkinManager* manager = TSkinManager::Instance())
        manager->ActionRequest(*this, SkinAction::Refresh);
}

HBITMAP TSkinComponent::Bitmap(const SkinBitmap& bitmap) {
    if (bitmap.Empty())
        return nullptr;
    UniqueBitmap& made = bitmaps_[bitmap.member];
    if (!made)
        made = BitmapFromFile(bitmap);
    return made.Get();
}

void TSkinComponent::ShowMessage(std::wstring_view text) {
    application_.ShowMessage(text);
}

SkinManagerState* TSkinComponent::Manager() {
    TSkinManager* manager = TSkinManager::Instance();
    if (!manager)
        return nullptr;
    manager->ComponentAdd(*this);
    return &manager->State();
}

SkinManagerState& TSkinComponent::ManagerCreate() {
    TSkinManager& manager = TSkinManager::Create(user32_);
    manager.ComponentAdd(*this);
    return manager.State();
}

void TSkinComponent::CaptionFontRead() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        // Systems before Vista know the structure without its last member.
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            return;
    }
    LOGFONTW font = metrics.lfCaptionFont;
    if (const SkinModel* model = Model())
        font.lfHeight = -model->title.fontHeight;
    captionFont_.Reset(::CreateFontIndirectW(&font));
}

void TSkinComponent::HookInstall() {
    if (TSkinManager* manager = TSkinManager::Instance())
        manager->HookInstall();
}

void TSkinComponent::CaptionIconMake(Rgb background) {
    captionIcon_.Reset();
    if (HICON icon = ApplicationIcon(application_.Handle())) {
        const SIZE size{::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)};
        captionIcon_ = IconOnBackground(icon, size, background);
        captionIconSize_ = size;
    }
}

void TSkinComponent::OwnerFormSkin() {
    if (TSkinManager* manager = TSkinManager::Instance())
        manager->WindowSkin(ownerForm_);
}

} // namespace veltrane
