#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds every preset, runs the native unit tests,
# the fuzzers for a short fixed time, and the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh native win32 win64

echo "== unit tests"
ctest --preset native --output-on-failure

if [ -f scripts/fuzz.sh ]; then
  echo "== fuzzing"
  bash scripts/fuzz.sh
fi

echo "== end-to-end tests under Wine"
/usr/bin/python3 -m pytest -p no:cacheprovider tests/e2e
