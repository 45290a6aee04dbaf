"""Idle memory under Wine: the program beside a minimal tray program, in one Wine desktop.

Starts VeltraneShadow.exe (with the simulated driver library in its demo state) and
traybase.exe (tools/traybase: a hidden window and a tray icon, nothing else) through the
end-to-end harness, lets both settle, and reads each one's memory from the Linux side:
a Windows process under Wine is one Linux process, and /proc/<pid>/smaps shows every page it
holds. "Private" is Private_Clean + Private_Dirty: pages no other process maps, which is what the
process alone costs. Pages of DLLs that both programs load count as shared, not private, so the
two are measured side by side. Then the mappings are grouped (the program's image, each DLL,
anonymous memory: heaps, stacks, bitmaps) to show where the difference goes.

    /usr/bin/python3 tests/bench/idle_memory.py [--settle SECONDS] [--json FILE]

E2E_DIST and E2E_ARCH choose the build as for the end-to-end tests.
"""

from __future__ import annotations

import argparse
import json
import re
import struct
import sys
import tempfile
import time
from collections import defaultdict
from pathlib import Path
from typing import Dict, List

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from harness import SimDriver, SimState, WineSession, choose_arch  # noqa: E402

TARGET_RATIO = 1.15  # before any pointer on the icon: nothing is prepared at start
BASELINE_CLASS = "VeltraneTrayBaseline"
PROGRAM_CLASS = "TfrmSetup"


def image_size(path: str) -> int:
    """SizeOfImage from a PE file's optional header; 0 if it is not a PE file."""
    try:
        with open(path, "rb") as f:
            head = f.read(4096)
        at = struct.unpack_from("<I", head, 0x3C)[0]
        if head[:2] != b"MZ" or head[at : at + 4] != b"PE\0\0":
            return 0
        return struct.unpack_from("<I", head, at + 4 + 20 + 56)[0]
    except (OSError, struct.error):
        return 0


def smaps(pid: int) -> List[Dict]:
    """Every mapping of the process: name, size and its private pages (kB). Wine may copy a PE
    image's sections into anonymous memory; such mappings take the name of the image they lie in."""
    mappings: List[Dict] = []
    for line in Path(f"/proc/{pid}/smaps").read_text().splitlines():
        fields = line.split()
        if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
            start, end = (int(x, 16) for x in fields[0].split("-"))
            path = fields[5] if len(fields) > 5 else ""
            mappings.append({"path": path, "start": start, "kb": (end - start) // 1024, "clean": 0, "dirty": 0})
        elif fields[0] == "Private_Clean:":
            mappings[-1]["clean"] = int(fields[1])
        elif fields[0] == "Private_Dirty:":
            mappings[-1]["dirty"] = int(fields[1])
    images = []
    for mapping in mappings:
        if mapping["path"].lower().endswith((".exe", ".dll", ".drv")):
            size = image_size(mapping["path"])
            if size and not any(lo <= mapping["start"] < hi for lo, hi, _ in images):
                images.append((mapping["start"], mapping["start"] + size, mapping["path"]))
    for mapping in mappings:
        if not mapping["path"]:
            for lo, hi, path in images:
                if lo <= mapping["start"] < hi:
                    mapping["path"] = path
    return mappings


def group_of(path: str) -> str:
    if not path:
        return "anonymous: heaps, stacks, bitmaps"
    if path.startswith("["):
        return f"anonymous {path}"
    if path.lower().endswith(".exe"):
        return "the program's own image"
    return Path(path).name


def written(mapping: Dict) -> int:
    """Private pages this process has written, or made: what Windows counts as private bytes.
    A DLL's clean pages are only private because no other process happens to map that DLL."""
    return mapping["dirty"] + (mapping["clean"] if group_of(mapping["path"]).startswith("anonymous") else 0)


def summary(pid: int) -> Dict:
    mappings = smaps(pid)
    groups: Dict[str, int] = defaultdict(int)
    for mapping in mappings:
        groups[group_of(mapping["path"])] += written(mapping)
    anonymous = sorted((m for m in mappings if not m["path"]), key=written, reverse=True)
    return {
        "private": sum(written(m) for m in mappings),
        "private_all": sum(m["clean"] + m["dirty"] for m in mappings),
        "groups": dict(groups),
        "largest_anonymous": [(m["kb"], written(m)) for m in anonymous[:8]],
        "threads": len(list(Path(f"/proc/{pid}/task").iterdir())),
    }


def measure(settle: float) -> Dict:
    arch = choose_arch()
    with WineSession(arch, log=lambda line: print(line, file=sys.stderr)) as wine:
        sim = SimDriver(Path(tempfile.mkdtemp(prefix="veltrane-memory-", dir="/tmp")))
        sim.write(SimState())
        program = wine.start_program(sim=sim)
        sim.wait_for_log("fcGetProtection", program=program)
        wine.probe.wait(PROGRAM_CLASS, "*", 30)
        baseline = wine.start_program("traybase.exe")
        wine.probe.wait(BASELINE_CLASS, "*", 30)
        time.sleep(settle)
        result = {"arch": arch.arch, "settle_s": settle}
        for key, started in (("program", program), ("baseline", baseline)):
            if not started.running:
                raise RuntimeError(f"{started.name} ended early: {started.exit_code}")
            result[key] = summary(started.pid)
        return result


def report(result: Dict) -> None:
    program, baseline = result["program"], result["baseline"]
    p, b = program["private"], baseline["private"]
    print(f"idle memory under Wine ({result['arch']}, after {result['settle_s']:.0f} s), private kB: pages "
          "the process wrote itself (Private_Dirty, and anonymous Private_Clean, of /proc/<pid>/smaps)")
    print(f"  {'':38} {'program':>9} {'minimal':>9} {'more':>9}")
    groups = set(program["groups"]) | set(baseline["groups"])
    rows = sorted(groups, key=lambda g: program["groups"].get(g, 0) - baseline["groups"].get(g, 0), reverse=True)
    for group in rows:
        a, c = program["groups"].get(group, 0), baseline["groups"].get(group, 0)
        if max(a, c) >= 64:
            print(f"  {group:38} {a:9d} {c:9d} {a - c:9d}")
    print(f"  {'all':38} {p:9d} {b:9d} {p - b:9d}")
    for key, label in (("program", "program"), ("baseline", "minimal")):
        largest = ", ".join(f"{w} of {kb}" for kb, w in result[key]["largest_anonymous"])
        print(f"  {label}: {result[key]['threads']} threads; largest anonymous mappings (kB written of reserved): "
              f"{largest}")
    print(f"  (private pages of any kind, DLLs loaded by one of the two included: {program['private_all']} and "
          f"{baseline['private_all']} kB)")
    ratio = p / b
    verdict = "met" if ratio <= TARGET_RATIO else "NOT MET"
    print(f"idle private memory: program {p / 1024:.1f} MB, minimal tray program {b / 1024:.1f} MB, "
          f"ratio {ratio:.2f} (target at most {TARGET_RATIO}: {verdict})")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--settle", type=float, default=10.0, help="seconds to wait once both are up")
    parser.add_argument("--json", type=Path, help="also write the figures to this file")
    args = parser.parse_args()
    result = measure(args.settle)
    report(result)
    if args.json:
        args.json.write_text(json.dumps(result, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
