#!/usr/bin/env bash
# The 32-bit Wine that runs the x86 build: an i386 Debian root of its own,
# because Debian's multiarch wine32:i386 does not install beside this image's
# amd64 libraries.
#   i386root.sh probe        exit 0 when this kernel runs 32-bit programs
#   i386root.sh make         make the root (reused when complete; idempotent)
#   i386root.sh run CMD...   run CMD inside the root, in the caller's
#                            directory and environment
# The root lives in $SUITE_I386_ROOT (default /opt/componentsuite-i386).
# `run` binds /proc, /dev, /sys, /tmp and the checkout into the root inside a
# mount namespace of its own, so nothing stays mounted when it ends and the
# root can never be deleted through a bind. With /tmp shared, the X display,
# the PulseAudio socket and the wineserver socket are the same on both sides.
set -euo pipefail

root=${SUITE_I386_ROOT:-/opt/componentsuite-i386}
checkout=$(cd "$(dirname "$0")/.." && pwd)
packages=wine,wine32,libwine,libpulse0,fonts-wine
stamp="$root/.componentsuite-root"

# A hand-made ELF32 program of 95 bytes: exit(42) through int 0x80. Only a
# kernel that runs 32-bit code returns 42 from it.
probe() {
  local program status=0
  program=$(mktemp)
  le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)); }
  le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
  local base=$((0x08048000)) size=95
  local header="\\x7fELF\\x01\\x01\\x01$(printf '\\x00%.0s' {1..9})"
  header+="$(le16 2)$(le16 3)$(le32 1)$(le32 $((base + 84)))$(le32 52)$(le32 0)$(le32 0)"
  header+="$(le16 52)$(le16 32)$(le16 1)$(le16 0)$(le16 0)$(le16 0)"
  local segment="$(le32 1)$(le32 0)$(le32 $base)$(le32 $base)$(le32 $size)$(le32 $size)$(le32 5)$(le32 4096)"
  local code='\xb8\x01\x00\x00\x00\x31\xdb\xb3\x2a\xcd\x80'
  printf "$header$segment$code" >"$program"
  chmod +x "$program"
  "$program" 2>/dev/null || status=$?
  rm -f "$program"
  [ "$status" -eq 42 ]
}

mirror() {
  local uri
  uri=$(grep -m1 -h '^URIs:' /etc/apt/sources.list.d/debian.sources 2>/dev/null | awk '{print $2}')
  echo "${uri:-http://deb.debian.org/debian}"
}

make_root() {
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$packages" ]; then
    echo "i386root: $root present"
    return 0
  fi
  # A root without the stamp is a run that did not finish: start again. Never
  # while anything is bound into it (run's binds live only in its namespace,
  # but a root made by hand may have some).
  if [ -d "$root" ]; then
    if grep -q " $root/" /proc/mounts; then
      echo "i386root: $root has mounts; unmount them before it can be made again" >&2
      return 1
    fi
    rm -rf "$root"
  fi
  command -v debootstrap >/dev/null || { echo "i386root: debootstrap is missing" >&2; return 1; }
  echo "i386root: making $root (about a minute)"
  local log
  log=$(mktemp)
  if ! debootstrap --arch=i386 --variant=minbase --include="$packages" bookworm "$root" "$(mirror)" >"$log" 2>&1; then
    tail -20 "$log" >&2
    rm -f "$log"
    echo "i386root: debootstrap failed" >&2
    return 1
  fi
  rm -f "$log"
  echo "$packages" >"$stamp"
}

run_inside() {
  [ -f "$stamp" ] || { echo "i386root: $root is not made (scripts/bootstrap.sh makes it)" >&2; return 1; }
  local directory
  directory=$(pwd)
  # The mounts are made in a new mount namespace, private so that none of
  # them propagates back to the machine.
  exec unshare --mount --propagation private /bin/sh -c '
    root=$1 checkout=$2 directory=$3
    shift 3
    for tree in proc dev sys; do mount --rbind "/$tree" "$root/$tree"; done
    mount --bind /tmp "$root/tmp"
    mkdir -p "$root$checkout"
    mount --bind "$checkout" "$root$checkout"
    case $directory in
      "$checkout"*|/tmp*) ;;
      *) directory=/ ;;
    esac
    exec chroot "$root" /bin/sh -c "cd \"\$0\" && exec \"\$@\"" "$directory" "$@"
  ' sh "$root" "$checkout" "$directory" "$@"
}

case ${1:-} in
  probe) probe ;;
  make) make_root ;;
  run) shift; run_inside "$@" ;;
  *) echo "usage: $0 probe | make | run CMD..." >&2; exit 2 ;;
esac
