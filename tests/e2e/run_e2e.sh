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
# shellcheck source=../../scripts/wine-env.sh
. "$here/../../scripts/wine-env.sh"
[ -x "$WINE_SERVER" ] || skip "wineserver is missing"

have_build() { [ -f "$builds/$1/TavixvCard.exe" ] && [ -f "$builds/$1/e2e_driver.exe" ]; }
have_build i686 || have_build x86_64 || skip "no Windows build in $builds (TavixvCard.exe and e2e_driver.exe)"

# ---- scratch folder, and everything that must go when the run ends ----
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavix-e2e.XXXXXX")
watcher_pid=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null && wait "$watcher_pid" 2>/dev/null
    wine_stop
    if [ "$keep" = 1 ]; then
        echo "scratch folder kept: $scratch"
    else
        rm -rf "$scratch"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$scratch/work" "$scratch/screens" "$scratch/bin"
wine_env "$scratch" || exit 1
wine_start_xvfb "$scratch" || exit 1

# ---- Wine: 32-bit when this machine can run it, else the 64-bit build of the same sources ----
wine_pick have_build i686
if [ "$WINE_ARCH" = x86_64 ]; then
    [ -x "$WINE" ] || skip "32-bit Wine cannot run here and 64-bit Wine is missing"
    have_build x86_64 || skip "32-bit Wine cannot run here and there is no x86_64 build in $builds"
    echo "32-bit Wine cannot run here; testing the x86_64 build of the same sources"
fi
wine=$WINE
arch=$WINE_ARCH
echo "Wine: $("$wine" --version), testing $builds/$arch"
cp "$builds/$arch/TavixvCard.exe" "$builds/$arch/e2e_driver.exe" "$scratch/bin/"

# The driver doubles as the https handler, so every address the shell opens is appended to the log instead of
# reaching a browser. Wine's HKEY_CLASSES_ROOT is HKLM\Software\Classes only (HKCU\Software\Classes is not merged
# in), so the handler goes there.
driver_win=$(winpath "$scratch/bin/e2e_driver.exe")
{
    echo
    echo '[HKEY_CLASSES_ROOT\https\shell\open\command]'
    echo "@=\"\\\"${driver_win//\\/\\\\}\\\" --record-url \\\"%1\\\"\""
} >"$scratch/handler.reg"
wine_make_prefix "$scratch" "$scratch/handler.reg" || exit 1

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
