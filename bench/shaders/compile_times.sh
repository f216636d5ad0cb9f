#!/usr/bin/env bash
# Compile time of every shader program through the Linux build's path (shaderpack: HLSL to
# SPIR-V to GLSL and the register table in one process, the command the build runs), one
# program after another, then the wall time of compiling them all on N parallel workers
# (default: the number of processors), as the Windows start-up does with D3DCompile.
#   bench/shaders/compile_times.sh [BUILD_DIR] [WORKERS]
set -euo pipefail
if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
    sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
fi
build="${1:-build}"
workers="${2:-$(nproc)}"
[ -f "$build/build.ninja" ] || { echo "compile_times: no configured build in $build" >&2; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# One shell line per program: the build's shaderpack command, output into $work.
# The show's 21 programs: the demo's and the engine's final pass.
ninja -C "$build" -t commands | grep -E '^cd .* && [^ ]*/shaderpack compile ' |
    grep -E 'src/(demo|Fennick)/shaders/[a-z0-9_]+\.hlsl' |
    sed -E 's/ && [^&]*cmake_transform_depfile .*$//' |
    sed -E "s#--output [^ ]*/([A-Za-z0-9_]+)\\.cpp#--output $work/\\1.cpp#; s#--depfile [^ ]*#--depfile /dev/null#" \
        >"$work/commands"
count=$(wc -l <"$work/commands")
[ "$count" -gt 0 ] || { echo "compile_times: no shader commands in $build" >&2; exit 2; }

now() { date +%s.%N; }
total=0
while IFS= read -r line; do
    name="$(sed -E 's/.* --name ([A-Za-z0-9_]+) .*/\1/' <<<"$line")"
    start=$(now)
    bash -c "{ $line; } >/dev/null"
    seconds=$(echo "$(now) - $start" | bc)
    total=$(echo "$total + $seconds" | bc)
    printf '%-24s %6.3f s\n' "$name" "$seconds"
done <"$work/commands"
printf '%-24s %6.3f s (%d programs, one after another)\n' "serial total" "$total" "$count"
start=$(now)
tr '\n' '\0' <"$work/commands" | xargs -0 -P "$workers" -I{} bash -c '{ {}; } >/dev/null'
parallel=$(echo "$(now) - $start" | bc)
printf '%-24s %6.3f s on %d workers: %.0f %% of the serial time saved\n' "parallel wall" \
    "$parallel" "$workers" "$(echo "100 * (1 - $parallel / $total)" | bc -l)"
