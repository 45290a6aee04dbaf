"""Shared steps of the program's end-to-end tests: starting it, finding its windows and controls."""

from __future__ import annotations

import time
from typing import Dict, List, Tuple

from harness import SimState

MAIN_CLASS = "TfrmSetup"
APP_CLASS = "TApplication"
CHECK_CLASS = "TfrmCheck"
ABOUT_CLASS = "TfrmAbout"
MESSAGE_CLASS = "#32770"
MENU_CLASS = "#32768"
PRODUCT_TITLE = "Veltrane影子系统(多分区版)"
APP_TITLE = "Veltrane Vardelle"
# The tray tip and the About dialog's extra line while the simulated library is loaded.
SIMULATED_LIBRARY = "模拟驱动库（评估用，机器没有受到保护）"
EM_GETSEL = 0x00B0


def start_ready(wine, sim, state: SimState = None, figures=None, env=None):
    """Starts the program and waits until start-up has read the driver (its last call)."""
    sim.write(state or SimState())
    program = wine.start_program(sim=sim, env=env)
    sim.wait_for_log("fcGetProtection", program=program)
    if figures is not None:
        figures.record("start to main window created", program.elapsed_ms())
    return program


def wait_keys_go_to(wine, probe, window: Dict, control: Dict = None, timeout: float = 10.0) -> None:
    """Waits until keys typed now reach ``window``, and ``control`` in it when given: Wine's focus
    is there and the X server hands keys to Wine's desktop (see WineSession.keys_reach)."""
    if control is not None:
        assert wait_until(lambda: probe.focus()["focus"] == control["hwnd"], timeout), f"{control['class']} has the focus"
    assert wait_until(lambda: wine.keys_reach(window), timeout), (
        f"keys go to {window['caption']!r}: Wine's foreground {probe.focus()['foreground']:#x} (want {window['hwnd']:#x}), "
        f"X focus {wine.screen.focused_window()}"
    )


def main_window(probe, timeout: float = 10.0) -> Dict:
    return probe.wait(MAIN_CLASS, "*", timeout)


def visible_windows_of(probe, pid: int) -> List[Dict]:
    return [w for w in probe.list() if w["pid"] == pid and w["visible"]]


def control(probe, hwnd: int, cls: str, text: str) -> Dict:
    return probe.child(hwnd, cls=cls, text=text)


def radio_states(probe, hwnd: int) -> Dict[str, bool]:
    return {text: control(probe, hwnd, "Button", text)["checked"] for text in ("保护模式", "非保护模式")}


def list_rows(probe, hwnd: int):
    view = probe.child(hwnd, cls="SysListView32")
    data = probe.listview(view["hwnd"])
    return [(item["texts"], item["checked"]) for item in data["items"]], view


