#!/usr/bin/env bash
# Builds the native preset (Release) and runs the skin benchmarks: our decoder against the plain
# published decoder on 10 MB of text-like input, and the full load of our stored skin.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

cmake --preset native >/dev/null
cmake --build --preset native --target skin_bench >/dev/null

bench="build/native/tests/bench/toolkit/skin_bench"
json="$(mktemp)"
trap 'rm -f "$json"' EXIT
"$bench" --benchmark_repetitions="${BENCH_REPETITIONS:-5}" --benchmark_out="$json" --benchmark_out_format=json "$@"

python3 - "$json" <<'PY'
import json, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("run_type") == "iteration"]
def best(name):
    times = [b for b in runs if b["run_name"] == name]
    return min(times, key=lambda b: b["real_time"]) if times else None
plain, ours, load = best("BM_DecodePlainBaseline"), best("BM_DecodeTLZH"), best("BM_LoadHarborSkin")
print()
if plain and ours:
    mbs = lambda b: b["bytes_per_second"] / 1e6
    print(f"decode, 10 MB text: plain {mbs(plain):.1f} MB/s, TLZH {mbs(ours):.1f} MB/s, "
          f"ratio {plain['real_time'] / ours['real_time']:.2f} (best of the repetitions)")
if load:
    print(f"full load of the stored skin: {load['real_time']:.0f} {load['time_unit']} (target under 2 ms)")
PY
