"""The stored skin on the program's windows: frames and captions drawn from the skin's bitmaps from
each window's first activation on, client areas and window commands as without it, and a copy of the
program whose stored package is damaged, which keeps the system's frames and still works."""

from __future__ import annotations

import re
import struct
import subprocess
import time

import pytest

from harness.session import REPO_ROOT
from program_helpers import (
    ABOUT_CLASS,
    CHECK_CLASS,
    MAIN_CLASS,
    PRODUCT_TITLE,
    choose_tray_menu_item,
    click_control,
    open_main_window,
    pass_gate,
    screen_pixels,
    start_ready,
    wait_until,
)

MODIFY_CLASS = "TfrmModifyPass"
DAMAGED_PROGRAM = "VeltraneShadowDamagedSkin.exe"
CAPTION = 30  # f-top.bmp: two stacked images of 30 rows, active first
EDGE = 4  # f-bot, f-left, f-right: two 4-pixel images
CLOSE_X, CLOSE_Y, CLOSE_SIZE = 30, 5, 21  # [Button0]: from the right edge; six 21-pixel images
# About with the simulated library, which the tests load: one more line of 24 pixels.
CLIENT_SIZES = {MAIN_CLASS: (617, 442), CHECK_CLASS: (339, 159), MODIFY_CLASS: (356, 183), ABOUT_CLASS: (430, 321)}


