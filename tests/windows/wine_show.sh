#!/usr/bin/env bash
# quavel1.exe under Wine on a 1920 x 1080 X display. Wine creates the window and a Direct3D 11
# device and swap chain (on OpenGL), but its HLSL compiler cannot compile the show's programs
# (structured buffers, among others), so start-up must stop after the device with a message
# naming the first program that failed and exit code 2: never a crash, never a hang.
#   wine_show.sh stderr   standard error redirected: the message goes there
#   wine_show.sh window   started as from the desktop (no console, no standard error): the
#                         message comes in a message box before any window exists (the
#                         programs are compiled first), and Escape in it ends the process
#   wine_show.sh dpi      the same with a stand-in compiler (probes/fake_d3dcompiler.cpp) whose
#                         "bytecode" the device refuses, at 96 and 144 dpi: the window is looked
#                         at (class, title, size and place in physical pixels, the cursor
#                         showing while the box is up: the show hides it only to play), the
#                         box names the refused shader object, and Escape in it, or closing
#                         the show's window, ends the process
#   wine_show.sh edit     quavel1.exe --edit --shaders DIR started as from the desktop
#                         (probes/detached_start.cpp): with no console its messages go to
#                         quavel1-edit.log beside DIR (the start-up
#                         failure still comes in a message box); with standard error
#                         redirected they go there, and no log is made
#   wine_show.sh check    quavel1.exe --check with its output redirected: it describes the
#                         device and lists the adapters, stops at the shader compiler with exit
#                         code 2, says so in its output and in the report of the new folder it
#                         names, and packs the folder into one file named last; the same into
#                         a folder named with spaces and letters beyond ASCII
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

# While a start-up message box is up the pointer shows, over the show's window too (the show
# hides it only once it starts playing): a screen grab that draws the cursor differs from one
# that does not. Over a window that hides it the two would be equal.
# grab DRAW_CURSOR X Y FILE: the 64 x 64 pixels around (X, Y), the cursor drawn in or not.
grab() {
    ffmpeg -loglevel error -y -f x11grab -draw_mouse "$1" -video_size 64x64 \
        -i "$DISPLAY+$(($2 - 32)),$(($3 - 32))" -frames:v 1 -f rawvideo -pix_fmt rgb24 "$4"
}
check_cursor_shown() {
    sleep 2 # Wine maps the window contents after the box appears
    xdotool mousemove 400 700 && sleep 0.5
    grab 1 400 700 "$work/over-with" && grab 0 400 700 "$work/over-without"
    ! cmp -s "$work/over-with" "$work/over-without" ||
        fail "no cursor over the window while the message box is up"
    echo "the cursor shows over the window while the box is up"
}

# The self-check's output: the report's lines, then the packed folder's path. Checks what the
# two runs share and sets `folder` and `packed`.
check_check_output() {
    local status="$1" out="$2" report
    tr -d '\r' <"$out" | sed '/^ *$/d' >"$work/seen"
    cat "$work/seen"
    [ "$status" -eq 2 ] || fail "exit code $status, not 2; standard error: $(cat "$work/err")"
    grep -qE '^  feature level   [0-9]+_[0-9] ' "$work/seen" || fail "no feature level"
    grep -qE '^  adapter         .+' "$work/seen" || fail "no adapter"
    grep -qE '^  adapters seen   [1-9]' "$work/seen" || fail "no list of adapters"
    grep -qE '^    0  .+, vendor 0x[0-9A-F]{4}' "$work/seen" || fail "no adapter listed"
    grep -q '^quavel1 --check cannot run: shader program ' "$work/seen" ||
        fail "the check does not stop at the shader compiler"
    check_message "$(tr '\n' ' ' <"$work/seen")"
    grep -qx 'Result: the check could not run (exit 2)' "$work/seen" || fail "no result line"
    folder="$(sed -n 's/^Frames and this report: //p' "$work/seen")"
    packed="$(tail -1 "$work/seen" | sed -n 's/^Everything above in one file, to attach: //p')"
    [ -n "$packed" ] || fail "the last line does not name the packed file: $(tail -1 "$work/seen")"
}

