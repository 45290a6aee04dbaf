#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target with its seed corpus
# (tests/fuzz/corpus/<target>). Fails on any finding.
#
#   scripts/fuzz.sh            the test command's run: the targets share FUZZ_BUDGET (default 150)
#                              seconds, each taking an equal part of what is left when it starts (so
#                              one that overran its start-up shortens the rest); FUZZ_SECONDS, if
#                              set, gives each that many seconds instead
#   scripts/fuzz.sh --long     each target to FUZZ_RUNS (default 10 million) executions, FUZZ_JOBS
#                              (default: the number of cores) targets at a time; prints executions,
#                              executions a second, coverage, corpus size and findings per target;
#                              FUZZ_MAX_SECONDS, if set, also stops each target after that long
#
# FUZZ_TARGETS, if set, names the targets to run (space-separated, e.g. "fuzz_jpeg fuzz_lzh").
#
# Executions a second are given by the wall clock (libFuzzer's own figure) and by the CPU time the
# target used: on a machine shared with other work the second is what the target itself achieves.
#
# FUZZ_BUILD names another build folder configured like the fuzz preset. Findings and logs of the
# long mode are kept in <build>/findings and <build>/long.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

long=0
if [[ "${1:-}" == --long ]]; then
    long=1
    shift
fi
budget="${FUZZ_BUDGET:-150}"
runs="${FUZZ_RUNS:-10000000}"
jobs="${FUZZ_JOBS:-$(nproc)}"

build="${FUZZ_BUILD:-build/fuzz}"
if [[ -n "${FUZZ_BUILD:-}" ]]; then
    [[ -f "$build/CMakeCache.txt" ]] || cmake -S . -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANE_FUZZ=ON \
        -DVELTRANE_DIST="$root/$build/dist" >/dev/null
    cmake --build "$build" >/dev/null
else
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz >/dev/null
fi

# The longest input each target may be given: what the program accepts (a state file of 1 MB, a
# banner eight times ours), or what reaches the largest output it accepts (the unpacking targets cut
# the declared size to 64 times their input: 256 KB reach the reader's 16 MB). libFuzzer's own
# default would be the longest seed. It starts short and lengthens inputs as coverage allows.
declare -A max_len=(
    [fuzz_bmp]=262144 [fuzz_lzh]=262148 [fuzz_skin_reader]=524288 [fuzz_skin_ini]=262144
    [fuzz_skin_stream]=262152 [fuzz_jpeg]=2048 [fuzz_jpeg_limits]=65536 [fuzz_sim_state]=1048576
    [fuzz_ctl]=8192
)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="$build/findings"

# One target: runs it, then prints its line of figures and returns nonzero on a finding.
fuzz_one() {
    local target="$1" seeds="$2" binary="$3" dir="$work/$1"
    mkdir -p "$dir/corpus" "$dir/findings"
    local limit=(-max_total_time="$seconds")
    if [[ "$long" == 1 ]]; then
        limit=(-runs="$runs")
        [[ -z "${FUZZ_MAX_SECONDS:-}" ]] || limit+=(-max_total_time="$FUZZ_MAX_SECONDS")
    fi
    [[ -z "${max_len[$target]:-}" ]] || limit+=(-max_len="${max_len[$target]}")
    local start=$SECONDS
    local ok=1
    local TIMEFORMAT='%U %S'
    { time "$binary" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$dir/findings/" "$dir/corpus" "$seeds" >"$dir/log" 2>&1 || ok=0; } 2>"$dir/cpu"
    local elapsed=$((SECONDS - start))
    local cpu_rate
    cpu_rate="$(awk -v runs="$(grep -Eo '^stat::number_of_executed_units: *[0-9]+' "$dir/log" | grep -Eo '[0-9]+$')" \
        '{ cpu = $1 + $2 } END { if (cpu > 0 && runs > 0) printf "%d", runs / cpu; else print "?" }' "$dir/cpu")"
    [[ -z "$(ls -A "$dir/findings")" ]] || ok=0
    local done_runs execs cov units
    done_runs="$(grep -Eo '^stat::number_of_executed_units: *[0-9]+' "$dir/log" | grep -Eo '[0-9]+$' || echo '?')"
    execs="$(grep -Eo '^stat::average_exec_per_sec: *[0-9]+' "$dir/log" | grep -Eo '[0-9]+$' || echo '?')"
    cov="$(grep -Eo 'cov: [0-9]+' "$dir/log" | tail -n 1 | grep -Eo '[0-9]+' || echo '?')"
    units="$(find "$dir/corpus" -type f | wc -l)"
    if [[ "$long" == 1 ]]; then
        mkdir -p "$build/long"
        cp "$dir/log" "$build/long/$target.log"
    fi
    if [[ "$ok" == 1 ]]; then
        echo "$target: OK ($done_runs runs in $elapsed s, $execs exec/s, $cpu_rate exec per CPU second," \
            "coverage $cov, $units new corpus units, no findings)"
        return 0
    fi
    mkdir -p "$findings"
    cp -r "$dir/findings/." "$findings/" 2>/dev/null || true
    cp "$dir/log" "$findings/$target.log"
    echo "$target: FAILED after $done_runs runs ($(grep -m1 -E 'ERROR|SUMMARY|deadly' "$dir/log" || echo 'see log')); inputs in $findings"
    return 1
}

targets=()
for seeds in tests/fuzz/corpus/*/; do
    target="$(basename "$seeds")"
    [[ -z "${FUZZ_TARGETS:-}" || " $FUZZ_TARGETS " == *" $target "* ]] && targets+=("$target")
done

status=0
started=$SECONDS
for i in "${!targets[@]}"; do
    target="${targets[$i]}"
    seeds="tests/fuzz/corpus/$target/"
    # At least a few seconds, so that every target gets past its seeds.
    seconds="${FUZZ_SECONDS:-$(((budget - (SECONDS - started)) / (${#targets[@]} - i)))}"
    ((seconds >= 5)) || seconds=5
    binary="$(find "$build/tests/fuzz" -type f -name "$target" -perm -u+x | head -n 1)"
    if [[ -z "$binary" ]]; then
        echo "$target: FAILED (no fuzz target built)"
        status=1
        continue
    fi
    if [[ "$long" == 1 ]]; then
        while [[ "$(jobs -rp | wc -l)" -ge "$jobs" ]]; do
            wait -n || status=1
        done
        fuzz_one "$target" "$seeds" "$binary" &
    else
        fuzz_one "$target" "$seeds" "$binary" || status=1
    fi
done
while [[ "$(jobs -rp | wc -l)" -gt 0 ]]; do
    wait -n || status=1
done
exit "$status"
