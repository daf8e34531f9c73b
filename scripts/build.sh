#!/usr/bin/env bash
# Builds the suite for the given targets (default: x86 and x64) and installs
# the deliverables into dist/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(x86 x64)

for target in "${targets[@]}"; do
  echo "== build $target"
  cmake --preset "$target" >/dev/null
  cmake --build --preset "$target"
  cmake --install "build/$target" >/dev/null
done
