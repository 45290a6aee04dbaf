"""What a screen reader hears: every control of the main window and of the dialogs, read from another
process through Active Accessibility, with the role, name, state and default action Windows' own
proxies give such controls; and the default actions doing what a click does."""

from __future__ import annotations

from program_helpers import (
    ABOUT_CLASS,
    CHECK_CLASS,
    PRODUCT_TITLE,
    SIMULATED_LIBRARY,
    click_control,
    list_rows,
    open_main_window,
    radio_states,
    start_ready,
    wait_until,
)

MODIFY_CLASS = "TfrmModifyPass"
MAKER_SITE = "http://www.veltrane.com.cn/"
PRODUCT_PAGE = "http://www.veltrane.com.cn/shadow/index_files/dorezodoroz.htm"
SUPPORT_MAIL = "support@veltrane.com.cn"

ROLE_CLIENT = 10
ROLE_GROUPING = 20
ROLE_SEPARATOR = 21
ROLE_LINK = 30
ROLE_LIST = 33
ROLE_LISTITEM = 34
ROLE_GRAPHIC = 40
ROLE_STATICTEXT = 41
ROLE_TEXT = 42
ROLE_PUSHBUTTON = 43
ROLE_RADIOBUTTON = 45

STATE_FOCUSED = 0x4
STATE_CHECKED = 0x10
STATE_DEFAULT = 0x100
STATE_INVISIBLE = 0x8000
STATE_LINKED = 0x400000
STATE_TRAVERSED = 0x800000
STATE_PROTECTED = 0x20000000

# Containers and the list's own header: the system's objects describe them.
NOT_READ = {"TPanel", "SysHeader32"}

PRESS, CHECK, JUMP = "Press", "Check", "Jump"


def read(probe, window):
    """Every control of the window with what a screen reader gets for it under "acc"."""
    controls = [c for c in probe.children(window["hwnd"]) if c["class"] not in NOT_READ]
    for control in controls:
        control["acc"] = probe.acc(control["hwnd"])
    return controls


def heard(controls):
    """Role, name and default action of each control, in a comparable order."""
    said = [(c["acc"]["role"], c["acc"]["name"], c["acc"]["default_action"]) for c in controls]
    return sorted(said, key=repr)


def check_window_states(probe, controls):
    """What every shown window shares: no control is a mere client area, none is hidden, the
    focused control and no other says so, and links say they are."""
    assert [c["class"] for c in controls if c["acc"]["role"] == ROLE_CLIENT] == []
    assert [c["class"] for c in controls if c["acc"]["state"] & STATE_INVISIBLE] == []
    focus = probe.focus()["focus"]
    assert [c["hwnd"] for c in controls if c["acc"]["state"] & STATE_FOCUSED] == [focus]
    assert all(c["acc"]["state"] & STATE_LINKED for c in controls if c["acc"]["role"] == ROLE_LINK)


def by_name(controls, name):
    return next(c for c in controls if c["acc"]["name"] == name)


def test_main_window_reads_as_its_controls_and_acts_as_a_click(wine, probe, sim, browser, tmp_path):
    start_ready(wine, sim, env=browser.env)
    window = open_main_window(wine, probe, sim)
    controls = read(probe, window)
    assert heard(controls) == sorted(
        [
            (ROLE_PUSHBUTTON, "确定", PRESS),
            (ROLE_PUSHBUTTON, "修改密码", PRESS),
            (ROLE_PUSHBUTTON, "取消", PRESS),
            (ROLE_PUSHBUTTON, "关于", PRESS),
            (ROLE_LINK, MAKER_SITE, JUMP),
            (ROLE_LINK, PRODUCT_PAGE, JUMP),  # the banner
            (ROLE_GROUPING, "保护分区", None),
            (ROLE_LIST, "保护分区", None),
            (ROLE_GROUPING, "工作状态", None),
            (ROLE_RADIOBUTTON, "保护模式", CHECK),
            (ROLE_RADIOBUTTON, "非保护模式", CHECK),
        ],
        key=repr,
    )
    check_window_states(probe, controls)
    radios = radio_states(probe, window["hwnd"])
    assert {name: bool(by_name(controls, name)["acc"]["state"] & STATE_CHECKED) for name in radios} == radios

    # The rows are the list's children: their cells for a name, their box as the check state.
    rows, view = list_rows(probe, window["hwnd"])
    listed = probe.acc(view["hwnd"])
    assert listed["child_count"] == len(rows) == 2
    assert [(r["role"], r["name"], bool(r["state"] & STATE_CHECKED)) for r in listed["children"]] == [
        (ROLE_LISTITEM, " ".join(texts), checked) for texts, checked in rows
    ]

    # Default actions: the row's box and the radio button change as under a click...
    probe.acc_do(view["hwnd"], 2)
    assert wait_until(lambda: [checked for _, checked in list_rows(probe, window["hwnd"])[0]] == [True, True])
    unticked = next(name for name, checked in radios.items() if not checked)
    probe.acc_do(by_name(controls, unticked)["hwnd"])
    assert wait_until(lambda: radio_states(probe, window["hwnd"])[unticked])

    # ...the link label and the banner open their pages, and the label then reads as visited; a label
    # given another text by another program still opens only its own address...
    link = by_name(controls, MAKER_SITE)
    script, ran = tmp_path / "run.cmd", tmp_path / "ran"
    script.write_text(f"echo ran > {wine.windows_path(ran)}\r\n")
    probe.settext(link["hwnd"], wine.windows_path(script))
    probe.post(link["hwnd"], "WM_LBUTTONDOWN", 0, 0x00010001)
    probe.post(link["hwnd"], "WM_LBUTTONUP", 0, 0x00010001)
    probe.acc_do(link["hwnd"])
    probe.acc_do(by_name(controls, PRODUCT_PAGE)["hwnd"])
    assert wait_until(lambda: sorted(browser.opened()) == sorted([MAKER_SITE, MAKER_SITE, PRODUCT_PAGE]))
    assert not ran.exists()
    assert wait_until(lambda: probe.acc(link["hwnd"])["state"] & STATE_TRAVERSED)

    # ...and a button that opens a modal dialog is pressed without the caller waiting for it to close.
    probe.acc_do(by_name(controls, "关于")["hwnd"])
    probe.wait(ABOUT_CLASS, "关于", 10, visible=True)


