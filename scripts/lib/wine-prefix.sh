# Wine prefixes for the Windows programs, made the way scripts/windows-test makes them: one
# pristine template per build folder (wineboot is slow), kept until Wine changes, and cheap
# clones of it: the system DLL folders, which nothing writes, as hard links, every other file
# (registry, settings) as a copy of its own. Sourced, not run.

# wine_template TEMPLATE win32|win64: makes the template if it is missing or from another Wine.
wine_template() {
    local template=$1 arch=$2 stamp
    stamp="$(wine --version) $(dpkg-query -W -f='${Version}' wine 2>/dev/null || true)"
    (
        flock 9
        if [ ! -f "$template/.quillamor-stamp" ] || [ "$(cat "$template/.quillamor-stamp")" != "$stamp" ]; then
            rm -rf "$template"
            WINEPREFIX=$template WINEARCH=$arch WINEDEBUG=-all wine wineboot -i >/dev/null 2>&1
            # X11 where there is a display, else the null driver (windows and message boxes work).
            WINEPREFIX=$template WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f >/dev/null 2>&1
            WINEPREFIX=$template wineserver -w
            echo "$stamp" >"$template/.quillamor-stamp"
        fi
        wine_guard "$template" "$arch"
    ) 9>"$template.lock"
}

# wine_clone TEMPLATE PREFIX: a fresh prefix at PREFIX (which must not exist yet).
wine_clone() {
    local template=$1 prefix=$2
    cp -al "$template" "$prefix"
    find "$prefix" -type f ! -path "$prefix/drive_c/windows/system32/*" \
        ! -path "$prefix/drive_c/windows/syswow64/*" ! -path "$prefix/drive_c/windows/winsxs/*" \
        -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
}

# winpath PATH: the Windows name of a file of this machine (drive Z:).
winpath() {
    local p=$1
    echo "Z:${p//\//\\}"
}

# --- Crashes -----------------------------------------------------------------------------------
# When a program crashes, Wine starts the debugger its prefix names. Wine's own (winedbg)
# writes its settings and a console's keys into the prefix, which a comparison of the
# registry then takes for a leftover, and prints its report where a test may not read it. The
# test prefixes name tests/wine/crash-report.c instead: it writes one line that names the
# program, its command line, the exception and the module, to the file that the crashed
# program's QUILLAMOR_CRASH_LOG names, and lets the program end with the exception's code.

WINE_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# wine_crash_reporters DIR: crash-report32.exe and crash-report64.exe in DIR, built when
# missing or older than their source.
wine_crash_reporters() {
    local dir=$1 source=$WINE_LIB_DIR/../../tests/wine/crash-report.c arch bits
    mkdir -p "$dir"
    for arch in i686 x86_64; do
        bits=$([ $arch = i686 ] && echo 32 || echo 64)
        [ "$dir/crash-report$bits.exe" -nt "$source" ] && continue
        "$arch-w64-mingw32-gcc" -O2 -Wall -Wextra -Werror -mwindows -static \
            -o "$dir/crash-report$bits.exe" "$source" -lntdll
    done
}

# wine_guard_lines DIR win32|win64: the registry lines (regedit's format, for the 64-bit
# regedit in a 64-bit prefix) that make DIR's crash reporters the prefix's debugger, for the
# programs of each bitness.
wine_guard_lines() {
    local dir=$1 arch=$2 key='Software\Microsoft\Windows NT\CurrentVersion\AeDebug' bits node
    for bits in 32 64; do
        [ $arch = win64 ] || [ $bits = 32 ] || continue
        node=$([ $arch = win64 ] && [ $bits = 32 ] && echo 'Software\Wow6432Node' || echo Software)
        printf '[HKEY_LOCAL_MACHINE\\%s]\r\n' "${key/Software/$node}"
        printf '"Debugger"="%s %%ld %%ld"\r\n' "$(winpath "$dir/crash-report$bits.exe" | sed 's/\\/\\\\/g')"
        printf '"Auto"="1"\r\n\r\n'
    done
}

# wine_guard PREFIX win32|win64: makes the crash reporters (in PREFIX's folder) the prefix's
# debugger, once.
wine_guard() {
    local prefix=$1 arch=$2 dir want loader=wine
    dir=$(cd "$(dirname "$prefix")" && pwd)
    wine_crash_reporters "$dir"
    want="crash-report in $dir"
    [ "$(cat "$prefix/.quillamor-crash-guard" 2>/dev/null)" = "$want" ] && return 0
    [ $arch = win64 ] && loader=/usr/lib/wine/wine64
    { printf 'REGEDIT4\r\n\r\n'; wine_guard_lines "$dir" "$arch"; } >"$prefix.guard.reg"
    WINEPREFIX=$prefix WINEDEBUG=-all "$loader" regedit /S "$(winpath "$prefix.guard.reg")" >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w
    rm -f "$prefix.guard.reg"
    echo "$want" >"$prefix/.quillamor-crash-guard"
}

# wine_crash_log FILE: the programs started from here on report their crashes to FILE (which
# starts empty).
wine_crash_log() {
    mkdir -p "$(dirname "$1")"
    : >"$1"
    QUILLAMOR_CRASH_LOG=$(winpath "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")")
    export QUILLAMOR_CRASH_LOG
}

# wine_crashes FILE WHAT: prints a failure line for each crash in FILE and fails when there
# was one; WHAT says whose programs they were.
wine_crashes() {
    [ -s "$1" ] || return 0
    tr -d '\r' <"$1" | sed "s|^crash: |FAILED: $2: a program crashed: |" >&2
    echo "   (the crash reports are kept in $1)" >&2
    return 1
}
