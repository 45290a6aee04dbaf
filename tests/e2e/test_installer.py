"""The setup file under Wine: silent install, the installed program, silent and interactive uninstall.

The tests share one Wine session of their own, with a fresh prefix, X server and desktop, so that
installing into the machine's folders and registry touches nothing the other tests use. Each test
starts from a machine without the program.

Where Wine runs no 32-bit programs, the tests take the 64-bit setup that the win64 build makes of the
same script for them (dist/win64-tests/test-setup/): it writes the 32-bit registry view as the product does,
and its "32-bit Program Files" is C:\\Program Files under Wine, so only the registry keys differ.
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
from harness.session import REPO_ROOT
from program_helpers import tray_badge_colour, wait_until

PRODUCT_NAME = "Veltrane影子系统"
PROGRAM = "VeltraneShadow.exe"
LIBRARY = "ZELK.dll"
STATE = "ZELK.ini"  # the simulated library's state file
RECORD = "ZELK.install.ini"  # the setup's record beside the simulated library: where its state is
CTL = "veltrane-ctl.exe"
EVALUATION_FILES = sorted(["Uninstall.exe", PROGRAM, CTL, LIBRARY, RECORD])
SESSION_MANAGER_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
ENVIRONMENT_KEY = SESSION_MANAGER_KEY + r"\Environment"
STATE_DIR = "ProgramData/Veltrane"
STATE_FILE_WIN = r"C:\ProgramData\Veltrane\ZELK.ini"
ERROR_BAD_PATHNAME = 161
ERROR_ALREADY_EXISTS = 183
SHORTCUT = f"ProgramData/Microsoft/Windows/Start Menu/Programs/{PRODUCT_NAME}.lnk"
TEMP_UNINSTALLER = "Un.exe"  # the copy of itself that the uninstaller runs from the temporary folder
MESSAGE_BOX = "#32770"
UNINSTALL_CAPTION = f"{PRODUCT_NAME} 卸载"
ID_OK, ID_CANCEL, ID_RETRY, ID_TEXT = 1, 2, 4, 0xFFFF


class Paths:
    """Where the setup puts things, as Windows paths and registry keys, for one setup architecture."""

    def __init__(self, arch: str) -> None:
        # The setup writes the 32-bit registry view.
        wow = arch == "win64"
        self.program_files = "Program Files"
        self.install_dir = rf"C:\{self.program_files}\Veltrane"
        self.program = self.install_dir + "\\" + PROGRAM
        self.uninstaller = self.install_dir + r"\Uninstall.exe"
        software = r"HKLM\Software\Wow6432Node" if wow else r"HKLM\Software"
        self.run_key = software + r"\Microsoft\Windows\CurrentVersion\Run"
        self.uninstall_key = software + r"\Microsoft\Windows\CurrentVersion\Uninstall\VeltraneShadow"


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
    if choice.arch == "win32":
        arch = ArchChoice("win32", "the setup is a 32-bit program")
        setup = arch.dist_dir.parent / f"VeltraneShadow-{VERSION}-setup.exe"
    else:
        arch = ArchChoice("win64", f"the 64-bit test build of the setup: {choice.reason}")
        setup = arch.test_dir / "test-setup" / f"VeltraneShadow-{VERSION}-setup.exe"
    if not setup.exists():
        pytest.fail(
            f"{setup} is missing: build the {arch.arch} preset with makensis installed "
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
        self.paths = Paths(session.arch.arch)
        self.drive_c = session.prefix / "drive_c"
        self.install_dir = self.drive_c / self.paths.program_files / "Veltrane"
        self.windows_dir = self.drive_c / "windows"
        self.system_dir = self.windows_dir / "system32"
        self.tools_dir = self.drive_c / "tools"  # a folder a test puts on PATH
        self.state_dir = self.drive_c / STATE_DIR
        self.shortcut = self.drive_c / SHORTCUT
        self._started = []
        self._machine_path = None

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

    def run_input(self, *args: str, stdin: bytes) -> int:
        """Runs a console program to its end with ``stdin`` as its input."""
        return subprocess.run(
            [self.session.loader, *args],
            env=self.session.launch_env(),
            input=stdin,
            capture_output=True,
            timeout=120,
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

    def add_to_machine_path(self, folder_win: str) -> None:
        """Appends a folder to the machine's PATH as stored (clean() restores it)."""
        current = self.values(ENVIRONMENT_KEY).get("PATH") or self.values(ENVIRONMENT_KEY).get("Path")
        self._machine_path = current
        kind, value = current
        assert self.reg("add", ENVIRONMENT_KEY, "/v", "PATH", "/t", kind, "/d", f"{value};{folder_win}", "/f")[0] == 0

    def install(self, *switches: str, sim: SimDriver, expect: int = 0) -> None:
        started = time.monotonic()
        assert self.run(str(self.setup), *switches, env=sim.env()) == expect
        self.session.figures.record("silent install", (time.monotonic() - started) * 1000)

    def uninstall_silently(self) -> None:
        """The entry's quiet uninstall command, then waits for the uninstaller's temporary copy."""
        command = self.values(self.paths.uninstall_key)["QuietUninstallString"][1]
        started = time.monotonic()
        assert self.run(*_split_command(command)) == 0
        self.wait_uninstaller_gone()
        self.session.figures.record("silent uninstall", (time.monotonic() - started) * 1000)

    def wait_uninstaller_gone(self, timeout: float = 60) -> None:
        assert wait_until(lambda: TEMP_UNINSTALLER not in self.processes(), timeout), "the uninstaller ended"

    def wait_program_ready(self) -> None:
        """The copy the setup started shows its tray icon. The shell started it, so it has the
        shell's environment (the installed state, no call log of the test)."""
        assert wait_until(lambda: PROGRAM in self.processes(), 30), "the program runs"
        assert wait_until(lambda: tray_badge_colour(self.session) != "none", 30), "the tray icon is shown"

    def program_parent(self) -> str:
        """The executable that started the running installed program."""
        processes = self.probe.processes()
        program = next(p for p in processes if p["exe"] == PROGRAM)
        return next((p["exe"] for p in processes if p["pid"] == program["parent"]), "")

    def _installed_program_pids(self):
        """Processes of this prefix whose first argument is the installed program's Windows path."""
        prefix = f"WINEPREFIX={self.session.prefix}".encode()
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                argv0 = (entry / "cmdline").read_bytes().split(b"\0", 1)[0]
                environ = (entry / "environ").read_bytes().split(b"\0")
            except OSError:
                continue
            if argv0 == self.paths.program.encode() and prefix in environ:
                yield int(entry.name)

    def end_program(self) -> None:
        """The installed program ends if it runs, as after Quit in its tray menu (which the tray tests
        cover; under Wine that menu takes no click while another program's message box is in front).
        With another library than the simulated one it may not have started at all."""
        for pid in self._installed_program_pids():
            os.kill(pid, signal.SIGKILL)
        assert wait_until(lambda: PROGRAM not in self.processes(), 20), "the program ended"

    def restart(self) -> None:
        """Every program ends and the prefix restarts (pending deletions are carried out)."""
        self.session.kill_leftovers()
        self.end_program()
        assert self.run("wineboot", "-r") == 0

    def clean(self) -> None:
        """Back to a machine where the program was never installed."""
        self.session.kill_leftovers()
        for pid in self._installed_program_pids():
            os.kill(pid, signal.SIGKILL)
        for process in self._started:
            process.wait(10)
        self._started.clear()
        for folder in (self.install_dir, self.state_dir, self.tools_dir):
            shutil.rmtree(folder, ignore_errors=True)
        for path in (self.shortcut, self.system_dir / LIBRARY, self.windows_dir / LIBRARY):
            path.unlink(missing_ok=True)
        if self._machine_path is not None:
            kind, value = self._machine_path
            self.reg("add", ENVIRONMENT_KEY, "/v", "PATH", "/t", kind, "/d", value, "/f")
            self._machine_path = None
        self.reg("delete", self.paths.run_key, "/v", "VeltraneShadow", "/f")
        self.reg("delete", self.paths.uninstall_key, "/f")
        self.reg("delete", SESSION_MANAGER_KEY, "/v", "PendingFileRenameOperations", "/f")

    def assert_nothing_installed(self, kept=()) -> None:
        """Nothing of the setup is left; ``kept`` names files that must still be in the install folder."""
        left = sorted(p.name for p in self.install_dir.iterdir()) if self.install_dir.exists() else None
        assert left == (sorted(kept) or None)
        assert not self.shortcut.exists()
        assert "VeltraneShadow" not in (self.values(self.paths.run_key) or {})
        assert self.values(self.paths.uninstall_key) is None
        assert not self.state_dir.exists()


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
    paths = pc.paths

    files = {p.name: p for p in pc.install_dir.iterdir()}
    assert sorted(files) == EVALUATION_FILES
    assert files[PROGRAM].read_bytes() == built(pc, PROGRAM)
    assert files[CTL].read_bytes() == built(pc, CTL)
    assert files[LIBRARY].read_bytes() == built(pc, LIBRARY)
    assert pc.shortcut.is_file()

    assert pc.values(paths.run_key)["VeltraneShadow"] == ("REG_SZ", f'"{paths.program}"')
    entry = {name: data for name, (_, data) in pc.values(paths.uninstall_key).items()}
    assert entry["DisplayName"] == PRODUCT_NAME
    assert entry["DisplayVersion"] == VERSION
    assert entry["Publisher"] == "Veltrane 软件工作室"
    assert entry["DisplayIcon"] == paths.program + ",0"
    assert entry["UninstallString"] == f'"{paths.uninstaller}"'
    assert entry["QuietUninstallString"] == f'"{paths.uninstaller}" /S'
    size_kb = sum(p.stat().st_size for p in files.values()) // 1024
    assert abs(int(entry["EstimatedSize"], 16) - size_kb) <= len(files)

    # The setup had the shell start the program, not itself (so not with its administrator rights).
    pc.wait_program_ready()
    assert pc.program_parent().lower() == "explorer.exe"

    pc.end_program()
    pc.uninstall_silently()
    pc.assert_nothing_installed()


