"""What the program says about the driver library it loaded: with the simulated one the tray icon's
tip and one more line of the About dialog say that the machine is not protected; with another
ZELK.dll (the stand-in the build makes for the tests) the tip stays empty and About is unchanged."""

from __future__ import annotations

import shutil
import subprocess
import time

from program_helpers import (
    ABOUT_CLASS,
    MAIN_CLASS,
    SIMULATED_LIBRARY,
    choose_tray_menu_item,
    start_ready,
    tray_badge_colour,
    wait_until,
)

TOOLTIP_CLASS = "tooltips_class32"


def start_beside_stand_in(wine, tmp_path):
    """The program alone in a folder with the stand-in ZELK.dll, which its loader finds first."""
    folder = tmp_path / "stand-in-install"
    folder.mkdir()
    shutil.copy(wine.dist_dir / "VeltraneShadow.exe", folder)
    shutil.copy(wine.test_dir / "stand-in" / "ZELK.dll", folder)
    subprocess.Popen(
        [wine.loader, str(folder / "VeltraneShadow.exe")],
        stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
        cwd=folder,
        env=wine.launch_env(),
    )
    wine.probe.wait(MAIN_CLASS, "*", 30)


def hovered_tip(wine, probe) -> str:
    """Rests the pointer on the tray icon; the text of the tip that shows, or "" if none shows."""
    x, y = wine.tray_icon()
    assert wait_until(lambda: tray_badge_colour(wine) != "none", 10), "the tray icon is shown"
    for dx in (-3, 0, 2):
        wine.screen.move(x + dx, y)
        time.sleep(0.05)
    tip = wait_until(lambda: probe.find(TOOLTIP_CLASS, "*", visible=True), 4)
    text = probe.gettext(tip["hwnd"]) if tip else ""
    wine.screen.move(x - 200, y - 200)
    return text


def about_children(wine, probe, shot: str):
    """Opens About from the tray menu (no password); its controls and window height, then closes it."""
    choose_tray_menu_item(wine, probe, last=False)
    about = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    children = probe.children(about["hwnd"])
    time.sleep(0.3)  # painted, for the screenshot
    wine.screenshot(shot)
    left, top, right, bottom = about["rect"]
    probe.close(about["hwnd"])
    probe.wait_hidden(about["hwnd"])
    return children, bottom - top


def overlaps(a, b) -> bool:
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def test_the_simulated_library_is_named_in_the_tip_and_in_about_and_another_is_not(wine, probe, sim, tmp_path):
    start_beside_stand_in(wine, tmp_path)
    assert hovered_tip(wine, probe) == "", "no tip with another library"
    children, plain_height = about_children(wine, probe, "about-another-library")
    assert "联系我们" in [c["text"] for c in children]
    assert SIMULATED_LIBRARY not in [c["text"] for c in children]
    wine.kill_leftovers()

    start_ready(wine, sim)
    assert hovered_tip(wine, probe) == SIMULATED_LIBRARY
    children, height = about_children(wine, probe, "about-simulated-library")
    notice = next(c for c in children if c["text"] == SIMULATED_LIBRARY)
    assert not [c["text"] for c in children if c is not notice and overlaps(c["rect"], notice["rect"])]
    assert height > plain_height, "the dialog grows by the line"
