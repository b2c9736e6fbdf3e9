#!/usr/bin/python3
"""Records what a command plays, on a sound server of its own (tests/audio/sound.py).

usage: record_sound.py -o OUT.wav [--seconds N] [--tail S] [-- COMMAND ARGS...]
Starts a server, records its sink while COMMAND runs (its whole session is stopped after N
seconds; without COMMAND: for N seconds), S seconds more (default 1), stops the server. Writes
OUT.wav (48 kHz mono s16) and OUT.wav.json: t0_epoch (wall-clock time of sample 0),
launch_offset_ms, duration_ms, samples_minus_wallclock_ms (how far the sample clock ran ahead of
the wall clock), exit_status. Exit status: COMMAND's.
"""
import argparse
import json
import os
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "audio"))
import sound  # noqa: E402


def record(path, command=(), seconds=None, tail=1.0):
    with sound.SoundServer(path + ".server.log") as server:
        recorder, status = sound.Recorder(server), 0
        launch = recorder.samples()
        if command:
            child = subprocess.Popen(command, env=dict(os.environ, **server.env),
                                     start_new_session=True)
            try:
                status = child.wait(seconds)
            except subprocess.TimeoutExpired:
                os.killpg(child.pid, signal.SIGTERM)  # the whole session it started
                status = child.wait()
        time.sleep((0 if command else seconds or 0) + tail)
        recorder.save(path)
    duration = recorder.samples() * 1000 / sound.RATE
    with open(path + ".json", "w") as f:
        json.dump({"t0_epoch": recorder.t0, "launch_offset_ms": launch * 1000 / sound.RATE,
                   "duration_ms": duration, "exit_status": status,
                   "samples_minus_wallclock_ms": duration - (recorder.last - recorder.t0) * 1000}, f)
    return status


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("-o", required=True, dest="out")
    parser.add_argument("--seconds", type=float)
    parser.add_argument("--tail", type=float, default=1.0)
    parser.add_argument("command", nargs="*")
    args = parser.parse_args()
    sys.exit(record(args.out, args.command, args.seconds, args.tail))
