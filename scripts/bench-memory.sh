#!/usr/bin/env bash
# Idle memory under Wine: the program and a minimal tray program (tools/traybase) side by side in
# one Wine desktop, each one's private memory once they have settled, and where it goes
# (tests/bench/idle_memory.py). Builds the Windows preset the end-to-end tests use (win32 where
# 32-bit Wine runs) unless E2E_DIST names a folder where the programs are already built.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${E2E_DIST:-}" ]]; then
    arch="$(bash scripts/wine-env.sh arch 2>/dev/null)"
    bash scripts/build.sh "$arch" >/dev/null
fi
exec /usr/bin/python3 tests/bench/idle_memory.py "$@"
