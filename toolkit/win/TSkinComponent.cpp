#include "toolkit/win/TSkinComponent.h"

#include "platform/Paint.h"

#include <cstring>
#include <vector>

namespace veltrane {

namespace {
constexpr std::size_t kFileHeaderSize = 14;
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
    if (bitmap.Empty() || bitmap.file.size() <= kFileHeaderSize)
        return {};
    // The reader has checked the headers against the file's length; copy them to aligned memory.
    std::vector<std::uint8_t> info(bitmap.file.begin() + kFileHeaderSize, bitmap.file.end());
    std::uint32_t bitsOffset = 0;
    std::memcpy(&bitsOffset, bitmap.file.data() + 10, sizeof bitsOffset);
    if (bitsOffset >= bitmap.file.size())
        return {};
    const auto* header = reinterpret_cast<const BITMAPINFO*>(info.data());
    ScreenDC screen;
    return UniqueBitmap(::CreateDIBitmap(screen.Get(), &header->bmiHeader, CBM_INIT,
                                         bitmap.file.data() + bitsOffset, header, DIB_RGB_COLORS));
}

void TSkinComponent::SetSkinStream(std::span<const std::uint8_t> value) {
    bitmaps_.clear();
    buttonFace_.Reset();
    model_ = LoadSkinStream(value, *this, SystemColoursRead());
    if (model_)
        buttonFace_.Reset(::CreateSolidBrush(model_->buttonFaceBrush));
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

} // namespace veltrane
