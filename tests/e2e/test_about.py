"""The About dialog, opened from the main window's button."""

from __future__ import annotations

from program_helpers import (
    ABOUT_CLASS,
    PRODUCT_TITLE,
    click_control,
    open_main_window,
    start_ready,
    wait_keys_go_to,
    wait_until,
)


def open_about(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="关于"))
    return probe.wait(ABOUT_CLASS, "关于", 10, visible=True)


def test_content_focus_and_keys(wine, probe, sim):
    about = open_about(wine, probe, sim)
    wine.screenshot("about")
    children = probe.children(about["hwnd"])
    texts = [c["text"] for c in children]
    assert PRODUCT_TITLE in texts
    assert "联系我们" in texts
    memo = next(c for c in children if c["class"] == "Edit")
    assert len(memo["text"].split("\r\n")) == 5
    ok = probe.child(about["hwnd"], cls="Button", text="OK")
    assert probe.focus()["focus"] == ok["hwnd"], "OK has the focus at opening"
    links = [c for c in children if c["class"] == "TLinkLabel"]
    assert len(links) == 2 and any("@" in c["text"] for c in links)

    wait_keys_go_to(wine, probe, about)
    wine.screen.key("Escape")  # no cancel button: Esc does nothing
    click_control(wine, memo)
    for key in ("Return", "shift+Return", "ctrl+Return"):
        wine.screen.key(key)  # the memo keeps Enter for a new line, with Shift or Ctrl too
    # Input is handled in order: once the memo has its new lines, Esc has been handled as well.
    assert wait_until(
        lambda: probe.find(ABOUT_CLASS, "关于", visible=True)
        and len(probe.gettext(memo["hwnd"]).split("\r\n")) == 8
    ), "About stays open and the memo takes the new lines"

    click_control(wine, ok)
    probe.wait_hidden(about["hwnd"])
    assert sim.log_lines()[-3:] == ["fcCheckPassword 1 admin", "fcGetPartition 1", "fcGetProtection 1"], "About calls nothing"


def test_each_opening_is_a_fresh_dialog(wine, probe, sim):
    about = open_about(wine, probe, sim)
    memo = probe.child(about["hwnd"], cls="Edit")
    probe.settext(memo["hwnd"], "edited")
    probe.close(about["hwnd"])
    probe.wait_hidden(about["hwnd"])
    window = probe.wait("TfrmSetup", PRODUCT_TITLE, 10, visible=True)
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="关于"))
    again = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    assert probe.child(again["hwnd"], cls="Edit")["text"] != "edited"

