# Sourced by the other scripts: the environment every Wine run here needs.
# Usage: source tools/wine-env.sh BUILD_DIR
# An x86_64 build runs under Debian's wine64; an i686 build (the 32-bit
# release) under the WoW64 Wine that tools/setup-wow64 puts into the cache.
# Each build folder has its own prefix, and so its own wineserver.
pelvane_build=$(cd "${1:?build folder}" && pwd)
export WINEPREFIX="$pelvane_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=hu_HU.UTF-8

if grep -qs '^CMAKE_SYSTEM_PROCESSOR:.*=i686' "$pelvane_build/CMakeCache.txt" ||
    grep -qs 'mingw-i686' "$pelvane_build/CMakeCache.txt"; then
    source "$(dirname "${BASH_SOURCE[0]}")/wow64.sh"
    if [ ! -x "$pelvane_wow64/bin/wine" ]; then
        echo "wine-env: no WoW64 Wine in $pelvane_wow64 for the i686 build; run tools/setup-wow64" >&2
        return 1
    fi
    export WINE="$pelvane_wow64/bin/wine"
    export WINESERVER="$pelvane_wow64/bin/wineserver"
    export PATH="$pelvane_wow64/bin:$PATH"
    pelvane_arch=x86
else
    export WINE=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver
    pelvane_arch=x64
fi

# A prefix per build folder, made once (about 7 s).
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER" -w
    if [ "$pelvane_arch" = x86 ]; then
        # Debian's Wine sources link user32 and a few other DLLs against
        # mingw's zlib1.dll (package libz-mingw-w64).
        cp /usr/x86_64-w64-mingw32/lib/zlib1.dll "$WINEPREFIX/drive_c/windows/system32/"
        cp /usr/i686-w64-mingw32/lib/zlib1.dll "$WINEPREFIX/drive_c/windows/syswow64/"
    fi
fi

# Debian's wine64 does not find the Marlett font of fonts-wine, so its
# title-bar buttons show letters; from the prefix's own font folder it does.
if [ "$pelvane_arch" = x64 ] && [ -f /usr/share/wine/fonts/marlett.ttf ] &&
    [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

# Windows need a display; start a virtual one when there is none.
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        pelvane_xvfb=$!
        export DISPLAY=":$n"
        for _ in $(seq 100); do
            [ -e "/tmp/.X11-unix/X$n" ] || ! kill -0 "$pelvane_xvfb" 2>/dev/null && break
            sleep 0.1
        done
        if [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "wine-env: Xvfb did not start on :$n" >&2
            kill "$pelvane_xvfb" 2>/dev/null
            unset DISPLAY pelvane_xvfb
            return 1
        fi
        trap 'kill $pelvane_xvfb 2>/dev/null || true' EXIT
        break
    done
    if [ -z "${DISPLAY:-}" ]; then
        echo "wine-env: no free display between :90 and :130 to start Xvfb on" >&2
        return 1
    fi
fi
