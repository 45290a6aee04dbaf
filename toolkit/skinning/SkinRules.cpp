#include "toolkit/skinning/SkinRules.h"

#include "base/Bytes.h"
#include "toolkit/skinning/ForeignClasses.h"
#include "toolkit/skinning/SkinComponentCore.h"

namespace veltrane {

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

WindowVerdict ManagerVerdict(const WindowFacts& w, bool skinningOn) {
    if (!skinningOn)
        return WindowVerdict::SkinningOff;
    if (w.queryReply == 1)
        return WindowVerdict::QueryDeclined;
    if (w.skinned)
        return WindowVerdict::AlreadySkinned;
    const bool dialog = w.className == kDialogClass;
    if (!w.applicationForm && !w.ownModule && !dialog)
        return WindowVerdict::NotOurs;
    if ((w.width <= 0 || w.height <= 0) && !w.mdiChild)
        return WindowVerdict::NoSize;
    if (w.applicationForm && w.tag == kFormSkipTag)
        return WindowVerdict::FormTag;
    if (Contains(w.className, "TvxPopupEditPopupWindow") || w.className == "TApplication")
        return WindowVerdict::ExcludedClass;
    return WindowVerdict::Skin;
}

WindowVerdict ComponentVerdict(const WindowFacts& w, SkinComponentCore& skin) {
    const SkinSettings& s = skin.settings;
    WindowVerdict verdict = WindowVerdict::Skin;
    if (!s.options.Has(xoPreview) && Contains(AsciiLowered(w.className), "preview"))
        verdict = WindowVerdict::Preview;
    else if (w.className == kDialogClass && (w.style & kDialogSkipStyle))
        verdict = WindowVerdict::DialogStyle;

    if (skin.onFormSkin) {
        bool doSkin = verdict == WindowVerdict::Skin;
        skin.onFormSkin(skin, w.className, doSkin);
        if (doSkin)
            return WindowVerdict::Skin;
        return verdict == WindowVerdict::Skin ? WindowVerdict::EventDeclined : verdict;
    }
    if (verdict != WindowVerdict::Skin)
        return verdict;
    if (w.className == "SysMonthCal32")
        return WindowVerdict::MonthCalendar;
    if (s.skinControls.Has(xcFastReport) && w.className.starts_with("Tfr"))
        return WindowVerdict::FastReport;
    return WindowVerdict::Skin;
}

struct ClassRule {
    std::array<std::string_view, 4> classes; // upper case
    bool descendants;                        // the class and everything derived from it
    std::optional<TSkinControlType> member;  // none: applies whatever the set holds
    ControlSkin skin;
    bool needsTabs = false;
};

constexpr ClassRule kClassRules[] = {
    {{"TDBCOMBOBOXEH", "TFRDESIGNERPAGE", "TFRPBOX"}, false, std::nullopt, ControlSkin::None},
    {{"TTABSET", "TTABBEDNOTEBOOK"}, false, xcTab, ControlSkin::Tabs, true},
    {{"TUPDOWN", "TSPINBUTTON"}, false, xcSpin, ControlSkin::UpDown},
    {{"TMEDIAPLAYER"}, false, xcButton, ControlSkin::MediaPlayer},
    {{"TDBNAVIGATOR"}, false, xcPanel, ControlSkin::Panel},
    {{"TKWCHECKBOX", "TKWDBCHECKBOX", "TVXCHECKBOX", "TVXDBCHECKBOX"},
     false,
     xcCheckBox,
     ControlSkin::CheckBox},
    {{"TKWRADIOBUTTON", "TKWDBRADIOBUTTON"}, false, xcRadioButton, ControlSkin::RadioButton},
    {{"TCUSTOMGROUPBOX"}, true, xcPanel, ControlSkin::GroupBox},
    {{"TTNTCOMBOBOX"}, false, xcCombo, ControlSkin::ComboBox},
    {{"TRICHEDIT", "TWWDBRICHEDIT", "TQXDBMEMO"}, false, xcScrollbar, ControlSkin::ScrollBars},
    {{"TCUSTOMPANEL"}, true, xcPanel, ControlSkin::Panel},
    {{"TQXTREELIST", "TQXDBTREELIST", "TQXDBGRID"}, false, xcScrollbar, ControlSkin::ScrollBars},
    {{"TCUSTOMLISTVIEW"}, true, xcScrollbar, ControlSkin::ScrollBars},
    {{"TCUSTOMMEMO"}, true, xcScrollbar, ControlSkin::ScrollBars},
    {{"TBUTTON"}, true, xcButton, ControlSkin::PushButton},
    {{"TCUSTOMEDIT"}, true, xcEdit, ControlSkin::Edit},
};

bool RuleMatches(const ClassRule& rule, const ControlFacts& c, const std::string& upperClass) {
    if (rule.descendants)
        return c.InheritsFrom(rule.classes[0]);
    for (std::string_view name : rule.classes)
        if (!name.empty() && name == upperClass)
            return true;
    return false;
}

ControlDecision Taken(ControlSkin skin, ControlSource source) {
    ControlDecision d;
    d.skin = skin;
    d.source = source;
    return d;
}

} // namespace

