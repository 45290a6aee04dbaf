#pragma once
// The application object: a hidden top-level window that owns every form and carries the
// program's single taskbar entry, the application title, and the message loop.

#include <functional>
#include <string>
#include <string_view>

#include "platform/Com.h"
#include "platform/Handles.h"
#include "platform/WindowProcedure.h"

namespace veltrane {

// A top-level window that wants first look at keyboard messages meant for its controls.
class KeyboardNavigator {
public:
    virtual ~KeyboardNavigator() = default;
    // True when the message has been handled and must not be dispatched.
    virtual bool PreTranslateMessage(MSG& msg) = 0;
};

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    HWND Handle() const { return window_.Get(); }
    const std::wstring& Title() const { return title_; }
    void SetTitle(std::wstring_view title);
    // What the taskbar entry's restore and close commands do. They run once the command's message
    // has been answered, so that its sender never waits on a dialog they open.
    void SetTaskbarCommands(std::function<void()> restore, std::function<void()> close);
    // Runs when the Windows session ends (logoff, shutdown), then the loop is asked to end. The
    // process may be ended as soon as it returns: it releases what must not be left behind.
    void SetSessionEnd(std::function<void()> handler) { sessionEnd_ = std::move(handler); }

    static void SetNavigator(HWND window, KeyboardNavigator* navigator);

    // Runs the message loop until Terminate; returns at once when it was already asked to end.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Waits for and handles one message; false once WM_QUIT has arrived (it is posted again for
    // the outer loop).
    bool HandleOneMessage();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    void BringToFront();

    // The taskbar entry is there while any window of the program that wants one is shown.
    void RefreshTaskbarEntry();
    static void SetWithoutTaskbarEntry(HWND window);

    // The standard message box: modal, centred on the screen, no icon, the application title as
    // caption and one button with the given caption.
    void SetMessageButtonText(std::wstring_view text) { messageButton_ = text; }
    void ShowMessage(std::wstring_view text);

    // The UI thread's apartment, joined by the first accessibility object a window hands out.
    ComApartment& Apartment() { return apartment_; }

private:
    friend class WindowProcedure<Application>;
    static constexpr char kWhere[] = "application";
    void Attached(HWND hwnd) { window_.Reset(hwnd); }
    void Detached(HWND) { window_.Release(); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Dispatch(MSG& msg);
    void RunTaskbarCommand(WPARAM command);
    bool SessionEndIsReal() const;

    // First in, last out: accessibility clients' calls reach the windows through the message loop.
    // Joined when the first client asks: COM costs an idle program in the notification area a
    // megabyte it never uses otherwise.
    ComApartment apartment_{ComApartment::When::OnDemand};
    UniqueWindow window_;
    std::wstring title_;
    std::function<void()> restoreCommand_;
    std::function<void()> closeCommand_;
    std::function<void()> sessionEnd_;
    std::wstring messageButton_;
    bool terminated_ = false;
    bool sessionEnding_ = false; // this program has just agreed to a session end the system asked about
};

} // namespace veltrane
