"""The tray icon, its menu and the password gate, driven with the real pointer and keyboard."""

from __future__ import annotations

import subprocess

from harness import SimState
from program_helpers import (
    ABOUT_CLASS,
    APP_CLASS,
    APP_TITLE,
    CHECK_CLASS,
    MAIN_CLASS,
    MENU_CLASS,
    PRODUCT_TITLE,
    choose_tray_menu_item,
    edit_selection,
    main_window,
    open_main_window,
    pass_gate,
    start_ready,
    tray_badge_colour,
    visible_windows_of,
    wait_keys_go_to,
    wait_posted_handled,
    wait_until,
)


TRAY_WINDOW_CLASS = "TTrayWindow"  # the hidden window that owns the program's tray icon
FIRST_ICON_ID = 1


def test_icon_colour_follows_the_work_mode(wine, probe, sim):
    program = start_ready(wine, sim, SimState(protection=1))
    assert wait_until(lambda: tray_badge_colour(wine) == "red")
    probe.post(main_window(probe)["hwnd"], "WM_CLOSE")
    assert pass_gate(wine, probe, sim, "admin", double_click=False) == "fcCheckPassword 1 admin"
    assert program.wait(20) == 0
    start_ready(wine, sim, SimState(protection=0))
    assert wait_until(lambda: tray_badge_colour(wine) == "green")


def test_right_password_in_capitals_shows_the_main_window_in_front(wine, probe, sim, figures):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim, figures)
    assert sim.log_lines()[-3:] == ["fcCheckPassword 1 admin", "fcGetPartition 1", "fcGetProtection 1"]
    assert probe.find(CHECK_CLASS, "*", visible=True) is None
    assert wait_until(lambda: probe.focus()["foreground"] == window["hwnd"])

    # typed in capitals, the password still arrives in lower case
    probe.post(window["hwnd"], "WM_SYSCOMMAND", "SC_CLOSE", 0)
    probe.wait_hidden(window["hwnd"])
    assert pass_gate(wine, probe, sim, "ADMIN") == "fcCheckPassword 1 admin"
    assert probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10, visible=True)


def test_wrong_password_closes_the_dialog_and_shows_nothing(wine, probe, sim):
    program = start_ready(wine, sim)
    assert pass_gate(wine, probe, sim, "wrong") == "fcCheckPassword 0 wrong"
    # The next double-click asks again; its dialog comes only once the wrong password has been dealt
    # with, and then it is the program's only window on screen.
    wine.tray_double_click()
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    assert [w["hwnd"] for w in visible_windows_of(probe, main_window(probe)["pid"])] == [dialog["hwnd"]]
    assert program.running
    assert pass_gate(wine, probe, sim, "admin", double_click=False) == "fcCheckPassword 1 admin"
    assert probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10, visible=True)


def test_cancelled_dialog_does_not_call_the_library(wine, probe, sim):
    start_ready(wine, sim)
    wine.tray_double_click()
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    wait_keys_go_to(wine, probe, dialog, probe.child(dialog["hwnd"], cls="Edit"))
    wine.screen.key("Escape")
    probe.wait_hidden(dialog["hwnd"])
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"]


def test_two_quick_double_clicks_open_one_dialog(wine, probe, sim):
    start_ready(wine, sim)
    x, y = wine.tray_icon()
    wine.screen.double_click(x, y)
    wine.screen.xdotool("click", "--repeat", 2, "--delay", 100, 1)
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    # The taskbar hands the program its tray events in order: once the menu of a later right press
    # is up (it opens from inside the dialog), the second double-click has been handled too.
    wine.tray_right_press()
    probe.wait(MENU_CLASS, "*", 10, visible=True)
    wine.screen.right_release()
    assert len([w for w in probe.list() if w["class"] == CHECK_CLASS]) == 1
    left, top, right, bottom = dialog["rect"]
    screen_w, screen_h = probe.sysmetrics()["screen"]
    assert abs((left + right) / 2 - screen_w / 2) <= 2, "centred on the screen"


def test_cancel_close_box_and_minimise_only_hide(wine, probe, sim):
    program = start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    cancel = probe.child(window["hwnd"], cls="Button", text="取消")
    for hide in (
        lambda: probe.click(cancel["hwnd"]),
        lambda: probe.post(window["hwnd"], "WM_SYSCOMMAND", "SC_CLOSE", 0),
        lambda: probe.post(window["hwnd"], "WM_SYSCOMMAND", "SC_MINIMIZE", 0),
    ):
        hide()
        probe.wait_hidden(window["hwnd"])
        assert program.running
        assert pass_gate(wine, probe, sim, "admin") == "fcCheckPassword 1 admin"
        assert probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10, visible=True)


def test_menu_opens_on_the_press_at_the_pointer(wine, probe, sim):
    start_ready(wine, sim)
    x, y = wine.tray_right_press()
    menu = probe.wait(MENU_CLASS, "*", 10, visible=True)  # before the button is released
    left, top, right, bottom = menu["rect"]
    work_area = probe.sysmetrics()["work_area"]
    assert left - 2 <= x <= right + 2, "the menu spans the pointer's column"
    assert top - 2 <= min(y, work_area[3]) <= bottom + 2, "and its row, or the work area's edge below it"
    assert bottom <= work_area[3] + 1
    wine.screen.right_release()
    wine.screen.key("Escape")  # closes without a choice
    probe.wait_hidden(menu["hwnd"])
    wait_posted_handled(probe)
    assert probe.find(CHECK_CLASS, "*", visible=True) is None and probe.find(ABOUT_CLASS, "*", visible=True) is None
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"]


