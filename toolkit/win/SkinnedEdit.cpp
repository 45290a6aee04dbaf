#include <windowsx.h>

#include "platform/Paint.h"
#include "platform/Window.h"
#include "toolkit/win/SkinnedEdit.h"

#include "toolkit/win/ControlLook.h"
#include "toolkit/win/GdiDraw.h"
#include "toolkit/win/SkinnedFrame.h"

namespace veltrane {

namespace {

constexpr int kOwnBorder = 1;

// Where the edge goes: the whole of `outer` less `inner`. An edit with a non-client border has the
// edge there (scroll bars excluded); the standard edit draws a WS_BORDER border itself, one pixel
// inside its client area, and the edge covers that.
struct EdgePlace {
    RECT outer{};
    RECT inner{};
    bool nonClient = false;
};

EdgePlace EdgePlaceOf(HWND edit) {
    EdgePlace place;
    RECT window{};
    ::GetWindowRect(edit, &window);
    RECT client{};
    ::GetClientRect(edit, &client);
    ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);
    ::OffsetRect(&window, -window.left, -window.top);
    const LONG style = ::GetWindowLongW(edit, GWL_STYLE);
    if (style & WS_VSCROLL)
        client.right += ::GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        client.bottom += ::GetSystemMetrics(SM_CYHSCROLL);
    place.nonClient = !::EqualRect(&window, &client);
    if (place.nonClient) {
        place.outer = window;
        place.inner = client;
    } else {
        ::GetClientRect(edit, &place.outer);
        place.inner = place.outer;
        ::InflateRect(&place.inner, -kOwnBorder, -kOwnBorder);
    }
    return place;
}

// The edit's border drawn from [SunkEdge] in its four looks; the client area stays the edit's own.
class SkinnedEdit final : public WindowSubclass {
public:
    explicit SkinnedEdit(TSkinComponent& skin) : skin_(skin) {}

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PointerMoved(bool nonClient);
    void PointerLeft();
    void HotSet(bool hot);
    void PaintEdge();
    void EdgeDraw(HDC dc, const EdgePlace& place, const ImageSkin& edge, SunkEdgeLook look);

    TSkinComponent& skin_;
    bool hot_ = false;
};

LRESULT SkinnedEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCPAINT:
        // Scroll bars stay the system's; without them the whole non-client area is the edge.
        if (!EdgePlaceOf(Window()).nonClient ||
            (::GetWindowLongW(Window(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)))
            Default(message, wParam, lParam);
        PaintEdge();
        return 0;
    case WM_PAINT: // the edit's own border, where it draws one, is painted over
        return DefaultThen(message, wParam, lParam, [&] {
            if (!EdgePlaceOf(Window()).nonClient)
                PaintEdge();
        });
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        return DefaultThen(message, wParam, lParam, [&] { PointerMoved(message == WM_NCMOUSEMOVE); });
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
        return DefaultThen(message, wParam, lParam, [&] { PointerLeft(); });
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        return DefaultThen(message, wParam, lParam, [&] { PaintEdge(); });
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

void SkinnedEdit::PointerMoved(bool nonClient) {
    // Asked again on every move: moving between the edge and the text area ends the other tracking.
    PointerLeaveTrack(Window(), nonClient);
    HotSet(true);
}

void SkinnedEdit::PointerLeft() {
    // Leaving the edge for the text area (or back) is no leaving at all.
    HotSet(PointerWithin(Window()));
}

void SkinnedEdit::HotSet(bool hot) {
    if (hot == hot_)
        return;
    hot_ = hot;
    PaintEdge();
}

void SkinnedEdit::PaintEdge() {
    const SkinModel* model = skin_.Model();
    if (!model || !model->sunkEdge)
        return;
    HWND edit = Window();
    const EdgePlace place = EdgePlaceOf(edit);
    const SunkEdgeLook look = SunkEdgeLookOf(::IsWindowEnabled(edit), ::GetFocus() == edit, hot_);
    if (place.nonClient)
        EdgeDraw(WindowDC(edit).Get(), place, *model->sunkEdge, look);
    else
        EdgeDraw(ClientDC(edit).Get(), place, *model->sunkEdge, look);
}

void SkinnedEdit::EdgeDraw(HDC dc, const EdgePlace& place, const ImageSkin& edge, SunkEdgeLook look) {
    const RECT& in = place.inner;
    ::ExcludeClipRect(dc, in.left, in.top, in.right, in.bottom);
    DoubleBuffer buffer(dc, place.outer);
    MemoryDC source(buffer.Get());
    SkinBitmapDraw(buffer.Get(), source.Get(), skin_.Bitmap(edge.image),
                   ImageSkinPieces(edge, int(look), {0, 0, place.outer.right, place.outer.bottom}));
}

} // namespace

std::unique_ptr<WindowSubclass> SkinnedEditAttach(HWND edit, TSkinComponent& skin) {
    const SkinModel* model = skin.Model();
    if (!model || !model->sunkEdge || model->sunkEdge->image.Empty())
        return nullptr;
    auto look = std::make_unique<SkinnedEdit>(skin);
    if (!look->Attach(edit))
        return nullptr;
    ControlRedrawWhole(edit);
    return look;
}

} // namespace veltrane
