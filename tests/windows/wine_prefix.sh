#!/usr/bin/env bash
# Creates the shared Wine prefix of the Windows checks, once.
source "$(dirname "$0")/wine_env.sh"
require_windows_build
if [ -f "$WINEPREFIX/system.reg" ]; then
    exit 0
fi
echo "creating the Wine prefix $WINEPREFIX (once)"
run_wine 300 wineboot -i >/dev/null 2>&1 || fail "wineboot could not create $WINEPREFIX"
[ -f "$WINEPREFIX/system.reg" ] || fail "no prefix in $WINEPREFIX after wineboot"
