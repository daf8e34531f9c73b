#!/usr/bin/env bash
# Checks every Windows binary of both builds: x86 files are PE32 (i386), x64
# files PE32+ (x86-64), and none needs a MinGW runtime DLL at run time.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
status=0
checked=0

check() {
  local arch=$1 format=$2 file
  [ -d "$root/build/$arch" ] || { echo "missing build/$arch"; status=1; return; }
  while IFS= read -r -d '' file; do
    checked=$((checked + 1))
    if ! objdump -f "$file" | grep -q "file format $format"; then
      echo "FAIL $file: not $format"; status=1
    fi
    if objdump -p "$file" | grep -iE "DLL Name: (libgcc|libstdc|libwinpthread)" >/dev/null; then
      echo "FAIL $file: needs a MinGW runtime DLL"; status=1
    fi
  done < <(find "$root/build/$arch" \( -path '*/CMakeFiles' -o -path '*/testenv' \) -prune -o \
             \( -name '*.exe' -o -name '*.dll' -o -name '*.ocx' \) -type f -print0)
}

check x86 pei-i386
check x64 pei-x86-64
echo "checked $checked binaries"
exit $status
