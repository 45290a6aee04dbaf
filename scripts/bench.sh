#!/usr/bin/env bash
# Builds the native preset (Release) and runs the skin benchmarks: our decoder against the plain
# published decoder on 10 MB of English-like text and on 10 MB of low-redundancy text (random
# words), and the full load of our stored skin; then the idle memory of the program under Wine
# beside a minimal tray program (scripts/bench-memory.sh) and the first opening's times against the same
# program (tests/bench/first_opening.py); BENCH_MEMORY=0 skips both. BENCH_BUILD names
# another build folder to use instead of the native preset's. Ratios use CPU time: on a shared machine
# the wall clock also counts the time other processes hold the cores.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build="${BENCH_BUILD:-build/native}"
if [[ -n "${BENCH_BUILD:-}" ]]; then
    [[ -f "$build/CMakeCache.txt" ]] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVELTRANE_DIST="$root/$build/dist" >/dev/null
    cmake --build "$build" --target skin_bench >/dev/null
else
    cmake --preset native >/dev/null
    cmake --build --preset native --target skin_bench >/dev/null
fi

bench="$build/tests/bench/toolkit/skin_bench"
json="$(mktemp)"
trap 'rm -f "$json"' EXIT
# Interleaved repetitions: a burst of load from elsewhere then hits both decoders alike.
"$bench" --benchmark_repetitions="${BENCH_REPETITIONS:-9}" --benchmark_enable_random_interleaving=true \
    --benchmark_out="$json" --benchmark_out_format=json "$@"

python3 - "$json" <<'PY'
import json, statistics, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("run_type") == "iteration"]
def median(name, key):
    values = [b[key] for b in runs if b["run_name"] == name]
    return statistics.median(values) if values else None
print()
for corpus, label, target in (("text", "English-like text", 2.5), ("words", "low-redundancy words", 2.0)):
    plain = median(f"BM_DecodePlainBaseline/{corpus}", "cpu_time")
    ours = median(f"BM_DecodeTLZH/{corpus}", "cpu_time")
    if plain is None or ours is None:
        continue
    packed = next(b["packed_ratio"] for b in runs if b["run_name"] == f"BM_DecodeTLZH/{corpus}")
    ratio = plain / ours
    print(f"decode, 10 MB {label} (packs to {packed:.2f}): plain {plain:.0f} ms, TLZH {ours:.0f} ms, "
          f"ratio {ratio:.2f} (target at least {target}: {'met' if ratio >= target else 'NOT MET'}; "
          f"CPU time, median of the repetitions)")
load = median("BM_LoadHarborSkin", "cpu_time")
if load is not None:
    print(f"full load of the stored skin: {load:.0f} us (target under 2000 us; CPU time, median)")
PY

if [[ "${BENCH_MEMORY:-1}" != 0 ]]; then
    bash scripts/bench-memory.sh
    /usr/bin/python3 tests/bench/first_opening.py
fi
