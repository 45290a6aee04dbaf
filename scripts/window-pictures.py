#!/usr/bin/env python3
"""Pictures of the program's windows, taken from the real program under Wine in the end-to-end tests'
setting (Chinese locale, the demo partition table): the reference pictures that
tests/e2e/test_window_pictures.py compares with, and the README's pictures.

    python3 scripts/window-pictures.py            # references for the architecture the tests use
    E2E_ARCH=win32 python3 scripts/window-pictures.py
    python3 scripts/window-pictures.py --docs     # also docs/main-window.png, docs/skinned-main-window.png

Build the architecture first (bash scripts/build.sh win32 win64). Look at the pictures before
committing them: they become what the test holds the program to.
"""

from __future__ import annotations

import argparse
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from harness import SimDriver, WineSession, choose_arch  # noqa: E402
from window_pictures import Picture, Sight, reference_path, tour  # noqa: E402

DOCS = REPO / "docs"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--docs", action="store_true", help="also write the README's pictures")
    args = parser.parse_args()

    arch = choose_arch()
    with WineSession(arch) as wine, tempfile.TemporaryDirectory() as state:
        main_window = {}

        def keep(sight: Sight) -> None:
            path = sight.settled.save(reference_path(arch.arch, sight.name))
            print(f"{path.relative_to(REPO)}: {sight.settled.width} x {sight.settled.height}")
            if sight.name == "main":
                main_window.update(sight.window)
                if args.docs:
                    sight.settled.save(DOCS / "main-window.png")
            if sight.name == "tray-menu" and args.docs:
                # The main window is still up behind the menu: both in one picture.
                rects = (main_window["rect"], sight.window["rect"])
                both = (min(r[0] for r in rects), min(r[1] for r in rects),
                        max(r[2] for r in rects), max(r[3] for r in rects))
                Picture.grab(wine.screen, both).save(DOCS / "skinned-main-window.png")

        tour(wine, wine.probe, SimDriver(Path(state) / "sim"), keep)
        wine.kill_leftovers()
    return 0


if __name__ == "__main__":
    sys.exit(main())
