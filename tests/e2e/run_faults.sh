#!/bin/bash
# Runs the fault cases of the end-to-end driver (overlapping clicks on two lists, a window closed mid-run, a disk
# that fills, inputs of 3 GB, 100 MB on one line, 2,000,000 empty lines, a setting changed mid-run) through
# run_e2e.sh, which sets up Wine, the display and the locale. The filling disk is an 8 MB tmpfs mounted here, which
# needs root; where mounting is not allowed that one case says so and is skipped. Takes a few minutes.
#
#   run_faults.sh WINDOWS_DIR [--keep] [DRIVER ARGS...]
#
# Exit status: that of run_e2e.sh (0 when every case passed, 77 when Wine or the builds are missing).
set -u

here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 1 ] || { echo "usage: $0 WINDOWS_DIR [--keep] [DRIVER ARGS...]" >&2; exit 2; }
builds=$1
shift

disk=$(mktemp -d "${TMPDIR:-/tmp}/tavix-faults-disk.XXXXXX")
mounted=0
cleanup() {
    [ "$mounted" = 1 ] && umount "$disk"
    rmdir "$disk" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if mount -t tmpfs -o size=8m tavix-faults "$disk" 2>/dev/null; then
    mounted=1
    export TAVIX_FAULT_DISK="Z:${disk//\//\\}"
else
    echo "note: cannot mount an 8 MB tmpfs on $disk (needs root): the filling-disk case is skipped"
fi
export TAVIX_FAULTS=1
bash "$here/run_e2e.sh" "$builds" --only faults/ "$@"