WindowDecision WindowSkinDecide(const WindowFacts& window, bool skinningOn, SkinComponentCore& mainSkin) {
    WindowDecision d;
    d.verdict = ManagerVerdict(window, skinningOn);
    if (d.verdict == WindowVerdict::Skin)
        d.verdict = ComponentVerdict(window, mainSkin);
    if (d.Skin())
        d.post = PostedMessage{kSkinPostedMessage, 0, kSkinPostedLParam};
    return d;
}

CreationAction WindowCreatedAction(const CreatedWindowFacts& w, bool skinningOn,
                                   const SkinSettings& mainSettings) {
    if (AsciiEqualNoCase(w.className, kScrollBarClass) && (w.style & kSizeGripStyle) && w.parentSkinned)
        return CreationAction::SizeGripToParent;
    if (w.className == kPopupMenuClass && !(w.style & kChildStyle))
        return skinningOn && mainSettings.skinControls.Has(xcPopupMenu) ? CreationAction::MenuSkin
                                                                        : CreationAction::None;
    if (w.mdiChild)
        return CreationAction::SkinNow;
    return CreationAction::None;
}

bool ControlFacts::InheritsFrom(std::string_view ancestor) const {
    if (AsciiEqualNoCase(className, ancestor))
        return true;
    for (const std::string& a : ancestry)
        if (AsciiEqualNoCase(a, ancestor))
            return true;
    return false;
}

std::optional<ControlDecision> ForeignKindDecide(std::string_view kind, const ControlFacts& control,
                                                 const TSkinControls& controls,
                                                 const ControlContext& context) {
    struct Kind {
        std::string_view word;
        std::optional<TSkinControlType> member;
        ControlSkin skin;
    };
    static constexpr Kind kKinds[] = {
        {"combobox", xcCombo, ControlSkin::ComboBox},
        {"datetimepicker", xcCombo, ControlSkin::DateTimePicker},
        {"edit", xcEdit, ControlSkin::Edit},
        {"radiobutton", xcRadioButton, ControlSkin::RadioButton},
        {"panel", xcPanel, ControlSkin::Panel},
        {"button", xcButton, ControlSkin::PushButton},
        {"bitbtn", xcButton, ControlSkin::BitButton},
        {"pngbitbtn", xcButton, ControlSkin::PngBitButton},
        {"menubtn", xcButton, ControlSkin::MenuButton},
        {"mediaplayer", xcButton, ControlSkin::MediaPlayer},
        {"trackbar", xcButton, ControlSkin::TrackBar},
        {"speedbutton", xcSpeedButton, ControlSkin::SpeedButton},
        {"tab", xcTab, ControlSkin::Tabs},
        {"advpagecontrol", xcTab, ControlSkin::AdvPageControl},
        {"progress", xcProgress, ControlSkin::Progress},
        {"scrollbar", xcScrollbar, ControlSkin::ScrollBars},
        {"singlescrollbar", xcScrollbar, ControlSkin::SingleScrollBar},
        {"embedscrollbar", xcScrollbar, ControlSkin::EmbedScrollBar},
        {"groupbox", xcGroupBox, ControlSkin::GroupBox},
        {"radiogroup", xcGroupBox, ControlSkin::RadioGroup},
        {"checkbox", xcCheckBox, ControlSkin::CheckBox},
        {"checkgroup", xcPanel, ControlSkin::GroupBox},
        {"container", std::nullopt, ControlSkin::Container},
        {"nil", std::nullopt, ControlSkin::None},
    };
    for (const Kind& k : kKinds) {
        if (k.word != kind)
            continue;
        ControlDecision d = Taken(ControlSkin::None, ControlSource::ForeignEntry);
        if (k.member && !controls.Has(*k.member))
            return d;
        if (k.skin == ControlSkin::Tabs && !context.skinHasTabs)
            return d;
        d.skin = k.skin;
        if (kind == "panel" || kind == "trackbar")
            d.setTransparent = true;
        if (kind == "bitbtn" && AsciiEqualNoCase(control.className, "TvxButton") &&
            control.kindProperty == "vxbkDropDownButton")
            d.skin = ControlSkin::MenuButton;
        if (kind == "radiogroup" && controls.Has(xcRadioButton))
            d.children = ControlSkin::RadioButton;
        if (kind == "checkgroup") {
            // The group is governed by xcPanel; its frame by xcGroupBox, its boxes by xcRadioButton.
            d.skin = controls.Has(xcGroupBox) ? ControlSkin::GroupBox : ControlSkin::None;
            if (controls.Has(xcRadioButton))
                d.children = ControlSkin::CheckBox;
        }
        return d;
    }
    return std::nullopt;
}

