#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds every preset, runs the native unit tests,
# then again built with the address and undefined-behaviour checkers (the first report fails them),
# the fuzzers for a short fixed time, and the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
echo "== layers"
bash scripts/check-layers.sh

bash scripts/build.sh native win32 win64

echo "== unit tests"
ctest --preset native --output-on-failure

echo "== unit tests with the address and undefined-behaviour checkers"
bash scripts/build.sh native-asan
ctest --preset native-asan --output-on-failure

if [ -f scripts/fuzz.sh ]; then
  echo "== fuzzing"
  bash scripts/fuzz.sh
fi

echo "== end-to-end tests under Wine"
/usr/bin/python3 -m pytest -p no:cacheprovider tests/e2e
