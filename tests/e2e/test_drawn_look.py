"""The drawn look of the main window, read from the screen: the two gradient panels, the bar
buttons in their states and where they stand."""

from __future__ import annotations

from harness import SimState
from program_helpers import APP_TITLE, MESSAGE_CLASS, click_control, open_main_window, screen_pixels, start_ready, wait_until

WHITE, GREY, TEAL = (255, 255, 255), (234, 234, 234), (0, 128, 128)
ORANGE_TOP, BLUE_TOP = (255, 243, 206), (206, 231, 255)
BORDER, DISABLED_BORDER = (0, 60, 115), (206, 199, 189)


def near(a, b, tolerance=3):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def pixels_of(wine, ctl):
    left, top, right, bottom = ctl["rect"]
    width, height = right - left, bottom - top
    pixels = screen_pixels(wine.screen, left, top, width, height)
    return (lambda x, y: pixels[y * width + x]), width, height


def panels(probe, window):
    found = {c["id"]: c for c in probe.children(window["hwnd"]) if c["class"] == "TPanel"}
    content = next(c for c in found.values() if c["rect"][2] - c["rect"][0] == 601)
    bar = next(c for c in found.values() if c["rect"][2] - c["rect"][0] == 617)
    return content, bar


def button(probe, window, text):
    return probe.child(window["hwnd"], cls="Button", text=text)


def highlight_row(wine, ctl):
    """The first row of the inner frame, 1 pixel inside the border, in the middle of the button."""
    at, width, _ = pixels_of(wine, ctl)
    return at(width // 2, 1)


def test_gradient_panels(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    content, bar = panels(probe, window)
    at, width, height = pixels_of(wine, content)
    assert at(0, height // 2) == TEAL and at(width - 1, 5) == TEAL, "the teal line"
    assert at(width // 2, 1) == WHITE and near(at(width // 2, height - 2), GREY)
    column = [at(3, y) for y in range(1, height - 1)]
    assert len(set(column)) == 22, "one band per grey level"

    at, width, height = pixels_of(wine, bar)
    assert near(at(2, height // 2), GREY) and at(width - 3, 2) == WHITE, "grey at the left, white at the right"


def test_bar_buttons_stand_where_the_layout_puts_them_and_show_their_states(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    # In a row in the bar's middle, About at the left and Cancel at the right (test_startup checks
    # the exact places).
    bar_left, bar_top, bar_right, bar_bottom = panels(probe, window)[1]["rect"]
    row = [button(probe, window, text)["rect"] for text in ("关于", "修改密码", "确定", "取消")]
    assert all(abs(top + bottom - bar_top - bar_bottom) <= 2 for _, top, _, bottom in row), "in the bar's middle"
    assert bar_left < row[0][0] and all(a[2] < b[0] for a, b in zip(row, row[1:])) and row[-1][2] < bar_right

    ok, about = button(probe, window, "确定"), button(probe, window, "关于")
    assert wait_until(lambda: near(highlight_row(wine, ok), BLUE_TOP, 12)), "OK has the focus: blue frame"
    at, width, height = pixels_of(wine, ok)
    assert near(at(width // 2, 0), BORDER, 12)
    plain = highlight_row(wine, about)
    left, top, right, bottom = about["rect"]
    wine.screen.move((left + right) // 2, (top + bottom) // 2)
    assert wait_until(lambda: near(highlight_row(wine, about), ORANGE_TOP, 12)), "hot: orange frame"
    wine.screen.move(10, 10)
    assert wait_until(lambda: highlight_row(wine, about) == plain), "the plain face again"


def test_disabled_ok_has_the_disabled_border(wine, probe, sim):
    start_ready(wine, sim, SimState(fail=("fcSetPartition",)))
    window = open_main_window(wine, probe, sim)
    ok = button(probe, window, "确定")
    click_control(wine, ok)
    query = probe.wait(MESSAGE_CLASS, "Query", 10, visible=True)
    click_control(wine, probe.child(query["hwnd"], cls="Button", id=1))
    box = probe.wait(MESSAGE_CLASS, APP_TITLE, 10, visible=True)  # OK stays disabled while it is up
    at, width, _ = pixels_of(wine, ok)
    assert wait_until(lambda: near(pixels_of(wine, ok)[0](width // 2, 0), DISABLED_BORDER, 6))
    probe.close(box["hwnd"])
