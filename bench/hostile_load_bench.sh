#!/usr/bin/env bash
# Runs hostile_load_bench once per sample, each in its own process under /usr/bin/time (peak
# memory) with a time limit and an address-space limit, so a sample that hangs or drains memory
# is reported instead of taking the machine with it.
# usage: bench/hostile_load_bench.sh PATH/TO/hostile_load_bench [LIMIT_SECONDS]
set -uo pipefail
bench=${1:?usage: hostile_load_bench.sh BENCH [LIMIT_SECONDS]}
limit=${2:-120}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for sample in $("$bench"); do
    report=$(mktemp)
    (ulimit -v 4000000; /usr/bin/time -q -f "%M %e" -o "$report" timeout "$limit" "$bench" "$sample")
    status=$?
    read -r peakKb seconds <"$report" 2>/dev/null || true
    case $status in
    0) ;;
    124) echo "$sample: no answer within $limit s (killed)" ;;
    *) echo "$sample: ended with status $status" ;;
    esac
    echo "$sample: peak memory $((${peakKb:-0} / 1024)) MB, ${seconds:-?} s in all"
    rm -f "$report"
done
