# Sourced by the build scripts from the repository root. With ccache, a build of sources already
# compiled once (a fresh checkout of the same commit, the next build after a small change) takes
# the objects from the cache. Paths inside the checkout are hashed relative to it, so a checkout
# in another folder meets the same entries, debug builds included (their debug information may
# then name the folder of the checkout that compiled them first).
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
