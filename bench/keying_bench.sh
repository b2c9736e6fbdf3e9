#!/usr/bin/env bash
# Measures the keying through the real sound output: starts a sound server of its own, records
# every mode of keying_bench with the shared audio tools and prints the figures with their goals.
# The keying runs with one core kept busy by another process, as on a machine doing other work.
# usage: bench/keying_bench.sh PATH/TO/keying_bench [RESULTS_DIR]
set -euo pipefail

bench=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
tools=${VORNIK_AUDIO_TOOLS:-$here/../../shared/tools/audio}
out=${2:-$(dirname "$bench")/keying-results}
mkdir -p "$out"
out=$(realpath "$out")

# A private server in a folder of its own: a capture records everything played on its server,
# so sharing one with another session would mix their sounds. Only this server is stopped.
CW_AUDIO_DIR=$(mktemp -d /tmp/vornik-sound.XXXXXX)
export CW_AUDIO_DIR
busy=
finish() {
    [[ -n $busy ]] && kill "$busy" 2>/dev/null
    "$tools/stop-sound-server" 2>/dev/null || true
    rm -rf "$CW_AUDIO_DIR"
}
trap finish EXIT
eval "$("$tools/start-sound-server" 2>/dev/null)"

# record NAME [TRIES]: runs `keying_bench NAME` under capture, then cw-timing over the recording.
record() {
    echo "recording $1 ..."
    "$tools/capture" -o "$out/$1.wav" -- "$bench" "$1" "$out/$1.trace" "${@:2}" >/dev/null 2>&1
    "$tools/cw-timing" "$out/$1.wav" > "$out/$1.json" || true
}
bash -c 'while :; do :; done' &
busy=$!
record characters 20
record groups 60
record after-open 20
record after-silence 20
record cpu
"$bench" unit "$out/unit.trace"

/usr/bin/python3 "$here/keying_figures.py" "$out"
