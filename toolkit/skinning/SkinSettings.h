#pragma once
// The skin component's published settings: the set types, their members, and the values a new
// component starts with and the main window's layout stores.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

enum TSkinFormType : std::uint8_t { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };

enum TSkinControlType : std::uint8_t {
    xcMainMenu,
    xcPopupMenu,
    xcMenuItem,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcCheckBox,
    xcRadioButton,
    xcProgress,
    xcScrollbar,
    xcEdit,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcSpin,
    xcPanel,
    xcGroupBox,
    xcStatusBar,
    xcTab,
    xcTrackBar,
    xcSystemMenu,
    xcFastReport,
};

enum TSkinOption : std::uint8_t {
    xoMDIScrollbar,
    xoMenuMerge,
    xoTransparent,
    xoPreview,
    xoParentBackGround,
    xoNoFocusRect,
    xoToolbarBK,
    xoMDIChildBorder,
    xoMenuBG,
    xoFormScrollbar,
};

// A set of enumeration members stored as bits: member n is bit n, as the layout stores it.
template <typename Member, int Count> class MemberSet {
    static_assert(Count <= 32);

public:
    constexpr MemberSet() = default;
    constexpr MemberSet(std::initializer_list<Member> members) {
        for (Member m : members)
            Include(m);
    }
    static constexpr MemberSet FromBits(std::uint32_t bits) {
        MemberSet s;
        s.bits_ = bits & kAll;
        return s;
    }

    constexpr bool Has(Member m) const { return (bits_ >> unsigned(m)) & 1u; }
    constexpr void Include(Member m) { bits_ |= Bit(m); }
    constexpr void Exclude(Member m) { bits_ &= ~Bit(m); }
    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr bool operator==(const MemberSet&) const = default;

private:
    static constexpr std::uint32_t kAll = Count == 32 ? ~0u : (1u << Count) - 1u;
    static constexpr std::uint32_t Bit(Member m) { return (1u << unsigned(m)) & kAll; }

    std::uint32_t bits_ = 0;
};

using TSkinControls = MemberSet<TSkinControlType, 22>;
using TSkinOptions = MemberSet<TSkinOption, 10>;

inline constexpr int kDefaultDisableTag = 99;
inline constexpr std::string_view kSkinStoreRunTime = "(none)";

// The defaults a new component has; the main window's layout stores different values for
// Active and SkinControls only (SkinStore's stored text is a design-time display).
struct SkinSettings {
    bool active = false;
    TSkinFormType skinFormtype = sfMainform;
    TSkinControls skinControls = DefaultSkinControls();
    TSkinOptions options{xoPreview, xoToolbarBK};
    int disableTag = kDefaultDisableTag;
    bool menuUpdate = true;
    bool menuMerge = false;
    std::vector<std::string> foreignClasses = DefaultForeignClasses();

    // At run time SkinStore always reads "(none)" and writing it changes nothing.
    std::string_view SkinStore() const { return kSkinStoreRunTime; }
    void SetSkinStore(std::string_view) {}

    // Every member from xcMainMenu to xcSystemMenu except xcMenuItem.
    static TSkinControls DefaultSkinControls();
    static std::vector<std::string> DefaultForeignClasses();
};

// The values the main window's layout stores for its skin component.
SkinSettings SkinSettingsStored();

} // namespace veltrane
