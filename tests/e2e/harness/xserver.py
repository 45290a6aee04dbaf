"""Xvfb on a free display, and the xdotool/ImageMagick helpers that act on it."""

from __future__ import annotations

import os
import subprocess
import time
from pathlib import Path
from typing import Dict, Optional, Tuple

SCREEN_SIZE = (1024, 768)
FIRST_DISPLAY = 21
LAST_DISPLAY = 199
TRAY_ICON_SIZE = 20


def tray_icon_center(index: int = 0, screen: Tuple[int, int] = SCREEN_SIZE) -> Tuple[int, int]:
    """Centre of tray icon ``index`` (0 = the oldest icon; newer icons sit to its left).

    Wine's taskbar is the bottom 20 px and icons are 20 px wide from the right edge, so the
    only icon on a 1024x768 desktop is centred at (1014, 758).
    """
    width, height = screen
    return width - TRAY_ICON_SIZE * index - TRAY_ICON_SIZE // 2, height - TRAY_ICON_SIZE // 2


class Xvfb:
    """A private X server; ``start()`` picks the first free display from :21 on."""

    def __init__(self, size: Tuple[int, int] = SCREEN_SIZE) -> None:
        self.size = size
        self.display: Optional[str] = None
        self._process: Optional[subprocess.Popen] = None

    def start(self, timeout: float = 20.0) -> str:
        for number in range(FIRST_DISPLAY, LAST_DISPLAY + 1):
            if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
                continue
            process = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", f"{self.size[0]}x{self.size[1]}x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL,
            )
            if self._wait_ready(f":{number}", process, timeout):
                self._process, self.display = process, f":{number}"
                return self.display
            # Lost a race for this display number, or the server failed: try the next one.
            if process.poll() is None:
                process.kill()
            process.wait()
        raise RuntimeError("no free X display found for Xvfb")

    @staticmethod
    def _wait_ready(display: str, process: subprocess.Popen, timeout: float) -> bool:
        deadline = time.monotonic() + timeout
        env = dict(os.environ, DISPLAY=display)
        while time.monotonic() < deadline:
            if process.poll() is not None:
                return False
            ok = subprocess.run(
                ["xdotool", "getdisplaygeometry"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL
            )
            if ok.returncode == 0:
                return True
            time.sleep(0.1)
        return False

    def stop(self) -> None:
        process, self._process = self._process, None
        if process is not None and process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


class Screen:
    """Mouse, keyboard and screenshots on one X display (xdotool, ``import``)."""

    def __init__(self, display: str) -> None:
        self.display = display

    def _env(self) -> Dict[str, str]:
        return dict(os.environ, DISPLAY=self.display)

    def xdotool(self, *args: object) -> str:
        result = subprocess.run(
            ["xdotool", *[str(a) for a in args]], env=self._env(), capture_output=True, text=True, timeout=30
        )
        if result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.strip()}")
        return result.stdout

    def move(self, x: int, y: int) -> None:
        self.xdotool("mousemove", x, y)

    def click(self, x: int, y: int, button: int = 1) -> None:
        self.xdotool("mousemove", x, y, "click", button)

    def double_click(self, x: int, y: int, *, settle: float = 0.2) -> None:
        """Moves, waits ``settle`` seconds, then two clicks 100 ms apart (what Wine reports as a double-click)."""
        self.move(x, y)
        time.sleep(settle)
        self.xdotool("click", "--repeat", 2, "--delay", 100, 1)

    def right_press(self, x: int, y: int) -> None:
        self.xdotool("mousemove", x, y, "mousedown", 3)

    def right_release(self, x: Optional[int] = None, y: Optional[int] = None) -> None:
        if x is not None and y is not None:
            self.move(x, y)
        self.xdotool("mouseup", 3)

    def key(self, *keys: str) -> None:
        """xdotool key names, e.g. "Return", "Escape", "alt+F4"."""
        self.xdotool("key", *keys)

    def type_text(self, text: str) -> None:
        self.xdotool("type", "--delay", 30, text)

    def focused_window(self) -> Optional[Dict[str, object]]:
        """The X window that gets key presses, as name, width and height; None while the focus
        follows the pointer or is nowhere."""
        found = subprocess.run(["xdotool", "getwindowfocus", "-f"], env=self._env(), capture_output=True, text=True)
        window = found.stdout.strip()
        if found.returncode != 0 or not window:
            return None
        try:
            name = self.xdotool("getwindowname", window).rstrip("\n")
            shape = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", window).split())
        except RuntimeError:  # gone meanwhile
            return None
        return {"id": int(window), "name": name, "width": int(shape["WIDTH"]), "height": int(shape["HEIGHT"])}

    def keys_go_inside(self, name_regex: str) -> bool:
        """Whether the X server hands key presses to an X window of a program inside the X window named
        by ``name_regex``, or to that window itself: to the focus window, or to the window under the
        pointer while the focus follows the pointer (PointerRoot, the server's start, or the root
        window). The other windows of the named window's process do not count: a Wine desktop's
        taskbar and tooltips keep the keys they get."""
        found = subprocess.run(["xdotool", "getwindowfocus", "-f"], env=self._env(), capture_output=True, text=True)
        if found.returncode != 0 or not found.stdout.strip():
            return False
        window = focus = int(found.stdout.strip())
        root = int(self._tree_line(None, "Window id:"), 16)
        if window in (1, root):
            shape = dict(line.split("=", 1) for line in self.xdotool("getmouselocation", "--shell").split())
            window = focus = int(shape["WINDOW"])
        wanted = {int(w) for w in self.xdotool("search", "--name", name_regex).split()}
        while window and window != root:
            if window in wanted:
                return focus == window or self._owner(focus) not in {self._owner(w) for w in wanted}
            parent = self._tree_line(window, "Parent window id:")
            window = int(parent, 16) if parent else 0
        return False

    def _owner(self, window: int) -> str:
        """The process id an X client gave its window (_NET_WM_PID), or "" for none."""
        found = subprocess.run(["xdotool", "getwindowpid", str(window)], env=self._env(), capture_output=True, text=True)
        return found.stdout.strip()

    def _tree_line(self, window: Optional[int], label: str) -> Optional[str]:
        """The window id xwininfo gives after ``label`` for ``window`` (the root for None)."""
        target = ["-root"] if window is None else ["-id", str(window)]
        found = subprocess.run(["xwininfo", *target, "-children"], env=self._env(), capture_output=True, text=True)
        for line in found.stdout.splitlines():
            if label in line:
                return line.split(label, 1)[1].split()[0]
        return None

    def window_exists(self, name_regex: str) -> bool:
        result = subprocess.run(
            ["xdotool", "search", "--name", name_regex], env=self._env(), capture_output=True, timeout=30
        )
        return result.returncode == 0 and bool(result.stdout.strip())

    def wait_window(self, name_regex: str, timeout: float) -> bool:
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.window_exists(name_regex):
                return True
            time.sleep(0.1)
        return False

    def screenshot(self, path: Path) -> Path:
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", str(path)], env=self._env(), check=True, timeout=30)
        return path
