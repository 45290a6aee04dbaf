// Draws the 42 bitmaps of the Harbor skin into a folder: teal captions and frames, white and
// light-grey faces. Standard library and header-only helpers, so any host compiler can build it next
// to skinpack.
//
//   skinart OUTDIR

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/Bytes.h"

namespace {

using veltrane::AppendLe16;
using veltrane::AppendLe32;

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    auto operator<=>(const Colour&) const = default;
};

constexpr Colour kTeal{0, 128, 128};
constexpr Colour kTealDark{0, 84, 92};
constexpr Colour kTealLight{72, 170, 170};
constexpr Colour kTealPale{196, 228, 228};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kGrey{232, 232, 228};
constexpr Colour kGreyMid{192, 196, 196};
constexpr Colour kGreyDark{128, 136, 136};
constexpr Colour kInactiveTop{204, 214, 214};
constexpr Colour kInactiveBottom{170, 186, 186};
constexpr Colour kMagenta{255, 0, 255}; // transparent where the skin says Trans

Colour Mix(Colour a, Colour b, int num, int den) {
    if (den <= 0)
        return a;
    const auto m = [&](int x, int y) {
        return std::uint8_t(x + (y - x) * num / den);
    };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

class Canvas {
public:
    Canvas(int w, int h, Colour fill = kWhite) : w_(w), h_(h), px_(std::size_t(w * h), fill) {}
    int Width() const { return w_; }
    int Height() const { return h_; }
    Colour At(int x, int y) const { return px_[std::size_t(y * w_ + x)]; }

    void Set(int x, int y, Colour c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_)
            px_[std::size_t(y * w_ + x)] = c;
    }
    void Fill(int x, int y, int w, int h, Colour c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                Set(i, j, c);
    }
    void VGradient(int x, int y, int w, int h, Colour top, Colour bottom) {
        for (int j = 0; j < h; ++j)
            Fill(x, y + j, w, 1, Mix(top, bottom, j, h - 1));
    }
    void HGradient(int x, int y, int w, int h, Colour left, Colour right) {
        for (int i = 0; i < w; ++i)
            Fill(x + i, y, 1, h, Mix(left, right, i, w - 1));
    }
    void Border(int x, int y, int w, int h, Colour c) {
        Fill(x, y, w, 1, c);
        Fill(x, y + h - 1, w, 1, c);
        Fill(x, y, 1, h, c);
        Fill(x + w - 1, y, 1, h, c);
    }

private:
    int w_, h_;
    std::vector<Colour> px_;
};

struct Cell {
    int x, y, w, h, index;
};

void ForCells(Canvas& c, int count, bool sideBySide, const std::function<void(const Cell&)>& paint) {
    for (int i = 0; i < count; ++i) {
        if (sideBySide) {
            const int w = c.Width() / count;
            paint({i * w, 0, w, c.Height(), i});
        } else {
            const int h = c.Height() / count;
            paint({0, i * h, c.Width(), h, i});
        }
    }
}

// Face colours by state: normal, hot, pressed, disabled, focused, and further states.
Colour FaceTop(int state) {
    static const Colour tops[] = {kWhite, kTealPale, kTealLight, kGrey, kWhite, kTealPale, kGrey, kWhite};
    return tops[state % 8];
}
Colour FaceBottom(int state) {
    static const Colour bottoms[] = {kGrey, kTealLight, kTeal, kGreyMid, kGrey, kTealLight, kGreyMid, kGrey};
    return bottoms[state % 8];
}
Colour Edge(int state) {
    return state % 8 == 3 ? kGreyDark : kTealDark;
}
Colour Ink(int state) {
    return state % 8 == 3 ? kGreyDark : state % 8 == 2 ? kWhite : kTealDark;
}

void Face(Canvas& c, const Cell& k) {
    c.VGradient(k.x, k.y, k.w, k.h, FaceTop(k.index), FaceBottom(k.index));
    c.Border(k.x, k.y, k.w, k.h, Edge(k.index));
}

enum class Dir { Up, Down, Left, Right };

void Arrow(Canvas& c, const Cell& k, Dir d, Colour ink) {
    const int size = std::max(2, std::min(k.w, k.h) / 4);
    const int cx = k.x + k.w / 2, cy = k.y + k.h / 2;
    for (int i = 0; i < size; ++i) {
        const int span = i;
        switch (d) {
        case Dir::Up:
            c.Fill(cx - span, cy - size / 2 + i, 2 * span + 1, 1, ink);
            break;
        case Dir::Down:
            c.Fill(cx - span, cy + size / 2 - i, 2 * span + 1, 1, ink);
            break;
        case Dir::Left:
            c.Fill(cx - size / 2 + i, cy - span, 1, 2 * span + 1, ink);
            break;
        case Dir::Right:
            c.Fill(cx + size / 2 - i, cy - span, 1, 2 * span + 1, ink);
            break;
        }
    }
}

