"""The setup file under Wine: silent install, the installed program, silent and interactive uninstall.

The tests share one Wine session of their own, with a fresh prefix, X server and desktop, so that
installing into the machine's folders and registry touches nothing the other tests use. Each test
starts from a machine without the program.
"""

from __future__ import annotations

import os
import re
import shutil
import signal
import subprocess
import time
from pathlib import Path
from typing import Dict, Optional, Tuple

import pytest

from harness import ArchChoice, SimDriver, SimState, WineSession, choose_arch
from harness.session import LAUNCH_MARKER, REPO_ROOT
from program_helpers import tray_badge_colour, wait_until

PRODUCT_NAME = "Veltrane影子系统"
PROGRAM = "VeltraneShadow.exe"
LIBRARY = "ZELK.dll"
STATE = "ZELK.ini"  # the simulated library's state file beside it
CTL = "veltrane-ctl.exe"
EVALUATION_FILES = sorted(["Uninstall.exe", PROGRAM, CTL, LIBRARY, STATE])
INSTALL_DIR_WIN = r"C:\Program Files\Veltrane"
PROGRAM_WIN = INSTALL_DIR_WIN + "\\" + PROGRAM
UNINSTALLER_WIN = INSTALL_DIR_WIN + r"\Uninstall.exe"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VeltraneShadow"
SESSION_MANAGER_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
SHORTCUT = f"ProgramData/Microsoft/Windows/Start Menu/Programs/{PRODUCT_NAME}.lnk"
TEMP_UNINSTALLER = "Un.exe"  # the copy of itself that the uninstaller runs from the temporary folder
MESSAGE_BOX = "#32770"
UNINSTALL_CAPTION = f"{PRODUCT_NAME} 卸载"
ID_OK, ID_CANCEL, ID_RETRY, ID_TEXT = 1, 2, 4, 0xFFFF


