#pragma once
// The push button of the main window's button bar: a face blended in 64 bands, a 2-pixel orange
// or blue highlight frame when hot or focused, a rounded dark-blue border with softened corners.

#include "toolkit/win/DrawnButton.h"

namespace veltrane {

class TBarButton final : public DrawnButton {
public:
    BarButtonOptions Options;
    ButtonGlyph Glyph; // none on the main window's buttons

    // The whole button in `area`, over whatever `dc` already shows there (the corners let it through).
    static void Draw(HDC dc, const RECT& area, const ButtonState& state, std::wstring_view caption,
                     const ButtonGlyph& glyph = {}, const BarButtonOptions& options = {});

    const char* ClassName() const override { return "TBarButton"; }

private:
    void DrawFace(HDC dc, const RECT& client, const ButtonState& state, std::wstring_view caption) override {
        Draw(dc, client, state, caption, Glyph, Options);
    }
};

} // namespace veltrane