enum class Glyph { Close, Max, Restore, Min };

void CaptionGlyph(Canvas& c, const Cell& k, Glyph g, Colour ink) {
    const int x = k.x + 5, y = k.y + 5, s = std::min(k.w, k.h) - 10;
    switch (g) {
    case Glyph::Close:
        for (int i = 0; i < s; ++i) {
            c.Fill(x + i, y + i, 2, 1, ink);
            c.Fill(x + s - 1 - i, y + i, 2, 1, ink);
        }
        break;
    case Glyph::Max:
        c.Border(x, y, s, s, ink);
        c.Fill(x, y + 1, s, 1, ink);
        break;
    case Glyph::Restore:
        c.Border(x + 3, y, s - 3, s - 3, ink);
        c.Fill(k.x + 5, y + 3, s - 3, s - 3, FaceBottom(k.index));
        c.Border(x, y + 3, s - 3, s - 3, ink);
        break;
    case Glyph::Min:
        c.Fill(x, y + s - 2, s - 2, 2, ink);
        break;
    }
}

// Caption buttons: normal, hot, pressed, then the same three for an inactive window.
void CaptionButton(Canvas& c, Glyph g) {
    ForCells(c, 6, true, [&](const Cell& k) {
        const bool inactive = k.index >= 3;
        const int state = k.index % 3;
        const Colour top = inactive     ? kInactiveTop
                           : state == 0 ? kTealLight
                           : state == 1 ? kTealPale
                                        : kTealDark;
        const Colour bottom = inactive ? kInactiveBottom : state == 2 ? kTeal : kTeal;
        c.VGradient(k.x, k.y, k.w, k.h, top, bottom);
        c.Border(k.x, k.y, k.w, k.h, inactive ? kGreyDark : kTealDark);
        CaptionGlyph(c, k, g, inactive ? kGreyMid : kWhite);
    });
}

void CaptionBar(Canvas& c) {
    ForCells(c, 2, false, [&](const Cell& k) {
        const bool active = k.index == 0;
        c.VGradient(k.x, k.y, k.w, k.h, active ? kTealLight : kInactiveTop, active ? kTeal : kInactiveBottom);
        c.Fill(k.x, k.y, k.w, 1, active ? kTealDark : kGreyDark);
        c.Fill(k.x, k.y + k.h - 1, k.w, 1, kWhite);
        c.Fill(k.x, k.y, 1, k.h, active ? kTealDark : kGreyDark);
        c.Fill(k.x + k.w - 1, k.y, 1, k.h, active ? kTealDark : kGreyDark);
    });
}

void FrameEdge(Canvas& c, bool sideBySide) {
    ForCells(c, 2, sideBySide, [&](const Cell& k) {
        const bool active = k.index == 0;
        c.Fill(k.x, k.y, k.w, k.h, active ? kTeal : kInactiveBottom);
        if (sideBySide)
            c.Fill(k.x, k.y, 1, k.h, active ? kTealDark : kGreyDark);
        else
            c.Fill(k.x, k.y + k.h - 1, k.w, 1, active ? kTealDark : kGreyDark);
    });
}

void Faces(Canvas& c, int count, bool sideBySide = true) {
    ForCells(c, count, sideBySide, [&](const Cell& k) { Face(c, k); });
}

void Flat(Canvas& c, Colour fill, Colour edge) {
    c.Fill(0, 0, c.Width(), c.Height(), fill);
    c.Border(0, 0, c.Width(), c.Height(), edge);
}

