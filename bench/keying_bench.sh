#!/usr/bin/env bash
# Measures the keying through the real sound output: starts a sound server of its own, records
# every mode of keying_bench (bench/record_sound.py, bench/measure_recording.py) and prints the figures with their goals.
# The keying runs with one core kept busy by another process, as on a machine doing other work.
# usage: bench/keying_bench.sh PATH/TO/keying_bench [RESULTS_DIR]
set -euo pipefail

bench=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
out=${2:-$(dirname "$bench")/keying-results}
mkdir -p "$out"
out=$(realpath "$out")

# record NAME [TRIES]: runs `keying_bench NAME` on a private sound server (a recording holds
# everything played on its server, so each has its own), then measures the recording.
record() {
    echo "recording $1 ..."
    /usr/bin/python3 "$here/record_sound.py" -o "$out/$1.wav" -- "$bench" "$1" "$out/$1.trace" \
        "${@:2}" >/dev/null 2>&1
    /usr/bin/python3 "$here/measure_recording.py" "$out/$1.wav" > "$out/$1.json" || true
}
busy=
trap '[[ -n $busy ]] && kill "$busy" 2>/dev/null' EXIT
bash -c 'while :; do :; done' &
busy=$!
record characters 20
record groups 60
record after-open 20
record after-silence 20
record cpu
"$bench" unit "$out/unit.trace"

/usr/bin/python3 "$here/keying_figures.py" "$out"
