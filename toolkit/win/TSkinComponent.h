#pragma once
// The skin component of the main window: its stored settings, the "SkinStream" value read while the
// window's layout is read, the end-of-reading sequence that hands the skin to the process-wide
// manager, and what skinned windows paint with (device bitmaps, the caption font and icon).

#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Handles.h"
#include "platform/Paint.h"
#include "toolkit/skinning/SkinComponentCore.h"

namespace veltrane {

// The user32 services the skin uses where the system has them; any may be missing.
struct OptionalUser32 {
    using GetScrollBarInfoFn = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
    using GetComboBoxInfoFn = BOOL(WINAPI*)(HWND, PCOMBOBOXINFO);
    using DisableProcessWindowsGhostingFn = void(WINAPI*)();

    GetScrollBarInfoFn getScrollBarInfo = nullptr;
    GetComboBoxInfoFn getComboBoxInfo = nullptr;
    DisableProcessWindowsGhostingFn disableProcessWindowsGhosting = nullptr;

    // Looked up by name once, when the program starts.
    static const OptionalUser32& Process();
};

class TSkinComponent final : private MessageSink, private SkinServices {
public:
    // `ownerForm` is the window holding the component; `user32` the services found at start.
    TSkinComponent(Application& application, HWND ownerForm,
                   const OptionalUser32& user32 = OptionalUser32::Process());
    TSkinComponent(const TSkinComponent&) = delete;
    TSkinComponent& operator=(const TSkinComponent&) = delete;
    // Leaves the manager; the last component to leave takes the manager with it.
    ~TSkinComponent() override;

    SkinSettings& Settings() { return core_.settings; }
    const SkinSettings& Settings() const { return core_.settings; }
    // The settings, the events and the loaded skin, as the rules see them.
    SkinComponentCore& Core() { return core_; }

    // The layout property "SkinStream": a 32-bit count, then the packed package, loaded at once.
    // A count of zero or less loads nothing and shows nothing; a package of another version shows
    // the version message.
    void SetSkinStream(std::span<const std::uint8_t> value);
    std::vector<std::uint8_t> SkinStream() const { return core_.SkinStreamWrite(); }
    // The end of the layout's reading: registers with the manager and, for the main form's
    // component, installs the window hook and switches skinning on.
    void Loaded();

    // Run-time changes (the program makes none): the action waits on the manager's timer.
    bool Active() const { return core_.settings.active; }
    void SetActive(bool active);
    void Refresh();

    bool SkinLoaded() const { return core_.SkinLoaded(); }
    const SkinModel* Model() const { return core_.Skin(); }
    // The device bitmap of a skin bitmap, made on first use; null for an empty one.
    HBITMAP Bitmap(const SkinBitmap& bitmap);
    HBRUSH ButtonFaceBrush() const { return buttonFace_.Get(); }
    // The system's caption font at the skin's FontHeight; null before Loaded.
    HFONT CaptionFont() const { return captionFont_.Get(); }
    // The application's small icon on magenta, which counts as transparent; null without an icon.
    HBITMAP CaptionIcon() const { return captionIcon_.Get(); }
    SIZE CaptionIconSize() const { return captionIconSize_; }
    const OptionalUser32& User32() const { return user32_; }
    HWND OwnerForm() const { return ownerForm_; }
    // Pens and brushes of the skin's colours, made once for every window the skin paints.
    GdiCache& Gdi() { return gdi_; }

private:
    void ShowMessage(std::wstring_view text) override;

    bool ScrollBarInfoAvailable() const override { return user32_.getScrollBarInfo != nullptr; }
    SkinManagerState* Manager() override;
    SkinManagerState& ManagerCreate() override;
    void CaptionFontRead() override;
    void HookInstall() override;
    void CaptionIconMake(Rgb background) override;
    void OwnerFormSkin() override;

    Application& application_;
    HWND ownerForm_;
    const OptionalUser32& user32_;
    SkinComponentCore core_;
    std::map<std::string, UniqueBitmap> bitmaps_;
    UniqueBrush buttonFace_;
    GdiCache gdi_;
    UniqueFont captionFont_;
    UniqueBitmap captionIcon_;
    SIZE captionIconSize_{};
};

// The system's colours, for the keys a skin leaves out.
SystemColours SystemColoursRead();
// A device-dependent bitmap of the pixels our reader decodes from the skin's BMP file; null when it
// cannot be made.
UniqueBitmap BitmapFromFile(const SkinBitmap& bitmap);

} // namespace veltrane
