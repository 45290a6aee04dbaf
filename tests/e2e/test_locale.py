"""Chinese text on any system: every control of the main window and of the dialogs renders the same
under zh_CN.UTF-8 and under C.UTF-8 (each locale in a Wine prefix of its own), the texts are glyphs
rather than the boxes of missing ones, and passwords still reach the library in code page 936."""

from __future__ import annotations

import subprocess
import time
from pathlib import Path

from harness import ARTIFACTS_DIR, SCREEN_SIZE, SimDriver, SimState
from program_helpers import (
    ABOUT_CLASS,
    CHECK_CLASS,
    PRODUCT_TITLE,
    open_main_window,
    wait_until,
)

OTHER_LOCALE = "C.UTF-8"
MODIFY_CLASS = "TfrmModifyPass"
# Unassigned, so no font has it: drawn as the missing-glyph box a Chinese character becomes without a font.
MISSING = "\u0378"
SETTLE_SECONDS = 10.0


class Side:
    """The program running in one session, and what it shows."""

    def __init__(self, session, folder: Path) -> None:
        self.session, self.probe, self.screen = session, session.probe, session.screen
        self.screen.move(0, 0)  # nothing shows its hover look
        self.sim = SimDriver(folder)
        self.sim.write(SimState())
        program = session.start_program(sim=self.sim)
        self.sim.wait_for_log("fcGetProtection", program=program)

    def show_main_window(self):
        return open_main_window(self.session, self.probe, self.sim)

    def controls(self, window):
        """The controls to compare, once the window has the focus: not the panels (their controls are
        compared one by one) and not the focused text box, whose caret blinks."""
        children = self.probe.children(window["hwnd"])
        focus = wait_until(lambda: next((c for c in children if c["hwnd"] == self.probe.focus()["focus"]), None))
        assert focus, "a control of the window has the focus"
        return [
            c
            for c in children
            if c["class"] != "TPanel" and c["visible"] and not (c["class"] == "Edit" and c is focus)
        ]

    def pixels(self, rects):
        """The screen inside each rectangle, once two looks 0.2 s apart agree (painting has ended)."""
        before = None
        deadline = time.monotonic() + SETTLE_SECONDS
        while True:
            shot = screen_rgb(self.screen)
            now = [crop(shot, rect) for rect in rects]
            if now == before or time.monotonic() > deadline:
                return now
            before = now
            time.sleep(0.2)


def screen_rgb(screen) -> bytes:
    return subprocess.run(
        ["import", "-window", "root", "-depth", "8", "rgb:-"],
        env=screen._env(),
        capture_output=True,
        check=True,
        timeout=30,
    ).stdout


def crop(shot: bytes, rect) -> bytes:
    left, top, right, bottom = rect
    row = SCREEN_SIZE[0] * 3
    return b"".join(shot[y * row + left * 3 : y * row + right * 3] for y in range(top, bottom))


def save(name: str, rect, rgb: bytes) -> Path:
    """A control's pixels as a PNG in the artifacts folder, for a failure to show."""
    left, top, right, bottom = rect
    path = ARTIFACTS_DIR / f"locale-{name}.png"
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(
        ["convert", "-size", f"{right - left}x{bottom - top}", "-depth", "8", "rgb:-", str(path)],
        input=rgb,
        check=True,
        timeout=30,
    )
    return path


def label(control) -> str:
    return f'{control["class"]} {control["text"]!r}'


def check_alike(window_name, chinese: Side, chinese_window, other: Side, other_window):
    """Each control shows the same pixels in both locales."""
    mine, theirs = chinese.controls(chinese_window), other.controls(other_window)
    assert [(c["class"], c["text"], c["rect"]) for c in mine] == [(c["class"], c["text"], c["rect"]) for c in theirs]
    rects = [c["rect"] for c in mine]
    differing = []
    for control, a, b in zip(mine, chinese.pixels(rects), other.pixels(rects)):
        if a != b:
            name = f'{window_name}-{control["id"]}'
            save(f"{name}-zh", control["rect"], a)
            save(f"{name}-{OTHER_LOCALE}", control["rect"], b)
            differing.append(label(control))
    assert differing == [], f"drawn otherwise under {OTHER_LOCALE} (see tests/e2e/artifacts/locale-*)"


