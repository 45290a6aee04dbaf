"""Skinned scroll bars: the partition list's and the About memo's bars are drawn from the stored skin's
bitmaps, and their arrows, track, thumb, the wheel and the keys scroll as with the system's bars; the
list's check boxes still tick in a scrolled list and OK writes them."""

from __future__ import annotations

import time

from harness import SimState
from program_helpers import (
    ABOUT_CLASS,
    MESSAGE_CLASS,
    click_control,
    main_window,
    open_main_window,
    screen_pixels,
    start_ready,
    table_bytes,
    wait_until,
)
from test_skin import all_near, skin_member  # noqa: F401  (a fixture)

LVM_GETTOPINDEX = 0x1027
LVM_GETCOUNTPERPAGE = 0x1028
EM_GETFIRSTVISIBLELINE = 0x00CE
SW_SHOW = 5

# The skin's parts: image size, margins (left, right, top, bottom) and whether the middle is tiled.
ARROWS = ("arrows.bmp", (16, 16), (2, 2, 2, 2), True)
TRACK = ("vscroll_back.bmp", (16, 18), (8, 6, 6, 6), True)
THUMB = ("vscroll_bar.bmp", (16, 24), (2, 2, 5, 6), False)
UP_NORMAL, DOWN_NORMAL = 0, 1  # the images the program shows for the idle arrows
THUMB_NORMAL, THUMB_HOT, THUMB_PRESSED = 0, 1, 2

TEN = SimState(
    protection=0,
    opaque=bytes(range(0x30, 0x44)),
    slots={i: (chr(ord("C") + i), i % 2, 7, 1024 * (i + 1)) for i in range(10)},
)


