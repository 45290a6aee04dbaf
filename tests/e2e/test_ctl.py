"""veltrane-ctl under Wine: status, apply and passwd against the simulated library, compared with the
main window where the two do the same thing."""

from __future__ import annotations

import json
import os

import pytest

from harness import SimState
from program_helpers import (
    MESSAGE_CLASS,
    click_control,
    list_rows,
    open_main_window,
    radio_states,
    start_ready,
    table_bytes,
)

CTL = "veltrane-ctl.exe"
READ = ["fcGetPartition 1", "fcGetProtection 0"]

# Unlisted letters (A, 0, '['), flags other than 0 and 1, sizes above 2^31, unknown types.
STATES = {
    "edge": SimState(
        protection=0,
        slots={
            0: ("A", 1, 7, 10),
            1: ("C", 2, 6, 4294967295),
            2: (0, 1, 7, 20),
            3: ("Z", 1, 12, 512),
            5: ("D", 0, 11, 102400),
        },
    ),
    "protected": SimState(
        protection=1,
        slots={0: ("E", 3, 0x83, 2147483648), 1: ("C", 1, 7, 40960), 7: ("[", 1, 7, 1), 9: ("Y", 0, 0x0B, 0)},
    ),
    "nothing listed": SimState(protection=0, slots={0: ("B", 1, 7, 1), 1: ("c", 1, 7, 2)}),
}

APPLY_STATE = SimState(
    protection=0,
    opaque=bytes(range(0xA0, 0xB4)),
    slots={0: ("A", 1, 7, 100), 1: ("C", 1, 7, 40960), 2: ("D", 0, 7, 102400), 4: ("E", 2, 11, 4294967295)},
)


def ctl(wine, sim, *args: str, stdin: bytes = b""):
    """Exit code, standard output and standard error (UTF-8, CR LF line ends) of one run."""
    result = wine.run_console(CTL, args, sim=sim, stdin=stdin)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


@pytest.mark.parametrize("name", STATES)
def test_status_json_lists_what_the_main_window_lists(wine, probe, sim, name):
    state = STATES[name]
    sim.write(state)
    code, out, err = ctl(wine, sim, "status", "--json")
    assert (code, err) == (0, "")
    assert sim.log_lines() == ["fcGetPartition 1", f"fcGetProtection {state.protection}"], "reads only"
    status = json.loads(out)
    assert set(status) == {"mode", "library", "partitions"}
    assert all(set(p) == {"letter", "drive", "type", "size_mb", "protected"} for p in status["partitions"])

    start_ready(wine, sim, state)
    window = open_main_window(wine, probe, sim)
    rows, _ = list_rows(probe, window["hwnd"])
    listed = [([p["drive"], p["type"], str(p["size_mb"])], p["protected"]) for p in status["partitions"]]
    assert listed == rows
    assert all(p["drive"] == p["letter"] + ":\\" for p in status["partitions"])
    assert radio_states(probe, window["hwnd"])["保护模式"] == (status["mode"] == "protected")


def test_status_text_for_people(wine, sim):
    sim.write(STATES["edge"])
    code, out, err = ctl(wine, sim, "status")
    assert (code, err) == (0, "")
    assert out.split("\r\n") == [
        "分区  类型    大小(Mb.)   保护",
        "C:\\   Unknow  4294967295  否",
        "Z:\\   FAT32   512         是",
        "D:\\   FAT32   102400      否",
        "工作状态：非保护模式",
        "驱动库：模拟驱动库（评估用，机器没有受到保护）",
        "",
    ]


def test_apply_makes_the_main_windows_calls_and_restarts_the_same_way(wine, probe, sim):
    # Through the window: C:\ off, D:\ on, protection mode, OK, OK in the query.
    start_ready(wine, sim, APPLY_STATE)
    window = open_main_window(wine, probe, sim)
    _, view = list_rows(probe, window["hwnd"])
    probe.lvcheck(view["hwnd"], 0, False)
    probe.lvcheck(view["hwnd"], 1, True)
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="保护模式"))
    click_control(wine, probe.child(window["hwnd"], cls="Button", text="确定"))
    query = probe.wait(MESSAGE_CLASS, "Query", 10, visible=True)
    click_control(wine, probe.child(query["hwnd"], cls="Button", id=1))
    sim.wait_for_log("fcSetProtection", 10)
    assert wine.wait_wineserver_exit(30)
    through_window = sim.log_lines()

    wine.ensure_desktop()
    sim.write(APPLY_STATE)
    args = ("apply", "--unprotect", "C", "--protect", "d:", "--mode", "protected", "--restart")
    code, _, err = ctl(wine, sim, *args, "--password-stdin", stdin=b"admin\n")
    assert wine.wait_wineserver_exit(30), "the restart ends the Wine session"
    assert "设置已写入，正在重启机器。" in err
    assert through_window[2:] == [
        "fcCheckPassword 1 admin",
        *READ,  # the window reads the driver again when it shows
        f"fcSetPartition 1 {table_bytes(APPLY_STATE, {1: 0, 2: 1, 4: 0})}",
        "fcSetProtection 1 1",
    ]
    assert sim.log_lines() == through_window[:3] + through_window[5:]


