"""The simulated driver library's state file and call log, seen from the tests.

The library (dist/<arch>/ZELK.dll) reads its state from the INI file named by the
environment variable ZELK_SIM_STATE (a Windows path) on every call, and appends one line
per call to the file named by ``log=``. The log is the program's readiness signal: for
example the ``fcGetProtection`` line is the last call of start-up.
"""

from __future__ import annotations

import dataclasses
import re
import time
from pathlib import Path
from typing import Callable, Dict, List, Optional, Sequence, Tuple, Union

POLL_SECONDS = 0.05
STATE_ENCODING = "gbk"  # 8-bit text in the program's code page

Letter = Union[str, int]
Slot = Tuple[Letter, int, int, int]  # letter, protect, type, size in MB
LinePattern = Union[str, "re.Pattern[str]", Callable[[str], bool]]


class LogTimeout(AssertionError):
    """The expected log line did not appear in time."""


def windows_path(path: Union[str, Path]) -> str:
    """Unix path -> the same file as Wine sees it through drive Z: (``/tmp/a`` -> ``Z:\\tmp\\a``)."""
    text = str(Path(path).absolute())
    return "Z:" + text.replace("/", "\\")


@dataclasses.dataclass
class SimState:
    """Python form of the state file; ``slots`` maps a slot index 0..9 to its values.

    A letter is a one-character string or a byte value (0 for an empty slot).
    """

    reachable: bool = True
    protection: int = 1
    password: str = "admin"
    fail: Sequence[str] = ()
    opaque: bytes = bytes(20)
    slots: Dict[int, Slot] = dataclasses.field(
        default_factory=lambda: {0: ("C", 1, 7, 40960), 1: ("D", 0, 7, 102400)}
    )

    def to_ini(self, log_path: Optional[str]) -> str:
        if len(self.opaque) != 20:
            raise ValueError("opaque must be 20 bytes")
        lines = [
            "[driver]",
            f"reachable={1 if self.reachable else 0}",
            f"protection={self.protection}",
            f"password={self.password}",
            f"fail={','.join(self.fail)}",
            f"log={log_path or ''}",
            "[table]",
            f"opaque={self.opaque.hex()}",
        ]
        for index in sorted(self.slots):
            if not 0 <= index <= 9:
                raise ValueError(f"slot index {index} outside 0..9")
            letter, protect, kind, size = self.slots[index]
            lines.append(f"slot{index}={letter},{protect},{kind},{size}")
        return "\n".join(lines) + "\n"


class SimDriver:
    """A state file and its call log in one folder (normally the test's tmp_path under /tmp).

    ``env()`` gives the environment entry that points the library at the state file.
    """

    def __init__(self, folder: Union[str, Path]) -> None:
        self.folder = Path(folder)
        self.folder.mkdir(parents=True, exist_ok=True)
        self.state_path = self.folder / "zelk-state.ini"
        self.log_path = self.folder / "zelk-calls.log"

    def write(self, state: Optional[SimState] = None, *, log: bool = True, raw: Optional[str] = None) -> Path:
        """Writes the state file (``raw`` text as is when given) and empties the log."""
        text = raw if raw is not None else (state or SimState()).to_ini(windows_path(self.log_path) if log else None)
        self.state_path.write_bytes(text.encode(STATE_ENCODING))
        self.log_path.write_bytes(b"")
        return self.state_path

    def env(self) -> Dict[str, str]:
        return {"ZELK_SIM_STATE": windows_path(self.state_path)}

    def read_state(self) -> Dict[str, Dict[str, str]]:
        """Parses the state file as the library left it: {section: {key: value}}."""
        sections: Dict[str, Dict[str, str]] = {}
        current: Optional[Dict[str, str]] = None
        for raw in self.state_path.read_bytes().decode(STATE_ENCODING, "replace").splitlines():
            line = raw.strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1], {})
            elif "=" in line and current is not None:
                key, value = line.split("=", 1)
                current[key.strip()] = value.strip()
        return sections

    def log_lines(self) -> List[str]:
        """The call log, one entry per call, in call order."""
        return read_lines(self.log_path)

    def wait_for_log(
        self,
        pattern: LinePattern,
        timeout: float = 30.0,
        *,
        after: int = 0,
        program=None,
    ) -> str:
        """Waits until a call-log line from index ``after`` on matches; returns the line.

        ``pattern``: a prefix string, a compiled regex (searched) or a predicate. With
        ``program`` the wait fails at once when that program has exited.
        """
        return wait_for_line(self.log_path, pattern, timeout, after=after, program=program)


def read_lines(path: Union[str, Path]) -> List[str]:
    """Non-empty lines of an 8-bit text file; [] while it does not exist."""
    path = Path(path)
    if not path.exists():
        return []
    text = path.read_bytes().decode(STATE_ENCODING, "backslashreplace")
    return [line for line in text.splitlines() if line]


def wait_for_line(
    path: Union[str, Path], pattern: LinePattern, timeout: float = 30.0, *, after: int = 0, program=None
) -> str:
    """Polls the file every 50 ms until a line from index ``after`` on matches ``pattern``."""
    matches = _matcher(pattern)
    deadline = time.monotonic() + timeout
    while True:
        lines = read_lines(path)
        for line in lines[after:]:
            if matches(line):
                return line
        if program is not None and program.exit_code is not None:
            raise LogTimeout(f"program exited with {program.exit_code} before line {pattern!r}; lines: {lines}")
        if time.monotonic() >= deadline:
            raise LogTimeout(f"no line {pattern!r} within {timeout} s; lines: {lines}")
        time.sleep(POLL_SECONDS)


def _matcher(pattern: LinePattern) -> Callable[[str], bool]:
    if isinstance(pattern, str):
        return lambda line: line.startswith(pattern)
    if isinstance(pattern, re.Pattern):
        return lambda line: pattern.search(line) is not None
    return pattern
