# Sourced by the other scripts: the environment every Wine run here needs.
# Usage: source tools/wine-env.sh BUILD_DIR
pelvane_build=$(cd "${1:?build folder}" && pwd)
export WINEPREFIX="$pelvane_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=hu_HU.UTF-8
export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver

# A prefix per build folder, made once (about 7 s).
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER" -w
fi

# Windows need a display; start a virtual one when there is none.
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        pelvane_xvfb=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        trap 'kill $pelvane_xvfb 2>/dev/null || true' EXIT
        break
    done
fi
