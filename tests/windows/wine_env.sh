# Sourced by the Windows checks: where the cross build is, how to run Wine, and the skip rule.
# The Wine prefix lives in the cross build folder, is created once (the first start of Wine
# is slow) and is shared by every check.
set -euo pipefail

windows_build="${QUAVEL_WINDOWS_BUILD:?}"
wine="${QUAVEL_WINE:-wine64}"
export WINEPREFIX="$windows_build/wine-prefix"
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs: nothing here uses .NET or HTML.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Without the cross build the checks have nothing to look at: skip (77), unless the caller
# (./test) requires them.
require_windows_build() {
    if [ ! -f "$windows_build/quavel1.exe" ]; then
        if [ -n "${QUAVEL_REQUIRE_WINDOWS:-}" ]; then
            echo "no $windows_build/quavel1.exe: run scripts/build-windows" >&2
            exit 1
        fi
        echo "skipped: no cross build in $windows_build (scripts/build-windows makes it)"
        exit 77
    fi
}

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Runs a Windows program under Wine, bounded in time: a hang fails, never blocks the tests.
run_wine() {
    local seconds="$1"
    shift
    timeout --kill-after=5 "$seconds" "$wine" "$@"
}
