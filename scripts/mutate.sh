#!/usr/bin/env bash
# Mutation testing by hand, not in CI: plants one generic fault at a time
# into product code, rebuilds the target's tree and runs the tests that
# cover it (testing/mutate.py says which faults and how), inside a test
# environment of its own. Prints every survivor as "file:line: before ->
# after" and a score per module.
#   scripts/mutate.sh [--target x64|x86] [--module NAME] [--count N] [--seed S] [--list] [--verbose]
# The target's tree must have been built once (scripts/build.sh <target>).
set -euo pipefail
cd "$(dirname "$0")/.."

target=x64
arguments=("$@")
for ((i = 0; i < ${#arguments[@]}; ++i)); do
  [ "${arguments[$i]}" = --target ] && target=${arguments[$((i + 1))]:-x64}
  [ "${arguments[$i]}" = --list ] && exec python3 testing/mutate.py "$@"  # reads sources only
done
[ -d "build/$target" ] || { echo "build/$target is missing: run scripts/build.sh $target first" >&2; exit 2; }

source scripts/testenv.sh
testenv_start "build/$target" >/dev/null
python3 testing/mutate.py "$@"