def test_the_evaluation_keeps_its_state_under_programdata_where_an_apply_writes_it(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)
    pc.wait_program_ready()
    pc.end_program()

    state = pc.state_dir / STATE
    assert b"[driver]" in state.read_bytes(), "made at install time, with the demo state"
    assert not (pc.install_dir / STATE).exists()
    entry = pc.values(pc.paths.uninstall_key)
    assert entry["EvalDriverLibrary"][1] == entry["EvalStateFolder"][1] == "0x1"
    # Every user may write it, so it cannot send an administrator's calls to a log file.
    log = pc.drive_c / "calls.log"
    state.write_text(state.read_text().replace("log=", "log=C:\\calls.log"))

    ctl = pc.paths.install_dir + "\\" + CTL
    assert pc.run_input(ctl, "apply", "--unprotect", "C", "--password-stdin", stdin=b"admin\n") == 0
    assert "slot0=C,0,7,40960" in state.read_text()
    assert not log.exists()

    pc.uninstall_silently()
    pc.assert_nothing_installed()


@pytest.mark.parametrize("where", ["install folder", "system folder", "Windows folder", "PATH folder"])
def test_a_driver_library_already_there_is_kept_and_no_evaluation_installed(pc, sim, where):
    drivers_own = (pc.session.test_dir / "stand-in" / LIBRARY).read_bytes()
    folder = {
        "install folder": pc.install_dir,
        "system folder": pc.system_dir,
        "Windows folder": pc.windows_dir,
        "PATH folder": pc.tools_dir,
    }[where]
    folder.mkdir(parents=True, exist_ok=True)
    (folder / LIBRARY).write_bytes(drivers_own)
    if where == "PATH folder":
        pc.add_to_machine_path(r"C:\tools")

    pc.install("/S", "/EVAL", sim=sim)
    assert (folder / LIBRARY).read_bytes() == drivers_own
    installed = sorted(p.name for p in pc.install_dir.iterdir())
    expected = ["Uninstall.exe", PROGRAM, CTL] + ([LIBRARY] if where == "install folder" else [])
    assert installed == sorted(expected), "no simulated library and no record of its own"
    assert "EvalDriverLibrary" not in pc.values(pc.paths.uninstall_key)
    assert not pc.state_dir.exists()

    pc.end_program()
    pc.uninstall_silently()
    pc.assert_nothing_installed(kept=[LIBRARY] if where == "install folder" else [])
    assert (folder / LIBRARY).read_bytes() == drivers_own


