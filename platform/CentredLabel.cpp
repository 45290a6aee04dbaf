#include "platform/CentredLabel.h"

#include <algorithm>

#include "platform/Paint.h"
#include "platform/Window.h"

namespace veltrane {

void CentredLabel::Paint() {
    PaintDC paint(Window());
    RECT client;
    ::GetClientRect(Window(), &client);
    DoubleBuffer buffer(paint.Get(), client);
    HDC dc = buffer.Get();
    // The parent chooses background and text colour, as for any static text.
    auto brush =
        HBRUSH(::SendMessageW(::GetParent(Window()), WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(Window())));
    ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
    ScopedSelect font(dc, HGDIOBJ(::SendMessageW(Window(), WM_GETFONT, 0, 0)));
    ::SetBkMode(dc, TRANSPARENT);
    const std::wstring text = HwndGetText(Window());
    constexpr UINT kFormat = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT measured = client;
    ::DrawTextW(dc, text.c_str(), int(text.size()), &measured, kFormat | DT_CALCRECT);
    RECT place = client;
    place.top += std::max<LONG>(0, (client.bottom - measured.bottom) / 2);
    ::DrawTextW(dc, text.c_str(), int(text.size()), &place, kFormat);
}

LRESULT CentredLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETTEXT:
        return DefaultThen(message, wParam, lParam, [&] { ::InvalidateRect(Window(), nullptr, FALSE); });
    }
    return Default(message, wParam, lParam);
}

} // namespace veltrane