def test_password_dialog_keeps_the_password_from_the_reader(wine, probe, sim):
    start_ready(wine, sim)
    wine.tray_double_click()
    dialog = probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    field = probe.child(dialog["hwnd"], cls="Edit")
    assert wait_until(lambda: probe.focus()["focus"] == field["hwnd"])
    probe.chars(field["hwnd"], "secret")
    controls = read(probe, dialog)
    assert heard(controls) == sorted(
        [
            (ROLE_TEXT, "密码：", None),  # named by the label on its left
            (ROLE_STATICTEXT, "密码：", None),
            (ROLE_STATICTEXT, "请输入管理员密码", None),
            (ROLE_GRAPHIC, None, None),
            (ROLE_SEPARATOR, None, None),
            (ROLE_PUSHBUTTON, "确定", PRESS),
            (ROLE_PUSHBUTTON, "取消", PRESS),
        ],
        key=repr,
    )
    check_window_states(probe, controls)
    password = probe.acc(field["hwnd"])
    assert password["state"] & STATE_PROTECTED
    assert password["value"] is None and "secret" not in repr(password)
    assert by_name(controls, "确定")["acc"]["state"] & STATE_DEFAULT
    assert not by_name(controls, "取消")["acc"]["state"] & STATE_DEFAULT

    calls = len(sim.log_lines())
    probe.acc_do(by_name(controls, "确定")["hwnd"])
    probe.wait_hidden(dialog["hwnd"])
    assert sim.wait_for_log("fcCheckPassword", 10, after=calls) == "fcCheckPassword 0 secret"


def test_change_password_and_about_dialogs(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="修改密码"))
    dialog = probe.wait(MODIFY_CLASS, PRODUCT_TITLE, 10, visible=True)
    assert wait_until(lambda: probe.focus()["focus"] in [c["hwnd"] for c in probe.children(dialog["hwnd"])])
    controls = read(probe, dialog)
    assert heard(controls) == sorted(
        [
            (ROLE_TEXT, "密码：", None),
            (ROLE_TEXT, "再输入一次：", None),
            (ROLE_STATICTEXT, "密码：", None),
            (ROLE_STATICTEXT, "再输入一次：", None),
            (ROLE_STATICTEXT, "请输入管理员密码，最大长度8.", None),
            (ROLE_GRAPHIC, None, None),
            (ROLE_SEPARATOR, None, None),
            (ROLE_PUSHBUTTON, "确定", PRESS),
            (ROLE_PUSHBUTTON, "取消", PRESS),
        ],
        key=repr,
    )
    check_window_states(probe, controls)
    assert all(c["acc"]["state"] & STATE_PROTECTED for c in controls if c["class"] == "Edit")
    calls = len(sim.log_lines())
    probe.acc_do(by_name(controls, "取消")["hwnd"])
    probe.wait_hidden(dialog["hwnd"])

    probe.acc_do(probe.child(window["hwnd"], cls="Button", text="关于")["hwnd"])
    about = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    controls = read(probe, about)
    memo = next(c for c in controls if c["class"] == "Edit")
    copyright_line = next(c["text"] for c in controls if c["text"].startswith("Copyright"))
    assert heard(controls) == sorted(
        [
            (ROLE_PUSHBUTTON, "OK", PRESS),
            (ROLE_GROUPING, "联系我们", None),
            (ROLE_LINK, MAKER_SITE, JUMP),
            (ROLE_LINK, SUPPORT_MAIL, JUMP),
            (ROLE_STATICTEXT, PRODUCT_TITLE, None),
            (ROLE_STATICTEXT, copyright_line, None),
            (ROLE_STATICTEXT, SIMULATED_LIBRARY, None),  # the tests load the simulated library
            (ROLE_TEXT, None, None),  # the memo: no label, its text is its value
            (ROLE_GRAPHIC, None, None),
            (ROLE_GRAPHIC, None, None),
            (ROLE_GRAPHIC, None, None),
        ],
        key=repr,
    )
    check_window_states(probe, controls)
    assert memo["acc"]["value"] == memo["text"] and not memo["acc"]["state"] & STATE_PROTECTED
    # Wine hands mail links to a program of its own choosing; the shell took it when the label shows visited.
    mail = by_name(controls, SUPPORT_MAIL)
    probe.acc_do(mail["hwnd"])
    assert wait_until(lambda: probe.acc(mail["hwnd"])["state"] & STATE_TRAVERSED)
    assert sim.log_lines()[calls:] == [], "Cancel handed no password over"
