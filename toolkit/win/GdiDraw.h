#pragma once
// The drawing steps the drawn components and the skins share: solid fills without a brush, blends in
// bands, skin pieces copied, stretched or tiled (a key colour left out where asked), and conversions
// between the system's rectangles and the portable ones.

#include <windows.h>

#include <optional>
#include <span>
#include <vector>

#include "toolkit/draw/ButtonLook.h"
#include "base/Geometry.h"
#include "toolkit/draw/Gradient.h"
#include "toolkit/skinning/FrameGeometry.h"

namespace veltrane {

// Fills with one colour through the DC's own brush: no brush is made (the fastest solid fill under
// Wine, several times faster than FillRect or an opaque text run in 32-bit processes).
void SolidFill(HDC dc, const RECT& area, COLORREF colour);
// A 1-pixel line along the four sides of `area`.
void SolidFrame(HDC dc, const RECT& area, COLORREF colour);
// `bands` painted in `area`, along the rows or the columns.
void BandsFill(HDC dc, const RECT& area, BandAxis axis, const std::vector<GradientBand>& bands);
// A top-to-bottom blend in `count` even bands.
void BlendFill(HDC dc, const RECT& area, const Blend& blend, int count);
// Copies, stretches or tiles each piece from `source` (a DC holding the skin bitmap) to `target`;
// with `transparent`, pixels of that colour leave what is below them.
void SkinPiecesDraw(HDC target, HDC source, std::span<const SkinPiece> pieces,
                    std::optional<COLORREF> transparent = std::nullopt);
// SkinPiecesDraw from `bitmap`, selected into the memory DC `source` for the while; nothing without a bitmap.
void SkinBitmapDraw(HDC target, HDC source, HBITMAP bitmap, std::span<const SkinPiece> pieces,
                    std::optional<COLORREF> transparent = std::nullopt);

RECT RectOf(const PixelRect& r);
PixelRect PixelRectOf(const RECT& r);
PixelSize SizeOf(const RECT& area);
RECT RectInset(const RECT& area, int by);

} // namespace veltrane