def test_apply_without_restart_keeps_the_mode_and_says_a_restart_is_needed(wine, sim, tmp_path):
    state = sim.write(APPLY_STATE)
    # The library's temporary file has a name nobody can know beforehand: links planted under every
    # name a process number would give are not written through.
    other = tmp_path / "other file"
    other.write_bytes(b"kept")
    for pid in range(0, 0x10000, 4):
        os.link(other, f"{state}.{pid}.tmp")
    code, out, err = ctl(wine, sim, "apply", "--protect=E", "--password-stdin", stdin=b"ADMIN\r\n")
    assert (code, out, err) == (0, "", "设置已写入，需要重启机器让修改生效。\r\n")
    assert other.read_bytes() == b"kept"
    assert sim.log_lines() == READ + [
        "fcCheckPassword 1 admin",  # lower-cased as the password field does
        f"fcSetPartition 1 {table_bytes(APPLY_STATE, {4: 1})}",
        "fcSetProtection 1 0",
    ]
    assert wine.desktop_up


@pytest.mark.parametrize(
    "args, stdin, code, message",
    [
        (("apply", "--password-stdin"), b"guest\n", 3, "密码错误。"),
        (("apply", "--protect", "A,Q", "--password-stdin"), b"admin\n", 1, "分区列表中没有这些盘符：A: Q:\r\n"),
        (("apply",), b"admin\n", 1, "没有读到密码："),  # a pipe is no console
        (("apply", "--password-stdin"), "中文中a文\n".encode(), 1, "密码太长"),
        (("apply", "--password-stdin"), "x😀\n".encode(), 1, "密码含有代码页 936 (GBK) 没有的字符"),
    ],
    ids=["wrong password", "unlisted letters", "no console", "too long", "not in code page 936"],
)
def test_apply_refusals_write_nothing(wine, sim, args, stdin, code, message):
    sim.write(APPLY_STATE)
    before = sim.state_path.read_bytes()
    result, out, err = ctl(wine, sim, *args, stdin=stdin)
    assert (result, out) == (code, "")
    assert err.startswith(message)
    assert sim.log_lines()[2:] == (["fcCheckPassword 0 guest"] if code == 3 else []), "a refused entry is not checked"
    assert sim.state_path.read_bytes() == before


@pytest.mark.parametrize(
    "args", [("status",), ("status", "--json"), ("apply", "--password-stdin"), ("passwd", "--password-stdin")]
)
def test_unreachable_driver(wine, sim, args):
    sim.write(SimState(reachable=False))
    code, out, err = ctl(wine, sim, *args, stdin=b"admin\nabc\nabc\n")
    assert (code, out, err) == (2, "", "无法和驱动正确连接！\r\n")
    assert [line.split()[0] for line in sim.log_lines()] == ["fcGetPartition", "fcGetProtection"]


@pytest.mark.parametrize(
    "failing, message, calls",
    [
        ("fcSetPartition", "设置保护分区失败", ["fcSetPartition 0"]),
        ("fcSetProtection", "设置保护模式失败", ["fcSetPartition 1", "fcSetProtection 0"]),
    ],
)
def test_failing_write_exits_4_with_the_main_windows_message(wine, sim, failing, message, calls):
    sim.write(SimState(protection=0, fail=(failing,)))
    code, out, err = ctl(wine, sim, "apply", "--password-stdin", stdin=b"admin\n")
    assert (code, out, err) == (4, "", message + "\r\n")
    assert [" ".join(line.split()[:2]) for line in sim.log_lines()[3:]] == calls


@pytest.mark.parametrize(
    "typed, fail, code, message, stored",
    [
        ("admin\nNew中\nnew中\n", (), 0, "密码已修改。", "new中"),
        ("admin\nabc\nabd\n", (), 1, "两次输入的新密码不一致，密码没有修改。", "admin"),
        ("guest\nabc\nabc\n", (), 3, "密码错误。", "admin"),
        ("admin\nabc\nabc\n", ["fcSetPassword"], 4, "修改密码失败：驱动没有接受新密码。", "admin"),
    ],
    ids=["matching", "mismatching", "wrong current password", "not stored"],
)
def test_passwd(wine, sim, typed, fail, code, message, stored):
    sim.write(SimState(fail=fail))
    result, out, err = ctl(wine, sim, "passwd", "--password-stdin", stdin=typed.encode())
    assert (result, out, err) == (code, "", message + "\r\n")
    assert sim.read_state()["driver"]["password"] == stored
    calls = sim.log_path.read_bytes().splitlines()[2:]
    if code == 0:
        new = "new中".encode("gbk")
        assert calls == [b"fcCheckPassword 1 admin", b"fcSetPassword 1 " + new, b"fcCheckPassword 1 " + new]
    elif code != 4:
        assert not [call for call in calls if call.startswith(b"fcSetPassword")]


def test_help_and_usage(wine, sim):
    code, out, err = ctl(wine, sim, "--help")
    assert (code, err) == (0, "")
    assert "  4  驱动写入失败（消息说明是哪一项），或重启请求被拒绝\r\n" in out
    code, out, err = ctl(wine, sim, "apply", "--mode", "on")
    assert (code, out) == (1, "")
    assert err.split("\r\n") == ["工作模式只能是 protected 或 unprotected：on", "用 veltrane-ctl --help 查看用法。", ""]
