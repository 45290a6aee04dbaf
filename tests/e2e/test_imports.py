"""The programs run on Windows XP SP3 and later: every function they import is one the list in
tests/data/imports.txt allows them, and that list says which Windows version first has it."""

from __future__ import annotations

import re
import subprocess

import pytest

from harness.session import REPO_ROOT

ALLOWED = REPO_ROOT / "tests" / "data" / "imports.txt"
VERSIONS = ["2000", "XP", "XP-SP1", "XP-SP2", "XP-SP3", "Vista", "7", "8", "8.1", "10"]
OBJDUMP = {"win32": "i686-w64-mingw32-objdump", "win64": "x86_64-w64-mingw32-objdump"}
PROGRAMS = {"VeltraneShadow.exe": "program", "veltrane-ctl.exe": "ctl"}


def imports(path):
    """(dll, function) pairs of a program's import table, DLL names lower-cased."""
    dump = subprocess.run([OBJDUMP[path.parent.name], "-p", str(path)], capture_output=True, text=True, check=True)
    found, dll = [], None
    for line in dump.stdout.splitlines():
        if match := re.match(r"\s*DLL Name: (\S+)", line):
            dll = match.group(1).lower()
        elif dll and (match := re.match(r"\t[0-9a-f]+\t\s*\d+\s+(\S+)", line)):
            found.append((dll, match.group(1)))
        elif not line.strip():
            dll = None
    return found


@pytest.mark.parametrize("arch", sorted(OBJDUMP))
@pytest.mark.parametrize("program", sorted(PROGRAMS))
def test_the_program_imports_only_listed_functions_windows_xp_has(arch, program):
    path = REPO_ROOT / "dist" / arch / program
    if not path.exists():
        pytest.skip(f"no {arch} build")
    # DLL, function, first Windows version ("-": not part of Windows), the programs that may import it
    rows = [line.split() for line in ALLOWED.read_text().splitlines() if line.strip() and line[0] != "#"]
    allowed = {(dll.lower(), function): (since, programs.split(",")) for dll, function, since, programs in rows}
    found, wrong = imports(path), []
    assert found, f"{path} has an import table"
    for dll, function in found:
        since, programs = allowed.get((dll, function), ("-", []))
        if PROGRAMS[program] not in programs:
            wrong.append(f"{dll} {function} is not in {ALLOWED.name} for {program}")
        elif since != "-" and VERSIONS.index(since) > VERSIONS.index("XP-SP3"):
            wrong.append(f"{dll} {function} needs Windows {since}")
    assert not wrong, f"{arch} {program}: " + "; ".join(wrong)
