#!/usr/bin/env bash
# quavel1.exe under Wine on a 1920 x 1080 X display. Wine creates the window and a Direct3D 11
# device and swap chain (on OpenGL), but its HLSL compiler cannot compile the show's programs
# (structured buffers, among others), so start-up must stop after the device with a message
# naming the first program that failed and exit code 2: never a crash, never a hang.
#   wine_show.sh stderr   standard error redirected: the message goes there
#   wine_show.sh window   started as from the desktop (no console, no standard error): the
#                         window is looked at (class, title, place, size, no cursor), the
#                         message comes in a message box, and Escape in it, or closing the
#                         show's window, ends the process
#   wine_show.sh check    quavel1.exe --check with its output redirected: it describes the
#                         device, stops at the shader compiler with exit code 2, and says so
#                         in its output and in the report of the new folder it names
source "$(dirname "$0")/wine_env.sh"
require_windows_build
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
show="$windows_build/quavel1.exe"
probe="$windows_build/tests/windows/probes/window_probe.exe"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The programs the build embedded as source, and those that declare structured buffers.
programs=()
structured=()
while IFS= read -r file; do
    stem="$(basename "$file" .expanded.hlsl)"
    # Block names are lowerCamelCase; the messages use the file stem (ps_copy).
    stem="$(sed -E 's/([A-Z0-9])/_\L\1/g; s/_([0-9])/\1/g' <<<"$stem")"
    programs+=("$stem")
    grep -q 'StructuredBuffer' "$file" && structured+=("$stem")
done < <(find "$windows_build/src" -name '*.expanded.hlsl' | sort)
[ ${#programs[@]} -ge 21 ] || fail "only ${#programs[@]} shader programs in the cross build"
[ ${#structured[@]} -ge 1 ] || fail "no structured-buffer program found"

# Checks the failure message: the first failing program named with its compiler message, the
# count over all programs, and every structured-buffer program among the failures.
check_message() {
    local text="$1" first list
    first="$(sed -nE 's/.*shader program ([a-z0-9_]+) \([vpc]s_5_0\) cannot be compiled by d3dcompiler_47\.dll.*/\1/p' <<<"$text" | head -1)"
    [ -n "$first" ] || fail "no shader failure named in: $text"
    grep -qE "\(([0-9]+) of ${#programs[@]} programs cannot be compiled: $first(, |\))" <<<"$text" ||
        fail "no count over ${#programs[@]} programs starting with $first in: $text"
    list="$(sed -nE 's/.*programs cannot be compiled: ([^)]*)\).*/\1/p' <<<"$text")"
    for program in "${structured[@]}"; do
        [[ ", $list, " == *", $program, "* ]] || fail "$program (structured buffers) compiled under Wine?"
    done
    echo "first failing program: $first; failing: $list"
}

# The pointer over the show's window shows no cursor: a screen grab that draws the cursor
# equals one that does not. Over the bare desktop the two differ, which shows the grab sees a
# cursor where there is one.
# grab DRAW_CURSOR X Y FILE: the 64 x 64 pixels around (X, Y), the cursor drawn in or not.
grab() {
    ffmpeg -loglevel error -y -f x11grab -draw_mouse "$1" -video_size 64x64 \
        -i "$DISPLAY+$(($2 - 32)),$(($3 - 32))" -frames:v 1 -f rawvideo -pix_fmt rgb24 "$4"
}
check_no_cursor() {
    sleep 2 # Wine maps the window contents after the box appears
    xdotool mousemove 400 700 && sleep 0.5
    grab 1 400 700 "$work/over-with" && grab 0 400 700 "$work/over-without"
    cmp -s "$work/over-with" "$work/over-without" || fail "a cursor shows over the window"
    xdotool mousemove 60 40 && sleep 0.5
    grab 1 60 40 "$work/desk-with" && grab 0 60 40 "$work/desk-without"
    ! cmp -s "$work/desk-with" "$work/desk-without" || fail "the grab shows no cursor anywhere"
    echo "no cursor over the window"
}

case "${1:-}" in
stderr)
    status=0
    run_wine 120 "$show" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "exit code $status, not 2; standard error: $(cat "$work/err")"
    head -1 "$work/err" | grep -q '^quavel1: shader program ' ||
        fail "standard error does not start with the shader failure: $(cat "$work/err")"
    check_message "$(tr '\n' ' ' <"$work/err")"
    ;;
window)
    for action in escape close; do
        # start /unix gives the program neither a console nor standard handles, as a
        # double-click does; /wait passes its exit code on.
        run_wine 120 start /wait /unix "$show" >/dev/null 2>&1 &
        started=$!
        probe_status=0
        run_wine 90 "$probe" 60 >"$work/probe" 2>/dev/null || probe_status=$?
        [ "$action" = escape ] && check_no_cursor
        run_wine 30 "$probe" 10 "$action" >/dev/null 2>&1 || probe_status=$?
        status=0
        wait "$started" || status=$?
        tr -d '\r' <"$work/probe" >"$work/seen"
        cat "$work/seen"
        [ "$probe_status" -eq 0 ] || fail "the probe did not find the window and the message box"
        grep -qx 'desktop=1920,1080' "$work/seen" || fail "the X display is not 1920 x 1080"
        grep -qx 'class=DemoTemplate' "$work/seen" || fail "window class"
        grep -qx 'title=quavel1' "$work/seen" || fail "window title"
        grep -qx 'rect=160,90,1600,900' "$work/seen" || fail "window not 1600 x 900 at (160, 90)"
        grep -qx 'popup=1 caption=0 visible=1' "$work/seen" || fail "window not a visible popup"
        check_message "$(grep '^box_text=' "$work/seen")"
        [ "$status" -eq 2 ] || fail "after $action: exit code $status, not 2"
        echo "after $action: exit code 2"
    done
    ;;
check)
    status=0
    (cd "$work" && run_wine 120 "$show" --check >"$work/out" 2>"$work/err") || status=$?
    # Wine's console code ends the output with a line of spaces: blank lines do not count.
    tr -d '\r' <"$work/out" | sed '/^ *$/d' >"$work/seen"
    cat "$work/seen"
    [ "$status" -eq 2 ] || fail "exit code $status, not 2; standard error: $(cat "$work/err")"
    grep -qE '^  feature level   [0-9]+_[0-9] ' "$work/seen" || fail "no feature level"
    grep -qE '^  adapter         .+' "$work/seen" || fail "no adapter"
    grep -q '^quavel1 --check cannot run: shader program ' "$work/seen" ||
        fail "the check does not stop at the shader compiler"
    check_message "$(tr '\n' ' ' <"$work/seen")"
    grep -qx 'Result: the check could not run (exit 2)' "$work/seen" || fail "no result line"
    folder="$(sed -n 's/^Frames and this report: //p' "$work/seen")"
    report=("$work"/quavel1-check-*/quavel1-check.txt)
    [ -f "${report[0]}" ] || fail "no report in a new folder of $work (named: $folder)"
    cmp -s <(tr -d '\r' <"${report[0]}" | sed '/^ *$/d') "$work/seen" ||
        fail "the report differs from the output"
    ;;
*)
    fail "usage: wine_show.sh stderr|window|check"
    ;;
esac