def nine_grid(skin_member, part, index: int, width: int, height: int):
    """What the program draws of image `index` of a skin part in a width x height place, row by row: the
    corners copied, the edges and the middle tiled or stretched (any pixel of a stretched run may be
    taken, so compare stretched parts only where the art is even along them)."""
    name, (cell_width, cell_height), (left, right, top, bottom), tile = part
    bmp = skin_member(name)

    def source(i, dest, low, high, size):
        if i < low:
            return i
        if i >= dest - high:
            return size - (dest - i)
        middle = size - low - high
        return low + ((i - low) % middle if tile else (i - low) * middle // (dest - low - high))

    columns = [index * cell_width + source(x, width, left, right, cell_width) for x in range(width)]
    rows = [source(y, height, top, bottom, cell_height) for y in range(height)]
    return [[bmp.pixel(column, row) for column in columns] for row in rows]


def flat(rows):
    return [pixel for row in rows for pixel in row]


class Bar:
    """The vertical scroll bar of a control: where it is and what it shows."""

    def __init__(self, wine, probe, skin_member, hwnd: int) -> None:
        self.wine, self.probe, self.skin_member = wine, probe, skin_member
        bars = probe.run("scrollbars", hwnd)
        assert bars["vert"], "the control shows a vertical bar"
        self.left, self.top, self.right, self.bottom = bars["vert"]
        self.width = self.right - self.left  # also the arrows' length

    @property
    def x(self) -> int:
        return (self.left + self.right) // 2

    def rows(self, top: int, count: int):
        return screen_pixels(self.wine.screen, self.left, top, self.width, count)

    def shows_arrows(self) -> bool:
        size = self.width
        up = flat(nine_grid(self.skin_member, ARROWS, UP_NORMAL, size, size))
        down = flat(nine_grid(self.skin_member, ARROWS, DOWN_NORMAL, size, size))
        return all_near(self.rows(self.top, size), up) and all_near(self.rows(self.bottom - size, size), down)

    def thumb_at_start(self, image: int = THUMB_NORMAL) -> bool:
        top = THUMB[2][2]
        expected = nine_grid(self.skin_member, THUMB, image, self.width, 24)[:top]
        return all_near(self.rows(self.top + self.width, top), flat(expected))

    def thumb_at_end(self) -> bool:
        bottom = THUMB[2][3]
        expected = nine_grid(self.skin_member, THUMB, THUMB_NORMAL, self.width, 24)[-bottom:]
        return all_near(self.rows(self.bottom - self.width - bottom, bottom), flat(expected))

    def track_above_down_arrow(self) -> bool:
        """The track's last row, clear of the thumb while the list is at the top."""
        expected = nine_grid(self.skin_member, TRACK, 0, self.width, 24)[-1]
        return all_near(self.rows(self.bottom - self.width - 1, 1), expected)

    def press(self, y: int) -> None:
        self.wine.screen.xdotool("mousemove", self.x, y, "mousedown", 1)

    def release(self) -> None:
        self.wine.screen.xdotool("mouseup", 1)

    def drag(self, y_from: int, y_to: int, while_held=None) -> None:
        """Takes the thumb at y_from and moves it in small steps to y_to, then lets go."""
        self.press(y_from)
        step = 4 if y_to > y_from else -4
        for y in range(y_from, y_to, step):
            self.wine.screen.move(self.x, y)
            time.sleep(0.02)
        self.wine.screen.move(self.x, y_to)
        if while_held:
            while_held()
        self.release()


def top_row(probe, view) -> int:
    return probe.send(view["hwnd"], LVM_GETTOPINDEX)


def open_list(wine, probe, sim, skin_member, shown_from_outside=False):
    """The main window with the ten partitions, once its list carries the skinned bar; with
    ``shown_from_outside``, after another program tried to show it before its first opening."""
    start_ready(wine, sim, TEN)
    if shown_from_outside:
        hidden = main_window(probe)
        probe.run("showwindow", hidden["hwnd"], SW_SHOW)
        probe.send(hidden["hwnd"], "WM_NULL")  # sent after the show: handled after it
        assert not main_window(probe)["visible"]
    window = open_main_window(wine, probe, sim)
    view = probe.child(window["hwnd"], cls="SysListView32")
    bar = Bar(wine, probe, skin_member, view["hwnd"])
    assert wait_until(bar.shows_arrows), "the arrows come from the skin"
    return window, view, bar


def test_list_bar_is_drawn_from_the_skin_and_lights_up(wine, probe, sim, skin_member):
    # A refused show leaves nothing half-done: the list is skinned at the real opening.
    window, view, bar = open_list(wine, probe, sim, skin_member, shown_from_outside=True)
    wine.screenshot("skinned-list-scroll-bar")
    assert bar.thumb_at_start(), "the thumb's top end at the top of the track"
    assert bar.track_above_down_arrow()

    # The pointer over the thumb lights it up; held, it shows the pressed image.
    on_thumb = bar.top + bar.width + 8
    wine.screen.move(bar.x, on_thumb)
    assert wait_until(lambda: bar.thumb_at_start(THUMB_HOT)), "hot thumb"
    bar.press(on_thumb)
    try:
        assert wait_until(lambda: bar.thumb_at_start(THUMB_PRESSED)), "pressed thumb"
    finally:
        bar.release()
    wine.screen.move(bar.left - 200, bar.top)
    assert wait_until(bar.thumb_at_start), "normal again once the pointer has left"
    assert top_row(probe, view) == 0, "a thumb taken and let go without a move stays"


def test_arrows_pages_thumb_wheel_and_keys_scroll_the_list(wine, probe, sim, skin_member):
    window, view, bar = open_list(wine, probe, sim, skin_member)
    last_top = 10 - probe.send(view["hwnd"], LVM_GETCOUNTPERPAGE)
    assert last_top > 1 and top_row(probe, view) == 0
    up, down = bar.top + bar.width // 2, bar.bottom - bar.width // 2

    # A click on the down arrow scrolls one row, and the thumb follows.
    wine.screen.click(bar.x, down)
    assert wait_until(lambda: top_row(probe, view) == 1)
    assert wait_until(lambda: not bar.thumb_at_start()), "the thumb has moved down"
    wine.screen.click(bar.x, up)
    assert wait_until(lambda: top_row(probe, view) == 0)
    # Held, an arrow repeats.
    bar.press(down)
    try:
        assert wait_until(lambda: top_row(probe, view) == last_top), "the held arrow repeats"
    finally:
        bar.release()
    assert wait_until(bar.thumb_at_end)

    # A click on the track above the thumb pages up, one below it pages down.
    page = 10 - last_top
    wine.screen.click(bar.x, bar.top + bar.width + 2)
    assert wait_until(lambda: top_row(probe, view) == max(0, last_top - page))
    wine.screen.click(bar.x, bar.bottom - bar.width - 2)
    assert wait_until(lambda: top_row(probe, view) == min(last_top, max(0, last_top - page) + page))

    # The thumb dragged up scrolls while it moves, before it is let go.
    def scrolled_while_held():
        assert wait_until(lambda: top_row(probe, view) == 0), "live scrolling"

    bar.drag(bar.bottom - bar.width - 4, bar.top + bar.width - 30, scrolled_while_held)
    assert wait_until(bar.thumb_at_start)
    assert top_row(probe, view) == 0

    # The wheel and the keys are the list's own; the bar follows them.
    first = probe.run("lvitemrect", view["hwnd"], 0)["rect"]
    wine.screen.click(first[0] + 200, (first[1] + first[3]) // 2)  # the list takes the focus
    wine.screen.xdotool("click", 5)
    assert wait_until(lambda: top_row(probe, view) > 0), "the wheel scrolls"
    wine.screen.key("End")
    assert wait_until(lambda: top_row(probe, view) == last_top)
    assert wait_until(bar.thumb_at_end), "the bar shows where the keys took the list"
    wine.screen.key("Home")
    assert wait_until(lambda: top_row(probe, view) == 0 and bar.thumb_at_start())


def test_about_memo_scrolls_with_its_skinned_bar(wine, probe, sim, skin_member):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="关于"))
    about = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    memo = probe.child(about["hwnd"], cls="Edit")
    probe.settext(memo["hwnd"], "\r\n".join(f"第 {n} 行" for n in range(1, 31)))
    bar = Bar(wine, probe, skin_member, memo["hwnd"])
    assert wait_until(bar.shows_arrows), "the arrows come from the skin"
    assert wait_until(bar.thumb_at_start), "the new text gives the bar a thumb"

    def first_line() -> int:
        return probe.send(memo["hwnd"], EM_GETFIRSTVISIBLELINE)

    wine.screen.click(bar.x, bar.bottom - bar.width // 2)
    assert wait_until(lambda: first_line() == 1)
    bar.drag(bar.top + bar.width + 6, bar.bottom + 14)
    assert wait_until(lambda: first_line() > 20)
    assert wait_until(bar.thumb_at_end)
    wine.screenshot("skinned-memo-scroll-bar")


def test_boxes_tick_in_a_scrolled_list_and_ok_writes_them(wine, probe, sim, skin_member):
    window, view, bar = open_list(wine, probe, sim, skin_member)
    row = 8  # slot 8 is not protected: its box starts unticked
    bar.drag(bar.top + bar.width + 4, bar.bottom + 14)
    assert wait_until(lambda: top_row(probe, view) > 0)
    left, top, right, bottom = probe.run("lvitemrect", view["hwnd"], row)["rect"]
    assert bar.top < top and bottom <= bar.bottom, "the row is in sight"
    assert not probe.listview(view["hwnd"])["items"][row]["checked"]
    wine.screen.click(left + 10, (top + bottom) // 2)  # its check box
    assert wait_until(lambda: probe.listview(view["hwnd"])["items"][row]["checked"])
    ticked = [item["checked"] for item in probe.listview(view["hwnd"])["items"]]
    assert ticked == [i % 2 == 1 or i == row for i in range(10)]

    calls = len(sim.log_lines())
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="确定"))
    box = probe.wait(MESSAGE_CLASS, "Query", 10, visible=True)
    click_control(wine, probe.child(box["hwnd"], cls="Button", id=1))
    sim.wait_for_log("fcSetProtection", 10, after=calls)
    expected = table_bytes(TEN, {row: 1})
    assert sim.log_lines()[calls:] == [f"fcSetPartition 1 {expected}", "fcSetProtection 1 0"]
    assert wine.wait_wineserver_exit(30)  # the forced restart ends the session: this test comes last