def test_a_state_folder_the_setup_did_not_make_stops_the_evaluation_install_before_anything(pc, sim):
    # Under Wine every file belongs to the prefix's user, never to Administrators or SYSTEM: this is
    # a folder another user made before the install.
    pc.state_dir.mkdir(parents=True)
    (pc.state_dir / STATE).write_bytes(b"[driver]\r\npassword=planted\r\n")
    pc.install("/S", "/EVAL", sim=sim, expect=ERROR_ALREADY_EXISTS)
    assert not pc.install_dir.exists() and pc.values(pc.paths.uninstall_key) is None
    assert [(p.name, p.read_bytes()) for p in pc.state_dir.iterdir()] == [(STATE, b"[driver]\r\npassword=planted\r\n")]


def test_an_install_without_the_evaluation_takes_away_an_earlier_one(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)
    pc.wait_program_ready()
    pc.end_program()
    assert pc.state_dir.exists()

    pc.install("/S", sim=sim)
    assert sorted(p.name for p in pc.install_dir.iterdir()) == sorted(["Uninstall.exe", PROGRAM, CTL])
    entry = pc.values(pc.paths.uninstall_key)
    assert "EvalDriverLibrary" not in entry and "EvalStateFolder" not in entry
    assert not pc.state_dir.exists()

    pc.end_program()
    pc.uninstall_silently()
    pc.assert_nothing_installed()


