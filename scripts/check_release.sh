#!/usr/bin/env bash
# Checks the release archives that scripts/release.sh packed, inside the test
# environment (scripts/testenv.sh), without building anything:
#  - each target's archive holds exactly the expected files, and no stand-in;
#  - the build target's archive holds the deliverables and the README of
#    the current build;
#  - the README's member reference has a row, with its help string, for
#    every member of the libraries as the platform's type library loader
#    reads it;
#  - with the libraries unregistered, a host creates each class through its
#    registration-free manifest, and cannot without it;
#  - the archive's .cmd scripts register and unregister the libraries for the
#    machine and for the current user under Wine (keys appear and go);
#  - the archive README's VBScript and JScript examples run.
# The test environment registered every COM server of the build machine-wide;
# that registration is restored at the end, also when a check fails.
#
# Both archives' listings are checked; the rest runs with the build target's
# archive under that target's Wine.
#
# usage: check_release.sh <source-dir> <build-dir> <x86|x64> <RegistrationFreeProbe.exe> <HelpStringCheck.exe>
set -uo pipefail
source_dir=$1 build_dir=$2 target=$3 probe=$4 help_check=$5
wine=${WINE_LOADER:?run inside the test environment (scripts/test.sh -R release)}
failures=0
if [ -z "${WINEPREFIX:-}" ]; then
  echo "run inside the test environment (scripts/test.sh -R release): it changes the prefix's registry"
  exit 1
fi

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }

# The files every archive holds.
expected_files() {
  printf '%s\n' Quennet.ocx Quennet.tlb Quennet.sxs.manifest \
    Vanterbox.dll Vanterbox.tlb Vanterbox.sxs.manifest Gridrace.exe Tessmark.exe \
    README.md LICENSE register-machine.cmd unregister-machine.cmd \
    register-user.cmd unregister-user.cmd | sort
}

check_archive_listing() {
  local target=$1 archive="$source_dir/dist/release/ComponentSuite-$1.zip"
  if [ ! -f "$archive" ]; then
    fail "$archive is missing (scripts/release.sh packs it)"
    return
  fi
  local listed
  listed=$(cmake -E tar tf "$archive" | grep -v '/$' | sed "s|^ComponentSuite-$target/||" | sort)
  if [ "$listed" != "$(expected_files)" ]; then
    fail "$target archive holds:"$'\n'"$listed"$'\n'"expected:"$'\n'"$(expected_files)"
  fi
  local standin
  for standin in "$source_dir/dist/$target/standins/"*; do
    [ -e "$standin" ] || continue
    if grep -qi "$(basename "$standin")" <<<"$listed"; then
      fail "$target archive holds the stand-in $(basename "$standin")"
    fi
  done
  grep -qi standins <<<"$listed" && fail "$target archive holds a standins folder"
  echo "archive $target: $(wc -l <<<"$listed") files"
}

# The target's archive unpacked into the build tree; the checks below use it.
unpack_target() {
  unpacked="$build_dir/release-check"
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$source_dir/dist/release/ComponentSuite-$target.zip") || return 1
  unpacked="$unpacked/ComponentSuite-$target"
  local file
  for file in Quennet.ocx Vanterbox.dll Gridrace.exe Tessmark.exe README.md; do
    cmp -s "$unpacked/$file" "$source_dir/dist/$target/$file" ||
      fail "$file in the archive is not the current build's: run scripts/release.sh"
  done
}

# Every member that the platform's type library loader reads from the
# libraries has a row in the README's member reference, with its help string
# as the row's last cell.
check_member_reference() {
  local output members reference row count=0 type member help
  output=$("$wine" "$help_check" --members "$(windows_path "$unpacked/Quennet.ocx")" \
    "$(windows_path "$unpacked/Vanterbox.dll")" 2>&1) || fail "HelpStringCheck: $output"
  members=$(tr -d '\r' <<<"$output" | grep $'^member\t' | sort -u)
  if [ -z "$members" ]; then
    fail "HelpStringCheck listed no member: $output"
    return
  fi
  reference=$(sed -n '/^## Member reference/,$p' "$unpacked/README.md")
  while IFS=$'\t' read -r _ type member help; do
    row=$(grep -F "| \`$member\` |" <<<"$reference")
    if [ -z "$row" ]; then
      fail "the README's member reference has no row for $type.$member"
    elif ! grep -qF "| ${help//|/\\|} |" <<<"$row"; then
      fail "the README's row for $type.$member lacks its help string: $help"
    fi
    count=$((count + 1))
  done <<<"$members"
  echo "member reference: $count members checked"
}

# attribute <manifest> <name>: the first value of that attribute of comClass.
com_class_attribute() {
  grep -o "<comClass [^>]*" "$1" | grep -o " $2=\"[^\"]*\"" | sed -n 1p | cut -d'"' -f2
}
typelib_id() { grep -o '<typelib tlbid="[^"]*"' "$1" | cut -d'"' -f2; }

key_exists() { "$wine" reg query "$1" >/dev/null 2>&1; }
registry_values() { "$wine" reg query "$1" 2>/dev/null; }

