#pragma once
// Which window gets a frame skin and which control gets which skin object. A window or control is
// described by what the hook can learn about it; the rules never touch the windowing system.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/skinning/SkinSettings.h"

namespace veltrane {

class SkinComponentCore;

// A window that answers this private message with 1 asks not to be skinned.
inline constexpr unsigned kSkinQueryMessage = 13603; // 0x3523
// Posted to a window right after it got its frame skin.
inline constexpr unsigned kSkinPostedMessage = 13571; // 0x3503
inline constexpr std::intptr_t kSkinPostedLParam = 1000;

inline constexpr int kFormSkipTag = 99;
inline constexpr std::uint32_t kDialogSkipStyle = 0x200; // on "#32770" only
inline constexpr std::uint32_t kSizeGripStyle = 0x10;    // SBS_SIZEGRIP
inline constexpr std::uint32_t kChildStyle = 0x40000000; // WS_CHILD

inline constexpr std::string_view kDialogClass = "#32770";
inline constexpr std::string_view kPopupMenuClass = "#32768";
inline constexpr std::string_view kScrollBarClass = "ScrollBar";

// ---- Windows ----

struct WindowFacts {
    std::string className;
    std::uint32_t style = 0;
    std::intptr_t queryReply = 0; // the answer to kSkinQueryMessage
    bool skinned = false;         // has a skin already
    bool applicationForm = false; // one of the application's forms
    bool ownModule = false;       // belongs to the program's own module
    bool mdiChild = false;
    int width = 0;
    int height = 0;
    int tag = 0; // a form's Tag
};

enum class WindowVerdict : std::uint8_t {
    Skin,
    SkinningOff,
    QueryDeclined,
    AlreadySkinned,
    NotOurs, // neither a form, nor of our module, nor a standard dialog
    NoSize,
    FormTag,
    ExcludedClass, // TvxPopupEditPopupWindow, TApplication
    Preview,
    DialogStyle,
    EventDeclined,
    MonthCalendar,
    FastReport,
};

struct PostedMessage {
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    bool operator==(const PostedMessage&) const = default;
};

struct WindowDecision {
    WindowVerdict verdict = WindowVerdict::SkinningOff;
    std::optional<PostedMessage> post; // sent once the frame skin is on

    bool Skin() const { return verdict == WindowVerdict::Skin; }
};

// Whether a window that comes up gets its frame skin; `mainSkin` is the manager's main skin
// component, whose settings and form-skin event decide last.
WindowDecision WindowSkinDecide(const WindowFacts& window, bool skinningOn, SkinComponentCore& mainSkin);

// What the creation hook does with a new window.
struct CreatedWindowFacts {
    std::string className;
    std::uint32_t style = 0;
    bool mdiChild = false;
    bool parentSkinned = false;
};

enum class CreationAction : std::uint8_t {
    None,
    SizeGripToParent, // the parent's skin takes the size grip over
    MenuSkin,
    SkinNow, // an MDI child is skinned at once, through WindowSkinDecide
};

CreationAction WindowCreatedAction(const CreatedWindowFacts& window, bool skinningOn,
                                   const SkinSettings& mainSettings);

// ---- Controls of a skinned form ----

struct ControlFacts {
    std::string className;
    std::vector<std::string> ancestry; // the class's ancestors, nearest first
    int tag = 0;
    bool hasHandle = true;
    std::intptr_t queryReply = 0;
    std::string kindProperty; // the "Kind" property, where the class has one

    bool InheritsFrom(std::string_view ancestor) const; // the class itself counts
};

enum class ControlSkin : std::uint8_t {
    None,
    Edit,
    ComboBox,
    DateTimePicker,
    CheckBox,
    RadioButton,
    PushButton,
    BitButton,
    PngBitButton,
    MenuButton,
    MediaPlayer,
    SpeedButton,
    TrackBar,
    Panel,
    GroupBox,
    RadioGroup,
    Tabs,
    AdvPageControl,
    Progress,
    ScrollBars,
    SingleScrollBar,
    EmbedScrollBar,
    UpDown,
    Container,
};

// Which step chose.
enum class ControlSource : std::uint8_t {
    DisableTag,
    NoHandle,
    QueryDeclined,
    Event,
    ForeignEntry, // decided alone, whether or not it gave a skin
    ClassRule,
    NoRule,
};

struct ControlDecision {
    ControlSkin skin = ControlSkin::None;
    ControlSource source = ControlSource::NoRule;
    bool setTransparent = false;              // the control's "Transparent" property becomes "True"
    ControlSkin children = ControlSkin::None; // what the children of a radio or check group become

    bool operator==(const ControlDecision&) const = default;
};

struct ControlContext {
    bool skinHasTabs = false; // the loaded skin has a [Tabs] object
};

ControlDecision ControlSkinDecide(const ControlFacts& control, SkinComponentCore& mainSkin,
                                  const ControlContext& context);

// The skin a ForeignClasses kind word gives under the given controls set; nothing for a word
// that names no kind.
std::optional<ControlDecision> ForeignKindDecide(std::string_view kind, const ControlFacts& control,
                                                 const TSkinControls& controls,
                                                 const ControlContext& context);

// A pop-up menu component of a skinned form.
bool PopupMenuSkinned(int tag, const SkinSettings& settings);

// ---- This program's own control classes ----

struct OwnControlClass {
    std::string_view className;
    std::array<std::string_view, 5> ancestry; // nearest first; unused slots empty
    bool windowed;
};

extern const std::array<OwnControlClass, 12> kOwnControlClasses;

// The facts for one of our own classes; nothing for a class that is not ours.
std::optional<ControlFacts> OwnControlFacts(std::string_view className);

} // namespace veltrane
