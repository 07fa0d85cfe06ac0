# Sourced by the scripts that run Windows programs: a project-local Wine prefix,
# quiet Wine, no crash dialog, and a display (a virtual one when asked or when none is set).
#   WINE_VIRTUAL_DISPLAY=1  always start Xvfb (tests never draw on the user's screen)

ROOT_DIR=${ROOT_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$ROOT_DIR/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

start_virtual_display() {
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=:$n
    # Wait for the server to accept clients instead of sleeping a fixed time.
    local i
    for i in $(seq 1 100); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 $XVFB_PID 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}

stop_virtual_display() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

if [ "${WINE_VIRTUAL_DISPLAY:-0}" = 1 ] || [ -z "${DISPLAY:-}" ]; then
  [ "${WINE_VIRTUAL_DISPLAY:-0}" = 1 ] || echo "No display found: using a virtual display (Xvfb)." >&2
  start_virtual_display
fi

prepare_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.prepared" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    # No winedbg dialog when a test program crashes: the test just fails.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1 || true
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.prepared"
  fi
}
