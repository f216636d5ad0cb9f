#!/usr/bin/env bash
# The show's audio start-up under Wine with no sound device (Wine's audio drivers switched
# off): the wave-out device does not open, so no player and no thread are made, the clock
# reads 0, and shutdown returns; the show then runs silent on the system clock, which starts at
# 0 and advances.
source "$(dirname "$0")/wine_env.sh"
require_windows_build
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv,winecoreaudio.drv="
seen="$(run_wine 60 "$windows_build/tests/windows/probes/audio_probe.exe" 2>/dev/null | tr -d '\r')" ||
    fail "audio_probe.exe failed or hung: $seen"
echo "$seen"
grep -qx 'start=no-device' <<<"$seen" || fail "the device did not report as missing"
grep -qx 'device=0 player=0 thread=0 position=0' <<<"$seen" || fail "state without a device"
grep -qx 'silent_clock=advances' <<<"$seen" || fail "the clock of a silent show does not advance"
grep -qx 'stopped=1' <<<"$seen" || fail "shutdown did not return"
