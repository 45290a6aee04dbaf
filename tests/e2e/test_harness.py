"""Checks of the harness itself, driving tools/probe/fixture.exe instead of the product."""

from __future__ import annotations

import contextlib
import os
import shutil
import signal
import socket
import subprocess
import uuid
from pathlib import Path

import pytest

from harness import (
    ProbeError,
    SimState,
    choose_arch,
    read_lines,
    tray_icon_center,
    wait_for_line,
    windows_path,
)
from harness.session import REPO_ROOT
from program_helpers import click_control, wait_until

FIXTURE = "fixture.exe"
FIXTURE_CLASS = "VeltraneFixture"
FIXTURE_CAPTION = "测试窗口"


def start_fixture(wine, tmp_path, *args):
    log = tmp_path / "fixture.log"
    program = wine.start_program(FIXTURE, args, env={"FIXTURE_LOG": windows_path(log)})
    wait_for_line(log, "ready", 30, program=program)
    return program, log


# -- pure helpers, no Wine ------------------------------------------------------------------------


@pytest.mark.parametrize(
    "env, expected_arch, reason_part",
    [
        ({"E2E_ARCH": "win32"}, "win32", "forced by E2E_ARCH=win32"),
        ({"E2E_ARCH": "win64"}, "win64", "forced by E2E_ARCH=win64"),
    ],
)
def test_arch_can_be_forced(env, expected_arch, reason_part):
    choice = choose_arch(dict(os.environ, **env))
    assert (choice.arch, reason_part in choice.reason) == (expected_arch, True)


def test_bad_forced_arch_is_an_error():
    with pytest.raises(RuntimeError, match="E2E_ARCH must be win32 or win64"):
        choose_arch(dict(os.environ, E2E_ARCH="win16"))


def test_arch_choice_is_printed_in_the_header(pytestconfig, arch_choice):
    header = pytestconfig.hook.pytest_report_header(config=pytestconfig, start_path=pytestconfig.rootpath)
    lines = [line for part in header for line in ([part] if isinstance(part, str) else part)]
    assert f"e2e: Wine architecture {arch_choice.arch}: {arch_choice.reason}" in lines
    assert arch_choice.arch in ("win32", "win64") and arch_choice.reason


def test_automatic_choice_matches_whether_32_bit_wine_runs():
    env = {k: v for k, v in os.environ.items() if k != "E2E_ARCH"}
    try:
        runs = subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True).returncode == 0
    except OSError:  # "Exec format error" where the kernel cannot run 32-bit programs
        runs = False
    assert choose_arch(env).arch == ("win32" if runs else "win64")


@pytest.mark.parametrize(
    "index, screen, center", [(0, (1024, 768), (1014, 758)), (1, (1024, 768), (994, 758)), (0, (800, 600), (790, 590))]
)
def test_tray_icon_center(index, screen, center):
    assert tray_icon_center(index, screen) == center


def test_state_file_text_in_the_library_format():
    state = SimState(
        reachable=False,
        protection=0,
        password="secret",
        fail=["fcSetPartition", "fcSetProtection"],
        opaque=bytes(range(20)),
        slots={3: (0, 0, 0, 0), 0: ("A", 2, 6, 4294967295), 9: ("Z", 1, 12, 1)},
    )
    assert state.to_ini("Z:\\tmp\\calls.log").splitlines() == [
        "[driver]",
        "reachable=0",
        "protection=0",
        "password=secret",
        "fail=fcSetPartition,fcSetProtection",
        "log=Z:\\tmp\\calls.log",
        "[table]",
        "opaque=000102030405060708090a0b0c0d0e0f10111213",
        "slot0=A,2,6,4294967295",
        "slot3=0,0,0,0",
        "slot9=Z,1,12,1",
    ]


@pytest.mark.parametrize("bad", [SimState(opaque=bytes(19)), SimState(slots={10: ("C", 0, 7, 1)})])
def test_state_file_rejects_values_the_library_would_not_read(bad):
    with pytest.raises(ValueError):
        bad.to_ini(None)


def test_windows_path_of_a_tmp_file():
    assert windows_path("/tmp/run 1/state.ini") == "Z:\\tmp\\run 1\\state.ini"


def test_log_wait_sees_lines_appended_later_and_skips_earlier_ones(tmp_path, sim):
    sim.write(SimState())
    sim.log_path.write_bytes(b"fcGetPartition 1\r\n")
    assert sim.wait_for_log("fcGetPartition", timeout=1) == "fcGetPartition 1"
    with pytest.raises(AssertionError, match="no line"):
        sim.wait_for_log("fcGetPartition", timeout=0.2, after=1)
    with sim.log_path.open("ab") as log:
        log.write("fcCheckPassword 0 \xb2\xe2\n".encode("latin-1"))
    assert sim.log_lines()[1] == "fcCheckPassword 0 测"
    assert read_lines(tmp_path / "missing.log") == []


