#!/usr/bin/env bash
# quavel1 --check on llvmpipe: every golden moment matches (exit 0), and the report holds the
# device and the adapters, the program table, a table per moment and the GPU time of every
# pass; the output's last line names one file holding the whole folder.
#   self_check.sh QUAVEL1 SRC
set -euo pipefail
show="$1"
programs="$(ls "$2"/demo/shaders/*.hlsl "$2"/Fennick/shaders/*.hlsl | wc -l)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
status=0
(cd "$work" && "$show" --check >"$work/out" 2>"$work/err") || status=$?
cat "$work/out"
[ "$status" -eq 0 ] || fail "exit code $status, not 0: $(cat "$work/err")"
folder="$(sed -n 's/^Frames and this report: //p' "$work/out")"
[ "$(dirname "$folder")" = "$(cd "$work" && pwd -P)" ] || [ "$(dirname "$folder")" = "$work" ] ||
    fail "the default folder '$folder' is not a new folder in the current directory"
cmp -s <(sed '$d' "$work/out") "$folder/quavel1-check.txt" ||
    fail "the report file differs from the output"
packed="$(tail -1 "$work/out" | sed -n 's/^Everything above in one file, to attach: //p')"
[ "$packed" = "$folder.zip" ] || fail "the last line does not name $folder.zip: $(tail -1 "$work/out")"
unzip -tq "$packed" >/dev/null || fail "$packed is not a good archive"
top="$(basename "$folder")"
[ "$(unzip -Z1 "$packed" | tr '\n' ' ')" = "$top/quavel1-check.txt $top/credits.png $top/explosion.png $top/particles.png " ] ||
    fail "$packed holds $(unzip -Z1 "$packed" | tr '\n' ' ')"
cmp -s "$folder/explosion.png" <(unzip -p "$packed" "$top/explosion.png") || fail "a packed frame differs"
grep -qE '^  feature level   11_0' "$work/out" || fail "no feature level"
grep -qE '^    0  .+, vendor 0x[0-9A-F]{4}  \(first for high performance, USED\)$' "$work/out" ||
    fail "the adapter used is not listed"
[ "$(grep -cE '^  (vs|ps|cs|engine)_[a-z0-9_]+ +- +[0-9.]+$' "$work/out")" -eq "$programs" ] ||
    fail "not all $programs programs with their creation times"
for moment in explosion particles credits; do
    grep -qE "^Moment $moment " "$work/out" || fail "no table for $moment"
    [ "$(ffprobe -v error -show_entries stream=width,height -of csv=p=0 "$folder/$moment.png")" = 1600,900 ] ||
        fail "no 1600 x 900 frame $moment.png"
done
[ "$(grep -c '^  result                  matches$' "$work/out")" -eq 3 ] || fail "not 3 matches"
passes="$(sed -n 's/^Graph: \([0-9]*\) passes created.*/\1/p' "$work/out")"
[ -n "$passes" ] || fail "no graph line"
[ "$(grep -cE '^ +[0-9]+ [a-z_ +0-9]+( +([0-9]+\.[0-9]+|-)){3}$' "$work/out")" -eq "$passes" ] ||
    fail "not all $passes passes with GPU times"
grep -q '^Result: all 3 moments match the references (exit 0)$' "$work/out" || fail "no result line"
