"""A Windows program started under Wine: its Unix process is the program's process."""

from __future__ import annotations

import subprocess
import time
from pathlib import Path
from typing import Optional


class Program:
    """Handle of one started program.

    ``exit_code`` is None while it runs; under Wine the program's own exit code is the
    exit code of the Wine process. ``output_path`` holds what Wine printed.
    """

    def __init__(self, name: str, process: subprocess.Popen, output_path: Path) -> None:
        self.name = name
        self.process = process
        self.output_path = output_path
        self.started_at = time.monotonic()

    @property
    def pid(self) -> int:
        """The Unix process id (not the Windows one)."""
        return self.process.pid

    @property
    def exit_code(self) -> Optional[int]:
        return self.process.poll()

    @property
    def running(self) -> bool:
        return self.exit_code is None

    def elapsed_ms(self) -> float:
        """Milliseconds since the program was started."""
        return (time.monotonic() - self.started_at) * 1000.0

    def wait(self, timeout: float = 10.0) -> int:
        """Waits for the program to end and returns its exit code; AssertionError on timeout."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{self.name} still running after {timeout} s") from None

    def kill(self) -> None:
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=10)

    def output(self) -> str:
        return self.output_path.read_text(errors="replace") if self.output_path.exists() else ""

    def __repr__(self) -> str:
        return f"Program({self.name!r}, pid={self.pid}, exit_code={self.exit_code})"
