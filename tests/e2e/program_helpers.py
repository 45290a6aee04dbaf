"""Shared steps of the program's end-to-end tests: starting it, finding its windows and controls."""

from __future__ import annotations

import time
from typing import Dict, List

from harness import SimState

MAIN_CLASS = "TfrmSetup"
APP_CLASS = "TApplication"
CHECK_CLASS = "TfrmCheck"
ABOUT_CLASS = "TfrmAbout"
MESSAGE_CLASS = "#32770"
MENU_CLASS = "#32768"
PRODUCT_TITLE = "Veltrane影子系统(多分区版)"
APP_TITLE = "Veltrane Vardelle"


def start_ready(wine, sim, state: SimState = None, figures=None):
    """Starts the program and waits until start-up has read the driver (its last call)."""
    sim.write(state or SimState())
    program = wine.start_program(sim=sim)
    sim.wait_for_log("fcGetProtection", program=program)
    if figures is not None:
        figures.record("start to main window created", program.elapsed_ms())
    return program


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
