#pragma once
// The application object: a hidden top-level window that owns every form and carries the
// program's taskbar entry, the application title, and the message loop.

#include <string>
#include <string_view>

#include "platform/Handles.h"

namespace veltrane {

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    HWND Handle() const { return window_.Get(); }
    // The window whose closing ends the program; the restore command shows it.
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    HWND MainWindow() const { return mainWindow_; }
    const std::wstring& Title() const { return title_; }
    void SetTitle(std::wstring_view title);

    // Runs the message loop until Terminate; returns at once when it was already asked to end.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    void BringToFront();

    // The standard message box: modal, centred on the screen, no icon, the application title as
    // caption and one button "OK".
    void ShowMessage(std::wstring_view text);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchOne(MSG& msg);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void RestoreMainWindow();

    UniqueWindow window_;
    std::wstring title_;
    HWND mainWindow_ = nullptr;
    bool terminated_ = false;
};

} // namespace veltrane
