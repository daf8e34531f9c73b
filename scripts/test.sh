#!/usr/bin/env bash
# Sets up the machine, builds both targets (x86 is compiled and linked only:
# this kernel runs no 32-bit code) and packs their release archives, then
# runs the whole test suite of the x64 build under Wine, inside a private
# test environment that is torn down at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/release.sh

source scripts/testenv.sh
testenv_start build/x64
ctest --test-dir build/x64 --output-on-failure "$@"
