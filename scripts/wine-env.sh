# Sourced by the scripts that run Windows programs: a project-local Wine prefix,
# quiet Wine, no crash dialog, and a display (a virtual one when asked or when none is set).
#   WINE_VIRTUAL_DISPLAY=1  always start Xvfb (tests never draw on the user's screen)
# After sourcing: prepare_wine_prefix once, stop_wine_session at the end.

ROOT_DIR=${ROOT_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$ROOT_DIR/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Xvfb picks a free display itself and names it on a descriptor once it accepts
# clients, so parallel runs never fight over a number and nothing waits a fixed time.
start_virtual_display() {
  local ready
  ready=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 400); do
    if [ -s "$ready" ] && grep -q '^[0-9]' "$ready"; then
      export DISPLAY=:$(head -n1 "$ready")
      rm -f "$ready"
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$ready"
  echo "could not start Xvfb" >&2
  return 1
}

stop_virtual_display() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# Ends every Wine process of the prefix, then the display.
stop_wine_session() {
  wineserver -k 2>/dev/null || true
  stop_virtual_display
}

if [ "${WINE_VIRTUAL_DISPLAY:-0}" = 1 ] || [ -z "${DISPLAY:-}" ]; then
  [ "${WINE_VIRTUAL_DISPLAY:-0}" = 1 ] || echo "No display found: using a virtual display (Xvfb)." >&2
  start_virtual_display || return 1
fi

prepare_wine_prefix() {
  # A Wine session left from an earlier run would keep talking to its old display.
  wineserver -k 2>/dev/null || true
  # The marker names the settings' version: a prefix prepared by an older script gets them too.
  if [ ! -f "$WINEPREFIX/.prepared-2" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    # No winedbg dialog when a test program crashes: the test just fails.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1 || true
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 || true
    # Xvfb has no window manager: Wine draws title bars itself, so screenshots show them.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.prepared-2"
  fi
}
