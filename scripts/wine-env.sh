# Sourced, not run: a private Wine session for the Windows program, inside one scratch folder.
#   wine_env SCRATCH             environment and a private zh_CN.UTF-8 locale (without it Wine falls back to code
#                                page 1252 and draws Chinese as boxes)
#   wine_start_xvfb SCRATCH      a private Xvfb; exports DISPLAY
#   wine_pick ARCH_DIR_TEST      sets WINE and WINE_ARCH: i686 when this machine runs 32-bit Wine and the given
#                                command (a probe, e.g. "test -f x/i686/a.exe") succeeds, else x86_64 — the build of
#                                the same sources for machines whose kernel cannot execute 32-bit code
#   wine_make_prefix SCRATCH [REG]  a new prefix for WINE_ARCH, with the settings every run needs (and REG's)
#   wine_stop                    ends the session's wineserver and Xvfb (safe to call twice)
#   winpath PATH                 the Windows form (Z:\…) of a path of this machine

WINE_SERVER=/usr/lib/wine/wineserver
wine_xvfb_pid=""

winpath() { printf 'Z:%s' "${1//\//\\}"; }

wine_env() {
    local scratch=$1
    mkdir -p "$scratch/tmp" "$scratch/locale"
    export TMPDIR="$scratch/tmp"  # Wine keeps its server socket folder there
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers
    export WINEPREFIX="$scratch/prefix"
    localedef -i zh_CN -f UTF-8 "$scratch/locale/zh_CN.UTF-8" >/dev/null 2>&1 || {
        echo "localedef zh_CN.UTF-8 failed" >&2
        return 1
    }
    # (bash itself warns that it cannot switch to the new locale; that is harmless, hence the redirection)
    { export LOCPATH="$scratch/locale" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null
}

wine_start_xvfb() {
    local scratch=$1
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
    wine_xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$scratch/display" ] && break
        sleep 0.1
    done
    [ -s "$scratch/display" ] || { echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; return 1; }
    DISPLAY=":$(head -n1 "$scratch/display")"
    export DISPLAY
}

wine_pick() {
    if [ -x /usr/lib/wine/wine ] && timeout 10 /usr/lib/wine/wine --version >/dev/null 2>&1 && "$@"; then
        WINE=/usr/lib/wine/wine WINE_ARCH=i686
    else
        WINE=/usr/lib/wine/wine64 WINE_ARCH=x86_64
    fi
    export WINE WINE_ARCH
}

# A second argument names a file of extra REGEDIT4 lines for the prefix.
wine_make_prefix() {
    local scratch=$1 extra=${2:-} winearch=win64
    [ "$WINE_ARCH" = i686 ] && winearch=win32
    rm -rf "$WINEPREFIX"
    WINEARCH=$winearch "$WINE" wineboot -i >"$scratch/wineboot.log" 2>&1 || {
        echo "wineboot failed:" >&2
        cat "$scratch/wineboot.log" >&2
        return 1
    }
    # Without a window manager every hide would stall 2 s unless Wine manages no windows itself; a crash must end
    # the program rather than leave Wine's crash dialog waiting for a click.
    {
        echo 'REGEDIT4'
        echo
        echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
        echo '"Managed"="N"'
        echo
        echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
        echo '"ShowCrashDialog"=dword:00000000'
        [ -z "$extra" ] || cat "$extra"
    } >"$scratch/settings.reg"
    "$WINE" regedit /S "$(winpath "$scratch/settings.reg")" >/dev/null 2>&1
}

wine_stop() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        "$WINE_SERVER" -k 2>/dev/null
    fi
    if [ -n "$wine_xvfb_pid" ]; then
        kill "$wine_xvfb_pid" 2>/dev/null
        wait "$wine_xvfb_pid" 2>/dev/null
        wine_xvfb_pid=""
    fi
    return 0
}