def test_uninstall_keeps_a_zelk_dll_that_is_no_longer_the_simulated_one(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)
    pc.wait_program_ready()
    pc.end_program()
    # A driver setup later put its own library in place of the simulated one; the mark stays.
    drivers_own = (pc.session.test_dir / "stand-in" / LIBRARY).read_bytes()
    (pc.install_dir / LIBRARY).write_bytes(drivers_own)
    assert pc.values(pc.paths.uninstall_key)["EvalDriverLibrary"][1] == "0x1"

    pc.uninstall_silently()
    pc.assert_nothing_installed(kept=[LIBRARY])
    assert (pc.install_dir / LIBRARY).read_bytes() == drivers_own


def test_a_folder_outside_program_files_only_when_insisted_on(pc, sim):
    elsewhere = pc.drive_c / "Tools" / "Veltrane"
    pc.install("/S", r"/D=C:\Tools\Veltrane", sim=sim, expect=ERROR_BAD_PATHNAME)
    assert not elsewhere.exists() and pc.values(pc.paths.uninstall_key) is None

    pc.install("/S", "/ANYDIR", r"/D=C:\Tools\Veltrane", sim=sim)
    assert sorted(p.name for p in elsewhere.iterdir()) == sorted(["Uninstall.exe", PROGRAM, CTL])
    pc.end_program()
    pc.uninstall_silently()
    assert not elsewhere.exists()


def test_interactive_uninstall_waits_until_the_user_quits_the_program(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)
    pc.wait_program_ready()

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
    assert pc.values(pc.paths.uninstall_key) is not None and "VeltraneShadow" in pc.values(pc.paths.run_key)

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
    pc.wait_program_ready()

    pc.uninstall_silently()
    # What is not in use is gone at once; the running program and the library it loaded wait.
    assert sorted(p.name for p in pc.install_dir.iterdir()) == [PROGRAM, LIBRARY]
    assert not pc.shortcut.exists()
    assert "VeltraneShadow" not in (pc.values(pc.paths.run_key) or {})
    assert pc.values(pc.paths.uninstall_key) is None
    pending = pc.values(SESSION_MANAGER_KEY)["PendingFileRenameOperations"][1]
    for name in (PROGRAM, LIBRARY):
        assert f"{pc.paths.install_dir}\\{name}" in pending

    pc.restart()
    pc.assert_nothing_installed()


def test_silent_reinstall_over_the_running_program_replaces_it_at_the_next_restart(pc, sim):
    pc.install("/S", "/EVAL", sim=sim)
    pc.wait_program_ready()

    pc.install("/S", "/EVAL", sim=sim)
    assert (pc.install_dir / f"{PROGRAM}.new").read_bytes() == built(pc, PROGRAM)
    assert f"{pc.paths.install_dir}\\{PROGRAM}.new" in pc.values(SESSION_MANAGER_KEY)["PendingFileRenameOperations"][1]

    pc.restart()
    assert sorted(p.name for p in pc.install_dir.iterdir()) == EVALUATION_FILES
    assert (pc.install_dir / PROGRAM).read_bytes() == built(pc, PROGRAM)
