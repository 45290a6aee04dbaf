"""Client of tools/probe (probe.exe), the program that looks at windows from inside Wine.

One probe process runs in serve mode for the whole session: each call writes one line of
tab-separated arguments to its stdin and reads one JSON line back, which saves the 0.1-0.4 s
that a new Wine process costs. A window handle is an int (as printed by the probe).
"""

from __future__ import annotations

import json
import os
import select
import subprocess
import time
from typing import Any, Callable, Dict, List, Optional, Sequence

Json = Dict[str, Any]

# Room for Wine's start-up on top of a command's own timeout.
RESPONSE_MARGIN_SECONDS = 15.0
START_TIMEOUT_SECONDS = 30.0


class ProbeError(RuntimeError):
    """The probe answered {"ok": false, ...}; ``reply`` holds the whole answer."""

    def __init__(self, command: Sequence[str], reply: Json) -> None:
        super().__init__(f"probe {' '.join(command)}: {reply.get('error', reply)}")
        self.reply = reply


class ProbeDied(RuntimeError):
    """The probe process ended or did not answer in time."""


def _escape(field: str) -> str:
    return field.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


class ProbeServer:
    """A probe.exe running ``serve``; started by ``start_command`` (a callable giving a Popen)."""

    def __init__(self, start: Callable[[], subprocess.Popen]) -> None:
        self._start = start
        self._process: Optional[subprocess.Popen] = None
        self._pending = b""

    @property
    def running(self) -> bool:
        return self._process is not None and self._process.poll() is None

    def ensure_started(self) -> None:
        if self.running:
            return
        self.stop()
        self._process = self._start()
        self._pending = b""
        ready = self._read_line(START_TIMEOUT_SECONDS)
        if not ready.get("ok"):
            raise ProbeDied(f"probe did not start: {ready}")

    def call(self, args: Sequence[str], timeout: float) -> Json:
        self.ensure_started()
        assert self._process is not None and self._process.stdin is not None
        line = "\t".join(_escape(str(a)) for a in args) + "\n"
        try:
            self._process.stdin.write(line.encode("utf-8"))
            self._process.stdin.flush()
        except OSError as error:
            self.stop()
            raise ProbeDied(f"probe stdin closed: {error}") from error
        return self._read_line(timeout + RESPONSE_MARGIN_SECONDS)

    def _read_line(self, timeout: float) -> Json:
        assert self._process is not None and self._process.stdout is not None
        fd = self._process.stdout.fileno()
        deadline = time.monotonic() + timeout
        while b"\n" not in self._pending:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                self.stop()
                raise ProbeDied(f"probe gave no answer within {timeout:.0f} s")
            readable, _, _ = select.select([fd], [], [], remaining)
            if not readable:
                continue
            chunk = os.read(fd, 65536)
            if not chunk:
                self.stop()
                raise ProbeDied("probe ended")
            self._pending += chunk
        line, self._pending = self._pending.split(b"\n", 1)
        return json.loads(line.decode("utf-8"))

    def stop(self) -> None:
        process, self._process = self._process, None
        if process is None:
            return
        if process.poll() is None:
            process.kill()
        process.wait(timeout=10)
        for stream in (process.stdin, process.stdout):
            if stream is not None:
                stream.close()