# The packed file (a Windows path) beside the folder: a good archive holding the report, whose
# text is the output's but for the last line.
check_packed() {
    local report="$1" zip="$2" top="$3"
    [ -f "$zip" ] || fail "no packed file $zip"
    unzip -tq "$zip" >/dev/null || fail "$zip is not a good archive"
    unzip -Z1 "$zip" | grep -qxF "$top/quavel1-check.txt" || fail "$zip lacks $top/quavel1-check.txt"
    cmp -s <(tr -d '\r' <"$report" | sed '/^ *$/d') <(sed '$d' "$work/seen") ||
        fail "the report differs from the output"
    cmp -s "$report" <(unzip -p "$zip" "$top/quavel1-check.txt") ||
        fail "the packed report differs from the folder's"
    echo "packed into $zip: $(unzip -Z1 "$zip" | tr '\n' ' ')"
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
    run_wine 120 start /wait /unix "$show" >/dev/null 2>&1 &
    started=$!
    probe_status=0
    run_wine 90 "$probe" 60 escape >"$work/probe" 2>/dev/null || probe_status=$?
    status=0
    wait "$started" || status=$?
    tr -d '\r' <"$work/probe" >"$work/seen"
    cat "$work/seen"
    [ "$probe_status" -eq 0 ] || fail "the probe did not find the message box"
    grep -qx 'show_window=none' "$work/seen" || fail "a show window exists before the shaders are compiled"
    check_message "$(grep '^box_text=' "$work/seen")"
    [ "$status" -eq 2 ] || fail "after escape: exit code $status, not 2"
    echo "message before any window; after escape: exit code 2"
    ;;
dpi)
    # The show with the stand-in compiler beside it, preferred to Wine's own.
    mkdir "$work/app"
    cp "$show" "$windows_build/tests/windows/probes/d3dcompiler_47.dll" "$work/app/"
    export WINEDLLOVERRIDES="d3dcompiler_47=n;$WINEDLLOVERRIDES"
    set_dpi() {
        run_wine 60 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    }
    trap 'set_dpi 96; rm -rf "$work"' EXIT
    # dpi, how the show is ended; at every scale the window is 1600 x 900 physical pixels in
    # the middle of the 1920 x 1080 screen.
    while read -r dpi action; do
        set_dpi "$dpi"
        run_wine 120 start /wait /unix "$work/app/quavel1.exe" >/dev/null 2>&1 &
        started=$!
        probe_status=0
        run_wine 90 "$probe" 60 >"$work/probe" 2>/dev/null || probe_status=$?
        [ "$action" = escape ] && check_cursor_shown
        run_wine 30 "$probe" 10 "$action" >/dev/null 2>&1 || probe_status=$?
        status=0
        wait "$started" || status=$?
        tr -d '\r' <"$work/probe" >"$work/seen"
        cat "$work/seen"
        [ "$probe_status" -eq 0 ] || fail "at $dpi dpi the probe did not find the message box"
        grep -qx "dpi=$dpi" "$work/seen" || fail "Wine does not run at $dpi dpi"
        grep -qx 'desktop=1920,1080' "$work/seen" || fail "the X display is not 1920 x 1080"
        grep -qx 'class=DemoTemplate' "$work/seen" || fail "window class"
        grep -qx 'title=quavel1' "$work/seen" || fail "window title"
        grep -qx 'rect=160,90,1600,900' "$work/seen" ||
            fail "at $dpi dpi the window is not 1600 x 900 physical pixels at (160, 90)"
        grep -qx 'popup=1 caption=0 visible=1' "$work/seen" || fail "window not a visible popup"
        grep -qE '^box_text=CreateVertexShader for draw pass 0 \(vs_fullscreen_flip_y, ps_pyramid\) \(vertex shader\) failed: 0x[0-9A-F]{8}' "$work/seen" ||
            fail "the message does not name the refused shader object"
        [ "$status" -eq 2 ] || fail "at $dpi dpi after $action: exit code $status, not 2"
        echo "at $dpi dpi: window right; after $action: exit code 2"
    done <<'ROWS'
96 close
144 escape
ROWS
    ;;
edit)
    windows_path() { echo "Z:$(tr / '\\' <<<"$1")"; }
    mkdir -p "$work/desk/shaders" "$work/shell/shaders"
    run_wine 120 "$windows_build/tests/windows/probes/detached_start.exe" "$(windows_path "$show")" --edit \
        --shaders "$(windows_path "$work/desk/shaders")" >/dev/null 2>&1 &
    started=$!
    probe_status=0
    run_wine 90 "$probe" 60 escape >"$work/probe" 2>/dev/null || probe_status=$?
    status=0
    wait "$started" || status=$?
    [ "$probe_status" -eq 0 ] || fail "the probe did not find the message box"
    [ "$status" -eq 2 ] || fail "after escape: exit code $status, not 2"
    log="$work/desk/quavel1-edit.log"
    [ -f "$log" ] || fail "no quavel1-edit.log beside the shader folder: $(ls "$work/desk")"
    tr -d '\r' <"$log" | head -1 | grep -q '^quavel1 --edit, started ' ||
        fail "the log does not start with its heading: $(cat "$log")"
    echo "without a console: messages in $(basename "$log") beside the shader folder"
    status=0
    run_wine 120 "$show" --edit --shaders "$(windows_path "$work/shell/shaders")" \
        >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "exit code $status, not 2; standard error: $(cat "$work/err")"
    [ ! -e "$work/shell/quavel1-edit.log" ] || fail "a log was made while standard error leads somewhere"
    grep -q '^quavel1: shader program ' "$work/err" ||
        fail "standard error does not have the start-up failure: $(cat "$work/err")"
    echo "standard error redirected: messages there, no log"
    ;;
check)
    # A new folder here by default.
    status=0
    (cd "$work" && run_wine 120 "$show" --check >"$work/out" 2>"$work/err") || status=$?
    check_check_output "$status" "$work/out"
    report=("$work"/quavel1-check-*/quavel1-check.txt)
    [ -f "${report[0]}" ] || fail "no report in a new folder of $work (named: $folder)"
    top="$(basename "$(dirname "${report[0]}")")"
    check_packed "${report[0]}" "$work/$top.zip" "$top"
    # A folder named with spaces and letters beyond ASCII reaches the program whole (the
    # arguments are read from the wide command line), and every file in it can be written
    # (the manifest's UTF-8 code page for the C runtime's and stb's narrow paths).
    status=0
    (cd "$work" && run_wine 120 "$show" --check "Zoë's renders/run 1" >"$work/out" 2>"$work/err") ||
        status=$?
    check_check_output "$status" "$work/out"
    report="$work/Zoë's renders/run 1/quavel1-check.txt"
    [ -f "$report" ] || fail "no report in '$work/Zoë's renders/run 1' (named: $folder)"
    [[ "$folder" == *"\\Zoë's renders\\run 1" ]] || fail "the output names the folder $folder"
    check_packed "$report" "$work/Zoë's renders/run 1.zip" "run 1"
    ;;
*)
    fail "usage: wine_show.sh stderr|window|dpi|edit|check"
    ;;
esac
