"""One Wine session for a test run: X server, prefix, the shared desktop and started programs.

The session keeps Xvfb, the wineserver and the 1024x768 virtual desktop (Wine's "Default"
desktop, made virtual in the prefix) up from the first test to the last; each test starts
its program afresh and ``kill_leftovers`` ends whatever it started. A probe process in serve
mode runs all along: it answers the probe calls and, being an ordinary Wine process, keeps
the wineserver and the desktop alive between programs. When a test brings the whole prefix
down (a forced restart ends every Wine process), ``ensure_desktop`` builds it up again.
"""

from __future__ import annotations

import dataclasses
import fcntl
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import uuid
from pathlib import Path
from typing import Dict, List, Mapping, Optional, Sequence, Tuple

from .figures import Figures
from .probe import Probe, ProbeDied, ProbeServer
from .program import Program
from .simdriver import SimDriver, windows_path
from .xserver import Screen, Xvfb, tray_icon_center

REPO_ROOT = Path(__file__).resolve().parents[3]
WINE_ENV_SCRIPT = REPO_ROOT / "scripts" / "wine-env.sh"
ARTIFACTS_DIR = REPO_ROOT / "tests" / "e2e" / "artifacts"
DESKTOP_X_TITLE = "^Default - Wine desktop$"
LAUNCH_MARKER = "VELTRANE_E2E_LAUNCH"
DESKTOP_TIMEOUT = 30.0
LOCALE = "zh_CN.UTF-8"  # the locale of Wine processes, unless a session is given another


@dataclasses.dataclass(frozen=True)
class ArchChoice:
    arch: str  # "win32" or "win64"
    reason: str

    @property
    def dist_dir(self) -> Path:
        """dist/<arch>, or the folder E2E_DIST names (a build of one's own, beside the main one)."""
        return Path(os.environ.get("E2E_DIST") or REPO_ROOT / "dist" / self.arch)

    @property
    def test_dir(self) -> Path:
        """The test programs built beside dist/<arch>: dist/<arch>-tests, or E2E_TEST_DIST."""
        return Path(os.environ.get("E2E_TEST_DIST") or f"{self.dist_dir}-tests")

    def describe(self) -> str:
        return f"Wine architecture {self.arch}: {self.reason}"


def choose_arch(env: Optional[Mapping[str, str]] = None) -> ArchChoice:
    """win32 when 32-bit Wine runs on this machine, else win64; E2E_ARCH forces either."""
    result = subprocess.run(
        ["bash", str(WINE_ENV_SCRIPT), "arch"],
        env=dict(env if env is not None else os.environ),
        capture_output=True,
        text=True,
        timeout=60,
    )
    if result.returncode != 0:
        raise RuntimeError(f"cannot choose the Wine architecture: {result.stderr.strip()}")
    reason = result.stderr.strip().splitlines()[-1]
    return ArchChoice(result.stdout.strip(), re.sub(r"^wine-env: using \w+: ", "", reason))


def _wine_loader(arch: str) -> str:
    return "/usr/lib/wine/wine" if arch == "win32" else "/usr/lib/wine/wine64"


def _safe_name(text: str) -> str:
    return re.sub(r"[^A-Za-z0-9_.-]+", "_", text).strip("_")[:120] or "shot"