void Marks(Canvas& c, bool round) {
    ForCells(c, 4, true, [&](const Cell& k) {
        c.Fill(k.x, k.y, k.w, k.h, kMagenta);
        const Colour edge = k.index >= 2 ? kGreyDark : kTealDark;
        for (int y = 0; y < k.h; ++y)
            for (int x = 0; x < k.w; ++x) {
                const int dx = 2 * x - (k.w - 1), dy = 2 * y - (k.h - 1);
                const int r2 = dx * dx + dy * dy, outer = (k.w - 1) * (k.w - 1);
                const bool inside = !round || r2 <= outer;
                const bool rim =
                    round ? r2 > (k.w - 3) * (k.w - 3) : (x == 0 || y == 0 || x == k.w - 1 || y == k.h - 1);
                if (inside)
                    c.Set(k.x + x, k.y + y, rim ? edge : kWhite);
            }
        if (k.index % 2 == 1) { // checked states
            if (round)
                c.Fill(k.x + k.w / 2 - 2, k.y + k.h / 2 - 2, 5, 5, edge);
            else
                for (int i = 0; i < 3; ++i) {
                    c.Fill(k.x + 3 + i, k.y + 6 + i, 1, 2, edge);
                    c.Fill(k.x + 6 + i, k.y + 7 - i, 1, 2, edge);
                    c.Fill(k.x + 9, k.y + 4, 1, 2, edge);
                }
        }
    });
}

void ArrowCells(Canvas& c, int count, const std::vector<Dir>& dirs) {
    ForCells(c, count, true, [&](const Cell& k) {
        Face(c, k);
        Arrow(c, k, dirs[std::size_t(k.index) % dirs.size()], Ink(k.index));
    });
}

void Thumbs(Canvas& c, Dir point) {
    ForCells(c, 5, true, [&](const Cell& k) {
        c.Fill(k.x, k.y, k.w, k.h, kMagenta);
        c.VGradient(k.x + 1, k.y + 1, k.w - 2, k.h - 2, FaceTop(k.index), FaceBottom(k.index));
        c.Border(k.x + 1, k.y + 1, k.w - 2, k.h - 2, Edge(k.index));
        Arrow(c, k, point, Edge(k.index));
    });
}

void MdiButtons(Canvas& c) {
    const Glyph glyphs[] = {Glyph::Min, Glyph::Restore, Glyph::Close};
    ForCells(c, 12, true, [&](const Cell& k) {
        c.VGradient(k.x, k.y, k.w, k.h, FaceTop(k.index % 4), FaceBottom(k.index % 4));
        c.Border(k.x, k.y, k.w, k.h, Edge(k.index % 4));
        const Colour ink = Ink(k.index % 4);
        const int x = k.x + 4, y = k.y + 2, s = 6;
        switch (glyphs[k.index / 4]) {
        case Glyph::Min:
            c.Fill(x, y + s - 2, s, 2, ink);
            break;
        case Glyph::Restore:
            c.Border(x + 1, y, s - 1, s - 1, ink);
            c.Border(x, y + 1, s - 1, s - 1, ink);
            break;
        default:
            for (int i = 0; i < s; ++i) {
                c.Set(x + i, y + i, ink);
                c.Set(x + s - 1 - i, y + i, ink);
            }
        }
    });
}

struct Art {
    const char* name;
    int width, height, bits;
    std::function<void(Canvas&)> paint;
};

