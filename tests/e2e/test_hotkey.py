"""Ctrl+Alt+Shift+V takes the road of a double-click on the tray icon."""

from __future__ import annotations

from program_helpers import (
    CHECK_CLASS,
    MAIN_CLASS,
    PRODUCT_TITLE,
    start_ready,
    visible_windows_of,
    wait_keys_go_to,
    wait_until,
)

HOTKEY = "ctrl+alt+shift+v"


def test_hotkey_opens_the_password_dialog_once_and_the_window_after_the_right_password(wine, probe, sim):
    start_ready(wine, sim)
    main = probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10)
    calls = len(sim.log_lines())
    wine.screen.click(500, 60)  # keys reach the Wine desktop once it has been clicked
    wine.screen.key(HOTKEY)
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    wait_keys_go_to(wine, probe, dialog, probe.child(dialog["hwnd"], cls="Edit"))
    wine.screen.key(HOTKEY)  # the gate keeps a second dialog away
    assert probe.children(main["hwnd"]) == []
    wine.screen.type_text("wrong")
    assert wait_until(lambda: probe.children(main["hwnd"])), "the window's controls are made while the password is typed"
    wine.screen.key("Return")
    probe.wait_hidden(dialog["hwnd"])
    assert sim.wait_for_log("fcCheckPassword", 10, after=calls) == "fcCheckPassword 0 wrong"
    assert sim.log_lines()[calls:] == ["fcCheckPassword 0 wrong"], "one dialog, one check"
    assert not probe.find(MAIN_CLASS, PRODUCT_TITLE, visible=True)
    assert not probe.find(CHECK_CLASS, PRODUCT_TITLE, visible=True), "no second dialog"

    wine.screen.key(HOTKEY)
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    wait_keys_go_to(wine, probe, dialog, probe.child(dialog["hwnd"], cls="Edit"))
    wine.screen.type_text("admin")
    wine.screen.key("Return")
    probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10, visible=True)
    assert CHECK_CLASS not in [w["class"] for w in visible_windows_of(probe, main["pid"])]
