"""Pictures of the program's windows: taken from the screen, compared with reference pictures, and
the tour that brings each window up and lets it settle. The end-to-end test and
scripts/window-pictures.py share all of it, so the references show what the test sees."""

from __future__ import annotations

import dataclasses
import subprocess
import time
from pathlib import Path
from typing import Callable, Dict, List, Optional, Tuple

from harness import SimState
from harness.xserver import SCREEN_SIZE
from program_helpers import (
    ABOUT_CLASS,
    MENU_CLASS,
    MESSAGE_CLASS,
    PRODUCT_TITLE,
    click_control,
    open_main_window,
    screen_rgb,
    start_ready,
)

MODIFY_CLASS = "TfrmModifyPass"
REFERENCE_DIR = Path(__file__).resolve().parent / "reference"
SETTLE_SECONDS = 1.5  # nothing moves any more by then
NEUTRAL_POINTER = (2, 2)  # over the bare desktop: no window under it is hot

Rect = Tuple[int, int, int, int]  # left, top, right, bottom
Rgb = Tuple[int, int, int]


class Picture:
    """Width, height and packed 8-bit RGB rows; read from and written to files with ImageMagick."""

    def __init__(self, width: int, height: int, data: bytes) -> None:
        assert len(data) == width * height * 3, (width, height, len(data))
        self.width, self.height, self.data = width, height, data

    @classmethod
    def grab(cls, screen, rect: Rect) -> "Picture":
        left, top, right, bottom = rect
        width, height = right - left, bottom - top
        return cls(width, height, screen_rgb(screen, left, top, width, height))

    @classmethod
    def load(cls, path: Path) -> "Picture":
        size = subprocess.run(["identify", "-format", "%w %h", str(path)], capture_output=True, check=True, text=True)
        width, height = (int(v) for v in size.stdout.split())
        raw = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
        return cls(width, height, raw)

    def save(self, path: Path) -> Path:
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(
            ["convert", "-size", f"{self.width}x{self.height}", "-depth", "8", "rgb:-", "-strip", f"png:{path}"],
            input=self.data,
            check=True,
        )
        return path

    def at(self, x: int, y: int) -> Rgb:
        i = 3 * (y * self.width + x)
        return tuple(self.data[i : i + 3])

    def crop(self, rect: Rect) -> "Picture":
        left, top, right, bottom = rect
        rows = [self.data[3 * (y * self.width + left) : 3 * (y * self.width + right)] for y in range(top, bottom)]
        return Picture(right - left, bottom - top, b"".join(rows))


@dataclasses.dataclass
class Comparison:
    """Where a picture differs from its reference by more than a few levels."""

    differing: List[Tuple[int, int]]
    difference: Picture  # the picture greyed, differing pixels in red
    size_matches: bool = True

    def faults(self, loose_pixels: int = 40, line_pixels: int = 12, ignore: Optional[Rect] = None) -> List[str]:
        """A few scattered pixels (text edges) pass; more than `loose_pixels` in all, or a run along
        one row or column (a strip, an edge, a moved glyph), do not. Pixels inside `ignore` (the
        focused text box, where the caret blinks) are not counted."""
        if not self.size_matches:
            return ["the size differs"]
        differing = [(x, y) for x, y in self.differing if not (ignore and inside(ignore, x, y))]
        found = []
        if len(differing) > loose_pixels:
            found.append(f"{len(differing)} pixels differ")
        rows: Dict[int, int] = {}
        columns: Dict[int, int] = {}
        for x, y in differing:
            rows[y] = rows.get(y, 0) + 1
            columns[x] = columns.get(x, 0) + 1
        found += [f"row {y}: {n} pixels" for y, n in sorted(rows.items()) if n > line_pixels]
        found += [f"column {x}: {n} pixels" for x, n in sorted(columns.items()) if n > line_pixels]
        return found


def inside(rect: Rect, x: int, y: int) -> bool:
    left, top, right, bottom = rect
    return left <= x < right and top <= y < bottom


