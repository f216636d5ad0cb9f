#!/usr/bin/env bash
# The cross-built executables as a Windows loader sees them: the subsystem, the DLLs they
# import (only ones that every Windows 10 and 11 has: no compiler runtime DLL beside the
# .exe, no d3dcompiler_47.dll, which quavel1.exe loads itself), and quavel1.exe's resources
# (icon group 101 with two images, version information, the manifest declaring per-monitor v2
# DPI awareness with the system-aware fallback and the UTF-8 code page; Wine treats every
# program as DPI-aware, so only the resource itself can be checked here), and the exports
# that ask hybrid-GPU laptops for the discrete GPU.
source "$(dirname "$0")/wine_env.sh"
require_windows_build
objdump="${QUAVEL_MINGW_OBJDUMP:-x86_64-w64-mingw32-objdump}"
windres="${QUAVEL_MINGW_WINDRES:-x86_64-w64-mingw32-windres}"

# DLLs every Windows 10 and 11 installation has in System32 (ws2_32: Winsock, for --edit).
# shell32: CommandLineToArgvW.
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll d3d11.dll dxgi.dll winmm.dll ws2_32.dll shell32.dll"

check_exe() {
    local exe="$1" subsystem="$2" dlls
    local headers
    headers="$("$objdump" -p "$exe")" || fail "$objdump cannot read $exe"
    grep -q "^Subsystem.*($subsystem)" <<<"$headers" ||
        fail "$exe is not a $subsystem program: $(grep '^Subsystem' <<<"$headers")"
    dlls="$(sed -nE 's/^[[:space:]]*DLL Name: (.*)$/\1/p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)"
    [ -n "$dlls" ] || fail "$exe imports nothing at all"
    for dll in $dlls; do
        [[ " $allowed " == *" $dll "* ]] || fail "$exe imports $dll, which Windows does not ship"
    done
    echo "$(basename "$exe"): $subsystem, imports $(echo $dlls)"
}

check_exe "$windows_build/quavel1.exe" "Windows GUI"
check_exe "$windows_build/tools/xmrender/xmrender.exe" "Windows CUI"

resources="$("$windres" -i "$windows_build/quavel1.exe" -O rc)" || fail "windres cannot read quavel1.exe"
grep -qE '^101 14 /\* RT_GROUP_ICON \*/' <<<"$resources" || fail "quavel1.exe has no icon group 101"
icons=$(grep -cE '^[0-9]+ 3 /\* RT_ICON \*/' <<<"$resources")
[ "$icons" -eq 2 ] || fail "quavel1.exe's icon has $icons images, not 2"
grep -q 'VERSIONINFO' <<<"$resources" || fail "quavel1.exe has no version information"
grep -q 'VALUE "OriginalFilename", "quavel1.exe"' <<<"$resources" ||
    fail "quavel1.exe's version information does not name it"
echo "quavel1.exe: icon group 101 with $icons images, version information"
grep -qE '^1 24 /\* RT_MANIFEST \*/' <<<"$resources" || fail "quavel1.exe has no manifest (RT_MANIFEST 1)"
for declared in '<dpiAwareness[^>]*>PerMonitorV2, PerMonitor</dpiAwareness>' '<dpiAware[^>]*>true/pm</dpiAware>'; do
    grep -aqE "$declared" "$windows_build/quavel1.exe" || fail "quavel1.exe's manifest lacks $declared"
done
echo "quavel1.exe: manifest declaring per-monitor v2 DPI awareness (system-aware fallback)"
grep -aqE '<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>' \
    "$windows_build/quavel1.exe" || fail "quavel1.exe's manifest does not declare the UTF-8 code page"
echo "quavel1.exe: manifest declaring the UTF-8 active code page"

# The exports hybrid-GPU laptops' drivers look for, to run the program on the discrete GPU.
exports="$("$objdump" -p "$windows_build/quavel1.exe" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p')"
for symbol in NvOptimusEnablement AmdPowerXpressRequestHighPerformance; do
    grep -qE "\] $symbol\$" <<<"$exports" || fail "quavel1.exe does not export $symbol"
done
echo "quavel1.exe: exports NvOptimusEnablement and AmdPowerXpressRequestHighPerformance"
