#!/usr/bin/env bash
# quavel1 --edit's shader path in the cross build, under Wine: probes/live_shaders_probe.cpp
# compiles every program from a copy of the show's sources with D3DCompile and the folder's
# include handler. Each program Wine's compiler takes must give the start-up compile's
# bytecode; a saved file is seen, and so is a second save of the same size with the same time.
#   wine_live_shaders.sh SHADER_SOURCES
source "$(dirname "$0")/wine_env.sh"
require_windows_build
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A folder name with a space and letters outside ASCII, as a user's profile folder may have.
cp -r "${1:?usage: wine_live_shaders.sh SHADER_SOURCES}" "$work/shadérs de Zoë"
folder="Z:$(tr / '\\' <<<"$work/shadérs de Zoë")"
status=0
run_wine 120 "$windows_build/tests/windows/probes/live/live_shaders_probe.exe" "$folder" \
    >"$work/out" 2>&1 || status=$?
tr -d '\r' <"$work/out" | tee "$work/seen"
[ "$status" -eq 0 ] || fail "the probe ended with $status"
grep -q ': the same bytecode live, [2-9] files read$' "$work/seen" ||
    fail "no program with includes compiled live"
