#!/usr/bin/env bash
# xmrender.exe under Wine renders the show's module and a few generated test modules to the
# same bytes as the Linux xmrender (same code, no fused multiply-adds, SSE2 on both), and
# replaces an existing output file.
#   wine_xmrender.sh LINUX_XMRENDER SHOW_MODULE MODULE_WRITER
source "$(dirname "$0")/wine_env.sh"
require_windows_build
linux_xmrender="$1" show_module="$2" module_writer="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir "$work/modules"
"$module_writer" "$work/modules" >/dev/null || fail "$module_writer could not write the test modules"
cp "$show_module" "$work/modules/show.xm"
count=0
# The writer also leaves generator decision bytes (gen_*) for the fuzzer: only modules count.
for module in "$work/modules"/*.xm; do
    name="$(basename "$module")"
    for format in float pcm16; do
        flags=()
        [ "$format" = pcm16 ] && flags=(--pcm16)
        # The show's module is long: its float rendering is compared whole, the 16-bit one
        # for a minute.
        [ "$name" = show.xm ] && [ "$format" = pcm16 ] && flags+=(--seconds 60)
        "$linux_xmrender" "${flags[@]}" "$module" "$work/linux.wav" ||
            fail "Linux xmrender failed on $name"
        # Wine maps Z: to the root of the Linux file system.
        run_wine 300 "$windows_build/tools/xmrender/xmrender.exe" "${flags[@]}" \
            "Z:$module" "Z:$work/windows.wav" || fail "xmrender.exe failed on $name ($format)"
        cmp "$work/linux.wav" "$work/windows.wav" ||
            fail "xmrender.exe and xmrender differ on $name ($format)"
        count=$((count + 1))
        # windows.wav stays: every later rendering replaces an existing file, as a user's
        # second run does.
    done
done
[ "$count" -ge 6 ] || fail "only $count renderings compared"
echo "$count renderings bit-identical"
