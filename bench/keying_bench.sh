#!/usr/bin/env bash
# Measures the keying through the real sound output: records every mode of keying_bench on a sound
# server of its own (bench/record_sound.py), measures each recording with tests/audio/measure.py
# and prints the figures with their goals.
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
    /usr/bin/python3 "$here/../tests/audio/measure.py" "$out/$1.wav" > "$out/$1.json" || true
}
record pattern
record after-open 20
record after-silence 20
record cpu
"$bench" busy-wait "$out/busy-wait.trace"

/usr/bin/python3 "$here/keying_figures.py" "$out"
