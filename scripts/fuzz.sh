#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target for a fixed time with its seed corpus
# (tests/fuzz/corpus/<target>). Fails on any finding. FUZZ_SECONDS overrides the 30 s per target.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-30}"
cd "$root"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

status=0
for seeds in tests/fuzz/corpus/*/; do
    target="$(basename "$seeds")"
    binary="$(find build/fuzz/tests/fuzz -type f -name "$target" -perm -u+x | head -n 1)"
    if [[ -z "$binary" ]]; then
        echo "$target: FAILED (no fuzz target built)"
        status=1
        continue
    fi
    mkdir -p "$work/$target/corpus" "$work/$target/findings"
    log="$work/$target/log"
    if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/$target/findings/" "$work/$target/corpus" "$seeds" >"$log" 2>&1 &&
        [[ -z "$(ls -A "$work/$target/findings")" ]]; then
        runs="$(grep -Eo 'Done [0-9]+ runs' "$log" | grep -Eo '[0-9]+' || echo '?')"
        cov="$(grep -Eo 'cov: [0-9]+' "$log" | tail -n 1 | grep -Eo '[0-9]+' || echo '?')"
        echo "$target: OK ($runs runs in ${seconds} s, coverage $cov)"
    else
        mkdir -p build/fuzz/findings
        cp -r "$work/$target/findings/." build/fuzz/findings/ 2>/dev/null || true
        echo "$target: FAILED ($(grep -m1 -E 'ERROR|SUMMARY|deadly' "$log" || echo 'see log')); inputs in build/fuzz/findings"
        cp "$log" "build/fuzz/findings/$target.log"
        status=1
    fi
done
exit "$status"
