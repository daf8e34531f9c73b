#!/usr/bin/env bash
# Checks every Windows binary of one build tree: an x86 build's files are
# PE32 (i386), an x64 build's PE32+ (x86-64), and none needs a MinGW runtime
# DLL at run time.
# usage: check_binaries.sh <build-dir> <x86|x64>
set -euo pipefail
build=$1 arch=$2
case $arch in
  x86) format=pei-i386 ;;
  x64) format=pei-x86-64 ;;
  *) echo "unknown target $arch"; exit 2 ;;
esac
status=0
checked=0
while IFS= read -r -d '' file; do
  checked=$((checked + 1))
  if ! objdump -f "$file" | grep -q "file format $format"; then
    echo "FAIL $file: not $format"; status=1
  fi
  if objdump -p "$file" | grep -iE "DLL Name: (libgcc|libstdc|libwinpthread)" >/dev/null; then
    echo "FAIL $file: needs a MinGW runtime DLL"; status=1
  fi
done < <(find "$build" \( -path '*/CMakeFiles' -o -path '*/testenv' \) -prune -o \
           \( -name '*.exe' -o -name '*.dll' -o -name '*.ocx' \) -type f -print0)
echo "checked $checked $arch binaries"
[ "$checked" -gt 0 ] || { echo "FAIL no binaries in $build"; status=1; }
exit $status
