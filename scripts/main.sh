#!/usr/bin/env bash
# Sets up the machine and builds every deliverable for x86 and x64 into dist/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
scripts/build.sh x86 x64
echo "deliverables: $(pwd)/dist/x86 and $(pwd)/dist/x64"
