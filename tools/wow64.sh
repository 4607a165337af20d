# Sourced by the scripts: where the WoW64 Wine (the one that runs the i686
# build here) lives. A cache outside the work tree, so that a clean clone
# finds it again; PELVANE_WOW64 puts it elsewhere.
pelvane_wow64=${PELVANE_WOW64:-${XDG_CACHE_HOME:-$HOME/.cache}/pelvane/wine-10.0-wow64}
# The ready-built copy in the shared folder beside the repository, when there.
pelvane_wow64_tarball=${PELVANE_SHARED:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/shared}/wine-wow64/wine-10.0-wow64.tar.xz

# Whether this host runs 32-bit code: tools/x86-probe/probe.c, built for i686,
# must print its word under the WoW64 Wine, in the prefix of the i686 build
# folder BUILD. Hosts of the same kind differ: on some the kernel offers no
# 32-bit code segment, and every 32-bit program dies at once (a segmentation
# fault in ntdll.so). When it cannot, returns 1 with the reason in
# pelvane_x86_reason. PELVANE_X86_PROBE=die makes the probe end without its
# word, to try the scripts' way for such a host on one that can.
pelvane_probe_x86() {
    local build=$1 tools probe status
    tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    probe=$build/x86-probe.exe
    pelvane_x86_reason=
    if [ ! -x "$pelvane_wow64/bin/wine" ]; then
        pelvane_x86_reason="there is no WoW64 Wine in $pelvane_wow64 (tools/setup-wow64 puts it there)"
        return 1
    fi
    if [ ! "$probe" -nt "$tools/x86-probe/probe.c" ]; then
        i686-w64-mingw32-gcc-posix -O2 -s -o "$probe" "$tools/x86-probe/probe.c" || {
            pelvane_x86_reason="the probe program could not be built"
            return 1
        }
    fi
    # Its output into a file, not a pipe: Wine's service processes inherit it.
    status=0
    (
        source "$tools/wine-env.sh" "$build" || exit 99
        timeout 300 "$WINE" "$probe" ${PELVANE_X86_PROBE:+"--$PELVANE_X86_PROBE"} >"$probe.out" 2>/dev/null
        code=$?
        [ $code -eq 124 ] && "$WINESERVER" -k 2>/dev/null
        "$WINESERVER" -w 2>/dev/null
        exit $code
    ) || status=$?
    if grep -qx 'pelvane-x86-runs' "$probe.out" 2>/dev/null && [ $status -eq 0 ]; then
        return 0
    fi
    case $status in
        124) pelvane_x86_reason="a 32-bit program under the WoW64 Wine did not end within 300 s" ;;
        99) pelvane_x86_reason="the Wine environment of $build could not be set up" ;;
        *) pelvane_x86_reason="a 32-bit program under the WoW64 Wine died at once (exit status $status) without printing its word" ;;
    esac
    [ -n "${PELVANE_X86_PROBE:-}" ] && pelvane_x86_reason+=" (made so by PELVANE_X86_PROBE=$PELVANE_X86_PROBE)"
    return 1
}
