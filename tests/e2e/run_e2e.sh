#!/bin/bash
# Runs the end-to-end driver against the real TavixvCard.exe under Wine, on a private X display, in a private Wine
# prefix and locale, all inside one scratch folder that is removed afterwards.
#
#   run_e2e.sh WINDOWS_DIR [--screenshots DIR] [--keep] [DRIVER ARGS...]
#
# WINDOWS_DIR holds i686/ and x86_64/, each with TavixvCard.exe and e2e_driver.exe. The 32-bit build is tested when
# this machine can run 32-bit Wine; otherwise the x86_64 build of the same sources. DRIVER ARGS go to e2e_driver
# (for example --only table). --keep leaves the scratch folder in place.
#
# Exit status: the driver's (0 when every case passed); 77 (skipped) only when Wine, Xvfb or the executables are
# missing.
set -u

SKIP=77
here=$(cd "$(dirname "$0")" && pwd)

skip() {
    echo "SKIPPED: $*"
    exit "$SKIP"
}

[ $# -ge 1 ] || { echo "usage: $0 WINDOWS_DIR [--screenshots DIR] [--keep] [DRIVER ARGS...]" >&2; exit 2; }
builds=$1
shift
shots=""
keep=0
driver_args=()
while [ $# -gt 0 ]; do
    case $1 in
        --screenshots) shots=$2; shift 2 ;;
        --keep) keep=1; shift ;;
        *) driver_args+=("$1"); shift ;;
    esac
done

# ---- tools ----
command -v Xvfb >/dev/null || skip "Xvfb is missing (apt-get install xvfb)"
command -v localedef >/dev/null || skip "localedef is missing (apt-get install locales)"
[ -x /usr/lib/wine/wine64 ] || [ -x /usr/lib/wine/wine ] || skip "Wine is missing (apt-get install wine wine32:i386)"
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver) || skip "wineserver is missing"

have_build() { [ -f "$builds/$1/TavixvCard.exe" ] && [ -f "$builds/$1/e2e_driver.exe" ]; }
have_build i686 || have_build x86_64 || skip "no Windows build in $builds (TavixvCard.exe and e2e_driver.exe)"

# ---- scratch folder, and everything that must go when the run ends ----
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavix-e2e.XXXXXX")
xvfb_pid=""
watcher_pid=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null && wait "$watcher_pid" 2>/dev/null
    if [ -d "$scratch/prefix" ]; then
        WINEPREFIX="$scratch/prefix" TMPDIR="$scratch/tmp" "$wineserver" -k 2>/dev/null
    fi
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    if [ "$keep" = 1 ]; then
        echo "scratch folder kept: $scratch"
    else
        rm -rf "$scratch"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$scratch/tmp" "$scratch/locale" "$scratch/work" "$scratch/screens" "$scratch/bin"
export TMPDIR="$scratch/tmp"  # Wine keeps its server socket folder there
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers
export WINEPREFIX="$scratch/prefix"

# A Windows path for a path of this machine (Wine maps / to Z:).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# ---- locale: without zh_CN.UTF-8 Wine falls back to code page 1252 and draws CJK as boxes ----
localedef -i zh_CN -f UTF-8 "$scratch/locale/zh_CN.UTF-8" >/dev/null 2>&1 ||
    { echo "localedef zh_CN.UTF-8 failed"; exit 1; }
# (bash itself warns that it cannot switch to the new locale; that is harmless, hence the redirection)
{ export LOCPATH="$scratch/locale" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null

# ---- display ----
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
[ -s "$scratch/display" ] || { echo "Xvfb did not start:"; cat "$scratch/xvfb.log"; exit 1; }
DISPLAY=":$(head -n1 "$scratch/display")"
export DISPLAY

# ---- Wine: 32-bit when this machine can run it, else the 64-bit build of the same sources ----
make_prefix() {
    rm -rf "$WINEPREFIX"
    WINEARCH=$1 "$wine" wineboot -i >"$scratch/wineboot.log" 2>&1
}
arch=""
if [ -x /usr/lib/wine/wine ] && have_build i686 && timeout 10 /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine=/usr/lib/wine/wine
    if make_prefix win32 && cp "$builds/i686/e2e_driver.exe" "$scratch/bin/probe.exe" &&
        timeout 30 "$wine" "$scratch/bin/probe.exe" --version >/dev/null 2>&1; then
        arch=i686
    else
        "$wineserver" -k 2>/dev/null
    fi
fi
if [ -z "$arch" ]; then
    [ -x /usr/lib/wine/wine64 ] || skip "32-bit Wine cannot run here and 64-bit Wine is missing"
    have_build x86_64 || skip "32-bit Wine cannot run here and there is no x86_64 build in $builds"
    echo "32-bit Wine cannot run here; testing the x86_64 build of the same sources"
    wine=/usr/lib/wine/wine64
    make_prefix win64 || { echo "wineboot failed:"; cat "$scratch/wineboot.log"; exit 1; }
    arch=x86_64
fi
echo "Wine: $("$wine" --version), testing $builds/$arch"
cp "$builds/$arch/TavixvCard.exe" "$builds/$arch/e2e_driver.exe" "$scratch/bin/"

# Without a window manager every hide would stall 2 s unless Wine manages no windows itself. A crash of the
# program must end it rather than leave Wine's crash dialog waiting for a click. The driver doubles
# as the https handler, so every address the shell opens is appended to the log instead of reaching a browser.
# Wine's HKEY_CLASSES_ROOT is HKLM\Software\Classes only (HKCU\Software\Classes is not merged in), so the
# handler goes there.
driver_win=$(winpath "$scratch/bin/e2e_driver.exe")
{
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
    echo '"Managed"="N"'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
    echo '"ShowCrashDialog"=dword:00000000'
    echo
    echo '[HKEY_CLASSES_ROOT\https\shell\open\command]'
    echo "@=\"\\\"${driver_win//\\/\\\\}\\\" --record-url \\\"%1\\\"\""
} >"$scratch/settings.reg"
"$wine" regedit /S "$(winpath "$scratch/settings.reg")" >/dev/null 2>&1

export TAVIX_URL_LOG
TAVIX_URL_LOG=$(winpath "$scratch/urls.txt")

# ---- screenshots: the driver drops NAME.req and waits for NAME.done ----
screens_args=()
if [ -n "$shots" ]; then
    if command -v import >/dev/null; then
        mkdir -p "$shots"
        (
            while :; do
                for req in "$scratch/screens"/*.req; do
                    [ -e "$req" ] || continue
                    name=$(basename "$req" .req)
                    import -window root -display "$DISPLAY" "$shots/$name.png" 2>>"$scratch/import.log" ||
                        echo "screenshot $name failed" >&2
                    rm -f "$req"
                    : >"$scratch/screens/$name.done"
                done
                sleep 0.1
            done
        ) &
        watcher_pid=$!
        screens_args=(--screens "$(winpath "$scratch/screens")")
    else
        echo "note: ImageMagick's import is missing, no screenshots"
    fi
fi

# ---- the run ----
cd "$scratch" || exit 1
timeout --kill-after=10 600 "$wine" "$scratch/bin/e2e_driver.exe" \
    --data "$(winpath "$here/data")" --work "$(winpath "$scratch/work")" "${screens_args[@]}" \
    "${driver_args[@]}" 2>&1 |
    sed -u -e 's/\r//g' -e '/Read access denied for device/d'
status=${PIPESTATUS[0]}
if [ -n "$shots" ] && [ -n "$watcher_pid" ]; then
    echo "screenshots: $shots"
fi
exit "$status"
