# Sourced by the scripts: where the WoW64 Wine (the one that runs the i686
# build here) lives. A cache outside the work tree, so that a clean clone
# finds it again; PELVANE_WOW64 puts it elsewhere.
pelvane_wow64=${PELVANE_WOW64:-${XDG_CACHE_HOME:-$HOME/.cache}/pelvane/wine-10.0-wow64}
# The ready-built copy in the shared folder beside the repository, when there.
pelvane_wow64_tarball=${PELVANE_SHARED:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/shared}/wine-wow64/wine-10.0-wow64.tar.xz
