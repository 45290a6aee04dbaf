"""Applying settings from the main window: the query, the library calls, failures and the restart."""

from __future__ import annotations

import time

from harness import SimState
from program_helpers import (
    APP_TITLE,
    MAIN_CLASS,
    MESSAGE_CLASS,
    PRODUCT_TITLE,
    click_control,
    list_rows,
    open_main_window,
    start_ready,
    table_bytes,
    wait_input_handled,
    wait_until,
)

STATE = SimState(
    protection=0,
    opaque=bytes(range(0xA0, 0xB4)),
    slots={0: ("A", 1, 7, 100), 1: ("C", 1, 7, 40960), 2: ("D", 0, 7, 102400), 4: ("E", 2, 11, 4294967295)},
)


def query_box(probe):
    return probe.wait(MESSAGE_CLASS, "Query", 10, visible=True)


def press_ok(wine, probe, window):
    ok = probe.child(window["hwnd"], cls="Button", text="确定")
    click_control(wine, ok)
    return ok


def answer_query(wine, probe, accept: bool):
    box = query_box(probe)
    texts = [c["text"] for c in probe.children(box["hwnd"])]
    assert "需要重启机器让修改生效，是否现在重启？" in texts
    button = probe.child(box["hwnd"], cls="Button", id=1 if accept else 2)
    click_control(wine, button)
    return box


def tick_like_a_person(probe, window, ticks):
    _, view = list_rows(probe, window["hwnd"])
    for index, checked in ticks.items():
        probe.lvcheck(view["hwnd"], index, checked)


def test_main_road_writes_the_table_and_mode_then_restarts(wine, probe, sim, figures):
    start_ready(wine, sim, STATE)
    window = open_main_window(wine, probe, sim)
    tick_like_a_person(probe, window, {0: False, 1: True})  # C:\ off, D:\ on
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="保护模式"))
    calls = len(sim.log_lines())
    press_ok(wine, probe, window)
    answer_query(wine, probe, accept=True)
    started = time.monotonic()
    sim.wait_for_log("fcSetProtection", 10, after=calls)
    expected = table_bytes(STATE, {1: 0, 2: 1, 4: 0})
    assert sim.log_lines()[calls:] == [f"fcSetPartition 1 {expected}", "fcSetProtection 1 1"]
    # the forced restart ends every process of the Wine session
    assert wine.wait_wineserver_exit(30)
    figures.record("restart request to Wine session ended", (time.monotonic() - started) * 1000)
    state = sim.read_state()
    assert state["driver"]["protection"] == "1"
    assert state["table"]["slot0"] == "A,1,7,100", "a letter without a list item keeps its flag"


def test_cancel_in_the_query_writes_nothing(wine, probe, sim):
    start_ready(wine, sim, STATE)
    window = open_main_window(wine, probe, sim)
    calls = len(sim.log_lines())
    press_ok(wine, probe, window)
    box = answer_query(wine, probe, accept=False)
    probe.wait_hidden(box["hwnd"])
    wait_input_handled(wine, probe, window)
    assert sim.log_lines()[calls:] == []
    assert probe.child(window["hwnd"], cls="Button", text="确定")["enabled"]


def test_the_main_window_waits_while_the_query_is_up(wine, probe, sim):
    start_ready(wine, sim, STATE)
    window = open_main_window(wine, probe, sim)
    press_ok(wine, probe, window)
    box = query_box(probe)
    assert not probe.find(MAIN_CLASS, PRODUCT_TITLE)["enabled"], "the box holds the whole program"
    probe.click(probe.child(box["hwnd"], cls="Button", id=2)["hwnd"])
    probe.wait_hidden(box["hwnd"])
    assert wait_until(lambda: probe.find(MAIN_CLASS, PRODUCT_TITLE)["enabled"])


def run_failing_apply(wine, probe, sim, failing: str):
    start_ready(wine, sim, SimState(protection=0, fail=(failing,)))
    window = open_main_window(wine, probe, sim)
    calls = len(sim.log_lines())
    press_ok(wine, probe, window)
    answer_query(wine, probe, accept=True)
    box = probe.wait(MESSAGE_CLASS, APP_TITLE, 10, visible=True)
    message = [c["text"] for c in probe.children(box["hwnd"]) if c["id"] == 0xFFFF]
    assert not probe.child(window["hwnd"], cls="Button", text="确定")["enabled"], "disabled while applying"
    click_control(wine, probe.child(box["hwnd"], cls="Button", id=1))
    probe.wait_hidden(box["hwnd"])
    assert wait_until(lambda: probe.child(window["hwnd"], cls="Button", text="确定")["enabled"])
    return message, [line.split(" ")[:2] for line in sim.log_lines()[calls:]]


def test_failing_partition_write_shows_its_message_and_stops(wine, probe, sim):
    message, calls = run_failing_apply(wine, probe, sim, "fcSetPartition")
    assert message == ["设置保护分区失败"]
    assert calls == [["fcSetPartition", "0"]]


def test_failing_mode_write_shows_its_message_and_keeps_the_partitions(wine, probe, sim):
    message, calls = run_failing_apply(wine, probe, sim, "fcSetProtection")
    assert message == ["设置保护模式失败"]
    assert calls == [["fcSetPartition", "1"], ["fcSetProtection", "0"]]