def listening_addresses(port):
    """The local addresses, as /proc/net spells them, of TCP sockets listening on ``port``."""
    found = []
    for table in ("/proc/net/tcp", "/proc/net/tcp6"):
        for line in Path(table).read_text().splitlines()[1:]:
            local, state = line.split()[1], line.split()[3]
            address, local_port = local.split(":")
            if state == "0A" and int(local_port, 16) == port:
                found.append(address)
    return found


def test_run_script_without_display_serves_the_desktop_to_this_machine_only(arch_choice, tmp_path):
    with socket.socket() as free:
        free.bind(("127.0.0.1", 0))
        port = free.getsockname()[1]
    prefix = tmp_path / "prefix"
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "VELTRANE_NOVNC_ADDRESS")}
    env.update(E2E_ARCH=arch_choice.arch, VELTRANE_NOVNC_PORT=str(port), VELTRANE_WINE_PREFIX=str(prefix))
    run = subprocess.Popen(
        ["bash", str(REPO_ROOT / "scripts" / "run.sh")],
        env=env, start_new_session=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
    )
    try:
        assert wait_until(lambda: listening_addresses(port), 60), "the noVNC page is served"
        assert listening_addresses(port) == ["0100007F"], "on 127.0.0.1 only"
    finally:
        # Xvfb, x11vnc, websockify and Wine share the script's process group; its own clean-up ends
        # the Wine server, which may have left the group.
        with contextlib.suppress(ProcessLookupError):
            os.killpg(run.pid, signal.SIGTERM)
        with contextlib.suppress(subprocess.TimeoutExpired):
            run.wait(60)
        subprocess.run(["wineserver", "-k"], env=dict(env, WINEPREFIX=str(prefix)), capture_output=True)
        with contextlib.suppress(ProcessLookupError):
            os.killpg(run.pid, signal.SIGKILL)
        run.wait(10)
        shutil.rmtree(prefix, ignore_errors=True)


# -- under Wine -----------------------------------------------------------------------------------


def test_probe_finds_the_desktops_taskbar(probe):
    tray = probe.find("Shell_TrayWnd")
    assert tray is not None and tray["class"] == "Shell_TrayWnd"
    metrics = probe.sysmetrics()
    assert metrics["screen"] == [1024, 768]
    assert metrics["acp"] == 936  # the Chinese locale reached Wine


def test_probe_reports_missing_things_without_failing(probe):
    assert probe.mutex_exists(f"VeltraneNoSuchMutex-{uuid.uuid4().hex}") is False
    assert probe.find("VeltraneNoSuchClass") is None
    assert probe.wait("VeltraneNoSuchClass", "*", timeout=0.2, required=False) is None
    with pytest.raises(ProbeError, match="unknown command"):
        probe.run("no-such-command")
    with pytest.raises(ProbeError, match="usage: post"):
        probe.run("post", "0x10", "WM_CLOSE", "zero", 0)
    with pytest.raises(ProbeError, match="no such window"):
        probe.children(0x7FFFFF)


def test_one_shot_probe_exit_codes(wine):
    def run(*args):
        return subprocess.run(
            [wine.loader, str(wine.test_dir / "probe.exe"), *args],
            env=wine.wine_env(), capture_output=True, timeout=60,
        )

    found = run("find", "Shell_TrayWnd", "*")
    missing = run("find", "VeltraneNoSuchClass", "*")
    bad = run("sysmetrics-typo")
    assert (found.returncode, missing.returncode, bad.returncode) == (0, 1, 2)
    assert b'"class":"Shell_TrayWnd"' in found.stdout


def test_program_window_controls_and_exit_code(wine, probe, tmp_path, figures):
    program, log = start_fixture(wine, tmp_path, "show", "exit=7")
    figures.record("fixture start to ready", program.elapsed_ms())
    window = probe.wait(FIXTURE_CLASS, FIXTURE_CAPTION, 10, visible=True)
    assert (window["caption"], window["enabled"]) == (FIXTURE_CAPTION, True)
    assert any(w["hwnd"] == window["hwnd"] for w in probe.list())

    check = probe.child(window["hwnd"], cls="Button", text="选中")
    assert (check["checked"], check["id"]) == (1, 101)
    left, top, right, bottom = check["client_rect"]
    assert (left, top, right - left, bottom - top) == (8, 8, 120, 20)

    edit = probe.child(window["hwnd"], id=102)
    probe.settext(edit["hwnd"], "密码 a\tb")
    probe.chars(edit["hwnd"], "xy")
    assert probe.gettext(edit["hwnd"]) == "xy密码 a\tb"  # WM_CHAR inserts at the caret, at 0 after WM_SETTEXT

    assert probe.focus()["foreground"] == window["hwnd"]
    assert probe.pid_alive(window["pid"]) is True
    probe.close(window["hwnd"])
    assert program.wait(10) == 7
    assert read_lines(log)[-1] == "closed 7"
    assert probe.pid_alive(window["pid"]) is False