def test_quit_needs_the_password(wine, probe, sim):
    program = start_ready(wine, sim)
    choose_tray_menu_item(wine, probe, last=True)
    assert pass_gate(wine, probe, sim, "wrong", double_click=False) == "fcCheckPassword 0 wrong"
    choose_tray_menu_item(wine, probe, last=True)  # the menu opens again: the program went on
    assert program.running
    assert pass_gate(wine, probe, sim, "admin", double_click=False) == "fcCheckPassword 1 admin"
    assert program.wait(20) == 0
    assert wait_until(lambda: tray_badge_colour_gone(wine, probe))


def tray_badge_colour_gone(wine, probe) -> bool:
    tray = probe.find("Shell_TrayWnd", "*", visible=True)
    return tray is None or tray_badge_colour(wine) == "none"


def test_about_from_the_tray_needs_no_password(wine, probe, sim):
    start_ready(wine, sim)
    choose_tray_menu_item(wine, probe, last=False)
    about = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    assert probe.find(CHECK_CLASS, "*", visible=True) is None
    assert not main_window(probe)["visible"]
    assert wait_until(lambda: probe.find(APP_CLASS, APP_TITLE)["visible"]), "the taskbar entry is there while About is shown"
    probe.close(about["hwnd"])
    probe.wait_hidden(about["hwnd"])
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"]


def test_icon_comes_back_when_the_taskbar_is_announced_again(wine, probe, sim):
    start_ready(wine, sim, SimState(protection=0))
    assert wait_until(lambda: tray_badge_colour(wine) == "green")
    assert probe.tray_delete(TRAY_WINDOW_CLASS, FIRST_ICON_ID), "a restarted shell has lost the icon"
    assert wait_until(lambda: tray_badge_colour_gone(wine, probe))
    probe.broadcast("TaskbarCreated")
    assert wait_until(lambda: tray_badge_colour(wine) == "green")
    # The icon is the program's: a double-click on it asks for the password.
    wine.tray_double_click()
    probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)


def test_end_of_the_session_ends_the_program_without_the_password(wine, probe, sim):
    program = start_ready(wine, sim)
    assert wait_until(lambda: tray_badge_colour(wine) == "red")
    app = probe.wait(APP_CLASS, APP_TITLE, 10)
    # Another program's announcement, even after the question, is not the end of the session: the
    # restore command posted after it is still handled, with the password first.
    assert probe.send(app["hwnd"], "WM_QUERYENDSESSION", 0, 0) == 1, "no objection to logging off"
    probe.post(app["hwnd"], "WM_ENDSESSION", 1, 0)
    probe.post(app["hwnd"], "WM_SYSCOMMAND", "SC_RESTORE", 0)
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    probe.close(dialog["hwnd"])
    probe.wait_hidden(dialog["hwnd"])
    assert program.running
    # The system's: the program's own loop ends (exit code 0, no dialog holding it). Wine takes a
    # dead program's icon away itself, so the icon's going cannot be told apart here.
    subprocess.run([wine.loader, "wineboot", "--end-session"], env=wine.launch_env(), timeout=30, check=True)
    assert program.wait(20) == 0
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"]


def test_enter_and_escape_with_modifiers_do_nothing(wine, probe, sim):
    start_ready(wine, sim)
    wine.tray_double_click()
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    edit = probe.child(dialog["hwnd"], cls="Edit")
    wait_keys_go_to(wine, probe, dialog, edit)
    wine.screen.type_text("abcdefghij")  # a ninth character is refused
    assert wait_until(lambda: edit_selection(probe, edit) == (8, 8))
    # Keys are handled in order: once the caret key that follows has moved the caret, the keys before
    # it have been handled.
    steps = (("ctrl+Return",), ("shift+Return",), ("shift+Escape",))
    for number, keys in enumerate(steps):
        caret = 0 if number % 2 == 0 else 8
        wine.screen.key(*keys, "Home" if caret == 0 else "End")
        assert wait_until(lambda: edit_selection(probe, edit) == (caret, caret)), keys
        assert probe.find(CHECK_CLASS, PRODUCT_TITLE, visible=True), keys
    # Wine passes Alt+Enter on to the system menu, whose keyboard mode then takes keys until an Esc.
    # That Esc goes once the mode shows, so the menu takes it rather than the dialog; a plain one,
    # since Wine can keep a Shift released just as the menu ends down for the dialog's next key.
    wine.screen.key("alt+Return")
    assert wait_until(lambda: probe.focus()["menu_owner"] == dialog["hwnd"]), "Alt+Enter opens the system menu's keys"
    wine.screen.key("Escape")
    assert wait_until(lambda: probe.focus()["menu_owner"] == 0), "Esc leaves the system menu"
    wine.screen.key("End")
    assert wait_until(lambda: edit_selection(probe, edit) == (8, 8)), "alt+Return"
    assert probe.find(CHECK_CLASS, PRODUCT_TITLE, visible=True), "alt+Return"
    wine.screen.key("Return")
    probe.wait_hidden(dialog["hwnd"])
    assert sim.wait_for_log("fcCheckPassword", 10, after=2) == "fcCheckPassword 0 abcdefgh"