def compare(actual: Picture, reference: Picture, levels: int = 24) -> Comparison:
    if (actual.width, actual.height) != (reference.width, reference.height):
        return Comparison([], actual, size_matches=False)
    differing = []
    out = bytearray(len(actual.data))
    a, r = actual.data, reference.data
    for i in range(0, len(a), 3):
        if abs(a[i] - r[i]) > levels or abs(a[i + 1] - r[i + 1]) > levels or abs(a[i + 2] - r[i + 2]) > levels:
            pixel = i // 3
            differing.append((pixel % actual.width, pixel // actual.width))
            out[i : i + 3] = b"\xff\x00\x00"
        else:
            grey = (a[i] + a[i + 1] + a[i + 2]) // 6 + 128  # faded, so the red stands out
            out[i : i + 3] = bytes((grey, grey, grey))
    return Comparison(differing, Picture(actual.width, actual.height, bytes(out)))


def black_lines(picture: Picture, share: float = 0.5) -> List[str]:
    """Rows and columns of which more than `share` is pure black: paint that never came."""
    black = [[picture.data[3 * (y * picture.width + x) : 3 * (y * picture.width + x) + 3] == b"\0\0\0"
              for x in range(picture.width)] for y in range(picture.height)]
    found = [f"row {y}" for y in range(picture.height) if sum(black[y]) > share * picture.width]
    found += [f"column {x}" for x in range(picture.width)
              if sum(black[y][x] for y in range(picture.height)) > share * picture.height]
    return found


# -- the tour ----------------------------------------------------------------------------------------


@dataclasses.dataclass
class Sight:
    """One window as the tour met it: its first picture (the first one in which it had reached the
    screen) and its settled one, both of the whole window, and where its client area lies in them."""

    name: str
    window: Dict
    first: Picture
    settled: Picture
    client: Rect  # in the pictures' coordinates
    controls: List[Dict]  # as the probe's children, once settled
    caret: Optional[Rect] = None  # the focused text box, in the pictures' coordinates


def client_in_window(probe, window: Dict) -> Rect:
    left, top = window["rect"][:2]
    cl, ct, cr, cb = probe.run("scrollbars", window["hwnd"])["client"]
    return cl - left, ct - top, cr - left, cb - top


def frame_ring(picture: Picture, client: Rect) -> List[Picture]:
    """The non-client parts of a window picture: above, below, left and right of the client area."""
    left, top, right, bottom = client
    return [
        picture.crop((0, 0, picture.width, top)),
        picture.crop((0, bottom, picture.width, picture.height)),
        picture.crop((0, top, left, bottom)),
        picture.crop((right, top, picture.width, bottom)),
    ]


def first_picture(wine, before: Picture, window: Dict, client: Rect, timeout: float = 5.0) -> Picture:
    """The window's rectangle in the first picture that shows anything of its frame: a window the
    probe already sees as visible may not have reached the X screen yet."""
    rect = window["rect"]
    earlier = frame_ring(before.crop(rect), client)
    deadline = time.monotonic() + timeout
    while True:
        shot = Picture.grab(wine.screen, rect)
        if any(compare(now, then).differing for now, then in zip(frame_ring(shot, client), earlier)):
            return shot
        if time.monotonic() > deadline:
            return shot


def look(wine, probe, name: str, appear: Callable[[], Dict]) -> Sight:
    """Runs `appear`, which makes a window show and returns it as soon as it is visible, pictures it as
    soon as it is on the screen, then again once it has settled."""
    before = Picture.grab(wine.screen, (0, 0, *SCREEN_SIZE))
    window = appear()
    first = first_picture(wine, before, window, client_in_window(probe, window))
    wine.screen.move(*NEUTRAL_POINTER)
    time.sleep(SETTLE_SECONDS)
    window = next(w for w in probe.list() if w["hwnd"] == window["hwnd"])
    settled = Picture.grab(wine.screen, window["rect"])
    controls = probe.children(window["hwnd"])
    return Sight(name, window, first, settled, client_in_window(probe, window), controls,
                 focused_text_box(probe, window, controls))


def focused_text_box(probe, window: Dict, controls: List[Dict]) -> Optional[Rect]:
    focus = probe.focus().get("focus")
    box = next((c for c in controls if c["hwnd"] == focus and c["class"] == "Edit"), None)
    if box is None:
        return None
    left, top = window["rect"][:2]
    return (box["rect"][0] - left, box["rect"][1] - top, box["rect"][2] - left, box["rect"][3] - top)


def tour(wine, probe, sim, on_sight: Optional[Callable[[Sight], None]] = None) -> List[Sight]:
    """Every window of the program in turn, with the demo state's partition table: the password
    dialog, the main window, the change-password dialog, the About dialog, the Query box and the
    tray menu. Each is closed without effect before the next comes; the menu, last, stays open (a
    later menu under Wine takes no keys, and a click beside it is the taskbar's)."""
    sights: List[Sight] = []

    def seen(sight: Sight) -> Sight:
        sights.append(sight)
        if on_sight:
            on_sight(sight)
        return sight

    start_ready(wine, sim, SimState())
    wine.tray_double_click()
    password = seen(look(wine, probe, "password", lambda: probe.wait("TfrmCheck", PRODUCT_TITLE, 10, visible=True)))
    probe.close(password.window["hwnd"])
    probe.wait_hidden(password.window["hwnd"])

    main = seen(look(wine, probe, "main", lambda: open_main_window(wine, probe, sim))).window

    def from_button(text: str, cls: str, caption: str) -> Callable[[], Dict]:
        def appear() -> Dict:
            click_control(wine, probe.child(main["hwnd"], cls="Button", text=text))
            return probe.wait(cls, caption, 10, visible=True)

        return appear

    for name, text, cls, caption in (
        ("change-password", "修改密码", MODIFY_CLASS, PRODUCT_TITLE),
        ("about", "关于", ABOUT_CLASS, "关于"),
        ("query", "确定", MESSAGE_CLASS, "Query"),
    ):
        sight = seen(look(wine, probe, name, from_button(text, cls, caption)))
        probe.close(sight.window["hwnd"])
        probe.wait_hidden(sight.window["hwnd"])

    def tray_menu() -> Dict:
        wine.tray_right_press()
        menu = probe.wait(MENU_CLASS, "*", 10, visible=True)
        wine.screen.right_release()
        return menu

    seen(look(wine, probe, "tray-menu", tray_menu))
    return sights


ARCHES = ("win32", "win64")


def reference_path(arch: str, name: str) -> Path:
    """Where the script puts the reference of window `name` under Wine architecture `arch`."""
    return REFERENCE_DIR / arch / f"{name}.png"


def reference_for(arch: str, name: str) -> Optional[Path]:
    """The reference a run under `arch` compares with: its own, else the other architecture's (Wine's
    32- and 64-bit runs may draw text a little differently, which the comparison's tolerance allows for
    as far as it goes)."""
    for candidate in (arch, *(a for a in ARCHES if a != arch)):
        if reference_path(candidate, name).exists():
            return reference_path(candidate, name)
    return None
