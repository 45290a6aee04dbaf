#pragma once
// The skin component of the main window: takes the stored "SkinStream" value while the window's
// layout is read, keeps the loaded skin and makes its device bitmaps and brushes.

#include <map>
#include <optional>
#include <span>
#include <string>

#include "platform/Application.h"
#include "platform/Handles.h"
#include "toolkit/skin/SkinLoader.h"

namespace veltrane {

class TSkinComponent final : private MessageSink {
public:
    explicit TSkinComponent(Application& application) : application_(application) {}

    // The layout property "SkinStream": a 32-bit count, then the packed package. A count of zero or
    // less loads nothing and shows nothing; a package of another version shows the version message.
    void SetSkinStream(std::span<const std::uint8_t> value);

    bool Loaded() const { return model_.has_value(); }
    const SkinModel* Model() const { return model_ ? &*model_ : nullptr; }
    // The device bitmap of a skin bitmap, made on first use; null for an empty one.
    HBITMAP Bitmap(const SkinBitmap& bitmap);
    HBRUSH ButtonFaceBrush() const { return buttonFace_.Get(); }

private:
    void ShowMessage(std::wstring_view text) override;

    Application& application_;
    std::optional<SkinModel> model_;
    std::map<std::string, UniqueBitmap> bitmaps_;
    UniqueBrush buttonFace_;
};

// The system's colours, for the keys a skin leaves out.
SystemColours SystemColoursRead();
// A device-independent bitmap made from a whole BMP file held in memory; null when it cannot be made.
UniqueBitmap BitmapFromFile(const SkinBitmap& bitmap);

} // namespace veltrane
