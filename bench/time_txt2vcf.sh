#!/usr/bin/env bash
# Times `txt2vcf -o` on generated files of eleven-digit numbers (CR LF) against `cp` of a file of the output's
# size, and checks the targets: at 1,000,000 lines at most 3 times the cp time, time per line within 30% of that
# at 10,000 lines, and peak resident memory at most 100 MB.
#
# Usage: bench/time_txt2vcf.sh [PATH_TO_TXT2VCF]   (default build/cli/txt2vcf)
#
# txt2vcf -o fsyncs its temporary file before renaming it over OUTPUT; cp does not (on ext4 it copies inside the
# kernel with copy_file_range). So the table also times cp followed by `sync FILE`, the same durability, for a fair
# comparison; the target itself is checked against plain cp.
#
# Wall time comes from bash's EPOCHREALTIME (microseconds; the %e of /usr/bin/time has only 10 ms, too coarse for
# 10,000 lines); peak resident memory from /usr/bin/time -f "%e %M". Each figure is the best of 3 runs.
set -euo pipefail

txt2vcf=${1:-build/cli/txt2vcf}
if [[ ! -x $txt2vcf ]]; then
    echo "time_txt2vcf.sh: no executable txt2vcf at $txt2vcf (build it, or pass its path)" >&2
    exit 1
fi
if [[ ! -x /usr/bin/time ]]; then
    echo "time_txt2vcf.sh: /usr/bin/time is missing (apt-get install time)" >&2
    exit 1
fi
txt2vcf=$(realpath "$txt2vcf")

work=$(mktemp -d "${TMPDIR:-/tmp}/time_txt2vcf.XXXXXX")
trap 'rm -rf "$work"' EXIT

runs=3
sizes=(10000 100000 1000000)

# Runs "$@" $runs times, removing $remove before each run (untimed), and sets best_seconds and peak_kb.
measure() {
    local remove=$1
    shift
    best_seconds=""
    peak_kb=0
    local run start end seconds kb
    for ((run = 0; run < runs; run++)); do
        rm -f "$remove"
        sync
        start=$EPOCHREALTIME
        /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@"
        end=$EPOCHREALTIME
        seconds=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }')
        kb=$(awk '{ print $2 }' "$work/time.txt")
        if [[ -z $best_seconds ]] || awk -v a="$seconds" -v b="$best_seconds" 'BEGIN { exit !(a < b) }'; then
            best_seconds=$seconds
        fi
        if ((kb > peak_kb)); then
            peak_kb=$kb
        fi
    done
}

printf '%10s %10s %10s %12s %10s %9s %12s %14s\n' lines seconds "us/line" "peak RSS MB" "cp s" "ratio cp" \
    "cp+fsync s" "ratio cp+fsync"
declare -A us_per_line ratio rss_mb seconds_at
for lines in "${sizes[@]}"; do
    input=$work/numbers_$lines.txt
    awk -v n="$lines" 'BEGIN { for (i = 0; i < n; i++) printf "1%d%09d\r\n", 3 + i % 7, i }' >"$input"

    measure "$work/out.vcf" "$txt2vcf" -o "$work/out.vcf" "$input" 2>/dev/null
    txt_seconds=$best_seconds
    txt_kb=$peak_kb

    # The same number of bytes as the output, copied to a new file.
    mv "$work/out.vcf" "$work/copy_source.vcf"
    measure "$work/copy.vcf" cp "$work/copy_source.vcf" "$work/copy.vcf"
    cp_seconds=$best_seconds
    measure "$work/copy.vcf" sh -c 'cp "$1" "$2" && sync "$2"' sh "$work/copy_source.vcf" "$work/copy.vcf"
    cp_sync_seconds=$best_seconds
    rm -f "$work/copy_source.vcf" "$work/copy.vcf" "$input"

    seconds_at[$lines]=$txt_seconds
    us_per_line[$lines]=$(awk -v s="$txt_seconds" -v n="$lines" 'BEGIN { printf "%.4f", s * 1e6 / n }')
    ratio[$lines]=$(awk -v a="$txt_seconds" -v b="$cp_seconds" 'BEGIN { printf "%.2f", a / b }')
    rss_mb[$lines]=$(awk -v k="$txt_kb" 'BEGIN { printf "%.1f", k / 1024 }')
    sync_ratio=$(awk -v a="$txt_seconds" -v b="$cp_sync_seconds" 'BEGIN { printf "%.2f", a / b }')
    printf '%10d %10.4f %10.4f %12s %10.4f %9s %12.4f %14s\n' "$lines" "$txt_seconds" "${us_per_line[$lines]}" \
        "${rss_mb[$lines]}" "$cp_seconds" "${ratio[$lines]}" "$cp_sync_seconds" "$sync_ratio"
done

# The cost of each further line, free of the fixed start-up cost that dominates the small runs.
marginal() {
    awk -v a="${seconds_at[$1]}" -v b="${seconds_at[$2]}" -v m="$1" -v n="$2" \
        'BEGIN { printf "%.4f", (b - a) * 1e6 / (n - m) }'
}
echo
echo "marginal us/line: 10k->100k $(marginal 10000 100000), 100k->1M $(marginal 100000 1000000)"

# The targets, at 1,000,000 lines.
status=0
check() {
    local label=$1 condition=$2
    if awk "BEGIN { exit !($condition) }"; then
        echo "PASS  $label"
    else
        echo "FAIL  $label"
        status=1
    fi
}
echo
check "time at 1M at most 3x cp: ${ratio[1000000]}x" "${ratio[1000000]} <= 3"
growth=$(awk -v a="${us_per_line[1000000]}" -v b="${us_per_line[10000]}" 'BEGIN { printf "%.2f", a / b }')
check "us/line at 1M within 30% of 10k: ${us_per_line[1000000]} vs ${us_per_line[10000]} (${growth}x)" \
    "$growth <= 1.3"
check "peak RSS at 1M at most 100 MB: ${rss_mb[1000000]} MB" "${rss_mb[1000000]} <= 100"
exit $status
