// Times one paint of the main window's drawn parts (the content panel, the button bar and its four
// buttons) into a memory DC, through the windows' own painting: median of 100 runs, with the
// gradient bitmaps kept ("warm") and redrawn each run ("redrawn", as after a change of colours).
// Prints "figure:" lines.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "platform/Containers.h"
#include "platform/Paint.h"
#include "toolkit/win/TBarButton.h"
#include "toolkit/win/TGradientBackground.h"

namespace veltrane {
namespace {

constexpr int kRuns = 100;
constexpr int kWidth = 617, kHeight = 442, kBarTop = 391;

struct ButtonPlace {
    const wchar_t* caption;
    int x, width;
};
constexpr std::array<ButtonPlace, 4> kButtons{{
    {L"确定", 424, 88},
    {L"修改密码", 328, 89},
    {L"取消", 520, 85},
    {L"关于", 232, 89},
}};

void PrintInto(HWND window, HDC dc, int x, int y) {
    POINT previous{};
    ::SetViewportOrgEx(dc, x, y, &previous);
    ::SendMessageW(window, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Run() {
    HWND top = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                 nullptr, nullptr);
    Panel content(RGB(255, 255, 255)), bar(RGB(234, 234, 234));
    content.Create(top, 1, {8, 80, 8 + 601, 80 + 297}, 0, 0);
    bar.Create(top, 2, {0, kBarTop, kWidth, kHeight}, 0, 0);

    TGradientBackground backHome, backBottom;
    backHome.SetGradientColorStart(Colour::FromRgb(MakeRgb(255, 255, 255)));
    backHome.SetGradientColorStop(Colour::FromRgb(MakeRgb(234, 234, 234)));
    backHome.SetFrameStyle(fsFlat);
    backHome.SetFrameColor(Colour::FromRgb(MakeRgb(0, 128, 128)));
    backHome.AttachTo(content);
    backBottom.SetGradientColorStart(Colour::FromRgb(MakeRgb(234, 234, 234)));
    backBottom.SetGradientColorStop(Colour::FromRgb(MakeRgb(255, 255, 255)));
    backBottom.SetGradientDirection(gdVerticalEnd);
    backBottom.SetFrameStyle(fsFlat);
    bar.SetBevel(BDR_RAISEDINNER);
    backBottom.AttachTo(bar);

    LOGFONTW lf{};
    lf.lfHeight = -12;
    lstrcpynW(lf.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    UniqueFont font(::CreateFontIndirectW(&lf));
    std::array<TBarButton, kButtons.size()> buttons;
    std::array<HWND, kButtons.size()> windows{};
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        windows[i] = ::CreateWindowExW(0, L"Button", kButtons[i].caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                       kButtons[i].x, 12, kButtons[i].width, 28, bar.Handle(), nullptr,
                                       nullptr, nullptr);
        ::SendMessageW(windows[i], WM_SETFONT, WPARAM(font.Get()), FALSE);
        buttons[i].Attach(windows[i]);
    }

    ScreenDC screen;
    MemoryDC memory(screen.Get());
    UniqueBitmap surface(::CreateCompatibleBitmap(screen.Get(), kWidth, kHeight));
    ScopedSelect select(memory.Get(), surface.Get());
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);

    const auto paintOnce = [&] {
        LARGE_INTEGER start{}, stop{};
        ::QueryPerformanceCounter(&start);
        PrintInto(content.Handle(), memory.Get(), 8, 80);
        PrintInto(bar.Handle(), memory.Get(), 0, kBarTop);
        for (std::size_t i = 0; i < kButtons.size(); ++i)
            PrintInto(windows[i], memory.Get(), kButtons[i].x, kBarTop + 12);
        ::GdiFlush();
        ::QueryPerformanceCounter(&stop);
        return double(stop.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
    };

    std::vector<double> warm, redrawn;
    paintOnce();
    for (int i = 0; i < kRuns; ++i)
        warm.push_back(paintOnce());
    for (int i = 0; i < kRuns; ++i) {
        // A changed property has each gradient drawn again into its bitmap.
        backHome.SetGradientSmoothFactor(1 + i % 2);
        backBottom.SetGradientSmoothFactor(1 + i % 2);
        redrawn.push_back(paintOnce());
    }
    std::printf("figure: drawn main window paint, warm = %.3f ms (median of %d)\n", Median(warm), kRuns);
    std::printf("figure: drawn main window paint, gradients redrawn = %.3f ms (median of %d)\n",
                Median(redrawn), kRuns);
    ::DestroyWindow(top);
    return 0;
}

} // namespace
} // namespace veltrane

int wmain() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    return veltrane::Run();
}
