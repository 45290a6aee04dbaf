// Times the skinning of a window laid out like the main window on its first show: from the
// activation hook to the end of the first full paint of its skinned frame. Median of 30 fresh
// windows. Prints a "figure:" line.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/Form.h"
#include "platform/Resources.h"
#include "toolkit/win/TSkinManager.h"

namespace veltrane {
namespace {

constexpr int kRuns = 30;
constexpr int kSkinResource = 7001; // the stored skin (tests/win/SkinTest.rc)

// The main window's kinds of controls at their places.
constexpr ControlLayout kControls[] = {
    {ControlKind::Panel, 107, 0, 0, 391, 617, 51, L"", WS_BORDER, RGB(234, 234, 234)},
    {ControlKind::Button, 109, 107, 424, 12, 88, 28, L"OK"},
    {ControlKind::Button, 110, 107, 328, 12, 89, 28, L"Password"},
    {ControlKind::Button, 111, 107, 520, 12, 85, 28, L"Cancel"},
    {ControlKind::Button, 112, 107, 232, 12, 89, 28, L"About"},
    {ControlKind::LinkLabel, 108, 107, 13, 16, 169, 19, L"http://www.example.com/", SS_CENTER},
    {ControlKind::Picture, 100, 0, 8, 8, 600, 61, L"", SS_BITMAP},
    {ControlKind::Panel, 101, 0, 8, 80, 601, 297, L"", 0, RGB(255, 255, 255)},
    {ControlKind::GroupBox, 102, 101, 16, 8, 569, 169, L"Partitions"},
    {ControlKind::ListView, 103, 102, 12, 24, 545, 131, L""},
    {ControlKind::GroupBox, 104, 101, 16, 184, 569, 94, L"Mode"},
    {ControlKind::RadioButton, 105, 104, 11, 29, 531, 17, L"Protected", WS_GROUP},
    {ControlKind::RadioButton, 106, 104, 11, 61, 531, 17, L"Open"},
};

constexpr FormLayout kLayout{L"TFrameSkinBench",
                             WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                             0,
                             617,
                             442,
                             L"Veltrane",
                             L"MS Sans Serif",
                             12,
                             RGB(255, 255, 255),
                             kControls};

class BenchForm : public Form {
public:
    explicit BenchForm(Application& application) : Form(application) { CreateFromLayout(kLayout); }

private:
    // As the program's tray icon does for the main window: to the front before it shows.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SHOWWINDOW && wParam && !lParam)
            ::SetForegroundWindow(Handle());
        return Form::HandleMessage(message, wParam, lParam);
    }
};

// What the two hooks see of the window being timed.
struct Timing {
    HWND window = nullptr;
    LARGE_INTEGER activated{};
    LARGE_INTEGER painted{};
    bool done = false;
};
Timing* gTiming = nullptr; // the hooks' only way to their run

// Installed after the skin's hook, so it is called first: the start of the skin's work.
LRESULT CALLBACK ActivationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && gTiming && HWND(wParam) == gTiming->window && !gTiming->activated.QuadPart)
        ::QueryPerformanceCounter(&gTiming->activated);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool FramePainting(const CWPRETSTRUCT& sent) {
    const SkinnedFrame* frame = TSkinManager::Instance()->Frame(sent.hwnd);
    return frame && frame->HasStarted() && ::IsWindowVisible(sent.hwnd);
}

// A started skinned frame paints itself whole on WM_NCPAINT and on WM_NCACTIVATE: whichever returns first.
LRESULT CALLBACK PaintReturnHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && gTiming && !gTiming->done && sent->hwnd == gTiming->window &&
        gTiming->activated.QuadPart && (sent->message == WM_NCPAINT || sent->message == WM_NCACTIVATE) &&
        FramePainting(*sent)) {
        ::QueryPerformanceCounter(&gTiming->painted);
        gTiming->done = true;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

int Run() {
    Application application;
    TSkinComponent skin(application, nullptr);
    skin.Settings() = SkinSettingsStored();
    skin.SetSkinStream(ResourceData(kSkinResource));
    skin.Loaded();
    if (!skin.Active()) {
        std::fprintf(stderr, "the stored skin did not load\n");
        return 1;
    }
    UniqueHandle<NullHandleTraits<HHOOK, &::UnhookWindowsHookEx>> activation(
        ::SetWindowsHookExW(WH_CBT, &ActivationHook, nullptr, ::GetCurrentThreadId()));
    UniqueHandle<NullHandleTraits<HHOOK, &::UnhookWindowsHookEx>> paints(
        ::SetWindowsHookExW(WH_CALLWNDPROCRET, &PaintReturnHook, nullptr, ::GetCurrentThreadId()));
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);

    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        Owned<BenchForm> form(application);
        Timing timing;
        timing.window = form.Handle();
        gTiming = &timing;
        form.Show();
        application.ProcessMessages(); // as the program's loop does after showing a window
        gTiming = nullptr;
        if (!timing.done) {
            std::fprintf(stderr, "run %d: the skinned frame was not painted\n", run);
            return 1;
        }
        times.push_back(double(timing.painted.QuadPart - timing.activated.QuadPart) * 1000.0 /
                        double(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    std::printf("figure: skin the main window on first show, hook to first frame paint = %.3f ms "
                "(median of %d, %.3f-%.3f)\n",
                times[times.size() / 2], kRuns, times.front(), times.back());
    return 0;
}

} // namespace
} // namespace veltrane

int wmain() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    return veltrane::Run();
}
