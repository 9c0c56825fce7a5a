# Sourced by the run and test scripts: a private Wine prefix inside the build folder, on the
# machine's display or on a virtual one that these functions start and stop themselves.
WINE_LOADER=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="$PWD/build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Makes GetACP() return 936, so list files are GBK as on a Chinese system.
export NOMERRA_LOCALE=zh_CN.UTF-8
XVFB_PID=""

wine_up() {
  if [ -z "${DISPLAY:-}" ] || [ -n "${CI:-}" ] || [ "${1:-}" = "--virtual" ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX"
    LC_ALL=$NOMERRA_LOCALE "$WINE_LOADER" wineboot -i >/dev/null 2>&1 || true
    # No window manager runs on a virtual display: Wine draws the title bars itself.
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  fi
  # Kept up until wine_down: a server that shuts down as each program ends makes the next one
  # wait seconds for it to start again, and one started while it shuts down can die silently.
  # The system's own programs start with the first program and inherit its output: started here,
  # they hold no test's output open.
  "$WINESERVER" -p
  "$WINE_LOADER" wineboot >/dev/null 2>&1 || true
}

wine_down() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
