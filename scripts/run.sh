#!/usr/bin/env bash
# The main job: installs what is missing, builds, converts examples/numbers.txt with txt2vcf, then starts the
# Windows program under Wine — on your display when DISPLAY is set, else on a private Xvfb, where it takes a
# screenshot to build/screenshot.png and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"

build/cli/txt2vcf -o build/numbers.vcf examples/numbers.txt
echo "The cards of examples/numbers.txt are in $root/build/numbers.vcf"

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavix-run.XXXXXX")
visible=${DISPLAY:-}
trap 'wine_stop; rm -rf "$scratch"' EXIT
wine_env "$scratch"
[ -n "$visible" ] || wine_start_xvfb "$scratch"
wine_pick test -f build/windows/i686/TavixvCard.exe
wine_make_prefix "$scratch"

# The program writes its output beside itself: give it a folder of its own.
program_dir="$root/build/program"
mkdir -p "$program_dir"
cp "build/windows/$WINE_ARCH/TavixvCard.exe" "$program_dir/"
[ "$WINE_ARCH" = i686 ] || echo "note: this machine cannot run 32-bit programs; starting the x86_64 build"

if [ -n "$visible" ]; then
    echo "Starting TavixvCard.exe on $DISPLAY; its output goes to $program_dir"
    (cd "$program_dir" && "$WINE" TavixvCard.exe)
    exit 0
fi

(cd "$program_dir" && "$WINE" TavixvCard.exe) &
program=$!
for _ in $(seq 100); do
    xdotool search --name 'TavixvCard' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 1
import -window root -display "$DISPLAY" build/screenshot.png
echo "Screenshot of the program: $root/build/screenshot.png"
# Close it as a user would, with Esc; the session's end stops it should that not arrive.
window=$(xdotool search --name 'TavixvCard' | head -n1)
xdotool windowfocus --sync "$window" key Escape 2>/dev/null || true
for _ in $(seq 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if wait "$program" 2>/dev/null; then
    echo "The program closed with exit code 0."
fi
