#include "toolkit/skinning/ScrollGeometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace veltrane {
namespace {

using A = ScrollAxis;
using P = ScrollPart;
using L = ScrollLook;

// A vertical bar as the list view shows it: 16 wide, 127 long, at the right of a 545-pixel control.
const PixelRect kBar{527, 2, 16, 127};
// Ten rows, six of them on a page, scrolled to the top.
const ScrollRange kTen{0, 9, 6, 0};

TEST(ScrollGeometry, ArrowsAreSquareAndTheTrackLiesBetweenThem) {
    const ScrollLayout l = ScrollLayoutOf(kBar, A::Vertical, kTen, 8);
    EXPECT_EQ(l.arrowStart, (PixelRect{527, 2, 16, 16}));
    EXPECT_EQ(l.arrowEnd, (PixelRect{527, 113, 16, 16}));
    EXPECT_EQ(l.track, (PixelRect{527, 18, 16, 95}));

    const ScrollLayout h = ScrollLayoutOf({2, 100, 200, 16}, A::Horizontal, kTen, 8);
    EXPECT_EQ(h.arrowStart, (PixelRect{2, 100, 16, 16}));
    EXPECT_EQ(h.arrowEnd, (PixelRect{186, 100, 16, 16}));
    EXPECT_EQ(h.track, (PixelRect{18, 100, 168, 16}));

    // A bar shorter than two arrows: they share its length and leave no track.
    const ScrollLayout shortBar = ScrollLayoutOf({0, 0, 16, 20}, A::Vertical, kTen, 8);
    EXPECT_EQ(shortBar.arrowStart, (PixelRect{0, 0, 16, 10}));
    EXPECT_EQ(shortBar.arrowEnd, (PixelRect{0, 10, 16, 10}));
    EXPECT_TRUE(shortBar.track.Empty());
    EXPECT_FALSE(shortBar.HasThumb());
}

TEST(ScrollGeometry, ThumbLengthIsThePagesShareOfTheTrack) {
    struct Case {
        ScrollRange range;
        int minThumb;
        int length; // 0: no thumb
    };
    const Case cases[] = {
        {{0, 9, 6, 0}, 8, 57},      // 95 * 6 / 10
        {{0, 99, 1, 0}, 8, 8},      // too short: the minimum
        {{0, 99, 1, 0}, 11, 11},    // a skin's longer ends
        {{0, 99, 0, 0}, 8, 16},     // no page: as long as the bar is thick
        {{0, 9, 10, 0}, 8, 0},      // everything on one page: nothing to scroll
        {{0, 9, 20, 0}, 8, 0},      // a page larger than the range
        {{5, 5, 0, 5}, 8, 0},       // an empty range
        {{0, 99, 1, 0}, 96, 0},     // the minimum does not fit on the track
        {{-10, 9, 10, -10}, 8, 47}, // a range below zero
    };
    for (const Case& c : cases) {
        const ScrollLayout l = ScrollLayoutOf(kBar, A::Vertical, c.range, c.minThumb);
        EXPECT_EQ(l.thumb.height, c.length) << c.range.min << ".." << c.range.max << " page " << c.range.page;
        if (c.length) {
            EXPECT_EQ(l.thumb.width, 16);
        }
    }
}

TEST(ScrollGeometry, ThumbStandsForThePositionAndPagesFlankIt) {
    ScrollRange r = kTen;
    const ScrollLayout top = ScrollLayoutOf(kBar, A::Vertical, r, 8);
    EXPECT_EQ(top.thumb, (PixelRect{527, 18, 16, 57}));
    EXPECT_TRUE(top.pageStart.Empty());
    EXPECT_EQ(top.pageEnd, (PixelRect{527, 75, 16, 38}));

    r.pos = ScrollMaxPos(r);
    EXPECT_EQ(r.pos, 4);
    const ScrollLayout bottom = ScrollLayoutOf(kBar, A::Vertical, r, 8);
    EXPECT_EQ(bottom.thumb, (PixelRect{527, 56, 16, 57}));
    EXPECT_EQ(bottom.pageStart, (PixelRect{527, 18, 16, 38}));
    EXPECT_TRUE(bottom.pageEnd.Empty());

    r.pos = 2; // half way: 38 * 2 / 4
    EXPECT_EQ(ScrollLayoutOf(kBar, A::Vertical, r, 8).thumb.y, 18 + 19);
    r.pos = 99; // out of range: held at the end
    EXPECT_EQ(ScrollLayoutOf(kBar, A::Vertical, r, 8).thumb, bottom.thumb);

    const ScrollLayout h = ScrollLayoutOf({2, 100, 200, 16}, A::Horizontal, {0, 999, 100, 900}, 8);
    EXPECT_EQ(h.thumb, (PixelRect{18 + 168 - 16, 100, 16, 16}));
    EXPECT_EQ(h.pageStart, (PixelRect{18, 100, 152, 16}));
}

TEST(ScrollGeometry, DraggingTheThumbGivesTheNearestPosition) {
    // Each position's thumb place leads back to the position.
    for (const ScrollRange range : {kTen, ScrollRange{0, 49, 7, 0}, ScrollRange{-3, 20, 0, 0}}) {
        const ScrollLayout l = ScrollLayoutOf(kBar, A::Vertical, range, 8);
        for (int pos = range.min; pos <= ScrollMaxPos(range); ++pos) {
            ScrollRange at = range;
            at.pos = pos;
            EXPECT_EQ(ScrollPosFromThumb(l, range, ScrollLayoutOf(kBar, A::Vertical, at, 8).thumb.y), pos);
        }
    }
    // Half a step rounds; beyond the track the ends hold.
    const ScrollLayout l = ScrollLayoutOf(kBar, A::Vertical, kTen, 8); // 9.5 pixels a position
    EXPECT_EQ(ScrollPosFromThumb(l, kTen, 18 + 4), 0);
    EXPECT_EQ(ScrollPosFromThumb(l, kTen, 18 + 5), 1);
    EXPECT_EQ(ScrollPosFromThumb(l, kTen, -500), 0);
    EXPECT_EQ(ScrollPosFromThumb(l, kTen, 500), 4);

    // The dragged thumb stays on the track, and the page parts follow it.
    const ScrollLayout dragged = ScrollLayoutDragged(l, 40);
    EXPECT_EQ(dragged.thumb, (PixelRect{527, 40, 16, 57}));
    EXPECT_EQ(dragged.pageStart, (PixelRect{527, 18, 16, 22}));
    EXPECT_EQ(dragged.pageEnd, (PixelRect{527, 97, 16, 16}));
    EXPECT_EQ(ScrollLayoutDragged(l, 1000).thumb.y, 56);
    EXPECT_EQ(ScrollLayoutDragged(l, -1000).thumb.y, 18);

    // Without a thumb the position stays.
    const ScrollRange fits{0, 4, 10, 0};
    EXPECT_EQ(ScrollPosFromThumb(ScrollLayoutOf(kBar, A::Vertical, fits, 8), fits, 60), 0);
}

// The system's values may span all of an int, and a page above INT_MAX arrives negative.
TEST(ScrollGeometry, RangesAcrossTheWholeIntStayInOrder) {
    const ScrollRange whole{INT_MIN, INT_MAX, 0, INT_MAX};
    EXPECT_EQ(ScrollMaxPos(whole), INT_MAX);
    EXPECT_EQ(ScrollMaxPos({0, 9, INT_MIN, 0}), 9); // a page of 2^31 counts as none
    EXPECT_EQ(ScrollMaxPos({INT_MIN, INT_MIN + 5, INT_MAX, 0}), INT_MIN);
    const ScrollLayout atEnd = ScrollLayoutOf(kBar, A::Vertical, whole, 8);
    ASSERT_TRUE(atEnd.HasThumb());
    EXPECT_EQ(atEnd.thumb.y + atEnd.thumb.height, atEnd.arrowEnd.y);
    EXPECT_EQ(ScrollPosFromThumb(atEnd, whole, 0), INT_MIN);
    EXPECT_EQ(ScrollPosFromThumb(atEnd, whole, 500), INT_MAX);
}

TEST(ScrollGeometry, HitTestFindsEachPart) {
    ScrollRange r = kTen;
    r.pos = 2; // thumb from 37 to 94
    const ScrollLayout l = ScrollLayoutOf(kBar, A::Vertical, r, 8);
    const struct {
        int x, y;
        P part;
    } cases[] = {
        {535, 2, P::ArrowStart}, {535, 17, P::ArrowStart}, {535, 18, P::PageStart}, {535, 36, P::PageStart},
        {535, 37, P::Thumb},     {535, 93, P::Thumb},      {535, 94, P::PageEnd},   {535, 112, P::PageEnd},
        {535, 113, P::ArrowEnd}, {535, 128, P::ArrowEnd},  {535, 129, P::None},     {526, 60, P::None},
        {543, 60, P::None},      {527, 60, P::Thumb},      {542, 60, P::Thumb},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScrollHitTest(l, c.x, c.y), c.part) << c.x << "," << c.y;
    // Without a thumb the track does not page.
    const ScrollLayout none = ScrollLayoutOf(kBar, A::Vertical, {0, 4, 10, 0}, 8);
    EXPECT_EQ(ScrollHitTest(none, 535, 60), P::None);
    EXPECT_EQ(ScrollHitTest(none, 535, 5), P::ArrowStart);
}

TEST(ScrollGeometry, DraggedThumbHoldsNearTheBarOnly) {
    // Eight thicknesses across the bar, two beyond its ends.
    const ScrollLayout v = ScrollLayoutOf(kBar, A::Vertical, kTen, 8);
    EXPECT_TRUE(ScrollDragHolds(v, 527 - 128, 129 + 31));
    EXPECT_FALSE(ScrollDragHolds(v, 527 - 129, 60));
    EXPECT_FALSE(ScrollDragHolds(v, 535, 129 + 32));
    const ScrollLayout h = ScrollLayoutOf({2, 100, 200, 16}, A::Horizontal, kTen, 8);
    EXPECT_TRUE(ScrollDragHolds(h, 202 + 31, 100 + 16 + 127));
    EXPECT_FALSE(ScrollDragHolds(h, 100, 100 + 16 + 128));
    EXPECT_FALSE(ScrollDragHolds(h, 202 + 32, 105));
}

TEST(ScrollGeometry, LooksFollowThePointer) {
    const ScrollPointer idle{};
    const ScrollPointer overThumb{P::Thumb};
    const ScrollPointer arrowHeld{P::ArrowStart, P::ArrowStart, true};
    const ScrollPointer arrowHeldOutside{P::None, P::ArrowStart, false};
    const ScrollPointer thumbDraggedAway{P::None, P::Thumb, false};
    EXPECT_EQ(ScrollPartLook(P::Thumb, idle, false), L::Normal);
    EXPECT_EQ(ScrollPartLook(P::Thumb, overThumb, false), L::Hot);
    EXPECT_EQ(ScrollPartLook(P::PageEnd, overThumb, false), L::Normal);
    EXPECT_EQ(ScrollPartLook(P::ArrowStart, arrowHeld, false), L::Pressed);
    EXPECT_EQ(ScrollPartLook(P::ArrowStart, arrowHeldOutside, false), L::Normal);
    EXPECT_EQ(ScrollPartLook(P::Thumb, thumbDraggedAway, false), L::Pressed);
    EXPECT_EQ(ScrollPartLook(P::ArrowEnd, {P::ArrowEnd, P::ArrowStart, false}, false), L::Normal);
    EXPECT_EQ(ScrollPartLook(P::ArrowStart, arrowHeld, true), L::Disabled);
}

TEST(ScrollGeometry, ImagesForEachPartAndLook) {
    // Every arrow image points the arrow's own way (arrows.bmp turns up, down, left, right by i mod 4),
    // and the faces the art has are used: pressed left (i mod 8 = 2), disabled right (3), and the quiet
    // grey (6) and plain (7) faces for the idle left and right arrows.
    const ScrollArrow arrows[] = {ScrollArrow::Up, ScrollArrow::Down, ScrollArrow::Left, ScrollArrow::Right};
    for (ScrollArrow arrow : arrows)
        for (L look : {L::Normal, L::Hot, L::Pressed, L::Disabled}) {
            const int image = ScrollArrowImage(arrow, look);
            EXPECT_TRUE(image >= 0 && image < 23);
            EXPECT_EQ(image % 4, int(arrow));
        }
    EXPECT_EQ(ScrollArrowImage(ScrollArrow::Left, L::Pressed) % 8, 2);
    EXPECT_EQ(ScrollArrowImage(ScrollArrow::Right, L::Disabled) % 8, 3);
    EXPECT_EQ(ScrollArrowImage(ScrollArrow::Right, L::Normal) % 8, 7);
    EXPECT_EQ(ScrollArrowImage(ScrollArrow::Left, L::Normal) % 8, 6);
    EXPECT_EQ(ScrollArrowAt(A::Vertical, true), ScrollArrow::Up);
    EXPECT_EQ(ScrollArrowAt(A::Horizontal, false), ScrollArrow::Right);

    EXPECT_EQ(ScrollTrackImage(L::Normal), 0);
    EXPECT_EQ(ScrollTrackImage(L::Disabled), 3);
    EXPECT_EQ(ScrollThumbImage(L::Pressed), 2);
    EXPECT_EQ(ScrollThumbImage(L::Disabled), 0); // three images: a disabled bar shows no thumb

    ImageSkin thumb;
    thumb.leftWidth = 5, thumb.rightWidth = 6, thumb.topHeight = 2, thumb.bottomHeight = 2;
    EXPECT_EQ(ScrollThumbMinimum(thumb, A::Horizontal), 11);
    EXPECT_EQ(ScrollThumbMinimum(thumb, A::Vertical), kScrollThumbMinimum);
}

TEST(ScrollGeometry, SkinNeedsEveryScrollObject) {
    static const std::uint8_t byte = 0;
    ImageSkin part;
    part.image.member = "x.bmp";
    part.image.file = std::span(&byte, 1);
    SkinModel skin;
    skin.scrollbar = skin.vertScroll = skin.horzScroll = skin.vertScrollThumb = skin.horzScrollThumb = part;
    EXPECT_TRUE(ScrollSkinComplete(skin));
    skin.horzScrollThumb.reset();
    EXPECT_FALSE(ScrollSkinComplete(skin));
    skin.horzScrollThumb = part;
    skin.vertScroll->image = {};
    EXPECT_FALSE(ScrollSkinComplete(skin));
}

} // namespace
} // namespace veltrane