class Probe:
    """One method per probe command; each returns the parsed JSON answer.

    Failures (window not found, timeout, bad arguments) raise ProbeError, except the
    ``find``/``wait`` family with ``required=False``, which returns None instead.
    ``run(*args)`` is the raw form for anything not covered here.
    """

    def __init__(self, server: ProbeServer) -> None:
        self._server = server

    def run(self, *args: Any, timeout: float = 10.0) -> Json:
        command = [str(a) for a in args]
        reply = self._server.call(command, timeout)
        if not reply.get("ok"):
            raise ProbeError(command, reply)
        return reply

    # -- finding windows -------------------------------------------------------------------------

    def wait(
        self, cls: str = "*", caption: str = "*", timeout: float = 10.0, *, visible: bool = False, required: bool = True
    ) -> Optional[Json]:
        """Waits for a top-level window (``*`` = any class/caption): hwnd, class, caption, visible,
        enabled, rect [l, t, r, b], owner, pid."""
        args = ["wait", cls, caption, int(timeout * 1000)] + (["visible"] if visible else [])
        return self._maybe(args, timeout, required)

    def find(self, cls: str = "*", caption: str = "*", *, visible: bool = False, required: bool = False) -> Optional[Json]:
        """Like ``wait`` without waiting; None when there is no such window."""
        return self._maybe(["find", cls, caption] + (["visible"] if visible else []), 0, required)

    def wait_hidden(self, hwnd: int, timeout: float = 10.0) -> Json:
        """Waits until the window is hidden or destroyed; {"exists": bool}."""
        return self.run("wait-hidden", hwnd, int(timeout * 1000), timeout=timeout)

    def list(self) -> List[Json]:
        """All top-level windows of the desktop."""
        return self.run("list")["windows"]

    def children(self, hwnd: int) -> List[Json]:
        """Every descendant: hwnd, parent, class, id, text, visible, enabled, checked (buttons),
        style, exstyle, rect (screen) and client_rect (in the parent's client coordinates)."""
        return self.run("children", hwnd)["children"]

    def child(self, hwnd: int, *, cls: Optional[str] = None, text: Optional[str] = None, id: Optional[int] = None) -> Json:
        """The first descendant matching every given criterion; ProbeError-like AssertionError if none."""
        for item in self.children(hwnd):
            if cls is not None and item["class"].lower() != cls.lower():
                continue
            if text is not None and item["text"] != text:
                continue
            if id is not None and item["id"] != id:
                continue
            return item
        raise AssertionError(f"no child of {hwnd:#x} with class={cls!r} text={text!r} id={id!r}")

    def listview(self, hwnd: int) -> Json:
        """count, columns [{text, width}], items [{texts, checked, selected, focused}]."""
        return self.run("listview", hwnd)

    def lvcheck(self, hwnd: int, index: int, checked: bool) -> Json:
        """Ticks or unticks a list-view row (the owner gets LVN_ITEMCHANGED)."""
        return self.run("lvcheck", hwnd, index, 1 if checked else 0)

    def acc(self, hwnd: int) -> Json:
        """The window's client object as a screen reader gets it (AccessibleObjectFromWindow, through
        the window's WM_GETOBJECT): role, name, state, default_action, value (null when it has none),
        child_count, and children [{id, role, name, state, default_action, value}] for the children
        that are simple elements (a list's rows) rather than objects of their own."""
        return self.run("acc", hwnd)

    def acc_do(self, hwnd: int, child: int = 0) -> Json:
        """accDoDefaultAction on the window's client object (child 0) or on one of its children."""
        return self.run("acc-do", hwnd, child)

    # -- messages and input ----------------------------------------------------------------------

    def post(self, hwnd: int, msg: Any, wparam: Any = 0, lparam: Any = 0) -> Json:
        """PostMessage; msg/wparam/lparam are ints or names such as "WM_SYSCOMMAND", "SC_CLOSE"."""
        return self.run("post", hwnd, msg, wparam, lparam)

    def send(self, hwnd: int, msg: Any, wparam: Any = 0, lparam: Any = 0) -> int:
        """SendMessageTimeout; returns the result. Use post for anything that may open a modal box."""
        return self.run("send", hwnd, msg, wparam, lparam)["result"]

    def click(self, hwnd: int) -> Json:
        """Posts BM_CLICK."""
        return self.run("click", hwnd)

    def close(self, hwnd: int) -> Json:
        """Posts WM_SYSCOMMAND SC_CLOSE (the close box)."""
        return self.post(hwnd, "WM_SYSCOMMAND", "SC_CLOSE", 0)

    def settext(self, hwnd: int, text: str) -> Json:
        return self.run("settext", hwnd, text)

    def gettext(self, hwnd: int) -> str:
        return self.run("gettext", hwnd)["text"]

    def chars(self, hwnd: int, text: str) -> Json:
        """Sends one WM_CHAR per UTF-16 unit of ``text``."""
        return self.run("chars", hwnd, text)

    def broadcast(self, name: str) -> int:
        """Registers the window message ``name`` and posts it to HWND_BROADCAST; returns its number."""
        return self.run("broadcast", name)["msg"]

    def tray_delete(self, owner_class: str, icon_id: int) -> bool:
        """Deletes the notification-area icon ``icon_id`` of the window of ``owner_class``."""
        return self.run("tray-delete", owner_class, icon_id)["deleted"]

    # -- state -----------------------------------------------------------------------------------

    def focus(self) -> Json:
        """foreground, and of the foreground window's thread: active, focus, capture, menu_owner (the
        window whose menu is in keyboard or pointer mode), move_size (the window being moved or sized),
        caret (the window showing the caret), focus_class, focus_id."""
        return self.run("focus")

    def mutex_exists(self, name: str) -> bool:
        return self.run("mutex", name)["exists"]

    def mutex_dacl(self, name: str) -> str:
        """The mutex's access list in SDDL (a null one: "D:NO_ACCESS_CONTROL" on Windows, "D:" under Wine);
        "" when this account may not read it."""
        return self.run("mutex", name)["dacl"]

    def pid_alive(self, pid: int) -> bool:
        """For a Windows process id (as in ``list``/``procs``)."""
        return self.run("pid-alive", pid)["alive"]

    def processes(self) -> List[Json]:
        """Windows processes: pid, parent, exe."""
        return self.run("procs")["processes"]

    def sysmetrics(self) -> Json:
        """screen [w, h], work_area [l, t, r, b], double_click_ms, acp."""
        return self.run("sysmetrics")

    def _maybe(self, args: List[Any], timeout: float, required: bool) -> Optional[Json]:
        try:
            return self.run(*args, timeout=timeout)
        except ProbeError as error:
            if required or error.reply.get("error") not in ("timeout", "not found"):
                raise
            return None
