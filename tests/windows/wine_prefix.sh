#!/usr/bin/env bash
# Creates the shared Wine prefix of the Windows checks, once.
source "$(dirname "$0")/wine_env.sh"
require_windows_build
if [ -f "$WINEPREFIX/system.reg" ]; then
    exit 0
fi
echo "creating the Wine prefix $WINEPREFIX (once)"
# The registry files are written when the Wine server ends, so wait for it. On a busy machine
# wineboot can give up half-way: one more try from an empty folder.
wineserver="$(dirname "$(command -v "$wine")")/wineserver"
for attempt in 1 2; do
    run_wine 300 wineboot -i >/dev/null 2>&1 || true
    timeout 120 "$wineserver" -w 2>/dev/null || true
    [ -f "$WINEPREFIX/system.reg" ] && exit 0
    echo "wineboot left no prefix (try $attempt)"
    timeout 30 "$wineserver" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
done
fail "no prefix in $WINEPREFIX after wineboot"