class Bmp:
    """An uncompressed 24-bit or 8-bit BMP file, read pixel by pixel."""

    def __init__(self, data: bytes) -> None:
        (self.offset,) = struct.unpack_from("<I", data, 10)
        self.width, height = struct.unpack_from("<ii", data, 18)
        (self.bits,) = struct.unpack_from("<H", data, 28)
        assert self.bits in (8, 24), self.bits
        self.height, self.bottom_up = abs(height), height > 0
        self.stride = (self.width * self.bits // 8 + 3) & ~3
        self.data = data
        (header,) = struct.unpack_from("<I", data, 14)
        (used,) = struct.unpack_from("<I", data, 46)
        entries = (used or 256) if self.bits == 8 else 0
        self.palette = [tuple(data[14 + header + 4 * i : 14 + header + 4 * i + 3][::-1]) for i in range(entries)]

    def pixel(self, x: int, y: int):
        row = self.height - 1 - y if self.bottom_up else y
        at = self.offset + row * self.stride + x * self.bits // 8
        if self.bits == 8:
            return self.palette[self.data[at]]
        b, g, r = self.data[at : at + 3]
        return r, g, b


@pytest.fixture(scope="module")
def skin_member(wine_session):
    """Members of the packed skin that the tested program carries, read with skinpack."""
    program = (wine_session.dist_dir / "VeltraneShadow.exe").read_bytes()
    for root in (wine_session.dist_dir.parent, REPO_ROOT / "dist"):
        tool, stream = root / "native" / "skinpack", root / "skin" / "harbor.skinstream"
        if tool.exists() and stream.exists() and stream.read_bytes() in program:
            break
    else:
        pytest.fail("no skinpack with the program's own skin package: build the native preset")

    def member(name: str) -> Bmp:
        return Bmp(subprocess.run([str(tool), "cat", str(stream), name], capture_output=True, check=True).stdout)

    return member


def near(p, q, tolerance: int = 3) -> bool:
    return all(abs(a - b) <= tolerance for a, b in zip(p, q))


def all_near(ps, qs) -> bool:
    return len(ps) == len(qs) and all(near(p, q) for p, q in zip(ps, qs))


def now(probe, window):
    """The window as it is now: a window takes its skin right after it shows, so an earlier look may be
    stale."""
    return next(w for w in probe.list() if w["hwnd"] == window["hwnd"])


def caption_column(wine, window):
    """A column of the caption bar 50 pixels from the right: clear of the text and the close button."""
    left, top, right, bottom = window["rect"]
    return screen_pixels(wine.screen, right - 50, top, 1, CAPTION)


def top_image_column(top, active: bool):
    """The middle column of f-top's active or inactive image: what the stretched middle shows."""
    return [top.pixel(top.width // 2, y + (0 if active else CAPTION)) for y in range(CAPTION)]


def frame_offsets(probe, window):
    """Where the client area starts in the window and how much the frame adds to its size."""
    panel = next(c for c in probe.children(window["hwnd"]) if c["class"] == "TPanel" and c["client_rect"][0] == 0)
    left, top, right, bottom = window["rect"]
    client_left, client_top = panel["rect"][0] - panel["client_rect"][0], panel["rect"][1] - panel["client_rect"][1]
    width, height = CLIENT_SIZES[window["class"]]
    return (client_left - left, client_top - top), (right - left - width, bottom - top - height)


def assert_skinned(wine, probe, window, top):
    """The skin's frame around the client area, and the active caption from f-top; returns the window."""
    skinned = ((EDGE, CAPTION), (2 * EDGE, CAPTION + EDGE))
    assert wait_until(lambda: frame_offsets(probe, now(probe, window)) == skinned), frame_offsets(probe, window)
    window = now(probe, window)
    assert wait_until(lambda: all_near(caption_column(wine, window), top_image_column(top, True))), window["class"]
    return window


def close_button_pixels(wine, window):
    left, top, right, bottom = window["rect"]
    return screen_pixels(wine.screen, right - CLOSE_X, top + CLOSE_Y, CLOSE_SIZE, CLOSE_SIZE)


def close_image(close, index: int):
    return [close.pixel(index * CLOSE_SIZE + x, y) for y in range(CLOSE_SIZE) for x in range(CLOSE_SIZE)]


def edge_ring(wine, edit):
    """The middle pixel of each side of a field's outermost ring: top, bottom, left, right."""
    left, top, right, bottom = edit["rect"]
    mid_x, mid_y = (left + right) // 2, (top + bottom) // 2
    return [screen_pixels(wine.screen, x, y, 1, 1)[0] for x, y in
            ((mid_x, top), (mid_x, bottom - 1), (left, mid_y), (right - 1, mid_y))]


def sunk_edge_ring(sunk, index: int):
    """The same four pixels of the sunken-edge image `index` (four images side by side)."""
    width = sunk.width // 4
    return [sunk.pixel(index * width + x, y) for x, y in
            ((width // 2, 0), (width // 2, sunk.height - 1), (0, sunk.height // 2), (width - 1, sunk.height // 2))]


def click_close_button(wine, window):
    left, top, right, bottom = window["rect"]
    wine.screen.click(right - CLOSE_X + CLOSE_SIZE // 2, top + CLOSE_Y + CLOSE_SIZE // 2)


def test_main_window_gets_the_skin_when_first_shown_and_keeps_its_client_area(wine, probe, sim, skin_member):
    start_ready(wine, sim)
    hidden = probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10)
    wine.tray_double_click()
    check = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    top = skin_member("f-top.bmp")
    check = assert_skinned(wine, probe, check, top)
    # The password field, which has the caret, wears the sunken edge's focused image.
    field = probe.child(check["hwnd"], cls="Edit")
    sunk = skin_member("sunkedge.bmp")
    assert wait_until(lambda: all_near(edge_ring(wine, field), sunk_edge_ring(sunk, 2))), edge_ring(wine, field)
    time.sleep(0.5)  # the manager's first action has run by now: it leaves hidden windows alone
    left, t, right, bottom = probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10)["rect"]
    assert (right - left, bottom - t) == (hidden["rect"][2] - hidden["rect"][0], hidden["rect"][3] - hidden["rect"][1])
    assert (right - left, bottom - t) != (617 + 2 * EDGE, 442 + CAPTION + EDGE), "not skinned while hidden"
    probe.close(check["hwnd"])
    probe.wait_hidden(check["hwnd"])

    window = assert_skinned(wine, probe, open_main_window(wine, probe, sim), top)
    wine.screenshot("skinned-main-window")

    # While the About dialog is active, the main window's caption comes from the inactive image.
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="关于"))
    about = assert_skinned(wine, probe, probe.wait(ABOUT_CLASS, "关于", 10, visible=True), top)
    assert wait_until(lambda: all_near(caption_column(wine, window), top_image_column(top, False)))
    click_close_button(wine, about)
    probe.wait_hidden(about["hwnd"])
    assert wait_until(lambda: all_near(caption_column(wine, window), top_image_column(top, True)))


def test_close_button_is_drawn_from_the_skin_and_hides_the_main_window(wine, probe, sim, skin_member):
    program = start_ready(wine, sim)
    window = assert_skinned(wine, probe, open_main_window(wine, probe, sim), skin_member("f-top.bmp"))
    close = skin_member("Window CloseButton1.bmp")
    assert wait_until(lambda: all_near(close_button_pixels(wine, window), close_image(close, 0))), "normal"
    left, top, right, bottom = window["rect"]
    wine.screen.move(right - CLOSE_X + 10, top + CLOSE_Y + 10)
    assert wait_until(lambda: all_near(close_button_pixels(wine, window), close_image(close, 1))), "hot"
    click_close_button(wine, window)
    probe.wait_hidden(window["hwnd"])
    assert program.running
    assert pass_gate(wine, probe, sim, "admin") == "fcCheckPassword 1 admin"
    probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10, visible=True)


def test_dialogs_are_skinned_their_close_button_cancels_and_captions_drag(wine, probe, sim, skin_member):
    start_ready(wine, sim)
    top = skin_member("f-top.bmp")
    calls = len(sim.log_lines())
    wine.tray_double_click()
    check = assert_skinned(wine, probe, probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True), top)
    click_close_button(wine, check)  # cancels: nothing is checked
    probe.wait_hidden(check["hwnd"])
    window = assert_skinned(wine, probe, open_main_window(wine, probe, sim), top)
    assert sim.log_lines()[calls:] == ["fcCheckPassword 1 admin", "fcGetPartition 1", "fcGetProtection 1"]

    click_control(wine, probe.child(window["hwnd"], cls="Button", text="修改密码"))
    modify = assert_skinned(wine, probe, probe.wait(MODIFY_CLASS, PRODUCT_TITLE, 10, visible=True), top)
    click_close_button(wine, modify)
    probe.wait_hidden(modify["hwnd"])
    assert sim.log_lines()[calls + 3 :] == [], "cancelled"

    # Dragged by its caption, the main window follows the pointer.
    left, top_, right, bottom = window["rect"]
    wine.screen.xdotool("mousemove", left + 200, top_ + 15, "mousedown", 1)
    for step in range(1, 5):
        wine.screen.xdotool("mousemove", left + 200 - 10 * step, top_ + 15 + 10 * step)
        time.sleep(0.05)
    wine.screen.xdotool("mouseup", 1)
    assert wait_until(lambda: now(probe, window)["rect"][:2] == [left - 40, top_ + 40]), now(probe, window)["rect"]


def test_a_damaged_skin_package_leaves_the_system_frames_and_the_program_works(wine, probe, sim, skin_member):
    sim.write()
    program = wine.start_program(DAMAGED_PROGRAM, sim=sim)
    sim.wait_for_log("fcGetProtection", program=program)
    top = skin_member("f-top.bmp")
    window = open_main_window(wine, probe, sim)
    (dx, dy), (dw, dh) = frame_offsets(probe, window)
    assert (dx, dy) != (EDGE, CAPTION) and 0 < dx < 10 and 15 < dy < CAPTION, "the system's frame"
    assert not all_near(caption_column(wine, window), top_image_column(top, True))
    wine.screenshot("damaged-skin-main-window")

    calls = len(sim.log_lines())
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="修改密码"))
    modify = probe.wait(MODIFY_CLASS, PRODUCT_TITLE, 10, visible=True)
    for field in (c for c in probe.children(modify["hwnd"]) if c["class"] == "Edit"):
        probe.chars(field["hwnd"], "new")
    click_control(wine, probe.child(modify["hwnd"], cls="Button", text="确定"))
    assert sim.wait_for_log("fcSetPassword", 10, after=calls) == "fcSetPassword 1 new"
    probe.close(window["hwnd"])
    probe.wait_hidden(window["hwnd"])
    choose_tray_menu_item(wine, probe, last=True)  # Quit
    assert pass_gate(wine, probe, sim, "new", double_click=False) == "fcCheckPassword 1 new"
    assert program.wait(20) == 0


def test_figure_time_to_skin_the_main_window_on_first_show(wine, figures):
    bench = wine.start_program("frame_skin_bench.exe")
    assert bench.wait(120) == 0, bench.output()
    found = re.search(r"figure: (.+?) = ([0-9.]+) ms", bench.output())
    assert found, bench.output()
    figures.record(found.group(1), float(found.group(2)))
