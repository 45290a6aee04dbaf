#include "toolkit/skinning/SkinRules.h"

#include <gtest/gtest.h>

#include "toolkit/skinning/SkinComponentCore.h"

namespace veltrane {
namespace {

using V = WindowVerdict;
using S = ControlSkin;
using Src = ControlSource;

SkinComponentCore StoredComponent() {
    SkinComponentCore c;
    c.settings = SkinSettingsStored();
    return c;
}

TEST(WindowSkinRules, EachRuleInTurn) {
    struct Case {
        WindowFacts w;
        V expected;
        bool on = true;
        bool preview = true;
        bool fastReport = false;
    };
    const auto form = [](const char* cls, int tag = 0) {
        return WindowFacts{.className = cls, .applicationForm = true, .width = 9, .height = 9, .tag = tag};
    };
    const Case cases[] = {
        {form("TfrmSetup"), V::Skin},
        {form("TfrmSetup"), V::SkinningOff, false},
        {{.className = "TfrmSetup", .queryReply = 1, .applicationForm = true, .width = 9, .height = 9},
         V::QueryDeclined},
        {{.className = "TfrmSetup", .queryReply = 2, .applicationForm = true, .width = 9, .height = 9},
         V::Skin},
        {{.className = "TfrmSetup", .skinned = true, .applicationForm = true, .width = 9, .height = 9},
         V::AlreadySkinned},
        {{.className = "Notepad", .width = 9, .height = 9}, V::NotOurs},
        {{.className = "TTimerWindow", .ownModule = true, .width = 9, .height = 9}, V::Skin},
        {{.className = "#32770", .width = 9, .height = 9, .tag = 99}, V::Skin}, // only a form has a Tag
        {{.className = "#32770", .style = 0x300, .width = 9, .height = 9}, V::DialogStyle},
        {{.className = "TfrmSetup", .style = 0x200, .applicationForm = true, .width = 9, .height = 9},
         V::Skin},
        {{.className = "TfrmSetup", .applicationForm = true, .width = 0, .height = 9}, V::NoSize},
        {{.className = "TfrmChild", .applicationForm = true, .mdiChild = true, .width = 9}, V::Skin},
        {form("TfrmSetup", 99), V::FormTag},
        {form("TfrmSetup", 98), V::Skin},
        {form("TvxPopupEditPopupWindowEx"), V::ExcludedClass},
        {form("TApplication"), V::ExcludedClass},
        {form("TfrmPreView"), V::Skin},
        {form("TfrmPreView"), V::Preview, true, false},
        {form("SysMonthCal32"), V::MonthCalendar},
        {form("TfrmSetup"), V::FastReport, true, true, true}, // our own forms begin with "Tfr" too
        {form("TFRMain"), V::Skin, true, true, true},
    };
    for (const Case& c : cases) {
        SkinComponentCore component = StoredComponent();
        if (!c.preview)
            component.settings.options.Exclude(xoPreview);
        if (c.fastReport)
            component.settings.skinControls.Include(xcFastReport);
        const WindowDecision d = WindowSkinDecide(c.w, c.on, component);
        EXPECT_EQ(d.verdict, c.expected) << c.w.className << " expected " << int(c.expected);
        EXPECT_EQ(d.post, d.Skin() ? std::optional(PostedMessage{0x3503, 0, 1000}) : std::nullopt);
    }
}

TEST(WindowSkinRules, FormSkinEventHasTheLastWord) {
    struct Case {
        const char* className;
        bool arrives; // the decision handed to the event
        bool eventSays;
        V expected;
    };
    const Case cases[] = {
        {"TfrmCheck", true, false, V::EventDeclined},
        {"SysMonthCal32", true, true, V::Skin}, // the month-calendar rule is the event's to make
        {"TPreviewForm", false, true, V::Skin},
        {"TPreviewForm", false, false, V::Preview},
    };
    for (const Case& c : cases) {
        SkinComponentCore component = StoredComponent();
        component.settings.options.Exclude(xoPreview);
        std::string seen;
        component.onFormSkin = [&](SkinComponentCore& sender, std::string_view className, bool& skin) {
            EXPECT_EQ(&sender, &component);
            EXPECT_EQ(skin, c.arrives);
            seen = className;
            skin = c.eventSays;
        };
        const WindowFacts w{.className = c.className, .applicationForm = true, .width = 9, .height = 9};
        EXPECT_EQ(WindowSkinDecide(w, true, component).verdict, c.expected) << c.className;
        EXPECT_EQ(seen, c.className);
    }
}

TEST(CreationHook, SizeGripsMenusAndMdiChildren) {
    struct Case {
        CreatedWindowFacts w;
        CreationAction expected;
        bool on = true;
        bool popupMenus = true;
    };
    const Case cases[] = {
        {{"ScrollBar", 0x10, false, true}, CreationAction::SizeGripToParent},
        {{"scrollbar", 0x11, false, true}, CreationAction::SizeGripToParent},
        {{"ScrollBar", 0x01, false, true}, CreationAction::None},
        {{"ScrollBar", 0x10, false, false}, CreationAction::None},
        {{"#32768", 0x80000000, false, false}, CreationAction::MenuSkin},
        {{"#32768", 0x40000000, false, false}, CreationAction::None}, // a child
        {{"#32768", 0, false, false}, CreationAction::None, false},
        {{"#32768", 0, false, false}, CreationAction::None, true, false},
        {{"TfrmChild", 0, true, false}, CreationAction::SkinNow},
        {{"TfrmCheck", 0, false, false}, CreationAction::None},
    };
    for (const Case& c : cases) {
        SkinSettings settings = SkinSettingsStored();
        if (!c.popupMenus)
            settings.skinControls.Exclude(xcPopupMenu);
        EXPECT_EQ(WindowCreatedAction(c.w, c.on, settings), c.expected) << c.w.className;
    }
}

constexpr TSkinControls kAllControls = TSkinControls::FromBits(0x3FFFFF);

TEST(ControlSkinRules, ExemptionsThenClassRulesInOrderEachWhileItsMemberIsOn) {
    struct Case {
        ControlFacts control;
        S skin;
        Src source;
        std::optional<TSkinControlType> off = {};
        bool tabs = true;
    };
    const std::vector<std::string> richEdit = {"TCustomRichEdit", "TCustomMemo", "TCustomEdit"};
    const Case cases[] = {
        {{.className = "TEdit", .ancestry = {"TCustomEdit"}, .tag = 99}, S::None, Src::DisableTag},
        {{.className = "TEdit", .ancestry = {"TCustomEdit"}, .hasHandle = false}, S::None, Src::NoHandle},
        {{.className = "TEdit", .ancestry = {"TCustomEdit"}, .queryReply = 1}, S::None, Src::QueryDeclined},
        {{.className = "TDBComboBoxEh"}, S::None, Src::ClassRule},
        {{.className = "TTabSet"}, S::Tabs, Src::ClassRule},
        {{.className = "TTabbedNotebook"}, S::None, Src::NoRule, {}, false}, // the skin has no [Tabs]
        {{.className = "TUpDown"}, S::UpDown, Src::ClassRule},
        {{.className = "TSpinButton"}, S::None, Src::NoRule, xcSpin},
        {{.className = "TMediaPlayer"}, S::MediaPlayer, Src::ClassRule},
        {{.className = "TDBNavigator"}, S::Panel, Src::ClassRule},
        {{.className = "TvxCheckBox"}, S::CheckBox, Src::ClassRule},
        {{.className = "TKwRadioButton"}, S::RadioButton, Src::ClassRule},
        {{.className = "TKwDBRadioButton"}, S::RadioButton, Src::ForeignEntry}, // its entry comes first
        {{.className = "TGroupBox", .ancestry = {"TCustomGroupBox"}}, S::GroupBox, Src::ClassRule},
        {{.className = "TGroupBox", .ancestry = {"TCustomGroupBox"}}, S::None, Src::NoRule, xcPanel},
        {{.className = "TTntComboBox"}, S::ComboBox, Src::ClassRule},
        {{.className = "TRichEdit", .ancestry = richEdit}, S::ScrollBars, Src::ClassRule},
        {{.className = "TRichEdit", .ancestry = richEdit}, S::Edit, Src::ClassRule, xcScrollbar}, // falls on
        {{.className = "TPanel", .ancestry = {"TCustomPanel"}}, S::Panel, Src::ClassRule},
        {{.className = "TQXDBGrid"}, S::ScrollBars, Src::ClassRule},
        {{.className = "TListView", .ancestry = {"TCustomListView"}}, S::ScrollBars, Src::ClassRule},
        {{.className = "TMemo", .ancestry = {"TCustomMemo", "TCustomEdit"}}, S::ScrollBars, Src::ClassRule},
        {{.className = "TBitBtn", .ancestry = {"TButton"}}, S::PushButton, Src::ClassRule},
        {{.className = "TMyEdit", .ancestry = {"TEdit", "TCustomEdit"}}, S::Edit, Src::ClassRule},
        {{.className = "TCheckBox", .ancestry = {"TCustomCheckBox"}}, S::None, Src::NoRule},
    };
    for (const Case& c : cases) {
        SkinComponentCore component;
        component.settings.skinControls = kAllControls;
        if (c.off)
            component.settings.skinControls.Exclude(*c.off);
        const ControlDecision d = ControlSkinDecide(c.control, component, {c.tabs});
        EXPECT_EQ(d.skin, c.skin) << c.control.className;
        EXPECT_EQ(d.source, c.source) << c.control.className;
    }
}

TEST(ControlSkinRules, ControlSkinEventSuppliesOrPasses) {
    SkinComponentCore component = StoredComponent();
    S supplied = S::Panel;
    component.onControlSkin = [&](SkinComponentCore&, const ControlFacts&, S& skin) {
        skin = supplied;
    };
    const ControlFacts edit{.className = "TEdit", .ancestry = {"TCustomEdit"}};
    EXPECT_EQ(ControlSkinDecide(edit, component, {}), (ControlDecision{S::Panel, Src::Event}));
    supplied = S::None;
    EXPECT_EQ(ControlSkinDecide(edit, component, {}).skin, S::Edit);
}

TEST(ForeignKinds, EachWordNeedsItsMember) {
    struct Case {
        const char* word;
        std::optional<TSkinControlType> member;
        S skin;
        bool transparent = false;
    };
    const Case cases[] = {
        {"combobox", xcCombo, S::ComboBox},
        {"datetimepicker", xcCombo, S::DateTimePicker},
        {"edit", xcEdit, S::Edit},
        {"radiobutton", xcRadioButton, S::RadioButton},
        {"panel", xcPanel, S::Panel, true},
        {"button", xcButton, S::PushButton},
        {"bitbtn", xcButton, S::BitButton},
        {"pngbitbtn", xcButton, S::PngBitButton},
        {"menubtn", xcButton, S::MenuButton},
        {"mediaplayer", xcButton, S::MediaPlayer},
        {"trackbar", xcButton, S::TrackBar, true},
        {"speedbutton", xcSpeedButton, S::SpeedButton},
        {"tab", xcTab, S::Tabs},
        {"advpagecontrol", xcTab, S::AdvPageControl},
        {"progress", xcProgress, S::Progress},
        {"scrollbar", xcScrollbar, S::ScrollBars},
        {"singlescrollbar", xcScrollbar, S::SingleScrollBar},
        {"embedscrollbar", xcScrollbar, S::EmbedScrollBar},
        {"groupbox", xcGroupBox, S::GroupBox},
        {"radiogroup", xcGroupBox, S::RadioGroup},
        {"checkbox", xcCheckBox, S::CheckBox},
        {"checkgroup", xcPanel, S::GroupBox},
        {"container", {}, S::Container},
        {"nil", {}, S::None},
    };
    const ControlFacts control{.className = "TForeign"};
    for (const Case& c : cases) {
        const auto on = ForeignKindDecide(c.word, control, kAllControls, {true});
        ASSERT_TRUE(on) << c.word;
        EXPECT_EQ(on->skin, c.skin) << c.word;
        EXPECT_EQ(on->setTransparent, c.transparent) << c.word;
        TSkinControls without = {};
        if (c.member) {
            without = kAllControls;
            without.Exclude(*c.member);
        }
        EXPECT_EQ(ForeignKindDecide(c.word, control, without, {true})->skin, c.member ? S::None : c.skin)
            << c.word;
    }
    EXPECT_EQ(ForeignKindDecide("tab", control, kAllControls, {false})->skin, S::None);
    EXPECT_EQ(ForeignKindDecide("Edit", control, kAllControls, {true}),
              std::nullopt); // words come lower-cased
}

TEST(ForeignKinds, GroupsAndTheirChildren) {
    struct Case {
        const char* word;
        TSkinControls controls;
        S skin;
        S children;
    };
    const Case cases[] = {
        {"radiogroup", {xcGroupBox}, S::RadioGroup, S::None},
        {"radiogroup", {xcGroupBox, xcRadioButton}, S::RadioGroup, S::RadioButton},
        {"checkgroup", {xcPanel, xcCheckBox}, S::None, S::None},
        {"checkgroup", {xcPanel, xcRadioButton}, S::None, S::CheckBox},
        {"checkgroup", {xcPanel, xcGroupBox}, S::GroupBox, S::None},
        {"checkgroup", {xcGroupBox, xcRadioButton}, S::None, S::None},
    };
    for (const Case& c : cases) {
        const auto d = ForeignKindDecide(c.word, {.className = "TGroup"}, c.controls, {});
        EXPECT_EQ(d->skin, c.skin) << c.word << " " << c.controls.Bits();
        EXPECT_EQ(d->children, c.children) << c.word << " " << c.controls.Bits();
    }
}

TEST(ForeignKinds, EntriesDecideAloneAndDropDownVxButtonsGetTheMenuButtonSkin) {
    SkinComponentCore component;
    component.settings.skinControls = kAllControls;
    component.settings.foreignClasses = {"TEdit=oddword", "TListView=nil", "TMemo=container",
                                         "TvxButton=bitbtn", "TLMDButton=bitbtn"};
    struct Case {
        ControlFacts control;
        S skin;
    };
    const Case cases[] = {
        {{.className = "TEdit", .ancestry = {"TCustomEdit"}}, S::None},
        {{.className = "TListView", .ancestry = {"TCustomListView"}}, S::None},
        {{.className = "TMemo", .ancestry = {"TCustomMemo"}}, S::Container},
        {{.className = "TvxButton", .kindProperty = "vxbkDropDownButton"}, S::MenuButton},
        {{.className = "TvxButton", .kindProperty = "vxbkStandard"}, S::BitButton},
        {{.className = "TLMDButton", .kindProperty = "vxbkDropDownButton"}, S::BitButton},
    };
    for (const Case& c : cases) {
        const ControlDecision d = ControlSkinDecide(c.control, component, {});
        EXPECT_EQ(d.skin, c.skin) << c.control.className << c.control.kindProperty;
        EXPECT_EQ(d.source, Src::ForeignEntry) << c.control.className;
    }
}

TEST(ControlSkinRules, PopupMenusFollowDisableTagAndTheirMember) {
    SkinSettings s = SkinSettingsStored();
    EXPECT_TRUE(PopupMenuSkinned(0, s));
    EXPECT_FALSE(PopupMenuSkinned(99, s));
    s.skinControls.Exclude(xcPopupMenu);
    EXPECT_FALSE(PopupMenuSkinned(0, s));
}

// What the stored settings give this program's own controls, with and without GetScrollBarInfo
// (which takes xcScrollbar out of the set at start-up).
TEST(ControlSkinRules, OwnControlsUnderTheStoredSettings) {
    struct Case {
        const char* className;
        S withScrollBars;
        S withoutScrollBars;
    };
    const Case cases[] = {
        {"TEdit", S::Edit, S::Edit},
        {"TListView", S::ScrollBars, S::None},
        {"TMemo", S::ScrollBars, S::Edit}, // the memo rule's member is off, so the edit rule takes it
        {"TGroupBox", S::None, S::None},
        {"TPanel", S::None, S::None},
        {"TRadioButton", S::None, S::None},
        {"TBarButton", S::None, S::None},
        {"TGlyphButton", S::None, S::None},
        {"TLinkLabel", S::None, S::None},
        {"TGradientBackground", S::None, S::None},
        {"TImage", S::None, S::None},
        {"TLabel", S::None, S::None},
    };
    ASSERT_EQ(std::size(cases), kOwnControlClasses.size());
    for (const Case& c : cases) {
        const std::optional<ControlFacts> facts = OwnControlFacts(c.className);
        ASSERT_TRUE(facts) << c.className;
        SkinComponentCore component = StoredComponent();
        EXPECT_EQ(ControlSkinDecide(*facts, component, {true}).skin, c.withScrollBars) << c.className;
        component.settings.skinControls.Exclude(xcScrollbar);
        EXPECT_EQ(ControlSkinDecide(*facts, component, {true}).skin, c.withoutScrollBars) << c.className;
    }
    // The bit buttons are kept by their entry: with xcButton on they would be skinned as bit buttons.
    SkinComponentCore component = StoredComponent();
    component.settings.skinControls.Include(xcButton);
    EXPECT_EQ(ControlSkinDecide(*OwnControlFacts("TGlyphButton"), component, {}).skin, S::BitButton);
    EXPECT_FALSE(OwnControlFacts("TfrmSetup"));
}

} // namespace
} // namespace veltrane
