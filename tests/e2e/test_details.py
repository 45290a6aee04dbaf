"""Finer points of the windows: password fields counted in the library's bytes, labels centred and
wrapped, the header bevels and caption boxes, the list's frame and last column."""

from __future__ import annotations

from harness import SimState
from program_helpers import (
    ABOUT_CLASS,
    CHECK_CLASS,
    PRODUCT_TITLE,
    click_control,
    open_main_window,
    screen_pixels,
    start_ready,
    wait_until,
)

MODIFY_CLASS = "TfrmModifyPass"
WS_EX_DLGMODALFRAME = 0x0001


def ink_span(pixels, width, height, background):
    """Bounding box (left, top, right, bottom) of pixels that differ clearly from the background."""
    xs, ys = [], []
    for i, p in enumerate(pixels):
        if max(abs(a - b) for a, b in zip(p, background)) > 60:
            xs.append(i % width)
            ys.append(i // width)
    assert xs, "nothing drawn"
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def control_pixels(wine, ctl):
    left, top, right, bottom = ctl["rect"]
    return screen_pixels(wine.screen, left, top, right - left, bottom - top), right - left, bottom - top


def test_password_fields_take_at_most_eight_bytes_of_code_page_936(wine, probe, sim):
    start_ready(wine, sim)
    calls = len(sim.log_lines())
    wine.tray_double_click()
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    edit = probe.child(dialog["hwnd"], cls="Edit")
    # Four Chinese characters fill the eight bytes; a Thai letter is not in the code page at all.
    probe.chars(edit["hwnd"], "ก中文中文中a")
    assert probe.gettext(edit["hwnd"]) == "中文中文"
    click_control(wine, probe.child(dialog["hwnd"], cls="Button", text="确定"))
    probe.wait_hidden(dialog["hwnd"])
    sim.wait_for_log("fcCheckPassword", 10, after=calls)
    assert sim.log_path.read_bytes().splitlines()[calls:] == [b"fcCheckPassword 0 \xd6\xd0\xce\xc4\xd6\xd0\xce\xc4"]

    window = open_main_window(wine, probe, sim)
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="修改密码"))
    modify = probe.wait(MODIFY_CLASS, PRODUCT_TITLE, 10, visible=True)
    for field in (c for c in probe.children(modify["hwnd"]) if c["class"] == "Edit"):
        probe.chars(field["hwnd"], "ab中文中文")
        assert probe.gettext(field["hwnd"]) == "ab中文中", "7 bytes; the next character would make 9"
    probe.close(modify["hwnd"])


def test_labels_are_centred_and_wrapped(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    link = probe.child(window["hwnd"], cls="TLinkLabel")
    probe.settext(link["hwnd"], "ab")
    wine.screenshot("link-centred")

    def link_gaps():
        pixels, width, height = control_pixels(wine, link)
        left, _, right, _ = ink_span(pixels, width, height, pixels[0])
        return left, width - right

    assert wait_until(lambda: abs(link_gaps()[0] - link_gaps()[1]) <= 2), f"centred: gaps {link_gaps()}"

    click_control(wine, probe.child(window["hwnd"], cls="Button", text="关于"))
    about = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    label = probe.child(about["hwnd"], cls="Static", text=PRODUCT_TITLE)
    probe.settext(label["hwnd"], "影子系统" * 12)  # wider than the label: two lines

    def label_box():
        pixels, width, height = control_pixels(wine, label)
        return ink_span(pixels, width, height, pixels[0]), width, height

    def centred_on_two_lines():
        (left, top, right, bottom), width, height = label_box()
        return bottom - top > height // 2 and abs(top - (height - bottom)) <= 2 and abs(left - (width - right)) <= 2

    assert wait_until(centred_on_two_lines), f"centred both ways on two lines: {label_box()}"
    probe.close(about["hwnd"])


def shows_caption_icon(wine, window) -> bool:
    """Whether the left end of the caption shows an icon: pixels that differ clearly from the caption bar
    on the same row, taken where the bar carries neither text nor buttons. The skin's caption text
    starts right of the icon's place; the bar's own edge lines are left out."""
    left, top, right, _ = window["rect"]
    width, height = 22, 18
    icon = screen_pixels(wine.screen, left + 2, top + 2, width, height)
    bar = screen_pixels(wine.screen, right - 50, top + 2, 1, height)
    return any(max(abs(a - b) for a, b in zip(p, bar[i // width])) > 60 for i, p in enumerate(icon))


def test_dialog_headers_have_their_bevel_and_captions_only_the_close_box(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    assert wait_until(lambda: shows_caption_icon(wine, window)), "the main window keeps its system-menu box"
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="修改密码"))
    modify = probe.wait(MODIFY_CLASS, PRODUCT_TITLE, 10, visible=True)
    assert modify["exstyle"] & WS_EX_DLGMODALFRAME
    # A window takes its skin a moment after it shows.
    assert wait_until(lambda: not shows_caption_icon(wine, modify)), "the close box only"
    header = next(c for c in probe.children(modify["hwnd"]) if c["class"] == "TPanel")
    pixels, width, height = control_pixels(wine, header)
    at = lambda x, y: pixels[y * width + x]
    white = (255, 255, 255)
    # Lowered outer: dark top-left, light bottom-right; raised inner: the opposite.
    assert at(0, 0) != white and at(1, 1) == white
    assert at(width - 1, height - 1) == white and at(width - 2, height - 2) != white
    assert at(width // 2, height // 2 + 25) == white, "white inside"
    probe.close(modify["hwnd"])


LIST_TEN = SimState(slots={i: (chr(ord("C") + i), 0, 7, 1024) for i in range(10)})


def test_list_frame_thick_over_header_and_scroll_bar_and_last_column_follows_size(wine, probe, sim):
    start_ready(wine, sim, LIST_TEN)
    window = open_main_window(wine, probe, sim)
    view = probe.child(window["hwnd"], cls="SysListView32")
    header = probe.child(view["hwnd"], cls="SysHeader32")
    left, top, right, bottom = view["rect"]
    ring = lambda: screen_pixels(wine.screen, left + 1, (top + bottom) // 2, 1, 1)[0]
    thin = ring()
    # The frame's inner ring darkens under the pointer anywhere over the list.
    for x, y in (
        ((left + right) // 2, (top + bottom) // 2),  # the rows
        ((header["rect"][0] + header["rect"][2]) // 2, (header["rect"][1] + header["rect"][3]) // 2),
        (right - 6, (top + bottom) // 2),  # the vertical scroll bar
    ):
        wine.screen.move(x, y)
        assert wait_until(lambda: ring() != thin), f"thick at {x},{y}"
    wine.screen.move(left - 40, top - 40)
    assert wait_until(lambda: ring() == thin), "thin again outside"

    columns = lambda: probe.listview(view["hwnd"])["columns"]
    width_before = columns()[2]["width"]
    x, y = view["client_rect"][:2]
    probe.run("move", view["hwnd"], x, y, right - left - 100, bottom - top)
    assert wait_until(lambda: columns()[2]["width"] == width_before - 100), "the last column follows the list"