def project_version() -> str:
    text = (REPO_ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(VeltraneShadow\s+VERSION\s+([0-9.]+)", text).group(1)


VERSION = project_version()


# -- the session -----------------------------------------------------------------------------------


@pytest.fixture(scope="module")
def machine(pytestconfig, figures):
    """A Wine session with a fresh prefix of its own, 32-bit like the setup file."""
    env = {k: v for k, v in os.environ.items() if k != "E2E_ARCH"}
    choice = choose_arch(env)
    if choice.arch != "win32":
        pytest.skip(f"the setup is a 32-bit program: {choice.reason}")
    arch = ArchChoice("win32", "the setup is a 32-bit program")
    setup = arch.dist_dir.parent / f"VeltraneShadow-{VERSION}-setup.exe"
    if not setup.exists():
        pytest.fail(
            f"{setup} is missing: build the win32 preset with makensis installed "
            "(the nsis package; bash scripts/setup.sh installs it, then configure again)"
        )
    reporter = pytestconfig.pluginmanager.get_plugin("terminalreporter")
    session = WineSession(arch, figures, log=reporter.write_line if reporter else print)
    try:
        with pytest.MonkeyPatch.context() as patch:
            patch.setenv("E2E_FRESH_PREFIX", "1")
            session.start()
        yield Machine(session, setup)
    finally:
        session.close()


class Machine:
    """The prefix seen as a Windows machine: run programs, read the registry and the disk."""

    def __init__(self, session: WineSession, setup: Path) -> None:
        self.session = session
        self.probe = session.probe
        self.setup = setup
        self.drive_c = session.prefix / "drive_c"
        self.install_dir = self.drive_c / "Program Files" / "Veltrane"
        self.system_dir = self.drive_c / "windows" / "system32"
        self.shortcut = self.drive_c / SHORTCUT
        self._started = []

    def run(self, *args: str, env: Optional[Dict[str, str]] = None, timeout: float = 120) -> int:
        """Runs a Windows program to its end. Output goes nowhere: a program it starts may outlive it."""
        return subprocess.run(
            [self.session.loader, *args],
            env=self.session.launch_env(env),
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            timeout=timeout,
        ).returncode

    def start(self, *args: str) -> None:
        """Starts a Windows program and goes on at once."""
        self._started.append(subprocess.Popen(
            [self.session.loader, *args],
            env=self.session.launch_env(),
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        ))

    def reg(self, *args: str) -> Tuple[int, str]:
        result = subprocess.run(
            [self.session.loader, "reg", *args],
            env=self.session.wine_env(),
            stdin=subprocess.DEVNULL,
            capture_output=True,
            timeout=60,
        )
        return result.returncode, result.stdout.decode("gbk", "replace")  # Wine's console code page

    def values(self, key: str) -> Optional[Dict[str, Tuple[str, str]]]:
        """{name: (type, data)} of a key, None when it does not exist."""
        code, out = self.reg("query", key)
        if code != 0:
            return None
        found = {}
        for line in out.splitlines():
            match = re.match(r"^    (.*?)    (REG_\w+)    (.*)$", line)
            if match:
                found[match.group(1)] = (match.group(2), match.group(3))
        return found

    def processes(self):
        return [p["exe"] for p in self.probe.processes()]

    def install(self, *switches: str, sim: SimDriver) -> None:
        started = time.monotonic()
        assert self.run(str(self.setup), *switches, env=sim.env()) == 0
        self.session.figures.record("silent install", (time.monotonic() - started) * 1000)

    def uninstall_silently(self) -> None:
        """The entry's quiet uninstall command, then waits for the uninstaller's temporary copy."""
        command = self.values(UNINSTALL_KEY)["QuietUninstallString"][1]
        started = time.monotonic()
        assert self.run(*_split_command(command)) == 0
        self.wait_uninstaller_gone()
        self.session.figures.record("silent uninstall", (time.monotonic() - started) * 1000)

    def wait_uninstaller_gone(self, timeout: float = 60) -> None:
        assert wait_until(lambda: TEMP_UNINSTALLER not in self.processes(), timeout), "the uninstaller ended"

    def wait_program_ready(self, sim: SimDriver) -> None:
        """The copy the setup started has read the driver and shows its tray icon."""
        sim.wait_for_log("fcGetProtection", 30)
        assert PROGRAM in self.processes()
        assert tray_badge_colour(self.session) != "none", "the tray icon is shown"

    def end_program(self) -> None:
        """The installed program ends, as after Quit in its tray menu (which the tray tests cover;
        under Wine that menu takes no click while another program's message box is in front).
        Its process: started in this session, first argument the installed program's Windows path."""
        marker = f"{LAUNCH_MARKER}={self.session.token}".encode()
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                argv0 = (entry / "cmdline").read_bytes().split(b"\0", 1)[0]
                environ = (entry / "environ").read_bytes().split(b"\0")
            except OSError:
                continue
            if argv0 == PROGRAM_WIN.encode() and marker in environ:
                os.kill(int(entry.name), signal.SIGKILL)
        assert wait_until(lambda: PROGRAM not in self.processes(), 20), "the program ended"

    def restart(self) -> None:
        """Every program ends and the prefix restarts (pending deletions are carried out)."""
        self.session.kill_leftovers()
        assert self.run("wineboot", "-r") == 0

    def clean(self) -> None:
        """Back to a machine where the program was never installed."""
        self.session.kill_leftovers()
        for process in self._started:
            process.wait(10)
        self._started.clear()
        shutil.rmtree(self.install_dir, ignore_errors=True)
        for path in (self.shortcut, self.system_dir / LIBRARY):
            path.unlink(missing_ok=True)
        self.reg("delete", RUN_KEY, "/v", "VeltraneShadow", "/f")
        self.reg("delete", UNINSTALL_KEY, "/f")
        self.reg("delete", SESSION_MANAGER_KEY, "/v", "PendingFileRenameOperations", "/f")

    def assert_nothing_installed(self, kept=()) -> None:
        """Nothing of the setup is left; ``kept`` names files that must still be in the install folder."""
        left = sorted(p.name for p in self.install_dir.iterdir()) if self.install_dir.exists() else None
        assert left == (sorted(kept) or None)
        assert not self.shortcut.exists()
        assert "VeltraneShadow" not in (self.values(RUN_KEY) or {})
        assert self.values(UNINSTALL_KEY) is None


def _split_command(command: str):
    match = re.match(r'^"([^"]+)"\s*(.*)$', command)
    return [match.group(1), *match.group(2).split()]


@pytest.fixture
def pc(machine, sim, request):
    """The machine without the program; the library's state and call log of the test (``sim``)."""
    machine.clean()
    sim.write(SimState())
    failed = request.session.testsfailed
    yield machine
    if request.session.testsfailed > failed:
        shot = machine.session.screenshot(f"{request.node.nodeid}-failed")
        print(f"screenshot: {shot}")
    machine.clean()


def built(pc: Machine, name: str) -> bytes:
    """A file as the build made it."""
    return (pc.session.dist_dir / name).read_bytes()


# -- the tests -------------------------------------------------------------------------------------


def test_silent_evaluation_install_starts_the_program_and_silent_uninstall_removes_it_all(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)

    files = {p.name: p for p in pc.install_dir.iterdir()}
    assert sorted(files) == EVALUATION_FILES
    assert files[PROGRAM].read_bytes() == built(pc, PROGRAM)
    assert files[CTL].read_bytes() == built(pc, CTL)
    assert files[LIBRARY].read_bytes() == built(pc, LIBRARY)
    # The simulated library's state is made at install time, while writing there is allowed.
    assert b"[driver]" in files[STATE].read_bytes()
    assert pc.shortcut.is_file()

    assert pc.values(RUN_KEY)["VeltraneShadow"] == ("REG_SZ", f'"{PROGRAM_WIN}"')
    entry = {name: data for name, (_, data) in pc.values(UNINSTALL_KEY).items()}
    assert entry["DisplayName"] == PRODUCT_NAME
    assert entry["DisplayVersion"] == VERSION
    assert entry["Publisher"] == "Veltrane 软件工作室"
    assert entry["DisplayIcon"] == PROGRAM_WIN + ",0"
    assert entry["UninstallString"] == f'"{UNINSTALLER_WIN}"'
    assert entry["QuietUninstallString"] == f'"{UNINSTALLER_WIN}" /S'
    size_kb = sum(p.stat().st_size for p in files.values()) // 1024
    assert abs(int(entry["EstimatedSize"], 16) - size_kb) <= len(files)

    # The setup started the installed program once; it came up with the driver state of this test.
    pc.wait_program_ready(sim)
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"]

    pc.end_program()
    pc.uninstall_silently()
    pc.assert_nothing_installed()


@pytest.mark.parametrize("where", ["install folder", "system folder"])
def test_a_driver_library_already_there_is_kept_and_used(pc, sim, where):
    drivers_own = built(pc, LIBRARY) + b"the driver's own copy"  # loads like the simulated one, tells apart
    folder = pc.install_dir if where == "install folder" else pc.system_dir
    folder.mkdir(parents=True, exist_ok=True)
    (folder / LIBRARY).write_bytes(drivers_own)

    pc.install("/S", "/EVAL", sim=sim)
    assert (folder / LIBRARY).read_bytes() == drivers_own
    installed = sorted(p.name for p in pc.install_dir.iterdir())
    expected = ["Uninstall.exe", PROGRAM, CTL] + ([LIBRARY] if where == "install folder" else [])
    assert installed == sorted(expected), "no simulated library and no state file of its own"
    assert "EvalDriverLibrary" not in pc.values(UNINSTALL_KEY)
    pc.wait_program_ready(sim)

    pc.end_program()
    pc.uninstall_silently()
    pc.assert_nothing_installed(kept=[LIBRARY] if where == "install folder" else [])
    assert (folder / LIBRARY).read_bytes() == drivers_own


def test_interactive_uninstall_waits_until_the_user_quits_the_program(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)
    pc.wait_program_ready(sim)

    def running_box():
        box = pc.probe.wait(MESSAGE_BOX, UNINSTALL_CAPTION, 30, visible=True)
        text = pc.probe.child(box["hwnd"], id=ID_TEXT)["text"]
        assert text.startswith(f"{PRODUCT_NAME}正在运行") and "“退出程序”" in text, text
        return box

    def press(box, button_id):
        pc.probe.click(pc.probe.child(box["hwnd"], id=button_id)["hwnd"])
        pc.probe.wait_hidden(box["hwnd"], 10)

    # Cancel: the uninstaller ends and everything stays.
    pc.start(str(pc.install_dir / "Uninstall.exe"))
    press(running_box(), ID_CANCEL)
    pc.wait_uninstaller_gone()
    assert sorted(p.name for p in pc.install_dir.iterdir()) == EVALUATION_FILES
    assert pc.values(UNINSTALL_KEY) is not None and "VeltraneShadow" in pc.values(RUN_KEY)

    # Retry while it still runs asks again; once it has ended, Retry goes on to the uninstall.
    pc.start(str(pc.install_dir / "Uninstall.exe"))
    press(running_box(), ID_RETRY)
    box = running_box()
    pc.end_program()
    press(box, ID_RETRY)

    wizard = wait_until(
        lambda: next(
            (w for w in pc.probe.list() if w["visible"] and w["caption"].strip() == UNINSTALL_CAPTION),
            None,
        ),
        30,
    )
    assert wizard, "the uninstaller's window opened"
    pc.probe.click(pc.probe.child(wizard["hwnd"], id=ID_OK)["hwnd"])  # the confirmation page's Uninstall

    def close_button():
        return next(
            (c for c in pc.probe.children(wizard["hwnd"]) if c["id"] == ID_OK and c["enabled"] and "关闭" in c["text"]),
            None,
        )

    button = wait_until(close_button, 30)
    assert button, "the uninstall finished"
    pc.probe.click(button["hwnd"])
    pc.wait_uninstaller_gone()
    pc.assert_nothing_installed()


def test_silent_uninstall_of_a_running_program_finishes_at_the_next_restart(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)
    pc.wait_program_ready(sim)

    pc.uninstall_silently()
    # What is not in use is gone at once; the running program and the library it loaded wait.
    assert sorted(p.name for p in pc.install_dir.iterdir()) == [PROGRAM, LIBRARY]
    assert not pc.shortcut.exists()
    assert "VeltraneShadow" not in (pc.values(RUN_KEY) or {})
    assert pc.values(UNINSTALL_KEY) is None
    pending = pc.values(SESSION_MANAGER_KEY)["PendingFileRenameOperations"][1]
    for name in (PROGRAM, LIBRARY):
        assert f"{INSTALL_DIR_WIN}\\{name}" in pending

    pc.restart()
    pc.assert_nothing_installed()


def test_silent_reinstall_over_the_running_program_replaces_it_at_the_next_restart(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)
    pc.wait_program_ready(sim)

    pc.install("/S", "/EVAL", sim=sim)
    assert (pc.install_dir / f"{PROGRAM}.new").read_bytes() == built(pc, PROGRAM)
    assert f"{INSTALL_DIR_WIN}\\{PROGRAM}.new" in pc.values(SESSION_MANAGER_KEY)["PendingFileRenameOperations"][1]

    pc.restart()
    assert sorted(p.name for p in pc.install_dir.iterdir()) == EVALUATION_FILES
    assert (pc.install_dir / PROGRAM).read_bytes() == built(pc, PROGRAM)