def test_listview_read_and_tick_across_processes(wine, probe, tmp_path):
    start_fixture(wine, tmp_path, "show")
    window = probe.wait(FIXTURE_CLASS, FIXTURE_CAPTION, 10)
    lv = probe.child(window["hwnd"], cls="SysListView32")
    before = probe.listview(lv["hwnd"])
    assert [(c["text"], c["width"]) for c in before["columns"]] == [("分区", 100), ("类型", 150)]
    assert [(i["texts"], i["checked"]) for i in before["items"]] == [
        (["C:\\", "NTFS"], True),
        (["D:\\", "FAT32"], False),
    ]
    probe.lvcheck(lv["hwnd"], 0, False)
    probe.lvcheck(lv["hwnd"], 1, True)
    after = probe.listview(lv["hwnd"])
    assert [i["checked"] for i in after["items"]] == [False, True]


def test_tray_double_click_reaches_the_program(wine, tmp_path, figures):
    program, log = start_fixture(wine, tmp_path)
    wine.tray_double_click(0)
    wait_for_line(log, "dblclick", 5, program=program)
    figures.record("fixture start to tray double-click seen", program.elapsed_ms())
    wine.screenshot("harness-tray-fixture")


def test_broadcast_reaches_a_hidden_window(wine, probe, tmp_path):
    program, log = start_fixture(wine, tmp_path)
    assert probe.broadcast("TaskbarCreated") >= 0xC000  # registered messages live there
    wait_for_line(log, "taskbar-created", 5, program=program)


def test_kill_leftovers_ends_started_programs(wine, probe, tmp_path):
    program, _ = start_fixture(wine, tmp_path)
    window = probe.wait(FIXTURE_CLASS, FIXTURE_CAPTION, 10)
    killed = wine.kill_leftovers()
    assert program.pid in killed and not program.running
    probe.wait_hidden(window["hwnd"], 10)
    assert probe.find(FIXTURE_CLASS) is None


def test_desktop_comes_back_after_a_forced_restart(wine, probe, tmp_path, figures):
    program, _ = start_fixture(wine, tmp_path, "reboot")
    program.wait(15)
    assert wine.wait_wineserver_exit(30), "a forced restart ends every process of the prefix"
    assert not wine.desktop_up
    with figures.measure("desktop rebuild after a forced restart"):
        wine.ensure_desktop()
    assert probe.find("Shell_TrayWnd") is not None


def test_desktop_comes_back_after_the_server_is_killed(wine, probe):
    subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=str(wine.prefix)), check=False)
    assert wine.wait_wineserver_exit(30)
    wine.ensure_desktop()
    assert probe.sysmetrics()["screen"] == [1024, 768]


def test_one_shot_probe_attaches_to_the_desktop_named_by_probe_desktop(wine, tmp_path):
    log = tmp_path / "fixture.log"
    loader = wine.loader
    launcher = subprocess.Popen(
        [loader, "explorer", "/desktop=e2e-side,640x480", str(wine.test_dir / FIXTURE)],
        env=wine.launch_env({"FIXTURE_LOG": windows_path(log)}),
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    try:
        wait_for_line(log, "ready", 30)

        def find(desktop):
            extra = {"PROBE_DESKTOP": desktop} if desktop else {}
            return subprocess.run(
                [loader, str(wine.test_dir / "probe.exe"), "wait", FIXTURE_CLASS, "*", "2000"],
                env=wine.wine_env(extra), capture_output=True, timeout=60,
            )

        on_side, on_default = find("e2e-side"), find(None)
        assert (on_side.returncode, on_default.returncode) == (0, 1)
        assert f'"caption":"{FIXTURE_CAPTION}"'.encode() in on_side.stdout
    finally:
        wine.kill_leftovers()
        launcher.wait(timeout=30)


def test_keys_reach_wines_foreground_window_from_any_x_window_of_the_desktop(wine, probe, tmp_path):
    start_fixture(wine, tmp_path, "show")
    window = probe.wait(FIXTURE_CLASS, FIXTURE_CAPTION, 10, visible=True)
    click_control(wine, probe.child(window["hwnd"], cls="Edit"))
    assert wait_until(lambda: wine.keys_reach(window))
    desktop = wine.screen.xdotool("search", "--name", "^Default - Wine desktop$").split()[0]
    wine.screen.xdotool("windowfocus", desktop)
    assert wine.keys_reach(window) and not wine.keys_reach(probe.find("Shell_TrayWnd"))
    wine.screen.type_text("k")
    assert wait_until(lambda: probe.gettext(probe.child(window["hwnd"], cls="Edit")["hwnd"]) == "k")
