#!/usr/bin/env bash
# A coverage report by hand, not in CI: builds the x64 target with GCC's
# coverage instrumentation into build/coverage/ (preset "coverage",
# unoptimised), runs the whole CTest suite under Wine in a test environment
# of its own, and prints line and branch coverage per product file and per
# module (gcovr, from Debian's packages; installed when missing).
#   scripts/coverage.sh [ctest arguments, e.g. -R quennet_tests]
# The Windows processes write their .gcda files to the absolute paths their
# objects were compiled with; GCOV_PREFIX=Z: makes those paths the Linux
# ones through Wine's Z: drive, whatever drive a test runs on.
# Branches that only exceptions take and those the compiler can show to be
# unreachable are left out (--exclude-throw-branches,
# --exclude-unreachable-branches): every C++ call would otherwise count two.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh >/dev/null
if ! command -v gcovr >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends gcovr
fi

cmake --preset coverage >/dev/null
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete

(
  source scripts/testenv.sh
  testenv_start build/coverage || { echo "the coverage test environment did not start"; exit 1; }
  export GCOV_PREFIX=Z:
  # The release and installer checks test the packages of build/x64, not
  # this tree's binaries: they add nothing to the report.
  ctest --test-dir build/coverage -E '^(release|installer)$' "$@" ||
    echo "coverage: some tests failed; the report covers what ran"
)

gcovr --root . --object-directory build/coverage --gcov-executable x86_64-w64-mingw32-gcov \
  --filter 'formsrt/' --filter 'quennet/' --filter 'vanterbox/' --filter 'gridrace/' \
  --filter 'tessmark/' --filter 'standins/' \
  --exclude '.*/tests/.*' --exclude '.*/bench/.*' --exclude 'vanterbox/direct/.*' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --txt build/coverage/coverage.txt --json-summary build/coverage/coverage.json \
  --gcov-ignore-parse-errors
cat build/coverage/coverage.txt
python3 testing/coverage_table.py build/coverage/coverage.json
