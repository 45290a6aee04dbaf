"""Timing figures collected during a test session and printed at its end."""

from __future__ import annotations

import contextlib
import statistics
import time
from typing import Dict, Iterator, List


class Figures:
    """Records named durations in milliseconds.

    ``record("start to window", 812.5)`` or ``with figures.measure("start to window"): ...``.
    ``summary_lines()`` gives one "figure: NAME = X ms" line per name (median and range when a
    name was recorded more than once).
    """

    def __init__(self) -> None:
        self._values: Dict[str, List[float]] = {}

    def record(self, name: str, milliseconds: float) -> None:
        self._values.setdefault(name, []).append(float(milliseconds))

    @contextlib.contextmanager
    def measure(self, name: str) -> Iterator[None]:
        start = time.monotonic()
        yield
        self.record(name, (time.monotonic() - start) * 1000.0)

    def values(self, name: str) -> List[float]:
        return list(self._values.get(name, []))

    def summary_lines(self) -> List[str]:
        lines = []
        for name, values in self._values.items():
            if len(values) == 1:
                lines.append(f"figure: {name} = {values[0]:.0f} ms")
            else:
                lines.append(
                    f"figure: {name} = {statistics.median(values):.0f} ms "
                    f"(median of {len(values)}, {min(values):.0f}-{max(values):.0f})"
                )
        return lines
