"""Each window of the program, pictured as soon as it shows and once it has settled: the first picture
already has the skinned frame, the settled one matches the window's reference picture (made by
scripts/window-pictures.py), no row or column of its client area is left black, and the dialogs'
OK and Cancel buttons place their glyph and caption as the drawn look says."""

from __future__ import annotations

import subprocess
from typing import List

import pytest

from harness import SimDriver
from harness.session import ARTIFACTS_DIR, REPO_ROOT
from window_pictures import Picture, Sight, black_lines, compare, frame_ring, reference_for, tour

GLYPHS = {"确定": "glyph_ok.bmp", "OK": "glyph_ok.bmp", "取消": "glyph_cancel.bmp"}
GLYPH_SIDE, GLYPH_MARGIN, GLYPH_SPACING = 16, 2, 4


@pytest.fixture(scope="module")
def sights(wine_session, tmp_path_factory) -> List[Sight]:
    wine_session.ensure_desktop()
    try:
        yield tour(wine_session, wine_session.probe, SimDriver(tmp_path_factory.mktemp("sim")))
    finally:
        wine_session.kill_leftovers()


def save_artifacts(name: str, picture: Picture, difference: Picture = None) -> str:
    path = picture.save(ARTIFACTS_DIR / f"window-{name}.png")
    if difference is not None:
        difference.save(ARTIFACTS_DIR / f"window-{name}-difference.png")
    return str(path)


def test_each_window_shows_its_skinned_frame_in_its_first_picture(sights):
    faults = []
    for sight in sights:
        if sight.name == "tray-menu":
            continue  # a menu has no frame
        first_size = (sight.first.width, sight.first.height)
        if first_size != (sight.settled.width, sight.settled.height):
            faults.append(f"{sight.name}: first {first_size} ({save_artifacts(sight.name + '-first', sight.first)})")
            continue
        for first, settled in zip(frame_ring(sight.first, sight.client), frame_ring(sight.settled, sight.client)):
            if compare(first, settled).faults():
                faults.append(f"{sight.name}: {save_artifacts(sight.name + '-first', sight.first)}")
                break
    assert not faults, faults


def test_each_settled_window_matches_its_reference_picture(sights, arch_choice):
    faults = []
    for sight in sights:
        path = reference_for(arch_choice.arch, sight.name)
        if path is None:
            faults.append(f"{sight.name}: no reference picture (scripts/window-pictures.py makes it)")
            continue
        comparison = compare(sight.settled, Picture.load(path))
        if found := comparison.faults(ignore=sight.caret):
            saved = save_artifacts(sight.name, sight.settled, comparison.difference)
            faults.append(f"{sight.name}: {found[:6]} against {path.parent.name}/{path.name} ({saved})")
    assert not faults, faults


def test_no_settled_client_area_has_a_black_row_or_column(sights):
    faults = []
    for sight in sights:
        if found := black_lines(sight.settled.crop(sight.client)):
            faults.append(f"{sight.name}: {found[:6]} ({save_artifacts(sight.name, sight.settled)})")
    assert not faults, faults


def inked_columns(picture: Picture, ink, rows) -> List[int]:
    """Columns of `picture` with a pixel within `rows` for which `ink` holds."""
    return [x for x in range(picture.width) if any(ink(picture.at(x, y)) for y in rows)]


def near(p, q, tolerance: int = 24) -> bool:
    return all(abs(a - b) <= tolerance for a, b in zip(p, q))


def glyph_ink(name: str):
    """The first image of a glyph strip: its colour and the columns where it is (nearly) opaque."""
    path = REPO_ROOT / "art" / "generated" / name
    rgba = subprocess.run(["convert", str(path), "-depth", "8", "rgba:-"], capture_output=True, check=True).stdout
    width = len(rgba) // 4 // GLYPH_SIDE
    opaque = [(x, y) for y in range(GLYPH_SIDE) for x in range(GLYPH_SIDE) if rgba[4 * (y * width + x) + 3] >= 230]
    x, y = opaque[0]
    return tuple(rgba[4 * (y * width + x) : 4 * (y * width + x) + 3]), sorted({x for x, _ in opaque})


def test_dialog_buttons_have_their_glyph_at_the_margin_and_the_caption_after_it(sights):
    checked = []
    for sight in sights:
        if sight.name not in ("password", "change-password", "about"):
            continue
        left, top = sight.window["rect"][:2]
        for button in (c for c in sight.controls if c["class"] == "Button" and c["text"] in GLYPHS):
            bl, bt, br, bb = (v - o for v, o in zip(button["rect"], (left, top, left, top)))
            face = sight.settled.crop((bl, bt, br, bb))
            colour, in_strip = glyph_ink(GLYPHS[button["text"]])
            on_face = inked_columns(face, lambda p: near(p, colour), range(face.height))
            glyph_left = on_face[0] - in_strip[0]
            # The caption: the first dark column after the glyph, short of the button's own edge.
            text_rows = range(4, face.height - 4)
            caption = [x for x in inked_columns(face, lambda p: sum(p) < 250, text_rows)
                       if glyph_left + GLYPH_SIDE <= x < face.width - 3]
            name = f"{sight.name} {button['text']}"
            checked.append(name)
            assert glyph_left == GLYPH_MARGIN, (name, glyph_left, save_artifacts(sight.name, sight.settled))
            gap = caption[0] - (glyph_left + GLYPH_SIDE)
            assert GLYPH_SPACING <= gap <= GLYPH_SPACING + 2, (name, gap, save_artifacts(sight.name, sight.settled))
    assert len(checked) == 5, checked