std::vector<Art> HarborArt() {
    using D = Dir;
    return {
        {"f-top.bmp", 312, 60, 24, CaptionBar},
        {"f-bot.bmp", 312, 8, 24,
         [](Canvas& c) {
             FrameEdge(c, false);
         }},
        {"f-left.bmp", 8, 288, 24,
         [](Canvas& c) {
             FrameEdge(c, true);
         }},
        {"f-right.bmp", 8, 288, 24,
         [](Canvas& c) {
             FrameEdge(c, true);
         }},
        {"bg-menubar.bmp", 70, 38, 8,
         [](Canvas& c) {
             ForCells(c, 2, false, [&](const Cell& k) { c.VGradient(k.x, k.y, k.w, k.h, kWhite, kGrey); });
         }},
        {"bg-dialog.bmp", 20, 20, 8,
         [](Canvas& c) {
             c.Fill(0, 0, 20, 20, kGrey);
         }},
        {"bg-systembuttons.bmp", 250, 23, 8,
         [](Canvas& c) {
             Faces(c, 5);
         }},
        {"bg-checkbox.bmp", 52, 13, 24,
         [](Canvas& c) {
             Marks(c, false);
         }},
        {"bg-radio.bmp", 52, 13, 24,
         [](Canvas& c) {
             Marks(c, true);
         }},
        {"bg-progress.bmp", 132, 13, 8,
         [](Canvas& c) {
             ForCells(c, 2, true, [&](const Cell& k) {
                 if (k.index == 0)
                     c.VGradient(k.x, k.y, k.w, k.h, kGreyMid, kWhite);
                 else
                     c.VGradient(k.x, k.y, k.w, k.h, kTealLight, kTeal);
                 c.Border(k.x, k.y, k.w, k.h, kTealDark);
             });
         }},
        {"bg-groupbox-border.bmp", 50, 25, 8,
         [](Canvas& c) {
             ForCells(c, 2, true, [&](const Cell& k) {
                 c.Fill(k.x, k.y, k.w, k.h, kGrey);
                 c.Border(k.x, k.y + 6, k.w, k.h - 6, k.index == 0 ? kTeal : kGreyDark);
             });
         }},
        {"bg-tabborders.bmp", 29, 28, 8,
         [](Canvas& c) {
             Flat(c, kWhite, kTealDark);
         }},
        {"bg-tabs.bmp", 200, 19, 8,
         [](Canvas& c) {
             Faces(c, 5);
         }},
        {"bg-statusbar.bmp", 96, 32, 24,
         [](Canvas& c) {
             ForCells(c, 3, true, [&](const Cell& k) {
                 c.VGradient(k.x, k.y, k.w, k.h, kGrey, kGreyMid);
                 c.Border(k.x, k.y, k.w, k.h, k.index == 1 ? kTealDark : kGreyDark);
             });
         }},
        {"bg-listheader.bmp", 375, 23, 8,
         [](Canvas& c) {
             Faces(c, 5);
         }},
        {"bg-menuitem.bmp", 620, 16, 8,
         [](Canvas& c) {
             ForCells(c, 5, true, [&](const Cell& k) {
                 if (k.index == 0) {
                     c.Fill(k.x, k.y, k.w, k.h, kMagenta);
                     return;
                 }
                 c.VGradient(k.x, k.y, k.w, k.h, FaceTop(k.index), FaceBottom(k.index));
                 c.Border(k.x, k.y, k.w, k.h, Edge(k.index));
             });
         }},
        {"bg-menuback.bmp", 128, 38, 8,
         [](Canvas& c) {
             c.Fill(0, 0, c.Width(), c.Height(), kWhite);
             c.Fill(0, 0, 22, c.Height(), kTealPale);
             c.Border(0, 0, c.Width(), c.Height(), kTealDark);
         }},
        {"button-mdi.bmp", 180, 10, 24, MdiButtons},
        {"bg-groupbox-tab.bmp", 47, 15, 8,
         [](Canvas& c) {
             c.VGradient(0, 0, c.Width(), c.Height(), kTealLight, kTeal);
             c.Border(0, 0, c.Width(), c.Height(), kTealDark);
         }},
        {"bg-toolbarback.bmp", 20, 20, 8,
         [](Canvas& c) {
             c.VGradient(0, 0, 20, 20, kWhite, kGrey);
         }},
        {"bg-toolbarbuttons.bmp", 375, 23, 8,
         [](Canvas& c) {
             Faces(c, 5);
         }},
        {"bg-menubarbuttons.bmp", 225, 15, 8,
         [](Canvas& c) {
             Faces(c, 5);
         }},
        {"Window CloseButton1.bmp", 126, 21, 24,
         [](Canvas& c) {
             CaptionButton(c, Glyph::Close);
         }},
        {"Window MaxButton1.bmp", 126, 21, 24,
         [](Canvas& c) {
             CaptionButton(c, Glyph::Max);
         }},
        {"Window RestoreButton1.bmp", 126, 21, 24,
         [](Canvas& c) {
             CaptionButton(c, Glyph::Restore);
         }},
        {"Window MinButton1.bmp", 126, 21, 24,
         [](Canvas& c) {
             CaptionButton(c, Glyph::Min);
         }},
        {"combo.bmp", 64, 21, 24,
         [](Canvas& c) {
             ArrowCells(c, 4, {D::Down});
         }},
        {"sunkedge.bmp", 64, 19, 24,
         [](Canvas& c) {
             ForCells(c, 4, true, [&](const Cell& k) {
                 c.Fill(k.x, k.y, k.w, k.h, k.index == 3 ? kGrey : kWhite);
                 c.Border(k.x, k.y, k.w, k.h, k.index == 3 ? kGreyMid : Edge(k.index));
             });
         }},
        {"combo-arrows.bmp", 80, 16, 24,
         [](Canvas& c) {
             ArrowCells(c, 5, {D::Down});
         }},
        {"arrows.bmp", 368, 16, 24,
         [](Canvas& c) {
             ArrowCells(c, 23, {D::Up, D::Down, D::Left, D::Right});
         }},
        {"hscroll_back.bmp", 96, 16, 24,
         [](Canvas& c) {
             ForCells(c, 4, true, [&](const Cell& k) { c.VGradient(k.x, k.y, k.w, k.h, kGreyMid, kGrey); });
         }},
        {"vscroll_back.bmp", 64, 18, 24,
         [](Canvas& c) {
             ForCells(c, 4, true, [&](const Cell& k) { c.HGradient(k.x, k.y, k.w, k.h, kGreyMid, kGrey); });
         }},
        {"hscroll_bar.bmp", 126, 16, 24,
         [](Canvas& c) {
             Faces(c, 3);
         }},
        {"vscroll_bar.bmp", 48, 24, 24,
         [](Canvas& c) {
             Faces(c, 3);
         }},
        {"trackbarthumbdown.bmp", 55, 21, 24,
         [](Canvas& c) {
             Thumbs(c, D::Down);
         }},
        {"trackbarthumbhorz.bmp", 55, 21, 24,
         [](Canvas& c) {
             Thumbs(c, D::Down);
         }},
        {"trackbarthumbleft.bmp", 105, 11, 24,
         [](Canvas& c) {
             Thumbs(c, D::Left);
         }},
        {"trackbarthumbright.bmp", 105, 11, 24,
         [](Canvas& c) {
             Thumbs(c, D::Right);
         }},
        {"trackbarthumbup.bmp", 55, 21, 24,
         [](Canvas& c) {
             Thumbs(c, D::Up);
         }},
        {"trackbarthumbvert.bmp", 105, 11, 24,
         [](Canvas& c) {
             Thumbs(c, D::Right);
         }},
        {"spinner-h.bmp", 72, 21, 24,
         [](Canvas& c) {
             ArrowCells(c, 8, {D::Left, D::Right});
         }},
        {"spinner-v.bmp", 128, 10, 24,
         [](Canvas& c) {
             ArrowCells(c, 8, {D::Up, D::Down});
         }},
    };
}

