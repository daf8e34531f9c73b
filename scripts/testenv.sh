#!/usr/bin/env bash
# The test environment of one test run, sourced by the scripts that need it:
#   testenv_start <build-dir>  a private Wine prefix inside the build tree
#                              (made once, reused while valid), a virtual X
#                              display on a free number, a user-space
#                              PulseAudio with a null sink, and a persistent
#                              wineserver, and a hidden window that keeps the
#                              Wine desktop up; then every COM server of the
#                              build is registered with regsvr32.
#   testenv_stop               stops, by PID, everything testenv_start started.
# testenv_start installs testenv_stop as an EXIT trap, so a failing or
# interrupted run leaves nothing behind.
# The build's target picks the Wine: an x64 build runs under the machine's
# 64-bit Wine, an x86 build under the 32-bit Wine of the i386 root
# (scripts/i386root.sh), both with the same display and sound server.

TESTENV_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TESTENV_PIDS=()

testenv_log() { echo "testenv: $*" >&2; }

testenv_free_display() {
  local n
  for n in $(seq 90 250); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

testenv_start_display() {
  local n
  n=$(testenv_free_display) || { testenv_log "no free display number"; return 1; }
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$TESTENV_DIR/xvfb.log" 2>&1 &
  TESTENV_PIDS+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  testenv_log "Xvfb did not start on :$n"
  return 1
}

testenv_start_audio() {
  export XDG_RUNTIME_DIR="$TESTENV_DIR/runtime"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
  HOME="$TESTENV_DIR" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=nullsink" --load=module-native-protocol-unix \
    >"$TESTENV_DIR/pulseaudio.log" 2>&1 &
  TESTENV_PIDS+=($!)
  for _ in $(seq 1 100); do
    [ -S "$PULSE_RUNTIME_PATH/native" ] && return 0
    sleep 0.1
  done
  # The mixer tests need it: without a sound server Wine has no mixer.
  testenv_log "pulseaudio did not start (see $TESTENV_DIR/pulseaudio.log)"
  return 1
}

# testenv_select_wine <build-dir>: the loader, server and prefix layout of
# the build's target, read from its CMake cache.
testenv_select_wine() {
  local arch
  arch=$(sed -n 's/^SUITE_ARCH:[A-Z]*=//p' "$1/CMakeCache.txt" 2>/dev/null)
  case $arch in
    x64)
      WINE_LOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver WINEARCH=win64 ;;
    x86)
      WINE_LOADER=$TESTENV_SCRIPTS/wine32.sh WINESERVER=$TESTENV_SCRIPTS/wineserver32.sh WINEARCH=win32 ;;
    *)
      testenv_log "$1 is not a configured build tree (SUITE_ARCH '$arch')"
      return 1 ;;
  esac
  TESTENV_ARCH=$arch
  export WINE_LOADER WINESERVER WINEARCH
}

testenv_wine() { "$WINE_LOADER" "$@"; }

testenv_prepare_prefix() {
  export WINEPREFIX="$TESTENV_DIR/wineprefix"
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  local stamp="$WINEPREFIX/.suite-prefix"
  local version
  # The prefix is made again when Wine or the way it is made changes.
  version="$("$WINE_LOADER" --version 2>/dev/null || echo unknown), fonts-wine in C:\windows\Fonts"
  if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$version" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    testenv_log "creating Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    testenv_wine wineboot -i >/dev/null 2>&1
    # Without a window manager Wine otherwise stalls at window changes, and a
    # crashing test should end at once instead of waiting in a debugger.
    testenv_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    testenv_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /d 'no-such-debugger.exe' /f >/dev/null 2>&1
    testenv_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Auto /d 1 /f >/dev/null 2>&1
    # Wine's own TrueType fonts (Tahoma, Marlett for the caption buttons, ...)
    # come with Debian's fonts-wine, but this Wine does not look for them
    # where the package puts them; it loads every font in C:\windows\Fonts.
    testenv_install_fonts || return 1
    # The desktop process that wineboot started read its settings before
    # they were written: left running, its unmanaged-window setting is the
    # default, and hiding the last tray icon then waits for a window manager
    # that never answers. Everything of the new prefix ends here and starts
    # again with the settings in place.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    echo "$version" >"$stamp"
  fi
}

testenv_install_fonts() {
  local fonts=/usr/share/wine/fonts
  if [ ! -f "$fonts/tahoma.ttf" ] || [ ! -f "$fonts/marlett.ttf" ]; then
    testenv_log "Wine's fonts are missing from $fonts (package fonts-wine)"
    return 1
  fi
  cp "$fonts"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

# The server runs in the foreground (-f), so the PID kept is the server's
# own, never another run's; -p keeps it alive between test processes.
testenv_start_wineserver() {
  "$WINESERVER" -f -p >"$TESTENV_DIR/wineserver.log" 2>&1 &
  TESTENV_PIDS+=($!)
  # Ready when its socket exists: /tmp/.wine-<uid>/ or, in Debian's Wine,
  # a /tmp/wine-XXXXXX/ of its own, named after the prefix's device and inode.
  local server_dir
  server_dir=server-$(stat -c '%d %i' "$WINEPREFIX" | xargs printf '%x-%x')
  for _ in $(seq 1 100); do
    compgen -G "/tmp/*wine-*/$server_dir/socket" >/dev/null && return 0
    sleep 0.1
  done
  testenv_log "the wineserver did not start (see $TESTENV_DIR/wineserver.log)"
  return 1
}

# Wine ends its desktop (and the tray window it hosts) after the last GUI
# process; restarted by a test it would inherit that test's output pipe and
# keep CTest waiting. One hidden window for the whole run keeps it up.
testenv_keep_desktop() {
  local keeper="$TESTENV_BUILD/testing/DesktopKeeper.exe"
  [ -f "$keeper" ] || return 0
  "$WINE_LOADER" "$keeper" </dev/null >/dev/null 2>&1 &
  TESTENV_PIDS+=($!)
}

testenv_register_servers() {
  local list="$TESTENV_BUILD/com_servers.txt" server
  [ -f "$list" ] || return 0
  while IFS= read -r server; do
    [ -n "$server" ] || continue
    if ! testenv_wine regsvr32 /s "$server" >/dev/null 2>&1; then
      testenv_log "regsvr32 failed for $server"
      return 1
    fi
  done <"$list"
}

testenv_stop() {
  local pid
  if [ -n "${WINEPREFIX:-}" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
  fi
  for pid in "${TESTENV_PIDS[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
  done
  for pid in "${TESTENV_PIDS[@]}"; do
    for _ in $(seq 1 50); do
      kill -0 "$pid" >/dev/null 2>&1 || break
      sleep 0.1
    done
    kill -9 "$pid" >/dev/null 2>&1 || true
  done
  TESTENV_PIDS=()
}

testenv_start() {
  TESTENV_BUILD=$(cd "$1" && pwd)
  TESTENV_DIR="$TESTENV_BUILD/testenv"
  testenv_select_wine "$TESTENV_BUILD" || return 1
  mkdir -p "$TESTENV_DIR"
  trap testenv_stop EXIT
  trap 'exit 130' INT TERM
  testenv_start_display || return 1
  testenv_start_audio || return 1
  testenv_prepare_prefix || return 1
  testenv_start_wineserver || return 1
  testenv_keep_desktop
  testenv_register_servers
}
