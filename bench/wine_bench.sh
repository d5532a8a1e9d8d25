#!/bin/bash
# The figures of a big list under Wine: drives the real TavixvCard.exe through the end-to-end driver (set up by
# tests/e2e/run_e2e.sh) and prints a table: the import of 10,000, 100,000 and 1,000,000 eleven-digit numbers
# (CR LF) from the press on Open to the new caption, the generate with the default settings and with both filters
# and "自定义" from the click on "生成" to the outcome box, the longest WM_NULL round trip to the main window during
# the default generate, and the program's private memory; with the native txt2vcf on the same 1M file as reference.
#
#   bench/wine_bench.sh WINDOWS_DIR [TXT2VCF]
#
# WINDOWS_DIR is a build's windows/ folder (x86_64/ and/or i686/ with TavixvCard.exe and e2e_driver.exe); TXT2VCF
# is the native converter (default: the cli/txt2vcf beside WINDOWS_DIR). Takes about a minute.
set -u

here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 1 ] || { echo "usage: $0 WINDOWS_DIR [TXT2VCF]" >&2; exit 2; }
builds=$1
txt2vcf=${2:-$(dirname "$builds")/cli/txt2vcf}

data=$(mktemp -d "${TMPDIR:-/tmp}/tavix-bench.XXXXXX")
trap 'rm -rf "$data"' EXIT
trap 'exit 130' INT TERM

/usr/bin/python3 - "$data" <<'PY' || exit 1
import sys
for n in (10000, 100000, 1000000):
    with open("%s/numbers_%d.txt" % (sys.argv[1], n), "wb") as f:
        f.write(b"".join(b"%011d\r\n" % (13800000000 + i) for i in range(n)))
PY

# The best of three runs, in milliseconds.
best_ms() {
    local best="" start end ms
    for _ in 1 2 3; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; echo 0; return; }
        end=$(date +%s%N)
        ms=$(((end - start) / 1000000))
        [ -z "$best" ] || [ "$ms" -lt "$best" ] && best=$ms
    done
    echo "$best"
}
if [ -x "$txt2vcf" ]; then
    export TAVIX_BENCH_TXT2VCF_MS TAVIX_BENCH_TXT2VCF_FILTERED_MS
    TAVIX_BENCH_TXT2VCF_MS=$(best_ms "$txt2vcf" -o "$data/out.vcf" "$data/numbers_1000000.txt")
    TAVIX_BENCH_TXT2VCF_FILTERED_MS=$(best_ms "$txt2vcf" --strip-dashes --strip-spaces --name-prefix a \
        -o "$data/out.vcf" "$data/numbers_1000000.txt")
    echo "native txt2vcf, 1M lines: ${TAVIX_BENCH_TXT2VCF_MS} ms default, ${TAVIX_BENCH_TXT2VCF_FILTERED_MS} ms filtered"
else
    echo "note: no native txt2vcf at $txt2vcf: the reference column is left out"
fi

export TAVIX_BENCH=1
export TAVIX_BENCH_DATA="Z:${data//\//\\}"
bash "$here/../tests/e2e/run_e2e.sh" "$builds" --only bench/
