"""The main window's banner under Wine: the JPEG resource decodes and fills the picture control."""

from __future__ import annotations

from program_helpers import open_main_window, screen_pixels, start_ready, wait_until

IMAGE1_ID = 100
BANNER_SIZE = (600, 61)
SS_TYPEMASK = 0x1F
SS_BITMAP = 0x0E
SS_NOTIFY = 0x100
WINDOW_BACKGROUND = (255, 255, 255)
TEAL = (0x1F, 0x8A, 0x8C)
TOLERANCE = 40


def near(pixel, colour, tolerance=TOLERANCE):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


def shown_main_window(wine, probe, sim):
    start_ready(wine, sim)
    return open_main_window(wine, probe, sim)


def test_banner_fills_image1_and_keeps_its_click(wine, probe, sim):
    window = shown_main_window(wine, probe, sim)
    image1 = next(c for c in probe.children(window["hwnd"]) if c["id"] == IMAGE1_ID)
    assert image1["style"] & SS_TYPEMASK == SS_BITMAP
    assert image1["style"] & SS_NOTIFY, "the banner still reports clicks"
    left, top, right, bottom = image1["rect"]
    assert (right - left, bottom - top) == BANNER_SIZE
    cl, ct, _, _ = image1["client_rect"]
    assert (cl, ct) == (8, 8)

    def banner_pixels():
        pixels = screen_pixels(wine.screen, left, top, *BANNER_SIZE)
        painted = sum(1 for p in pixels if not near(p, WINDOW_BACKGROUND, 16))
        return pixels if painted > len(pixels) // 3 else None

    pixels = wait_until(banner_pixels, timeout=10)
    wine.screenshot("main-window-banner")
    assert pixels, "the banner area shows only the window background"
    width = BANNER_SIZE[0]
    at = lambda x, y: pixels[y * width + x]
    assert near(at(4, 20), TEAL), at(4, 20)
    assert near(at(596, 20), (255, 255, 255)), at(596, 20)
    assert near(at(24, 14), (255, 255, 255)), "the shield's face"
