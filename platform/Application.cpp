#include "platform/Application.h"

#include "platform/MessageDialog.h"
#include "platform/Window.h"

namespace veltrane {

namespace {
constexpr wchar_t kApplicationClass[] = L"TApplication";
}

Application::Application() {
    WindowClassRegister(kApplicationClass, &Application::WindowProc);
    // A zero-sized popup: never seen itself, but owner of every form.
    window_.Reset(::CreateWindowExW(0, kApplicationClass, L"",
                                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
                                    nullptr, ModuleInstance(), this));
}

void Application::SetTitle(std::wstring_view title) {
    title_ = title;
    HwndSetText(window_.Get(), title_);
}

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Application*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->window_)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool closeRequest = message == WM_CLOSE || (message == WM_SYSCOMMAND && wParam == SC_CLOSE);
    if (closeRequest) {
        // Closing the taskbar entry closes the main window, which ends the program.
        if (mainWindow_)
            ::PostMessageW(mainWindow_, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_SYSCOMMAND && wParam == SC_RESTORE)
        RestoreMainWindow();
    return ::DefWindowProcW(Handle(), message, wParam, lParam);
}

void Application::RestoreMainWindow() {
    if (!mainWindow_)
        return;
    if (::IsIconic(mainWindow_))
        ::ShowWindow(mainWindow_, SW_RESTORE);
    ::ShowWindow(mainWindow_, SW_SHOW);
}

bool Application::DispatchOne(MSG& msg) {
    // Tab, arrows, Enter and Space move between and press the controls of our own windows.
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && root != window_.Get() && ::IsDialogMessageW(root, &msg))
        return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    return true;
}

void Application::Run() {
    MSG msg;
    while (!terminated_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        DispatchOne(msg);
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
            terminated_ = true;
            break;
        }
        DispatchOne(msg);
    }
}

void Application::BringToFront() {
    HWND popup = ::GetLastActivePopup(window_.Get());
    ::SetForegroundWindow(popup ? popup : window_.Get());
}

void Application::ShowMessage(std::wstring_view text) {
    MessageDialogShow(window_.Get(), title_, text);
}

} // namespace veltrane
