#!/usr/bin/env bash
# Sets up the machine, builds every deliverable for x86 and x64 into dist/,
# then runs the grid speed test once inside the test environment: starts
# Gridrace.exe, presses Test with the default 1000 rows, prints the three
# timings, saves a screenshot of the form, and shuts everything down.
# The x86 build runs, under 32-bit Wine: the platform the suite is made for.
# usage: main.sh [--target x86|x64]   (x86 when no target is named)
set -euo pipefail
cd "$(dirname "$0")/.."

target=x86
case ${1:-} in
  "") ;;
  --target) target=${2:?--target takes x86 or x64} ;;
  *) echo "usage: $0 [--target x86|x64]" >&2; exit 2 ;;
esac
[[ $target == x86 || $target == x64 ]] || { echo "unknown target $target" >&2; exit 2; }

scripts/bootstrap.sh
scripts/build.sh x86 x64
echo "deliverables: $(pwd)/dist/x86 and $(pwd)/dist/x64"

# The x86 build needs a kernel that runs 32-bit code; elsewhere the demo
# runs the x64 build and says so.
if [ "$target" = x86 ] && ! scripts/i386root.sh probe; then
  echo "gridrace: this kernel runs no 32-bit code; running the x64 build instead"
  target=x64
fi

source scripts/testenv.sh
testenv_start "build/$target"
echo "gridrace: the $target build under $WINEARCH Wine"

screenshot="$(pwd)/build/$target/gridrace.png"
demo_output="$TESTENV_DIR/gridrace_demo.out"
coproc DEMO { exec "$WINE_LOADER" "build/$target/gridrace/tests/gridrace_demo.exe" 2>&1; }
demo_pid=$DEMO_PID
exec {demo_in}>&"${DEMO[1]}"
: >"$demo_output"
while IFS= read -r -t 300 line <&"${DEMO[0]}"; do
  echo "$line" >>"$demo_output"
  case "$line" in
    form\ *) break ;;
    *) echo "gridrace: $line" ;;
  esac
done
read -r _ left top width height < <(grep '^form ' "$demo_output" || echo "form 0 0 0 0")
if [ "${width:-0}" -gt 0 ]; then
  xwd -root -display "$DISPLAY" | convert xwd:- -crop "${width}x${height}+${left}+${top}" +repage "$screenshot"
  echo "screenshot: $screenshot"
else
  echo "gridrace: the demo did not finish (see $demo_output)" >&2
fi
echo >&"$demo_in"
exec {demo_in}>&-
wait "$demo_pid" || { echo "gridrace: the demo ended with a failure" >&2; exit 1; }
