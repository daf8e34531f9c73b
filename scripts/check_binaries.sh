#!/usr/bin/env bash
# Checks every Windows binary of one build tree: an x86 build's files are
# PE32 (i386), an x64 build's PE32+ (x86-64), and none needs a MinGW runtime
# DLL at run time. The four deliverables must also load on the oldest
# Windows of their target (Windows XP, 5.1, for x86; Windows XP x64 and
# Server 2003, 5.2, for x64): their headers ask for no later version, and
# they import none of the later entry points listed below.
# The release check's unpacked archive in the build tree is not the build's.
# usage: check_binaries.sh <build-dir> <x86|x64>
set -euo pipefail
build=$1 arch=$2
case $arch in
  x86) format=pei-i386 oldest=5.1 ;;
  x64) format=pei-x86-64 oldest=5.2 ;;
  *) echo "unknown target $arch"; exit 2 ;;
esac
deliverables='/(Quennet\.ocx|Vanterbox\.dll|Gridrace\.exe|Tessmark\.exe)$'
# Entry points of Vista and later that a toolchain or a careless call pulls in.
later_entries='GetTickCount64|CompareStringOrdinal|CompareStringEx|LCMapStringEx|GetLocaleInfoEx
|LocaleNameToLCID|GetUserDefaultLocaleName|InitializeSRWLock|AcquireSRWLock[A-Za-z]*
|ReleaseSRWLock[A-Za-z]*|TryAcquireSRWLock[A-Za-z]*|InitializeConditionVariable
|SleepConditionVariable[A-Z]+|WakeConditionVariable|WakeAllConditionVariable|InitOnce[A-Za-z]*
|CreateEventExW|CreateMutexExW|CreateSemaphoreExW|GetFileInformationByHandleEx
|GetFinalPathNameByHandleW|QueryFullProcessImageNameW|GetErrorMode|RaiseFailFastException
|GetSystemTimePreciseAsFileTime|GetCurrentProcessorNumber|RegDeleteTreeW|RegGetValueW
|RegSetKeyValueW|RegCopyTreeW|ChangeWindowMessageFilter|ChangeWindowMessageFilterEx
|SetProcessDPIAware|IsProcessDPIAware|AddClipboardFormatListener|RegisterTypeLibForUser
|UnRegisterTypeLibForUser|OaEnablePerUserTLibRegistration|SHGetKnownFolderPath
|TaskDialog|TaskDialogIndirect|LoadIconMetric'
later_entries=$(echo "$later_entries" | tr -d '\n')
# Windows XP x86 has no fiber-local storage either.
[ "$arch" = x86 ] && later_entries="$later_entries|FlsAlloc|FlsFree|FlsGetValue|FlsSetValue"

# Fails when the binary asks for a later Windows than the oldest supported.
check_oldest_windows() {
  local file=$1 field value
  for field in OSystem Subsystem; do
    value=$(objdump -p "$file" | awk -v f="$field" '$1 == "Major" f "Version" {major = $2}
            $1 == "Minor" f "Version" {minor = $2} END {print major "." minor}')
    if awk -v v="$value" -v o="$oldest" 'BEGIN {split(v, a, "."); split(o, b, ".");
                                               exit !(a[1] > b[1] || (a[1] == b[1] && a[2] > b[2]))}'; then
      echo "FAIL $file: $field version $value is later than $oldest"; status=1
    fi
  done
  local imported
  imported=$(objdump -p "$file" | sed -n '/The Import Tables/,/^The Export Tables\|^PE File Base/p' |
             awk -F'\t' 'NF >= 3 {split($3, parts, " "); print parts[2]}' |
             grep -xE "$later_entries" || true)
  if [ -n "$imported" ]; then
    echo "FAIL $file: imports what Windows $oldest lacks: $(echo $imported)"; status=1
  fi
}
status=0
checked=0
delivered=0
while IFS= read -r -d '' file; do
  checked=$((checked + 1))
  if ! objdump -f "$file" | grep -q "file format $format"; then
    echo "FAIL $file: not $format"; status=1
  fi
  if objdump -p "$file" | grep -iE "DLL Name: (libgcc|libstdc|libwinpthread)" >/dev/null; then
    echo "FAIL $file: needs a MinGW runtime DLL"; status=1
  fi
  if [[ $file =~ $deliverables ]]; then
    delivered=$((delivered + 1))
    check_oldest_windows "$file"
  fi
done < <(find "$build" \( -path '*/CMakeFiles' -o -path '*/testenv' -o -path '*/release-check' \) -prune -o \
           \( -name '*.exe' -o -name '*.dll' -o -name '*.ocx' \) -type f -print0)
echo "checked $checked $arch binaries"
[ "$checked" -gt 0 ] || { echo "FAIL no binaries in $build"; status=1; }
[ "$delivered" -eq 4 ] || { echo "FAIL $delivered of the 4 deliverables in $build"; status=1; }
exit $status