ControlDecision ControlSkinDecide(const ControlFacts& control, SkinComponentCore& mainSkin,
                                  const ControlContext& context) {
    const SkinSettings& s = mainSkin.settings;
    if (control.tag == s.disableTag)
        return Taken(ControlSkin::None, ControlSource::DisableTag);
    if (!control.hasHandle)
        return Taken(ControlSkin::None, ControlSource::NoHandle);
    if (control.queryReply == 1)
        return Taken(ControlSkin::None, ControlSource::QueryDeclined);

    if (mainSkin.onControlSkin) {
        ControlSkin supplied = ControlSkin::None;
        mainSkin.onControlSkin(mainSkin, control, supplied);
        if (supplied != ControlSkin::None)
            return Taken(supplied, ControlSource::Event);
    }

    if (const std::optional<std::string> kind = ForeignClassKind(s.foreignClasses, control.className)) {
        // A class with an entry is handled by its entry alone, even when the word names no kind.
        return ForeignKindDecide(*kind, control, s.skinControls, context)
            .value_or(Taken(ControlSkin::None, ControlSource::ForeignEntry));
    }

    const std::string upperClass = AsciiUppered(control.className);
    for (const ClassRule& rule : kClassRules) {
        if (!RuleMatches(rule, control, upperClass))
            continue;
        if (rule.member && !s.skinControls.Has(*rule.member))
            continue;
        if (rule.needsTabs && !context.skinHasTabs)
            continue;
        return Taken(rule.skin, ControlSource::ClassRule);
    }
    return Taken(ControlSkin::None, ControlSource::NoRule);
}

bool PopupMenuSkinned(int tag, const SkinSettings& settings) {
    return tag != settings.disableTag && settings.skinControls.Has(xcPopupMenu);
}

const std::array<OwnControlClass, 12> kOwnControlClasses = {{
    {"TPanel", {"TCustomPanel", "TCustomControl", "TWinControl", "TControl"}, true},
    {"TGroupBox", {"TCustomGroupBox", "TCustomControl", "TWinControl", "TControl"}, true},
    {"TListView", {"TCustomListView", "TCustomMultiSelectListControl", "TWinControl", "TControl"}, true},
    {"TRadioButton", {"TButtonControl", "TWinControl", "TControl"}, true},
    {"TEdit", {"TCustomEdit", "TWinControl", "TControl"}, true},
    {"TMemo", {"TCustomMemo", "TCustomEdit", "TWinControl", "TControl"}, true},
    {"TBarButton", {"TCustomControl", "TWinControl", "TControl"}, true},
    {"TGlyphButton", {"TBitBtn", "TButton", "TButtonControl", "TWinControl", "TControl"}, true},
    {"TLinkLabel", {"TCustomControl", "TWinControl", "TControl"}, true},
    {"TGradientBackground", {"TGraphicControl", "TControl"}, false},
    {"TImage", {"TGraphicControl", "TControl"}, false},
    {"TLabel", {"TCustomLabel", "TGraphicControl", "TControl"}, false},
}};

std::optional<ControlFacts> OwnControlFacts(std::string_view className) {
    for (const OwnControlClass& own : kOwnControlClasses) {
        if (own.className != className)
            continue;
        ControlFacts facts;
        facts.className = std::string(own.className);
        for (std::string_view a : own.ancestry)
            if (!a.empty())
                facts.ancestry.emplace_back(a);
        facts.hasHandle = own.windowed;
        return facts;
    }
    return std::nullopt;
}

} // namespace veltrane
