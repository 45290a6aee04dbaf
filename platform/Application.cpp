#include "platform/Application.h"

#include <utility>

#include "platform/Guard.h"
#include "platform/LateBound.h"
#include "platform/MessageDialog.h"
#include "platform/Window.h"

namespace veltrane {

namespace {
constexpr wchar_t kApplicationClass[] = L"TApplication";
constexpr wchar_t kNavigatorProperty[] = L"Veltrane.Navigator";
constexpr wchar_t kNoTaskbarProperty[] = L"Veltrane.NoTaskbarEntry";
constexpr UINT kTaskbarCommand = WM_APP + 1;
constexpr WPARAM kRestoreCommand = 1;
constexpr WPARAM kCloseCommand = 2;

// Wine's user32 never reports SM_SHUTTINGDOWN, though its end of a session sends the same messages.
bool RunsUnderWine() {
    return LateBound<const char*()>(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
} // namespace

Application::Application() {
    WindowClassRegister(kApplicationClass, &WindowProcedure<Application>::Procedure);
    // Zero-sized in the middle of the screen: only its taskbar entry is ever seen.
    ::CreateWindowExW(0, kApplicationClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                      ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                      nullptr, ModuleInstance(), this);
}

Application::~Application() {
    // The window's last messages find no application.
    WindowProcedure<Application>::Forget(window_.Get());
}

void Application::SetTitle(std::wstring_view title) {
    title_ = title;
    HwndSetText(window_.Get(), title_);
}

void Application::SetNavigator(HWND window, KeyboardNavigator* navigator) {
    if (navigator)
        ::SetPropW(window, kNavigatorProperty, navigator);
    else
        ::RemovePropW(window, kNavigatorProperty);
}

void Application::SetTaskbarCommands(std::function<void()> restore, std::function<void()> close) {
    restoreCommand_ = std::move(restore);
    closeCommand_ = std::move(close);
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        ::PostMessageW(Handle(), kTaskbarCommand, kCloseCommand, 0);
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE || wParam == SC_RESTORE)
            ::PostMessageW(Handle(), kTaskbarCommand, wParam == SC_CLOSE ? kCloseCommand : kRestoreCommand,
                           0);
        if (wParam == SC_CLOSE || wParam == SC_RESTORE || wParam == SC_MINIMIZE)
            return 0; // the entry itself never changes size
        break;
    case kTaskbarCommand:
        RunTaskbarCommand(wParam);
        return 0;
    case WM_QUERYENDSESSION:
        sessionEnding_ = ::InSendMessage() != FALSE;
        return TRUE;
    case WM_ENDSESSION: {
        const bool agreed = std::exchange(sessionEnding_, false);
        if (wParam && agreed && SessionEndIsReal() && !terminated_) {
            if (sessionEnd_)
                sessionEnd_();
            Terminate();
        }
        return 0;
    }
    }
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

// Any program can post WM_ENDSESSION, or send both messages. The system sends them, in that order,
// and on Windows says meanwhile that the session is ending.
bool Application::SessionEndIsReal() const {
    return ::InSendMessage() && (::GetSystemMetrics(SM_SHUTTINGDOWN) != 0 || RunsUnderWine());
}

void Application::RunTaskbarCommand(WPARAM command) {
    const std::function<void()>& run = command == kCloseCommand ? closeCommand_ : restoreCommand_;
    if (run)
        run();
}

void Application::Dispatch(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root) {
        auto* navigator = static_cast<KeyboardNavigator*>(::GetPropW(root, kNavigatorProperty));
        // A key press that fails counts as handled: it is not dispatched a second time.
        if (navigator && MessageGuard(
                             "key press", msg.message, [&] { return navigator->PreTranslateMessage(msg); },
                             [] { return true; }))
            return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool Application::HandleOneMessage() {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
        ::PostQuitMessage(int(msg.wParam));
        return false;
    }
    if (got == -1)
        return false;
    Dispatch(msg);
    return true;
}

void Application::Run() {
    while (!terminated_ && HandleOneMessage()) {
    }
    terminated_ = true;
}

void Application::Terminate() {
    if (!terminated_) {
        terminated_ = true;
        ::PostQuitMessage(0);
    }
}

void Application::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(int(msg.wParam));
            break;
        }
        Dispatch(msg);
    }
}

void Application::BringToFront() {
    HWND popup = ::GetLastActivePopup(window_.Get());
    ::SetForegroundWindow(popup && ::IsWindowVisible(popup) ? popup : window_.Get());
}

void Application::SetWithoutTaskbarEntry(HWND window) {
    ::SetPropW(window, kNoTaskbarProperty, HANDLE(1));
}

namespace {

struct TaskbarSearch {
    HWND owner;
    bool found;
};

BOOL CALLBACK FindWindowWantingTaskbar(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<TaskbarSearch*>(p);
    if (::GetWindow(w, GW_OWNER) == s->owner && ::IsWindowVisible(w) && !::GetPropW(w, kNoTaskbarProperty))
        s->found = true;
    return !s->found;
}

} // namespace

void Application::RefreshTaskbarEntry() {
    TaskbarSearch search{Handle(), false};
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindWindowWantingTaskbar, LPARAM(&search));
    if (search.found != (::IsWindowVisible(Handle()) != FALSE))
        ::ShowWindow(Handle(), search.found ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void Application::ShowMessage(std::wstring_view text) {
    {
        // This window owns the box, which disables it and on closing enables and activates it.
        ModalScope others(Handle());
        ::ShowWindow(Handle(), SW_SHOWNOACTIVATE); // the box has the taskbar entry as every window
        MessageDialogShow(window_.Get(), title_, text, messageButton_);
    }
    RefreshTaskbarEntry();
}

} // namespace veltrane