def wait_until(predicate, timeout: float = 10.0, interval: float = 0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()


def screen_rgb(screen, left: int, top: int, width: int, height: int) -> bytes:
    """The bytes of a screen rectangle, three a pixel, rows top first, read with ImageMagick."""
    import subprocess

    return subprocess.run(
        ["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}", "-depth", "8", "rgb:-"],
        env=screen._env(),
        capture_output=True,
        check=True,
        timeout=30,
    ).stdout


def screen_pixels(screen, left: int, top: int, width: int, height: int):
    """RGB triples of a screen rectangle."""
    raw = screen_rgb(screen, left, top, width, height)
    return [tuple(raw[i : i + 3]) for i in range(0, len(raw), 3)]


def tray_badge_colour(wine) -> str:
    """'red', 'green' or 'none': the dominant strong colour of the first tray icon."""
    x, y = wine.tray_icon()
    pixels = screen_pixels(wine.screen, x - 8, y - 8, 16, 16)
    red = sum(1 for r, g, b in pixels if r > 150 and g < 90 and b < 90)
    green = sum(1 for r, g, b in pixels if g > 120 and r < 90 and b < 120)
    if max(red, green) < 20:
        return "none"
    return "red" if red > green else "green"


def pass_gate(wine, probe, sim, password: str, *, double_click: bool = True, figures=None) -> str:
    """Opens the password dialog from the tray (or expects it open), types the password with the
    keyboard and presses Enter; returns the library's log line of the check."""
    return _pass_gate_timed(wine, probe, sim, password, double_click, figures)[0]


def _pass_gate_timed(wine, probe, sim, password: str, double_click: bool, figures) -> Tuple[str, float]:
    """pass_gate, and when Enter was pressed (time.monotonic)."""
    calls = len(sim.log_lines())
    if double_click:
        wine.tray_double_click()
    started = time.monotonic()
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    if figures is not None and double_click:
        figures.record("tray double-click to password dialog visible", (time.monotonic() - started) * 1000)
    wait_keys_go_to(wine, probe, dialog, probe.child(dialog["hwnd"], cls="Edit"))
    if password:
        wine.screen.type_text(password)
    wine.screen.key("Return")
    entered = time.monotonic()
    probe.wait_hidden(dialog["hwnd"], 10)
    return sim.wait_for_log("fcCheckPassword", 10, after=calls), entered


def choose_tray_menu_item(wine, probe, last: bool):
    """Opens the tray menu with a right press and chooses its first or last item.

    Under Wine the menu does not see pointer moves while the button that opened it is still held
    (the press went to the taskbar's process), so the item is chosen with a click after release.
    """
    wine.tray_right_press()
    menu = probe.wait(MENU_CLASS, "*", 10, visible=True)
    wine.screen.right_release()
    left, top, right, bottom = menu["rect"]
    x, y = left + 30, (bottom - 10 if last else top + 10)
    wine.screen.move(x - 5, y)
    time.sleep(0.1)
    wine.screen.click(x, y)
    probe.wait_hidden(menu["hwnd"], 10)
    return menu


def click_control(wine, ctl: Dict) -> None:
    """A real left click in the middle of a control (screen coordinates from the probe)."""
    left, top, right, bottom = ctl["rect"]
    wine.screen.click((left + right) // 2, (top + bottom) // 2)


def table_bytes(state: SimState, protect: Dict[int, int]) -> str:
    """The 90-byte record the program should hand back, as the library logs it (lower-case hex)."""
    record = bytearray(90)
    record[0:20] = state.opaque
    for slot, (letter, flag, kind, size) in state.slots.items():
        record[20 + slot] = ord(letter) if isinstance(letter, str) else letter
        record[30 + slot] = protect.get(slot, flag)
        record[40 + slot] = kind
        record[50 + 4 * slot : 54 + 4 * slot] = size.to_bytes(4, "little")
    return record.hex()


def open_main_window(wine, probe, sim, figures=None) -> Dict:
    """Double-clicks the tray icon, gives the right password, returns the shown main window."""
    line, entered = _pass_gate_timed(wine, probe, sim, "admin", True, figures)
    assert line == "fcCheckPassword 1 admin"
    window = probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10, visible=True)
    if figures is not None:
        figures.record("password OK to main window visible", (time.monotonic() - entered) * 1000)
    return window


def wait_input_handled(wine, probe, window) -> None:
    """Clicks the work-mode radio button that is not ticked and waits until it is.

    The program takes input in order, and only after the messages it posted itself, so once the tick
    shows, everything typed or clicked before has been handled. The mode is only chosen, not applied.
    """
    target = next(text for text, checked in radio_states(probe, window["hwnd"]).items() if not checked)
    click_control(wine, control(probe, window["hwnd"], "Button", target))
    assert wait_until(lambda: radio_states(probe, window["hwnd"])[target]), "the click on the radio button arrived"


def wait_posted_handled(probe) -> None:
    """Posts the tray icon's right press to the program and waits for the menu it opens: the program
    handles posted messages in order, so a menu's choice (posted as the menu closes) has been
    handled by then, and a dialog it opens is up. The menu is then closed again."""
    tray = probe.find("TTrayWindow", "*", required=True)
    probe.post(tray["hwnd"], 0x0800, 1, 0x0204)  # the icon's callback message, WM_RBUTTONDOWN
    menu = probe.wait(MENU_CLASS, "*", 10, visible=True)
    probe.post(tray["hwnd"], 0x001F)  # WM_CANCELMODE: the system's handling ends the menu
    probe.wait_hidden(menu["hwnd"])


def edit_selection(probe, edit: Dict) -> Tuple[int, int]:
    """Start and end of an edit control's selection (the caret when they are equal)."""
    result = probe.send(edit["hwnd"], EM_GETSEL)
    return result & 0xFFFF, (result >> 16) & 0xFFFF
