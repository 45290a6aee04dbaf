// The whole load, from a "SkinStream" value to the skin model, and on to what windows compute from
// the model: every bitmap's pixels as GDI gets them, the frame's pieces, caption and hit tests, the
// menu's items and the scroll bars' layouts, at window sizes and scroll ranges from none to extreme.
// The undefined-behaviour checker turns any overflow the model's limits let through into a finding.
// The unpacked size is what FuzzUnpackedSize allows: every real package, the stored one (22 KB
// packed, 268 KB unpacked) included, is read whole.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "tests/fuzz/skin/UnpackedSize.h"
#include "base/Bytes.h"
#include "toolkit/skin/SkinLoader.h"
#include "toolkit/skinning/FrameGeometry.h"
#include "toolkit/skinning/MenuLook.h"
#include "toolkit/skinning/ScrollGeometry.h"

namespace {

using namespace veltrane;

class NullSink : public MessageSink {
public:
    void ShowMessage(std::wstring_view) override {}
};

std::size_t total = 0; // keeps the work from being optimised away

void Use(const PixelRect& r) {
    total += std::size_t(r.x) + std::size_t(r.y) + std::size_t(r.width) + std::size_t(r.height);
}

void Use(const std::vector<SkinPiece>& pieces) {
    for (const SkinPiece& p : pieces) {
        Use(p.source);
        Use(p.dest);
    }
}

void Bitmap(const SkinBitmap& bitmap) {
    if (!bitmap.Empty())
        total += BmpDecodeDib32(bitmap.info).size();
}

void Images(const std::optional<ImageSkin>& skin, const PixelRect& dest) {
    if (!skin)
        return;
    Bitmap(skin->image);
    Bitmap(skin->second);
    for (int index : {-1, 0, 1, skin->imageCount - 1, skin->imageCount, INT_MAX})
        Use(ImageSkinPieces(*skin, index, dest));
}

// Window sizes from nothing to well past any screen (the system keeps windows far inside 2^20).
constexpr int kSizes[] = {0, 1, 7, 300, 1920, 32767, 1 << 20};

void Frame(const SkinModel& m) {
    for (const SkinBitmap* b :
         {&m.top.bitmap, &m.bottom.bitmap, &m.left.bitmap, &m.right.bitmap, &m.mdiControls, &m.menuBar.bitmap,
          &m.title.textBack, &m.buttons.bitmap, &m.buttons.checkButton, &m.buttons.radioButton})
        Bitmap(*b);
    for (const CaptionButton& button : m.captionButtons)
        for (auto look : {CaptionButtonLook::Normal, CaptionButtonLook::Hot, CaptionButtonLook::Pressed})
            for (bool active : {true, false})
                Use(CaptionButtonSource(button, look, active));
    const PixelSize outer = FrameOuterSize(m, kSizes[3], kSizes[2]);
    total += std::size_t(outer.width + outer.height);
    for (int width : kSizes)
        for (int height : {kSizes[0], kSizes[2], kSizes[4], kSizes[6]}) {
            const FrameLayout layout = FrameLayoutOf(m, width, height);
            for (bool active : {true, false}) {
                Use(FramePieces(m, width, height, active));
                const CaptionTextPlace text = CaptionTextPlaceOf(m, width, active);
                Use(text.rect);
                total += std::size_t(text.fontHeight);
            }
            const std::vector<CaptionButtonPlace> buttons =
                CaptionButtonsPlace(m, width, {true, true, true, false});
            const PixelRect icon = CaptionIconRect(m);
            for (int x : {0, 5, width / 2, width - 5, width - 1})
                for (int y : {0, 5, height / 2, height - 1})
                    for (bool sizable : {true, false})
                        total += std::size_t(FrameHitTest(layout, buttons, icon, x, y, sizable).hit);
        }
}

void Menu(const SkinModel& m) {
    Images(m.menuItem, {0, 0, 120, 20});
    Images(m.menuBackground, {0, 0, 140, 200});
    MenuMetrics metrics{16, 13, 10, {}, 0};
    if (m.menuItem) {
        metrics.itemMargins = *m.menuItem;
        metrics.itemImageHeight = m.menuItem->image.Height();
    }
    const ImageMargins border = m.menuBackground ? ImageMargins(*m.menuBackground) : ImageMargins{};
    for (int width : kSizes) {
        const PixelRect inner = MenuInnerRect(width, width / 2, border);
        Use(inner);
        for (bool separator : {false, true}) {
            const PixelSize size = MenuItemMeasure(metrics, width, width / 3, separator);
            const MenuItemPlace place =
                MenuItemPlaceOf({0, 0, size.width, size.height}, inner, metrics, separator);
            for (const PixelRect& r : {place.image, place.check, place.text, place.separator})
                Use(r);
        }
    }
}

// Ranges as SCROLLINFO may hold them: the page is a UINT taken as an int.
constexpr ScrollRange kRanges[] = {
    {0, 0, 0, 0},
    {0, 100, 10, 50},
    {0, 100, 0, 100},
    {-5, 5, 200, 3},
    {INT_MIN, INT_MAX, INT_MAX, 0},
    {INT_MIN, INT_MAX, -1, INT_MAX},
    {INT_MAX, INT_MIN, 7, INT_MIN},
    {0, INT_MAX, 1, INT_MAX},
};

void ScrollBars(const SkinModel& m) {
    for (const auto* part :
         {&m.scrollbar, &m.horzScroll, &m.vertScroll, &m.horzScrollThumb, &m.vertScrollThumb})
        Images(*part, {0, 0, 17, 200});
    if (!ScrollSkinComplete(m))
        return;
    for (ScrollAxis axis : {ScrollAxis::Vertical, ScrollAxis::Horizontal}) {
        const ImageSkin& thumb = axis == ScrollAxis::Vertical ? *m.vertScrollThumb : *m.horzScrollThumb;
        const int minThumb = ScrollThumbMinimum(thumb, axis);
        for (int length : kSizes)
            for (const ScrollRange& range : kRanges) {
                const PixelRect bar = axis == ScrollAxis::Vertical ? PixelRect{-3, 9, 17, length}
                                                                   : PixelRect{9, -3, length, 17};
                const ScrollLayout layout = ScrollLayoutOf(bar, axis, range, minThumb);
                for (int at : {INT_MIN / 2, 0, length / 2, length, INT_MAX / 2}) {
                    const ScrollLayout dragged = ScrollLayoutDragged(layout, at);
                    Use(dragged.thumb);
                    total += std::size_t(ScrollPosFromThumb(layout, range, at));
                    total += std::size_t(ScrollHitTest(layout, at, at));
                    total += std::size_t(ScrollDragHolds(layout, at, -at));
                }
            }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8)
        return 0;
    static std::vector<std::uint8_t> value; // one buffer for every run
    value.assign(data, data + size);
    StoreLe32(value, 4, std::uint32_t(FuzzUnpackedSize(LoadLeI32(value, 4), size - 8)));
    NullSink sink;
    const std::optional<SkinModel> model = LoadSkinStream(value, sink);
    if (!model)
        return 0;
    total = 0;
    Frame(*model);
    Menu(*model);
    ScrollBars(*model);
    for (const auto* part :
         {&model->groupBoxEdge, &model->groupBox,   &model->tabs,        &model->statusBarEdges,
          &model->tabPane,      &model->toolBars,   &model->comboButton, &model->sunkEdge,
          &model->extraImages,  &model->headerbar,  &model->thumbHorz,   &model->thumbVert,
          &model->thumbLeft,    &model->thumbRight, &model->thumbUp,     &model->thumbDown,
          &model->upDownHorz,   &model->upDownVert, &model->track,       &model->trackVert,
          &model->progressChunk})
        Images(*part, {-4, -4, 64, 24});
    if (model->progress)
        Bitmap(model->progress->bitmap);
    if (total == 0xFFFFFFFF)
        __builtin_trap();
    return 0;
}
