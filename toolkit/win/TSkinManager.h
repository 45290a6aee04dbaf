#pragma once
// The process-wide skin manager: the registered skin components, the one-shot action timer, the
// thread-local window hooks that skin each window of the thread as it is first shown (or, failing
// that, activated; pop-up menu windows when they are created), and the skins it has handed out.

#include <map>
#include <memory>
#include <vector>

#include "platform/Handles.h"
#include "platform/MessageTimer.h"
#include "toolkit/skinning/SkinComponentCore.h"
#include "toolkit/win/SkinnedFrame.h"

namespace veltrane {

class TSkinComponent;

class TSkinManager final : private SkinTimer {
public:
    // The manager, or null while there is none.
    static TSkinManager* Instance();
    // Makes the manager if there is none yet.
    static TSkinManager& Create(const OptionalUser32& user32);

    TSkinManager(const TSkinManager&) = delete;
    TSkinManager& operator=(const TSkinManager&) = delete;
    // The timer goes, then the hook, then every skin handed out (windows get their system frame back).
    ~TSkinManager() override;

    SkinManagerState& State() { return state_; }
    // Components register through the end-of-reading sequence; the last one to leave destroys the
    // manager.
    void ComponentAdd(TSkinComponent& component);
    static void ComponentRemove(TSkinComponent& component);

    // WH_CBT for the calling thread, once; with it the hook that sees windows about to show.
    void HookInstall();
    bool HookInstalled() const { return bool(hook_); }

    // A run-time change of `sender`: the action runs when the timer fires.
    void ActionRequest(TSkinComponent& sender, SkinAction action);

    // Gives a window its frame skin if the rules say so; true if it has one now.
    bool WindowSkin(HWND window, FrameStart start = FrameStart::Now);
    SkinnedFrame* Frame(HWND window) const;
    std::size_t SkinnedCount() const { return frames_.size(); }
    // Pop-up menu windows given a menu skin.
    bool MenuSkinned(HWND menu) const { return menus_.count(menu) != 0; }

private:
    explicit TSkinManager(const OptionalUser32& user32);

    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ShowHookProc(int code, WPARAM wParam, LPARAM lParam);
    void HookEvent(int code, WPARAM wParam, LPARAM lParam);
    // A hidden top-level window is about to show: it takes its frame while still out of sight.
    void WindowShowing(HWND window);
    void WindowCreated(HWND window, const CREATESTRUCTW& create);
    // The window goes: its skin is taken off without giving the system frame back.
    void WindowReleased(HWND window);
    void FrameRemove(HWND window, bool restoreSystemFrame);
    void FramesRemove();
    void MenusRetire();
    void ControlsDecide(SkinnedFrame& frame, TSkinComponent& skin);
    TSkinComponent* MainComponent() const;

    void Start(unsigned intervalMs) override { timer_.Start(intervalMs); }
    void Stop() override { timer_.Stop(); }
    void TimerTick();
    void ActionRun(SkinAction action);

    SkinManagerState state_{*this};
    TMessageTimer timer_;
    UniqueHandle<NullHandleTraits<HHOOK, &::UnhookWindowsHookEx>> hook_;
    UniqueHandle<NullHandleTraits<HHOOK, &::UnhookWindowsHookEx>> showHook_;
    std::vector<TSkinComponent*> components_;
    TSkinComponent* requester_ = nullptr;
    // Frames and menu looks are given to their windows; used only while still on them.
    std::map<HWND, SkinnedFrame*> frames_;
    std::map<HWND, WindowSubclass*> menus_;
};

} // namespace veltrane