# expect_keys <present|absent> <root> <manifest>...: the class, ProgID and
# (for the machine) type library keys of each library under <root>.
expect_keys() {
  local state=$1 root=$2 manifest clsid progid key
  shift 2
  for manifest in "$@"; do
    clsid=$(com_class_attribute "$manifest" clsid)
    progid=$(com_class_attribute "$manifest" progid)
    local keys=("$root\\CLSID\\$clsid\\InprocServer32" "$root\\$progid\\CLSID")
    # Wine registers a type library for the machine even when asked to
    # register it for the user (RegisterTypeLibForUser), so it is only
    # checked under the machine's classes.
    [[ $root == HKLM* ]] && keys+=("$root\\TypeLib\\$(typelib_id "$manifest")")
    for key in "${keys[@]}"; do
      if key_exists "$key"; then
        [ "$state" = present ] || fail "$key is still there"
      else
        [ "$state" = absent ] || fail "$key is missing"
      fi
    done
    # The output is read whole first: grep -q stopping early would break the
    # pipe under pipefail.
    if [ "$state" = present ] && ! grep -qi "$clsid" <<<"$(registry_values "$root\\$progid\\CLSID")"; then
      fail "$root\\$progid does not name the manifest's class $clsid"
    fi
  done
}

run_cmd() {
  local script=$1
  if ! "$wine" cmd /c "$(windows_path "$unpacked/$script")" >"$build_dir/release-check/$script.log" 2>&1; then
    fail "$script failed: $(cat "$build_dir/release-check/$script.log")"
  fi
}

# A script whose libraries cannot be registered (here: they are not beside
# it) must say so through its exit status, not report success.
check_script_failure() {
  local lonely="$build_dir/release-check/lonely"
  mkdir -p "$lonely"
  cp "$unpacked/register-user.cmd" "$lonely/"
  if "$wine" cmd /c "$(windows_path "$lonely/register-user.cmd")" >/dev/null 2>&1; then
    fail "register-user.cmd reported success without its libraries"
  fi
}

# A host with an application manifest that names the library's private
# assembly, the way the README tells a host to use it.
write_host_manifest() {
  local library=$1 manifest="$unpacked/$1.sxs.manifest"
  local identity
  identity=$(grep -o '<assemblyIdentity [^>]*/>' "$manifest")
  cat >"$unpacked/host-$library.manifest" <<XML
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <dependency><dependentAssembly>$identity</dependentAssembly></dependency>
</assembly>
XML
}

check_registration_free() {
  local library progid
  for library in Quennet Vanterbox; do
    progid=$(com_class_attribute "$unpacked/$library.sxs.manifest" progid)
    if "$wine" "$probe" - "$progid" >/dev/null 2>&1; then
      fail "$progid is created without a manifest, so the check below proves nothing"
    fi
    local output
    output=$("$wine" "$probe" "$(windows_path "$unpacked/$library.sxs.manifest")" "$progid" 2>&1) ||
      fail "$progid through $library.sxs.manifest: $output"
    write_host_manifest "$library"
    output=$("$wine" "$probe" "$(windows_path "$unpacked/host-$library.manifest")" "$progid" 2>&1) ||
      fail "$progid through a host manifest that depends on $library.sxs: $output"
  done
  echo "registration-free: done"
}

# readme_example <fence>: the first code block of that language under the
# "Examples" heading of the archive's README.
readme_example() {
  awk -v fence="\`\`\`$1" '
    /^#+ Examples$/ { examples = 1 }
    examples && inside && /^```$/ { exit }
    inside { print }
    examples && $0 == fence { inside = 1 }' "$unpacked/README.md"
}

# The README's script examples run as shown (with the libraries registered).
check_readme_examples() {
  local language extension output
  for language in vbscript:vbs js:js; do
    extension=${language#*:}
    readme_example "${language%%:*}" >"$build_dir/release-check/example.$extension"
    output=$("$wine" cscript //nologo "$(windows_path "$build_dir/release-check/example.$extension")" 2>&1) ||
      fail "the README's $extension example failed: $output"
    grep -q "Bye Bye" <<<"$output" || fail "the README's $extension example printed: $output"
  done
  echo "README examples: done"
}

restore_test_registration() {
  local server
  while IFS= read -r server; do
    [ -n "$server" ] || continue
    "$wine" regsvr32 /s "$server" >/dev/null 2>&1 || fail "regsvr32 $server did not restore it"
  done <"$build_dir/com_servers.txt"
}

check_archive_listing x86
check_archive_listing x64
unpacked=
if unpack_target; then
  check_member_reference
  trap restore_test_registration EXIT
  manifests=("$unpacked/Quennet.sxs.manifest" "$unpacked/Vanterbox.sxs.manifest")
  machine='HKLM\Software\Classes' user='HKCU\Software\Classes'

  run_cmd unregister-machine.cmd
  expect_keys absent "$machine" "${manifests[@]}"
  check_registration_free

  run_cmd register-machine.cmd
  expect_keys present "$machine" "${manifests[@]}"
  quennet_server="$machine\\CLSID\\$(com_class_attribute "${manifests[0]}" clsid)\\InprocServer32"
  grep -qi "release-check" <<<"$(registry_values "$quennet_server")" ||
    fail "the machine's registration does not name the unpacked Quennet.ocx"
  run_cmd unregister-machine.cmd
  expect_keys absent "$machine" "${manifests[@]}"
  echo "machine registration: done"

  run_cmd register-user.cmd
  expect_keys present "$user" "${manifests[@]}"
  for manifest in "${manifests[@]}"; do
    key_exists "$machine\\CLSID\\$(com_class_attribute "$manifest" clsid)" &&
      fail "register-user.cmd wrote the machine's class key of $(basename "$manifest")"
  done
  run_cmd unregister-user.cmd
  expect_keys absent "$user" "${manifests[@]}"
  check_script_failure
  echo "user registration: done"
else
  fail "the $target archive could not be unpacked"
fi

if [ -n "${unpacked:-}" ]; then
  trap - EXIT
  restore_test_registration
  check_readme_examples
fi
[ "$failures" -eq 0 ] && echo "release: all checks passed"
exit $((failures > 0))