// A bottom-up BI_RGB file; 8-bit files carry only the colours they use.
bool EncodeBmp(const Canvas& c, int bits, std::vector<std::uint8_t>& out, std::string& error) {
    std::map<Colour, int> index;
    std::vector<Colour> palette;
    if (bits == 8) {
        for (int y = 0; y < c.Height(); ++y)
            for (int x = 0; x < c.Width(); ++x)
                if (index.emplace(c.At(x, y), int(palette.size())).second)
                    palette.push_back(c.At(x, y));
        if (palette.size() > 256) {
            error = "more than 256 colours in an 8-bit bitmap";
            return false;
        }
    }
    const std::uint32_t stride = std::uint32_t((c.Width() * bits + 31) / 32 * 4);
    const std::uint32_t offBits = 14 + 40 + std::uint32_t(palette.size()) * 4;
    const std::uint32_t imageSize = stride * std::uint32_t(c.Height());
    out.clear();
    out.push_back('B');
    out.push_back('M');
    AppendLe32(out, offBits + imageSize);
    AppendLe32(out, 0);
    AppendLe32(out, offBits);
    AppendLe32(out, 40);
    AppendLe32(out, std::uint32_t(c.Width()));
    AppendLe32(out, std::uint32_t(c.Height()));
    AppendLe16(out, 1);
    AppendLe16(out, std::uint16_t(bits));
    AppendLe32(out, 0);
    AppendLe32(out, imageSize);
    AppendLe32(out, 2835);
    AppendLe32(out, 2835);
    AppendLe32(out, std::uint32_t(palette.size()));
    AppendLe32(out, 0);
    for (const Colour& p : palette) {
        out.push_back(p.b);
        out.push_back(p.g);
        out.push_back(p.r);
        out.push_back(0);
    }
    for (int y = c.Height() - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < c.Width(); ++x) {
            const Colour p = c.At(x, y);
            if (bits == 8) {
                out.push_back(std::uint8_t(index[p]));
            } else {
                out.push_back(p.b);
                out.push_back(p.g);
                out.push_back(p.r);
            }
        }
        out.resize(rowStart + stride, 0);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skinart OUTDIR\n");
        return 1;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const Art& art : HarborArt()) {
        Canvas canvas(art.width, art.height);
        art.paint(canvas);
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!EncodeBmp(canvas, art.bits, bytes, error)) {
            std::fprintf(stderr, "skinart: %s: %s\n", art.name, error.c_str());
            return 1;
        }
        std::ofstream out(dir / art.name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "skinart: cannot write %s\n", (dir / art.name).string().c_str());
            return 1;
        }
    }
    return 0;
}
