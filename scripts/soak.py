#!/usr/bin/python3
"""Runs the end-to-end tests many times in a row and counts passes and failures per test.

The last --loaded runs have a CPU-bound process holding one core, as a busy build machine would.
Anything after the options (paths, -k EXPR, ...) selects what pytest runs; the default is tests/e2e.

  scripts/soak.py                                   30 runs of the whole suite, the last 10 loaded
  scripts/soak.py --runs 20 --loaded 10 tests/e2e/test_keyboard.py -k walk

Each run's output, junit XML and failure screenshots are kept in --out (default /tmp/soak-TIME).
The exit status is 1 when any test failed in any run.
"""

from __future__ import annotations

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
import xml.etree.ElementTree as ET
from pathlib import Path
from typing import Dict, List

ROOT = Path(__file__).resolve().parents[1]
ARTIFACTS = ROOT / "tests" / "e2e" / "artifacts"
PYTHON = "/usr/bin/python3"  # the system one has pytest


def parse_args(argv: List[str]) -> argparse.Namespace:
    parser = argparse.ArgumentParser(
        description=__doc__.split("\n\n")[0], usage="%(prog)s [--runs N] [--loaded K] [--out DIR] [pytest selection ...]"
    )
    parser.add_argument("--runs", type=int, default=30, help="runs in all (default 30)")
    parser.add_argument("--loaded", type=int, default=10, help="how many of the last runs are under load (default 10)")
    parser.add_argument("--out", type=Path, help="folder for logs and results (default /tmp/soak-TIME)")
    options, selection = parser.parse_known_args(argv)
    if options.runs < 1 or not 0 <= options.loaded <= options.runs:
        parser.error("need 1 <= runs and 0 <= loaded <= runs")
    options.selection = selection or ["tests/e2e"]
    return options


def start_load() -> subprocess.Popen:
    # Spins until its parent is gone, so an interrupted soak leaves no load behind.
    return subprocess.Popen([sys.executable, "-c", f"import os\nwhile os.getppid() == {os.getpid()}: pass"])


def stop_load(process: subprocess.Popen) -> None:
    process.kill()
    process.wait()


def outcomes(junit: Path) -> Dict[str, str]:
    """Test id -> passed, failed or skipped; a setup or teardown error counts as failed."""
    result: Dict[str, str] = {}
    if not junit.exists():
        return result
    for case in ET.parse(junit).getroot().iter("testcase"):
        module = case.get("classname", "").removeprefix("tests.e2e.")
        name = f'{module}::{case.get("name", "")}'
        if case.find("failure") is not None or case.find("error") is not None:
            result[name] = "failed"
        elif case.find("skipped") is not None:
            result.setdefault(name, "skipped")
        else:
            result.setdefault(name, "passed")
    return result


def keep_artifacts(since: float, folder: Path) -> None:
    """Moves the screenshots a run left (same names each run) into the run's own folder."""
    if not ARTIFACTS.is_dir():
        return
    for item in ARTIFACTS.iterdir():
        if item.stat().st_mtime >= since:
            folder.mkdir(parents=True, exist_ok=True)
            shutil.move(str(item), folder / item.name)


def run_once(number: int, loaded: bool, options: argparse.Namespace) -> Dict[str, str]:
    stem = options.out / f"run-{number:02d}"
    command = [PYTHON, "-m", "pytest", "-p", "no:cacheprovider", "-q", f"--junitxml={stem}.xml", *options.selection]
    started = time.time()
    load = start_load() if loaded else None
    try:
        with open(f"{stem}.log", "wb") as log:
            process = subprocess.Popen(command, cwd=ROOT, stdout=log, stderr=subprocess.STDOUT)
            try:
                code = process.wait()
            except KeyboardInterrupt:
                process.send_signal(signal.SIGINT)  # pytest then ends its Wine session and X server
                process.wait()
                raise
    finally:
        if load is not None:
            stop_load(load)
    keep_artifacts(started, Path(f"{stem}-artifacts"))
    result = outcomes(Path(f"{stem}.xml"))
    if code not in (0, 1) or not result:
        # Interrupted, or pytest itself failed: count it against the run as a whole.
        result["(pytest run)"] = "failed"
    failed = sorted(name for name, outcome in result.items() if outcome == "failed")
    print(
        f"run {number:2d}/{options.runs}{' loaded' if loaded else '       '}  {time.time() - started:6.0f} s  "
        f"exit {code}  failed: {', '.join(failed) or 'none'}",
        flush=True,
    )
    return result


def report(results: List[Dict[str, str]], loaded_from: int) -> bool:
    """Prints passes and failures per test; failed runs are listed by number, loaded ones marked L."""
    names = sorted({name for result in results for name in result})
    width = max([len(n) for n in names] + [4])
    print(f"\n{'test':<{width}}  {'pass':>4}  {'fail':>4}  {'skip':>4}  failed in runs (L = loaded)")
    total = {"passed": 0, "failed": 0, "skipped": 0}
    for name in names:
        counts = {"passed": 0, "failed": 0, "skipped": 0}
        failed_runs = []
        for number, result in enumerate(results, 1):
            outcome = result.get(name)
            if outcome is None:
                continue
            counts[outcome] += 1
            if outcome == "failed":
                failed_runs.append(f"{number}{'L' if number >= loaded_from else ''}")
        for key in total:
            total[key] += counts[key]
        print(
            f"{name:<{width}}  {counts['passed']:>4}  {counts['failed']:>4}  {counts['skipped']:>4}  {' '.join(failed_runs)}"
        )
    print(f"{'total':<{width}}  {total['passed']:>4}  {total['failed']:>4}  {total['skipped']:>4}")
    return total["failed"] == 0


def stop_on_signal(signum, frame) -> None:
    raise KeyboardInterrupt


def main(argv: List[str]) -> int:
    signal.signal(signal.SIGTERM, stop_on_signal)
    options = parse_args(argv)
    options.out = options.out or Path(f"/tmp/soak-{time.strftime('%Y%m%d-%H%M%S')}")
    options.out.mkdir(parents=True, exist_ok=True)
    loaded_from = options.runs - options.loaded + 1
    print(f"soak: {options.runs} runs of {' '.join(options.selection)}, runs {loaded_from}-{options.runs} loaded; "
          f"logs in {options.out}", flush=True)
    results = []
    try:
        for number in range(1, options.runs + 1):
            results.append(run_once(number, number >= loaded_from, options))
    except KeyboardInterrupt:
        print(f"soak: stopped during run {len(results) + 1}; the table counts the runs that ended", flush=True)
    return 0 if report(results, loaded_from) and len(results) == options.runs else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