class WineSession:
    """Use through the pytest fixtures (``wine``) or as ``with WineSession(...) as s: ...``."""

    def __init__(self, arch: ArchChoice, figures: Optional[Figures] = None, log=print, locale: str = LOCALE) -> None:
        self.arch = arch
        self.locale = locale
        self.figures = figures or Figures()
        self.log = log
        self.token = uuid.uuid4().hex
        self.workdir = Path(tempfile.mkdtemp(prefix="veltrane-e2e-", dir="/tmp"))
        self.prefix: Optional[Path] = None
        self._temporary_prefix = False
        self._prefix_lock = None
        self._xvfb = Xvfb()
        self.screen: Optional[Screen] = None
        self._server = ProbeServer(self._start_probe_server)
        self.probe = Probe(self._server)
        self._programs: List[Program] = []

    # -- life cycle ------------------------------------------------------------------------------

    def start(self) -> "WineSession":
        self.log(f"e2e: {self.arch.describe()}")
        self._require(self.arch.test_dir / "probe.exe", "probe")
        with self.figures.measure("Xvfb start"):
            self.screen = Screen(self._xvfb.start())
        with self.figures.measure("Wine prefix ready"):
            self._prepare_prefix()
        self.ensure_desktop()
        for _ in range(5):
            with self.figures.measure("probe round trip (serve mode)"):
                self.probe.sysmetrics()
        return self

    def close(self) -> None:
        self._server.stop()
        self.kill_leftovers()
        if self.prefix is not None:
            self._wineserver("-k")
            self._wineserver("-w", timeout=30)
        self._xvfb.stop()
        if self._prefix_lock is not None:
            self._prefix_lock.close()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def __enter__(self) -> "WineSession":
        return self.start()

    def __exit__(self, *exc) -> None:
        self.close()

    # -- environment -----------------------------------------------------------------------------

    @property
    def dist_dir(self) -> Path:
        return self.arch.dist_dir

    @property
    def test_dir(self) -> Path:
        return self.arch.test_dir

    def program_path(self, exe: str) -> Path:
        """A program of dist/<arch>, else a test program."""
        shipped = self.dist_dir / exe
        return shipped if shipped.exists() else self._require(self.test_dir / exe, exe)

    @property
    def loader(self) -> str:
        """The Wine loader for the session's architecture (wine or wine64)."""
        return _wine_loader(self.arch.arch)

    @property
    def display(self) -> str:
        assert self.screen is not None, "session not started"
        return self.screen.display

    def wine_env(self, extra: Optional[Mapping[str, str]] = None) -> Dict[str, str]:
        """Environment for a Wine process: the prefix, the display, the session's locale (Wine only)."""
        env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k != "ZELK_SIM_STATE"}
        env.update(
            DISPLAY=self.display,
            WINEPREFIX=str(self.prefix),
            WINEARCH=self.arch.arch,
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
            LANG=self.locale,
        )
        env.update(extra or {})
        return env

    def launch_env(self, extra: Optional[Mapping[str, str]] = None) -> Dict[str, str]:
        """``wine_env`` plus the marker by which ``kill_leftovers`` finds processes a test started;
        for Wine processes a test starts itself rather than through ``start_program``."""
        return self.wine_env({LAUNCH_MARKER: self.token, **(extra or {})})

    @staticmethod
    def windows_path(path) -> str:
        return windows_path(path)

    # -- the desktop ------------------------------------------------------------------------------

    def ensure_desktop(self) -> None:
        """Makes sure the desktop, its taskbar window and the probe are up; rebuilds them if not."""
        if self.desktop_up:
            return
        self._server.stop()
        self.kill_leftovers()
        self._wineserver("-w", timeout=30)  # a prefix that is going down must finish first
        for attempt in (1, 2):
            try:
                with self.figures.measure("desktop start"):
                    self._server.ensure_started()
                    if not self.screen.wait_window(DESKTOP_X_TITLE, DESKTOP_TIMEOUT):
                        raise ProbeDied("the desktop's X window did not appear")
                    self.probe.wait("Shell_TrayWnd", "*", DESKTOP_TIMEOUT)
                return
            except ProbeDied as error:
                self.log(f"e2e: desktop start failed ({error}), attempt {attempt}")
                self._server.stop()
                self._wineserver("-k")
                self._wineserver("-w", timeout=30)
        raise RuntimeError("the Wine desktop did not start")

    def wait_wineserver_exit(self, timeout: float = 30.0) -> bool:
        """Waits until the prefix's wineserver has ended, as after a forced restart; True if it did.

        Only meaningful once every Wine process is gone: the session's probe keeps the server up.
        """
        env = dict(os.environ, WINEPREFIX=str(self.prefix))
        try:
            subprocess.run(["wineserver", "-w"], env=env, timeout=timeout, capture_output=True)
            return True
        except subprocess.TimeoutExpired:
            return False

    @property
    def desktop_up(self) -> bool:
        """The session's probe runs and the desktop's X window exists."""
        return self._server.running and self.screen.window_exists(DESKTOP_X_TITLE)

    def _start_probe_server(self) -> subprocess.Popen:
        return subprocess.Popen(
            [_wine_loader(self.arch.arch), str(self.test_dir / "probe.exe"), "serve"],
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL,
            cwd=self.test_dir,
            env=self.wine_env(),
        )

    # -- programs ---------------------------------------------------------------------------------

    def start_program(
        self,
        exe: str = "VeltraneShadow.exe",
        args: Sequence[str] = (),
        *,
        sim: Optional[SimDriver] = None,
        env: Optional[Mapping[str, str]] = None,
    ) -> Program:
        """Starts ``exe`` (see program_path) on the shared desktop and returns its handle.

        With ``sim`` the simulated library uses that state file (ZELK_SIM_STATE); without it,
        the library falls back to ZELK.ini beside itself.
        """
        path = self.program_path(exe)
        extra = dict(sim.env() if sim is not None else {})
        extra.update(env or {})
        output = self.workdir / f"{len(self._programs):03d}-{_safe_name(exe)}.log"
        with output.open("wb") as sink:
            process = subprocess.Popen(
                [_wine_loader(self.arch.arch), str(path), *args],
                stdin=subprocess.DEVNULL,
                stdout=sink,
                stderr=subprocess.STDOUT,
                cwd=path.parent,
                env=self.launch_env(extra),
            )
        program = Program(exe, process, output)
        self._programs.append(program)
        return program

    def run_console(
        self,
        exe: str,
        args: Sequence[str] = (),
        *,
        sim: Optional[SimDriver] = None,
        stdin: bytes = b"",
        timeout: float = 60.0,
    ) -> subprocess.CompletedProcess:
        """Runs the console program dist/<arch>/``exe`` to its end with ``stdin`` as its input (a
        pipe, so it has no console); returns its exit code and its output and error streams apart."""
        path = self.program_path(exe)
        return subprocess.run(
            [_wine_loader(self.arch.arch), str(path), *args],
            input=stdin,
            capture_output=True,
            cwd=path.parent,
            env=self.launch_env(sim.env() if sim is not None else {}),
            timeout=timeout,
        )

    def kill_leftovers(self, timeout: float = 10.0) -> List[int]:
        """Kills every process started by ``start_program`` and their children; returns their pids.

        Processes are found by the marker in their environment, which Wine passes on to child
        processes, so programs the tested program started are caught as well.
        """
        killed = [pid for pid in self._marked_pids() if self._signal(pid, signal.SIGKILL)]
        for program in self._programs:
            program.kill()  # reaps it
        deadline = time.monotonic() + timeout
        while any(self._alive(pid) for pid in killed) and time.monotonic() < deadline:
            time.sleep(0.05)
        self._programs = [p for p in self._programs if p.running]
        return killed

    def _marked_pids(self) -> List[int]:
        marker = f"{LAUNCH_MARKER}={self.token}".encode()
        pids = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                environ = (entry / "environ").read_bytes()
            except OSError:
                continue
            if marker in environ.split(b"\0"):
                pids.append(int(entry.name))
        return pids

    @staticmethod
    def _signal(pid: int, sig: int) -> bool:
        try:
            os.kill(pid, sig)
            return True
        except ProcessLookupError:
            return False

    @staticmethod
    def _alive(pid: int) -> bool:
        # A zombie still answers kill -0; its state letter tells.
        try:
            stat = Path(f"/proc/{pid}/stat").read_text()
        except OSError:
            return False
        return stat.rsplit(")", 1)[1].split()[0] not in ("Z", "X")

    # -- the keyboard -------------------------------------------------------------------------------

    def keys_reach(self, window: Mapping) -> bool:
        """Whether a key typed now reaches ``window`` (a top-level window as the probe gives it): Wine
        has made it the foreground window, and the X server hands keys to some X window of the Wine
        desktop. Wine passes every key from any of them to the focus of its foreground window, so the
        X focus need not be on the window's own X window; it often is not, as Wine moves the X focus
        with a time stamp that the X server may find older than its last focus change and ignore."""
        return self.probe.focus()["foreground"] == window["hwnd"] and self.screen.keys_go_inside(DESKTOP_X_TITLE)

    # -- the notification area ---------------------------------------------------------------------

    def tray_icon(self, index: int = 0, timeout: float = 10.0) -> Tuple[int, int]:
        """Screen point of tray icon ``index`` (0 = oldest) once the taskbar is visible.

        Wine hides the taskbar while there is no tray icon and no visible window, and the icons
        only sit at the formula's place while it is shown, so this waits for it first.
        """
        self.probe.wait("Shell_TrayWnd", "*", timeout, visible=True)
        self._prune_dead_tray_icons(index + 3)
        return tray_icon_center(index)

    def _prune_dead_tray_icons(self, count: int) -> None:
        """The taskbar drops the icon of a killed program only when it next passes it a pointer
        event; sweeping the pointer over the icons makes it do so before the positions are used."""
        for k in reversed(range(count)):
            self.screen.move(*tray_icon_center(k))
            time.sleep(0.05)
        time.sleep(0.1)

    def tray_double_click(self, index: int = 0) -> None:
        """Double-clicks tray icon ``index``. Wait for the program's own ready signal first: a
        double-click sent while the taskbar is still appearing can lose its second click."""
        self.screen.double_click(*self.tray_icon(index))

    def tray_right_press(self, index: int = 0) -> Tuple[int, int]:
        """Presses the right button on tray icon ``index`` (a menu opens on the press); returns the
        point. Release with ``screen.right_release(x, y)`` over the chosen item."""
        x, y = self.tray_icon(index)
        self.screen.right_press(x, y)
        return x, y

    # -- screenshots -------------------------------------------------------------------------------

    def screenshot(self, name: str) -> Path:
        """Saves the whole X screen to tests/e2e/artifacts/NAME.png."""
        assert self.screen is not None
        return self.screen.screenshot(ARTIFACTS_DIR / f"{_safe_name(name)}.png")

    # -- prefix and server -------------------------------------------------------------------------

    def _prepare_prefix(self) -> None:
        """Reuses build/wineprefix-<arch> unless another session holds it or E2E_FRESH_PREFIX=1.

        A session in another locale has a prefix of its own, build/wineprefix-<arch>-<locale>: a prefix
        keeps the code page it last ran with.
        """
        name = f"wineprefix-{self.arch.arch}" + ("" if self.locale == LOCALE else f"-{_safe_name(self.locale)}")
        cached = REPO_ROOT / "build" / name
        if os.environ.get("E2E_FRESH_PREFIX") != "1":
            cached.parent.mkdir(parents=True, exist_ok=True)
            lock = open(cached.parent / f"{name}.lock", "w")
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
                self._prefix_lock, self.prefix = lock, cached
            except OSError:
                lock.close()
                self.log(f"e2e: {cached} is in use by another session; using a fresh prefix")
        if self.prefix is None:
            self.prefix, self._temporary_prefix = self.workdir / "prefix", True
        self._wineserver("-k")  # a server left over from an interrupted run
        self._wineserver("-w", timeout=30)
        result = subprocess.run(
            ["bash", str(WINE_ENV_SCRIPT), "prefix", str(self.prefix), self.arch.arch],
            env=dict(self.wine_env(), LANG=os.environ.get("LANG", "C.UTF-8"), VELTRANE_WINE_LANG=self.locale),
            capture_output=True,
            text=True,
            timeout=300,
        )
        if result.returncode != 0:
            raise RuntimeError(f"Wine prefix creation failed: {result.stderr.strip()}")
        self.log(f"e2e: prefix {self.prefix}")

    def _wineserver(self, *args: str, timeout: float = 15.0) -> None:
        env = dict(os.environ, WINEPREFIX=str(self.prefix))
        try:
            subprocess.run(
                ["wineserver", *args], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout
            )
        except subprocess.TimeoutExpired:
            self.log(f"e2e: wineserver {' '.join(args)} timed out")

    @staticmethod
    def _require(path: Path, what: str) -> Path:
        if not path.exists():
            preset = path.parent.name
            raise FileNotFoundError(
                f"{path} is missing: build {what} first (cmake --preset {preset} && cmake --build --preset {preset})"
            )
        return path