def boxed(text: str) -> str:
    """The text as it reads when every character outside ASCII lacks a glyph."""
    return "".join(ch if ord(ch) < 128 else MISSING for ch in text)


def swaps(controls):
    """Each control with Chinese text, and that text with its Chinese characters made missing."""
    return [(c, boxed(c["text"])) for c in controls if boxed(c["text"]) != c["text"]]


def check_not_boxes(side: Side, swapped):
    """Each control given its text with the Chinese characters made missing must change what it
    shows: boxes in place of boxes would not."""
    assert swapped
    for control, text in swapped:
        (before,) = side.pixels([control["rect"]])
        side.probe.settext(control["hwnd"], text)
        changed = wait_until(lambda: side.pixels([control["rect"]])[0] != before, 5)
        side.probe.settext(control["hwnd"], control["text"])
        assert changed, f"{label(control)} shows boxes"


def test_controls_render_alike_in_both_locales_and_not_as_boxes(wine, wine_in_locale, tmp_path):
    other_session = wine_in_locale(OTHER_LOCALE)
    chinese, other = Side(wine, tmp_path / "zh"), Side(other_session, tmp_path / "other")
    assert chinese.probe.sysmetrics()["acp"] == 936 and other.probe.sysmetrics()["acp"] != 936

    windows = [side.show_main_window() for side in (chinese, other)]
    check_alike("main", chinese, windows[0], other, windows[1])
    check_not_boxes(other, swaps(other.controls(windows[1])))

    for side, window in zip((chinese, other), windows):
        side.probe.click(side.probe.child(window["hwnd"], cls="Button", text="修改密码")["hwnd"])
    dialogs = [side.probe.wait(MODIFY_CLASS, PRODUCT_TITLE, 10, visible=True) for side in (chinese, other)]
    check_alike("modify", chinese, dialogs[0], other, dialogs[1])
    check_not_boxes(other, swaps(other.controls(dialogs[1])))
    for side, dialog in zip((chinese, other), dialogs):
        side.probe.close(dialog["hwnd"])
        side.probe.wait_hidden(dialog["hwnd"])

    for side, window in zip((chinese, other), windows):
        side.probe.click(side.probe.child(window["hwnd"], cls="Button", text="关于")["hwnd"])
    dialogs = [side.probe.wait(ABOUT_CLASS, "关于", 10, visible=True) for side in (chinese, other)]
    check_alike("about", chinese, dialogs[0], other, dialogs[1])
    controls = other.controls(dialogs[1])
    memo = next(c for c in controls if c["class"] == "Edit")
    first, rest = memo["text"].split("\r\n", 1)
    # The memo's first line stands for the text box's own way of drawing.
    check_not_boxes(other, swaps([c for c in controls if c is not memo]) + [(memo, boxed(first) + "\r\n" + rest)])


def test_password_dialog_alike_and_password_in_code_page_936(wine, wine_in_locale, tmp_path):
    chinese, other = Side(wine, tmp_path / "zh"), Side(wine_in_locale(OTHER_LOCALE), tmp_path / "other")
    for side in (chinese, other):
        side.session.tray_double_click()
    dialogs = [side.probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True) for side in (chinese, other)]
    check_alike("check", chinese, dialogs[0], other, dialogs[1])
    check_not_boxes(other, swaps(other.controls(dialogs[1])))

    field = other.probe.child(dialogs[1]["hwnd"], cls="Edit")
    assert wait_until(lambda: other.probe.focus()["focus"] == field["hwnd"])
    calls = len(other.sim.log_lines())
    other.probe.chars(field["hwnd"], "中文")
    other.probe.click(other.probe.child(dialogs[1]["hwnd"], cls="Button", text="确定")["hwnd"])
    other.probe.wait_hidden(dialogs[1]["hwnd"])
    other.sim.wait_for_log("fcCheckPassword", 10, after=calls)
    assert other.sim.log_path.read_bytes().splitlines()[calls:] == [b"fcCheckPassword 0 \xd6\xd0\xce\xc4"]
