"""Changing the administrator password from the main window."""

from __future__ import annotations

from program_helpers import (
    PRODUCT_TITLE,
    click_control,
    edit_selection,
    open_main_window,
    start_ready,
    wait_input_handled,
    wait_keys_go_to,
    wait_until,
)

DIALOG_CLASS = "TfrmModifyPass"


def open_dialog(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="修改密码"))
    dialog = probe.wait(DIALOG_CLASS, PRODUCT_TITLE, 10, visible=True)
    edits = [c for c in probe.children(dialog["hwnd"]) if c["class"] == "Edit"]
    upper, lower = sorted(edits, key=lambda c: c["rect"][1])
    wait_keys_go_to(wine, probe, dialog, lower)  # the confirmation field has the focus
    return dialog, upper, lower, len(sim.log_lines())


def type_into(wine, probe, edit, text):
    click_control(wine, edit)
    assert wait_until(lambda: probe.focus()["focus"] == edit["hwnd"])
    wine.screen.type_text(text)


def test_equal_entries_in_capitals_reach_the_library_in_lower_case(wine, probe, sim):
    dialog, upper, lower, calls = open_dialog(wine, probe, sim)
    type_into(wine, probe, upper, "Abc")
    type_into(wine, probe, lower, "ABC")
    wine.screen.key("Return")
    probe.wait_hidden(dialog["hwnd"])
    assert sim.wait_for_log("fcSetPassword", 10, after=calls) == "fcSetPassword 1 abc"
    assert sim.read_state()["driver"]["password"] == "abc"


def test_different_entries_keep_the_dialog_open_and_select_the_confirmation(wine, probe, sim):
    dialog, upper, lower, calls = open_dialog(wine, probe, sim)
    type_into(wine, probe, upper, "abc")
    type_into(wine, probe, lower, "abd")
    assert wait_until(lambda: edit_selection(probe, lower) == (3, 3))
    wine.screen.key("Return")
    assert wait_until(lambda: edit_selection(probe, lower) == (0, 3)), "the whole confirmation is selected"
    assert probe.find(DIALOG_CLASS, PRODUCT_TITLE, visible=True)
    assert probe.focus()["focus"] == lower["hwnd"]
    assert sim.log_lines()[calls:] == []


def test_only_the_confirmation_typed_keeps_the_dialog_open(wine, probe, sim):
    dialog, upper, lower, calls = open_dialog(wine, probe, sim)
    wine.screen.type_text("abc")  # the confirmation has the focus at opening
    assert wait_until(lambda: edit_selection(probe, lower) == (3, 3))
    wine.screen.key("Return")
    # Refused like any mismatch: the confirmation is selected for typing again.
    assert wait_until(lambda: edit_selection(probe, lower) == (0, 3))
    assert probe.find(DIALOG_CLASS, PRODUCT_TITLE, visible=True)
    assert sim.log_lines()[calls:] == []


def test_chinese_password_reaches_the_library_in_code_page_936(wine, probe, sim):
    dialog, upper, lower, calls = open_dialog(wine, probe, sim)
    for edit in (upper, lower):
        probe.chars(edit["hwnd"], "中文Ab")  # UTF-16 characters, as an input method delivers them
    click_control(wine, probe.child(dialog["hwnd"], cls="Button", text="确定"))
    probe.wait_hidden(dialog["hwnd"])
    sim.wait_for_log("fcSetPassword", 10, after=calls)
    # 中 D6 D0, 文 CE C4 in GBK; the letters lower-cased
    assert sim.log_path.read_bytes().splitlines()[calls:] == [b"fcSetPassword 1 \xd6\xd0\xce\xc4ab"]
    assert sim.read_state()["driver"]["password"] == "中文ab"


def test_two_empty_entries_set_an_empty_password(wine, probe, sim):
    dialog, upper, lower, calls = open_dialog(wine, probe, sim)
    click_control(wine, probe.child(dialog["hwnd"], cls="Button", text="确定"))
    probe.wait_hidden(dialog["hwnd"])
    assert sim.wait_for_log("fcSetPassword", 10, after=calls) == "fcSetPassword 1 "


def test_cancel_escape_and_close_box_do_not_call_the_library(wine, probe, sim):
    dialog, upper, lower, calls = open_dialog(wine, probe, sim)
    type_into(wine, probe, upper, "abc")
    wine.screen.key("Escape")
    probe.wait_hidden(dialog["hwnd"])
    window = probe.wait("TfrmSetup", PRODUCT_TITLE, 10, visible=True)
    for close in ("button", "closebox"):
        click_control(wine, probe.child(window["hwnd"], cls="Button", text="修改密码"))
        dialog = probe.wait(DIALOG_CLASS, PRODUCT_TITLE, 10, visible=True)
        if close == "button":
            click_control(wine, probe.child(dialog["hwnd"], cls="Button", text="取消"))
        else:
            probe.close(dialog["hwnd"])
        probe.wait_hidden(dialog["hwnd"])
    wait_input_handled(wine, probe, window)
    assert sim.log_lines()[calls:] == []


def test_the_header_follows_the_width(wine, probe, sim):
    dialog, upper, lower, calls = open_dialog(wine, probe, sim)
    left, top, right, bottom = dialog["rect"]
    wine.screen.xdotool("mousemove", right - 1, (top + bottom) // 2, "mousedown", 1)
    wine.screen.xdotool("mousemove", right + 99, (top + bottom) // 2)
    wine.screen.xdotool("mouseup", 1)
    grown = wait_until(lambda: probe.find(DIALOG_CLASS, PRODUCT_TITLE, visible=True)["rect"][2] > right + 50)
    assert grown
    header = max((c for c in probe.children(dialog["hwnd"]) if c["class"] == "TPanel"), key=lambda c: c["rect"][2])
    cl, ct, cr, cb = header["client_rect"]
    ok = probe.child(dialog["hwnd"], cls="Button", text="确定")
    assert cr - cl > 356 + 50
    assert ok["client_rect"][:2] == [144, 144], "other controls keep their place"
