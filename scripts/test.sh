#!/usr/bin/env bash
# Sets up the machine, builds both targets and packs their release archives,
# then runs the whole test suite once per target, each inside a test
# environment of its own that is torn down at the end: the x64 build under
# 64-bit Wine, the x86 build under the 32-bit Wine of the i386 root. Prints
# each target's CTest summary under "== tests <target>" and fails when either
# target fails. Arguments go to CTest (for example -R formsrt_tests);
# TEST_TARGETS="x86" runs one target only.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/release.sh

run_target() {
  local target=$1
  shift
  (
    source scripts/testenv.sh
    testenv_start "build/$target" || { echo "the $target test environment did not start"; exit 1; }
    ctest --test-dir "build/$target" --output-on-failure "$@"
  )
}

status=0
for target in ${TEST_TARGETS:-x64 x86}; do
  if [ "$target" = x86 ] && ! scripts/i386root.sh probe; then
    echo "== tests x86: NOT RUN, this kernel runs no 32-bit code"
    continue
  fi
  echo "== tests $target"
  run_target "$target" "$@" || status=1
done
exit $status
