"""Every window walked with the keyboard alone: tab order, Space and Enter on buttons, arrows between
the radio buttons, Space on a list row, Esc, Alt+F4, Alt+Space, and the tray menu's keys."""

from __future__ import annotations

from program_helpers import (
    ABOUT_CLASS,
    CHECK_CLASS,
    MAIN_CLASS,
    MENU_CLASS,
    PRODUCT_TITLE,
    list_rows,
    open_main_window,
    radio_states,
    start_ready,
    wait_keys_go_to,
    wait_until,
)

MODIFY_CLASS = "TfrmModifyPass"


def focus_name(probe, window):
    """The focused control as class and text, e.g. 'Button:确定'."""
    focus = probe.focus()["focus"]
    for child in probe.children(window["hwnd"]):
        if child["hwnd"] == focus:
            return f'{child["class"]}:{child["text"]}'
    return None


def click_caption(wine, window):
    """Keys reach Wine's windows once the pointer has clicked one; the caption is an inert spot.
    (The X focus can stay on the desktop's X window here, which then passes keys on, so the main
    window is not held to wait_keys_go_to.)"""
    left, top, right, _ = window["rect"]
    wine.screen.click((left + right) // 2, top + 10)


def walk(wine, probe, window, key, expected):
    """Presses `key` once per expected stop and checks where the focus lands each time."""
    for name in expected:
        wine.screen.key(key)
        assert wait_until(lambda: focus_name(probe, window) == name, 5), f"{key} to {name}, at {focus_name(probe, window)}"


def test_main_window_and_its_dialogs_by_keyboard(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    click_caption(wine, window)
    assert wait_until(lambda: focus_name(probe, window) == "Button:确定")
    ticked, unticked = sorted(radio_states(probe, window["hwnd"]).items(), key=lambda item: not item[1])
    radio = "Button:" + ticked[0]  # Tab enters a group of radio buttons at the ticked one
    walk(wine, probe, window, "Tab",
         ["Button:修改密码", "Button:取消", "Button:关于", "SysListView32:", radio, "Button:确定"])
    walk(wine, probe, window, "shift+Tab", [radio, "SysListView32:"])

    # Space ticks the focused row; the arrows move between rows and between the radio buttons.
    ticks = lambda: [checked for _, checked in list_rows(probe, window["hwnd"])[0]]
    before = ticks()
    wine.screen.key("Down", "space")
    assert wait_until(lambda: sum(a != b for a, b in zip(ticks(), before)) == 1), "Space ticks the focused row"
    wine.screen.key("Tab", "Down" if ticked[0] == "保护模式" else "Up")
    assert wait_until(lambda: radio_states(probe, window["hwnd"])[unticked[0]]), "the arrow moves the tick"

    # Esc presses nothing here; Space on a button presses it.
    wine.screen.key("Escape")
    walk(wine, probe, window, "Tab", ["Button:确定", "Button:修改密码"])
    assert probe.find(MAIN_CLASS, PRODUCT_TITLE, visible=True)
    wine.screen.key("space")
    modify = probe.wait(MODIFY_CLASS, PRODUCT_TITLE, 10, visible=True)
    wait_keys_go_to(wine, probe, modify)
    walk(wine, probe, modify, "Tab", ["Edit:", "Button:确定", "Button:取消", "Edit:"])
    wine.screen.key("Escape")
    probe.wait_hidden(modify["hwnd"])

    walk(wine, probe, window, "Tab", ["Button:取消", "Button:关于"])
    wine.screen.key("Return")
    about = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    assert wait_until(lambda: focus_name(probe, about) == "Button:OK")
    wait_keys_go_to(wine, probe, about)
    walk(wine, probe, about, "Tab", ["Edit:" + probe.child(about["hwnd"], cls="Edit")["text"], "Button:OK"])
    wine.screen.key("space")
    probe.wait_hidden(about["hwnd"])

    # Alt+Space opens the system menu, Esc closes it; Alt+F4 only hides the window.
    wine.screen.key("alt+space")
    menu = probe.wait(MENU_CLASS, "*", 10, visible=True)
    wine.screen.key("Escape")
    probe.wait_hidden(menu["hwnd"])
    wine.screen.key("alt+F4")
    probe.wait_hidden(window["hwnd"])
    assert probe.find(MAIN_CLASS, PRODUCT_TITLE)
    assert sim.log_lines()[-3:] == ["fcCheckPassword 1 admin", "fcGetPartition 1", "fcGetProtection 1"], "nothing was applied or changed"


def test_password_dialog_by_keyboard(wine, probe, sim):
    start_ready(wine, sim)
    calls = len(sim.log_lines())
    wine.tray_double_click()
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    wait_keys_go_to(wine, probe, dialog, probe.child(dialog["hwnd"], cls="Edit"))
    walk(wine, probe, dialog, "Tab", ["Button:确定", "Button:取消", "Edit:"])
    wine.screen.type_text("admin")  # OK pressed instead of Cancel would open the main window
    walk(wine, probe, dialog, "shift+Tab", ["Button:取消"])
    wine.screen.key("space")
    probe.wait_hidden(dialog["hwnd"])
    wine.tray_double_click()  # handled after whatever the press led to; a shown main window asks nothing
    probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    assert sim.log_lines()[calls:] == [], "Cancel checks no password"
    assert not probe.find(MAIN_CLASS, PRODUCT_TITLE, visible=True)


def test_tray_menu_keys(wine, probe, sim):
    """Up and Enter choose Quit, behind the password. (Under Wine keys reach a tray menu only on
    its first opening in a desktop session; Esc closing it is tested with the menu's opening.)"""
    start_ready(wine, sim)
    calls = len(sim.log_lines())
    wine.tray_right_press()
    probe.wait(MENU_CLASS, "*", 10, visible=True)
    wine.screen.right_release()
    wine.screen.key("Up", "Return")
    probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    assert sim.log_lines()[calls:] == []
