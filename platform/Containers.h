#pragma once
// Windows that hold other controls: panels and group boxes. Both pass their children's
// notifications up, so the form sees every control's commands.

#include <functional>

#include "platform/Background.h"
#include "platform/Subclass.h"
#include "platform/WindowProcedure.h"

namespace veltrane {

// The dialogs' header panels: raised inner and lowered outer bevel.
inline constexpr UINT kHeaderBevel = BDR_RAISEDINNER | BDR_SUNKENOUTER;

// A plain child window that holds controls and shows a background: a solid colour, or whatever
// its painter draws.
class Panel final : public BackgroundProvider {
public:
    using Painter = std::function<void(HDC dc, const RECT& client)>;

    explicit Panel(COLORREF color) : color_(color), brush_(::CreateSolidBrush(color)) {}
    ~Panel() override;

    // Creates the panel's window; `style` adds to WS_CHILD | WS_VISIBLE.
    HWND Create(HWND parent, int id, const RECT& bounds, DWORD style, DWORD exStyle);
    HWND Handle() const { return window_; }
    // Draws the background from now on instead of the solid colour; the painter is given the area
    // inside the bevel.
    void SetPainter(Painter painter);
    // A bevel drawn inside the client area (DrawEdge's BDR_ flags), so children keep their places.
    void SetBevel(UINT edge);

    void PaintBackground(HDC dc, const RECT& area) override;
    COLORREF SolidBackground() const override { return painter_ ? CLR_INVALID : color_; }

private:
    friend class WindowProcedure<Panel>;
    static constexpr char kWhere[] = "panel";
    void Attached(HWND hwnd);
    void Detached(HWND hwnd);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    COLORREF color_;
    UniqueBrush brush_;
    Painter painter_;
    UINT bevel_ = 0;
};

// Lets a standard group box hold controls of its own.
class GroupBoxContainer final : public WindowSubclass {
private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Notifications a container hands to its parent unchanged.
bool IsChildNotification(UINT message);

} // namespace veltrane
