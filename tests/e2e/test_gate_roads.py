"""Roads around the password gate, stale settings and what reaches the library, tried from outside the
program as another program or a careless script could."""

from __future__ import annotations

import shutil
import subprocess

from harness import SimState
from program_helpers import (
    ABOUT_CLASS,
    APP_CLASS,
    APP_TITLE,
    CHECK_CLASS,
    MAIN_CLASS,
    MESSAGE_CLASS,
    PRODUCT_TITLE,
    choose_tray_menu_item,
    click_control,
    edit_selection,
    list_rows,
    main_window,
    open_main_window,
    pass_gate,
    radio_states,
    start_ready,
    table_bytes,
    visible_windows_of,
    wait_until,
)

READ = ["fcGetPartition 1", "fcGetProtection 1"]
WM_COMMAND = 0x0111
BN_CLICKED = 0
# The main window's push buttons (OK, change password, Cancel, About) and its banner.
MAIN_COMMAND_IDS = (109, 110, 111, 112, 100)
SW_SHOW = 5
WS_VISIBLE = 0x10000000
SYSTEM_COMMANDS = ("SC_RESTORE", "SC_MAXIMIZE", "0xF000", "0xF010")  # size, move


def gate_dialog(probe):
    return probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)


def cancel_gate(wine, probe, sim, calls_before):
    dialog = gate_dialog(probe)
    probe.close(dialog["hwnd"])
    probe.wait_hidden(dialog["hwnd"])
    assert sim.log_lines() == calls_before


def test_taskbar_restore_and_close_ask_for_the_password(wine, probe, sim):
    program = start_ready(wine, sim)
    choose_tray_menu_item(wine, probe, last=False)  # About, no password: the taskbar entry shows
    about = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    app = probe.wait(APP_CLASS, APP_TITLE, 10)
    assert wait_until(lambda: probe.find(APP_CLASS, APP_TITLE)["visible"])

    probe.post(app["hwnd"], "WM_SYSCOMMAND", "SC_RESTORE", 0)
    cancel_gate(wine, probe, sim, READ)
    assert not main_window(probe)["visible"]
    probe.post(app["hwnd"], "WM_SYSCOMMAND", "SC_CLOSE", 0)
    assert pass_gate(wine, probe, sim, "wrong", double_click=False) == "fcCheckPassword 0 wrong"
    assert program.running
    probe.close(about["hwnd"])
    probe.wait_hidden(about["hwnd"])

    # The restore road is the double-click's: the password, the driver read again, then the window.
    probe.post(app["hwnd"], "WM_SYSCOMMAND", "SC_RESTORE", 0)
    assert pass_gate(wine, probe, sim, "admin", double_click=False) == "fcCheckPassword 1 admin"
    probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10, visible=True)
    assert sim.log_lines()[-2:] == READ
    probe.post(app["hwnd"], "WM_SYSCOMMAND", "SC_RESTORE", 0)  # visible: nothing, not even the gate
    probe.post(app["hwnd"], "WM_CLOSE")
    assert pass_gate(wine, probe, sim, "admin", double_click=False) == "fcCheckPassword 1 admin"
    assert program.wait(20) == 0


def test_the_hidden_main_window_acts_on_no_command(wine, probe, sim):
    program = start_ready(wine, sim)
    window = main_window(probe)
    for command in SYSTEM_COMMANDS:
        probe.post(window["hwnd"], "WM_SYSCOMMAND", command, 0)
    probe.run("showwindow", window["hwnd"], SW_SHOW)
    # A close request posted last is handled last, and it is Quit's road: the password first.
    probe.post(window["hwnd"], "WM_CLOSE")
    dialog = gate_dialog(probe)
    assert [w["hwnd"] for w in visible_windows_of(probe, window["pid"])] == [dialog["hwnd"]]
    assert probe.children(window["hwnd"]) == [], "never shown"
    probe.close(dialog["hwnd"])
    probe.wait_hidden(dialog["hwnd"])

    # Opened once so that its buttons exist and hidden again, then made to look open by a window tool
    # and retitled: its buttons, pressed with their real handles, do nothing, and the password is
    # still asked for under the product's name.
    open_main_window(wine, probe, sim)
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="取消"))
    probe.wait_hidden(window["hwnd"])
    probe.settext(window["hwnd"], "请输入Windows登录密码")
    probe.run("addstyle", window["hwnd"], WS_VISIBLE)
    handles = {c["id"]: c["hwnd"] for c in probe.children(window["hwnd"])}
    for command in MAIN_COMMAND_IDS:
        probe.post(window["hwnd"], WM_COMMAND, command | BN_CLICKED << 16, handles[command])
    probe.post(window["hwnd"], "WM_CLOSE")
    dialog = gate_dialog(probe)
    assert [w["hwnd"] for w in visible_windows_of(probe, window["pid"])] == [dialog["hwnd"]]
    probe.close(dialog["hwnd"])
    probe.wait_hidden(dialog["hwnd"])
    assert sim.log_lines() == READ + ["fcCheckPassword 1 admin"] + READ
    assert program.running


