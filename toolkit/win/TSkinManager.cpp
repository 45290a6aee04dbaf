#include "toolkit/win/TSkinManager.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/Guard.h"
#include "platform/Window.h"
#include "base/Bytes.h"
#include "toolkit/win/DrawnButton.h"
#include "toolkit/win/SkinnedMenu.h"
#include "toolkit/win/TSkinComponent.h"

namespace veltrane {

namespace {

std::unique_ptr<TSkinManager>& ManagerSlot() {
    static std::unique_ptr<TSkinManager> manager; // the one per process
    return manager;
}

// Class names of the system and of the program are ASCII.
std::string ClassNameOf(HWND window) {
    return AsciiNarrow(HwndClassName(window));
}

bool OfOurModule(HWND window) {
    return HINSTANCE(::GetWindowLongPtrW(window, GWLP_HINSTANCE)) == ModuleInstance();
}

WindowFacts WindowFactsOf(HWND window, bool skinningOn) {
    WindowFacts facts;
    facts.className = ClassNameOf(window);
    facts.style = std::uint32_t(::GetWindowLongW(window, GWL_STYLE));
    facts.ownModule = OfOurModule(window);
    // The program's forms are its own top-level windows; none of them has a Tag.
    facts.applicationForm = facts.ownModule && !(facts.style & WS_CHILD);
    facts.mdiChild = (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
    RECT r{};
    ::GetWindowRect(window, &r);
    facts.width = r.right - r.left;
    facts.height = r.bottom - r.top;
    // Only asked when the answer can matter.
    if (skinningOn)
        facts.queryReply = ::SendMessageW(window, kSkinQueryMessage, 0, 0);
    return facts;
}

// The class-library class one of our own controls stands for, from its system class and style.
std::string OwnClassOf(HWND control, const std::string& systemClass) {
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    if (AsciiEqualNoCase(systemClass, "Edit"))
        return style & ES_MULTILINE ? "TMemo" : "TEdit";
    if (AsciiEqualNoCase(systemClass, "SysListView32"))
        return "TListView";
    if (AsciiEqualNoCase(systemClass, "Static"))
        return (style & SS_TYPEMASK) == SS_BITMAP ? "TImage" : "TLabel";
    if (AsciiEqualNoCase(systemClass, "Button")) {
        switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            return "TGroupBox";
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return "TRadioButton";
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
            return "TCheckBox";
        default:
            break;
        }
        // A push button the program draws says which kind it is.
        if (const DrawnButton* drawn = DrawnButton::From(control))
            return drawn->ClassName();
    }
    return systemClass; // panels and link labels are registered under their own class names
}

ControlFacts ControlFactsOf(HWND control) {
    const std::string systemClass = ClassNameOf(control);
    ControlFacts facts;
    if (OfOurModule(control))
        facts = OwnControlFacts(OwnClassOf(control, systemClass)).value_or(ControlFacts{});
    if (facts.className.empty())
        facts.className = systemClass;
    if (facts.hasHandle)
        facts.queryReply = ::SendMessageW(control, kSkinQueryMessage, 0, 0);
    return facts;
}

} // namespace

TSkinManager* TSkinManager::Instance() {
    return ManagerSlot().get();
}

TSkinManager& TSkinManager::Create(const OptionalUser32& user32) {
    std::unique_ptr<TSkinManager>& slot = ManagerSlot();
    if (!slot)
        slot.reset(new TSkinManager(user32));
    return *slot;
}

TSkinManager::TSkinManager(const OptionalUser32& user32) {
    timer_.SetOnTick([this] { TimerTick(); });
    // A window the system ghosts while the program is busy would show the system's frame.
    if (user32.disableProcessWindowsGhosting)
        user32.disableProcessWindowsGhosting();
}

TSkinManager::~TSkinManager() {
    timer_.Stop();
    hook_.Reset();
    showHook_.Reset();
    FramesRemove();
    MenusRetire();
}

void TSkinManager::ComponentAdd(TSkinComponent& component) {
    if (std::find(components_.begin(), components_.end(), &component) == components_.end())
        components_.push_back(&component);
}

void TSkinManager::ComponentRemove(TSkinComponent& component) {
    TSkinManager* manager = Instance();
    if (!manager)
        return;
    auto found = std::find(manager->components_.begin(), manager->components_.end(), &component);
    if (found == manager->components_.end())
        return;
    const bool wasMain = manager->MainComponent() == &component;
    manager->state_.Unregister(component.Core());
    manager->components_.erase(found);
    if (manager->requester_ == &component)
        manager->requester_ = nullptr;
    if (manager->components_.empty()) {
        ManagerSlot().reset();
        return;
    }
    // The frames and menus paint with the main skin's bitmaps: they go with it.
    if (wasMain) {
        manager->FramesRemove();
        manager->MenusRetire();
    }
}

TSkinComponent* TSkinManager::MainComponent() const {
    const SkinComponentCore* main = state_.MainSkin();
    for (TSkinComponent* component : components_)
        if (&component->Core() == main)
            return component;
    return nullptr;
}

void TSkinManager::HookInstall() {
    if (!hook_)
        hook_.Reset(::SetWindowsHookExW(WH_CBT, &TSkinManager::HookProc, nullptr, ::GetCurrentThreadId()));
    // Activation comes once a window is on screen; WM_SHOWWINDOW comes while it is still hidden, so a
    // frame put on then is in the window's first picture, and no shown window changes size under it.
    // Seen after the window's own handling, which may make its controls.
    if (!showHook_)
        showHook_.Reset(::SetWindowsHookExW(WH_CALLWNDPROCRET, &TSkinManager::ShowHookProc, nullptr,
                                            ::GetCurrentThreadId()));
}

LRESULT CALLBACK TSkinManager::ShowHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (TSkinManager* manager = Instance();
        manager && code == HC_ACTION && sent->message == WM_SHOWWINDOW && sent->wParam)
        MessageGuard(
            "skin show hook", sent->message,
            [&] {
                manager->WindowShowing(sent->hwnd);
                return 0;
            },
            [] { return 0; });
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void TSkinManager::WindowShowing(HWND window) {
    if (!window || ::IsWindowVisible(window) || (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
        return;
    // The showing is the activation's first step: the manager starts with it.
    state_.Start();
    // A window activated while hidden has a frame waiting for its posted message. One put on at a
    // showing the window refused has not seen the controls made since.
    if (SkinnedFrame* frame = Frame(window)) {
        frame->StartWaiting();
        if (TSkinComponent* main = MainComponent())
            ControlsDecide(*frame, *main);
    } else {
        WindowSkin(window, FrameStart::Now);
    }
}

LRESULT CALLBACK TSkinManager::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (TSkinManager* manager = Instance(); manager && code >= 0)
        MessageGuard(
            "skin hook", UINT(code),
            [&] {
                manager->HookEvent(code, wParam, lParam);
                return 0;
            },
            [] { return 0; });
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void TSkinManager::HookEvent(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = HWND(wParam);
    switch (code) {
    case HCBT_ACTIVATE:
        state_.Start();
        // A window shown without WM_SHOWWINDOW: the frame takes over once the activation and the
        // showing around it are over.
        WindowSkin(window, FrameStart::Posted);
        break;
    case HCBT_CREATEWND:
        WindowCreated(window, *reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs);
        break;
    case HCBT_DESTROYWND:
        WindowReleased(window);
        break;
    default:
        break;
    }
}

void TSkinManager::WindowCreated(HWND window, const CREATESTRUCTW& create) {
    TSkinComponent* main = MainComponent();
    if (!main)
        return;
    CreatedWindowFacts facts;
    facts.className = ClassNameOf(window);
    facts.style = std::uint32_t(create.style);
    facts.mdiChild = (create.dwExStyle & WS_EX_MDICHILD) != 0;
    SkinnedFrame* parent = Frame(create.hwndParent);
    facts.parentSkinned = parent != nullptr;
    switch (WindowCreatedAction(facts, state_.SkinningOn(), main->Settings())) {
    case CreationAction::SizeGripToParent:
        parent->SizeGripTake(window);
        break;
    case CreationAction::MenuSkin:
        if (WindowSubclass* look = WindowSubclass::Give(SkinnedMenuAttach(window, *main), window))
            menus_[window] = look;
        break;
    case CreationAction::SkinNow:
        WindowSkin(window, FrameStart::Creation);
        break;
    case CreationAction::None:
        break;
    }
}

bool TSkinManager::WindowSkin(HWND window, FrameStart start) {
    if (!window || !::IsWindow(window))
        return false;
    if (Frame(window))
        return true;
    // A pop-up menu window has the menu skin alone (Wine makes it in our module, so the rules would
    // give it a frame).
    if (ClassNameOf(window) == kPopupMenuClass)
        return false;
    TSkinComponent* main = MainComponent();
    if (!main || !main->SkinLoaded())
        return false;
    const WindowFacts facts = WindowFactsOf(window, state_.SkinningOn());
    const WindowDecision decision = WindowSkinDecide(facts, state_.SkinningOn(), main->Core());
    if (!decision.Skin())
        return false;
    // Known before it takes over: the messages of the taking over find it.
    auto frame = std::make_unique<SkinnedFrame>(*main);
    frames_[window] = frame.get();
    if (!frame->Apply(window, start, [this, main](SkinnedFrame& f) { ControlsDecide(f, *main); }) ||
        !WindowSubclass::Give(std::move(frame), window)) {
        frames_.erase(window);
        return false;
    }
    if (decision.post)
        ::PostMessageW(window, decision.post->message, decision.post->wParam, decision.post->lParam);
    return true;
}

void TSkinManager::ControlsDecide(SkinnedFrame& frame, TSkinComponent& skin) {
    const ControlContext context{skin.Model()->tabs.has_value()};
    for (HWND control : ChildWindows(frame.Window()))
        if (!frame.Controls().contains(control))
            frame.ControlSkinSet(control, ControlSkinDecide(ControlFactsOf(control), skin.Core(), context));
}

SkinnedFrame* TSkinManager::Frame(HWND window) const {
    auto found = frames_.find(window);
    return found != frames_.end() && WindowSubclass::IsOn(window, found->second) ? found->second : nullptr;
}

void TSkinManager::WindowReleased(HWND window) {
    FrameRemove(window, false);
    if (auto menu = menus_.find(window); menu != menus_.end()) {
        WindowSubclass::RetireFrom(window, menu->second);
        menus_.erase(menu);
    }
    for (auto& [skinned, frame] : frames_)
        if (WindowSubclass::IsOn(skinned, frame))
            frame->ChildForget(window);
}

void TSkinManager::FrameRemove(HWND window, bool restoreSystemFrame) {
    SkinnedFrame* frame = Frame(window);
    frames_.erase(window);
    if (!frame)
        return;
    frame->Remove(restoreSystemFrame);
    frame->Retire();
}

void TSkinManager::FramesRemove() {
    while (!frames_.empty())
        FrameRemove(frames_.begin()->first, true);
}

void TSkinManager::MenusRetire() {
    for (auto& [window, look] : std::exchange(menus_, {}))
        WindowSubclass::RetireFrom(window, look);
}

void TSkinManager::ActionRequest(TSkinComponent& sender, SkinAction action) {
    requester_ = &sender;
    state_.ActionRequest(action);
}

void TSkinManager::TimerTick() {
    ActionRun(state_.TimerFire());
    TSkinComponent* sender = requester_ ? requester_ : MainComponent();
    if (sender && sender->Core().onSkinChanged)
        sender->Core().onSkinChanged(sender->Core());
}

void TSkinManager::ActionRun(SkinAction action) {
    switch (action) {
    case SkinAction::Skin:
        // Hidden windows wait for their first activation.
        for (HWND window : ThreadWindows())
            if (::IsWindowVisible(window))
                WindowSkin(window);
        break;
    case SkinAction::Unskin:
        FramesRemove();
        MenusRetire();
        break;
    case SkinAction::Refresh: {
        std::vector<HWND> skinned;
        for (const auto& [window, frame] : frames_)
            skinned.push_back(window);
        for (HWND window : skinned)
            if (SkinnedFrame* frame = Frame(window))
                frame->Refresh();
        break;
    }
    case SkinAction::None:
        break;
    }
}

} // namespace veltrane
