#!/usr/bin/env bash
# Sets up the machine, builds both targets and packs one release archive per
# target into dist/release/: ComponentSuite-<target>.zip, holding everything
# that dist/<target>/ holds at its top (the deliverables, their type
# libraries and registration-free manifests, and the README for their users
# that the build makes from release/README.md; never the stand-ins below
# it), the licence, and scripts that register and unregister the COM
# libraries for the machine or for the current user. Beside each archive, a
# Windows Installer package of the same files, ComponentSuite-<target>.msi,
# whose registration rows are what the libraries register themselves (made
# in the target's test environment, so the x86 one only where this kernel
# runs 32-bit code), and the package's fragment of the libraries with their
# registration, ComponentSuite-<target>-libraries.wxs, for other installers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
scripts/build.sh x86 x64

# write_cmd <file> <comment> <regsvr32 options> <library>...
# A batch file (CRLF lines) that runs regsvr32 on each library beside it and
# ends with status 1 when any of them failed.
write_cmd() {
  local file=$1 comment=$2 options=$3 library
  shift 3
  {
    echo "@echo off"
    echo "rem $comment"
    echo "setlocal"
    echo "set failed=0"
    for library in "$@"; do
      echo "regsvr32 $options \"%~dp0$library\""
      echo "if errorlevel 1 (echo failed: $library& set failed=1)"
    done
    echo "exit /b %failed%"
  } | sed 's/$/\r/' >"$file"
}

pack() {
  local target=$1 name="ComponentSuite-$1"
  local stage="build/release/$name" archive="dist/release/$name.zip"
  rm -rf "$stage" "$archive"
  mkdir -p "$stage" dist/release
  find "dist/$target" -maxdepth 1 -type f -exec cp {} "$stage/" \;
  cp LICENSE "$stage/"
  local libraries=()
  mapfile -t libraries < <(cd "$stage" && ls -- *.ocx *.dll 2>/dev/null | sort)
  write_cmd "$stage/register-machine.cmd" \
    "Registers the libraries for every user of this machine (run as administrator)." \
    "/s" "${libraries[@]}"
  write_cmd "$stage/unregister-machine.cmd" \
    "Removes the machine-wide registration of the libraries (run as administrator)." \
    "/s /u" "${libraries[@]}"
  write_cmd "$stage/register-user.cmd" \
    "Registers the libraries for the current user only (HKEY_CURRENT_USER\\Software\\Classes)." \
    "/s /n /i:user" "${libraries[@]}"
  write_cmd "$stage/unregister-user.cmd" \
    "Removes the current user's registration of the libraries." \
    "/s /u /n /i:user" "${libraries[@]}"
  (cd build/release && cmake -E tar cf "../../$archive" --format=zip "$name")
  echo "release: $archive"
}

# make_installer <target>: the package and its libraries' fragment.
make_installer() {
  local target=$1 work="build/release/installer-$1" version
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$target/CMakeCache.txt")
  rm -f "dist/release/ComponentSuite-$target.msi" "dist/release/ComponentSuite-$target-libraries.wxs"
  (
    source scripts/testenv.sh
    testenv_start "build/$target" || { echo "the $target test environment did not start"; exit 1; }
    python3 release/installer/make_installer.py --target "$target" --version "$version" \
      --stage "build/release/ComponentSuite-$target" --work "$work" \
      --out "dist/release/ComponentSuite-$target.msi"
  )
  cp "$work/ComponentSuite-$target-libraries.wxs" dist/release/
}

pack x86
pack x64
make_installer x64
if scripts/i386root.sh probe; then
  make_installer x86
else
  echo "release: dist/release/ComponentSuite-x86.msi NOT MADE, this kernel runs no 32-bit code"
fi