def test_a_change_made_after_start_is_shown_and_kept_by_ok(wine, probe, sim):
    state = SimState(protection=1)  # C protected, D not
    start_ready(wine, sim, state)
    code = wine.run_console("veltrane-ctl.exe", ("apply", "--protect", "D", "--mode", "unprotected",
                                                "--password-stdin"), sim=sim, stdin=b"admin\n").returncode
    assert code == 0
    written = sim.log_lines()[-2]
    assert written == f"fcSetPartition 1 {table_bytes(state, {1: 1})}"

    window = open_main_window(wine, probe, sim)
    rows, _ = list_rows(probe, window["hwnd"])
    assert [checked for _, checked in rows] == [True, True]
    assert radio_states(probe, window["hwnd"]) == {"保护模式": False, "非保护模式": True}
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="确定"))
    query = probe.wait(MESSAGE_CLASS, "Query", 10, visible=True)
    click_control(wine, probe.child(query["hwnd"], cls="Button", id=1))
    sim.wait_for_log("fcSetProtection", 10, after=10)
    assert sim.log_lines()[7:] == [
        "fcCheckPassword 1 admin",
        "fcGetPartition 1",
        "fcGetProtection 0",
        written,
        "fcSetProtection 1 0",
    ]


def test_an_unreachable_driver_at_a_later_showing_keeps_the_window_hidden(wine, probe, sim):
    program = start_ready(wine, sim)
    sim.write(SimState(reachable=False))
    assert pass_gate(wine, probe, sim, "admin") == "fcCheckPassword 1 admin"
    box = probe.wait(MESSAGE_CLASS, APP_TITLE, 10, visible=True)
    assert "无法和驱动正确连接！" in [c["text"] for c in probe.children(box["hwnd"])]
    probe.click(probe.child(box["hwnd"], id=1)["hwnd"])
    sim.wait_for_log("fcGetProtection", 10)  # the mode is read once the message is closed
    assert not main_window(probe)["visible"]
    assert program.running
    assert sim.log_lines() == ["fcCheckPassword 1 admin", "fcGetPartition 0", "fcGetProtection 1"]


def test_a_long_password_set_from_outside_never_reaches_the_library(wine, probe, sim):
    start_ready(wine, sim, SimState(password="abcdefgh"))
    wine.tray_double_click()
    dialog = gate_dialog(probe)
    edit = probe.child(dialog["hwnd"], cls="Edit")
    probe.settext(edit["hwnd"], "abcdefghijklmnop")
    probe.click(probe.child(dialog["hwnd"], cls="Button", text="确定")["hwnd"])
    probe.wait_hidden(dialog["hwnd"])
    assert not main_window(probe)["visible"], "refused like a wrong password"
    assert sim.log_lines() == READ

    window = open_main_window_with(wine, probe, sim, "abcdefgh")
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="修改密码"))
    change = probe.wait("TfrmModifyPass", PRODUCT_TITLE, 10, visible=True)
    edits = [c for c in probe.children(change["hwnd"]) if c["class"] == "Edit"]
    for field in edits:
        probe.settext(field["hwnd"], "abcdefghijklmnop")
    probe.click(probe.child(change["hwnd"], cls="Button", text="确定")["hwnd"])
    confirmation = max(edits, key=lambda e: e["rect"][1])  # the lower field
    assert wait_until(lambda: edit_selection(probe, confirmation) == (0, 16)), "kept open, selected"
    assert probe.find("TfrmModifyPass", PRODUCT_TITLE, visible=True)
    assert not any(line.startswith("fcSetPassword") for line in sim.log_lines())


def open_main_window_with(wine, probe, sim, password):
    assert pass_gate(wine, probe, sim, password) == f"fcCheckPassword 1 {password}"
    return probe.wait(MAIN_CLASS, PRODUCT_TITLE, 10, visible=True)


# -- veltrane-ctl ---------------------------------------------------------------------------------


def run_ctl(wine, sim, args, *, folder=None, stdout=subprocess.PIPE, env=None):
    folder = folder or wine.dist_dir
    return subprocess.run(
        [wine.loader, str(folder / "veltrane-ctl.exe"), *args],
        stdin=subprocess.DEVNULL,
        stdout=stdout,
        stderr=subprocess.PIPE,
        cwd=folder,
        env=wine.launch_env({**sim.env(), **(env or {})}),
        timeout=60,
    )


def test_ctl_without_the_library_says_so(wine, sim):
    folder = wine.workdir / "no-library"
    folder.mkdir()
    shutil.copy(wine.dist_dir / "veltrane-ctl.exe", folder)
    result = run_ctl(wine, sim, ["status"], folder=folder)
    assert result.returncode == 2
    assert "找不到驱动控制库：ZELK.dll" in result.stderr.decode("utf-8")


def test_ctl_names_the_simulated_library(wine, sim):
    sim.write(SimState())
    result = run_ctl(wine, sim, ["status", "--json"])
    assert result.returncode == 0
    assert '"library": "simulated"' in result.stdout.decode("utf-8")
    text = run_ctl(wine, sim, ["status"]).stdout.decode("utf-8")
    assert "驱动库：模拟驱动库（评估用，机器没有受到保护）" in text


def test_ctl_fails_when_standard_output_cannot_be_written(wine, sim):
    sim.write(SimState())
    with open("/dev/full", "wb") as full:
        result = run_ctl(wine, sim, ["status", "--json"], stdout=full)
    assert result.returncode == 5
    assert "写入标准输出失败" in result.stderr.decode("utf-8")


def test_ctl_reports_a_refused_restart(wine, sim):
    sim.write(SimState())
    # Without the program that carries out the end of the session, Wine refuses the restart.
    result = subprocess.run(
        [wine.loader, str(wine.dist_dir / "veltrane-ctl.exe"), "apply", "--restart", "--password-stdin"],
        input=b"admin\n",
        capture_output=True,
        cwd=wine.dist_dir,
        env=wine.launch_env({**sim.env(), "WINEDLLOVERRIDES": "mscoree,mshtml=;wineboot.exe=d"}),
        timeout=60,
    )
    err = result.stderr.decode("utf-8")
    assert result.returncode == 4, err
    assert "重启请求被拒绝：" in err
    assert sim.log_lines()[-1] == "fcSetProtection 1 1"
