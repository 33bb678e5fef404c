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
