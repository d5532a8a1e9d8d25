#!/usr/bin/env bash
# Installs what the project needs from Debian's packages, only what is missing.
#   scripts/install-deps.sh          everything: native build, tests, sanitizers, fuzzer, cross-build, Wine
#   scripts/install-deps.sh native   only what the native build and its tests need
set -euo pipefail

profile=${1:-all}
native=(cmake make g++ pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
        clang-format python3 time)
windows=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-i686-dev mingw-w64-x86-64-dev binutils-mingw-w64-i686
         binutils-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb x11-utils xdotool imagemagick fonts-wqy-microhei
         locales python3-vobject)

wanted=("${native[@]}")
[ "$profile" = native ] || wanted+=("${windows[@]}")

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# Wine's 32-bit half comes from the i386 architecture.
if [ "$profile" != native ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
