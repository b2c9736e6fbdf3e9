#!/usr/bin/python3
"""Figures of the keying bench from its recordings: holds what bench/measure_recording.py measured in each WAV
against what keying_bench asked for (its trace), prints every figure with its goal and the
command that measured it. Exit status 3 when a goal is missed.

usage: keying_figures.py RESULTS_DIR   (as filled by bench/keying_bench.sh)
"""
import json
import os
import statistics
import sys
import wave

import numpy as np

# The tone edge's own 10-90 % rise; a rise well under it is a clipped attack.
EDGE_RISE_MS = 4.33
MISSED = 3  # the exit status when a goal is missed (scripts/run-benchmarks)


def spectral_widths(path, span_hz=3000):
    """Width in Hz between the outermost frequencies within +-span_hz of the peak that reach
    -40 and -60 dB below it, in the averaged power spectrum of the recording (Blackman-Harris,
    16384 points, 75 % overlap: with 50 % the result moved with the position of the keying).
    None where the noise floor is within 6 dB of the threshold."""
    with wave.open(path, "rb") as w:
        x = np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(float)
        rate = w.getframerate()
    n = 16384
    k = np.arange(n) / (n - 1)
    window = (0.35875 - 0.48829 * np.cos(2 * np.pi * k) + 0.14128 * np.cos(4 * np.pi * k)
              - 0.01168 * np.cos(6 * np.pi * k))
    frames = [x[i:i + n] * window for i in range(0, len(x) - n + 1, n // 4)]
    power = np.mean([np.abs(np.fft.rfft(f)) ** 2 for f in frames], axis=0)
    db = 10 * np.log10(power / power.max() + 1e-30)
    f = np.fft.rfftfreq(n, 1 / rate)
    near = np.abs(f - f[np.argmax(db)]) <= span_hz
    floor = np.percentile(db[near], 5)
    widths = {}
    for level in (40, 60):
        reached = f[near][db[near] >= -level]
        widths[level] = None if floor > -level - 6 else round(float(reached[-1] - reached[0]), 1)
    return widths


def summary(timing):
    """Rise and fall (means), tones cut short and the glitches among the tones and gaps: blips
    (tones under 0.2 x the 25th-percentile tone), dropouts (gaps under 0.5 x the 25th-percentile
    gap), and tones whose rise or fall is under half the median (truncated attacks, underruns)."""
    tones, gaps = timing["tones"], timing["gaps"]
    if not tones:
        return {"rise_ms": None, "fall_ms": None, "glitches": [], "abrupt_rises": [],
                "abrupt_falls": []}
    rises, falls = [t["rise_ms"] for t in tones], [t["fall_ms"] for t in tones]
    short_tone = 0.2 * np.percentile([t["length_ms"] for t in tones], 25)
    short_gap = 0.5 * np.percentile([g["length_ms"] for g in gaps], 25) if gaps else 0
    return {"rise_ms": round(statistics.fmean(rises), 3), "fall_ms": round(statistics.fmean(falls), 3),
            "glitches": [f"blip at {t['start_ms']} ms" for t in tones if t["length_ms"] < short_tone]
            + [f"dropout at {g['start_ms']} ms" for g in gaps if g["length_ms"] < short_gap],
            "abrupt_rises": [i for i, r in enumerate(rises) if r < 0.5 * statistics.median(rises)],
            "abrupt_falls": [i for i, r in enumerate(falls) if r < 0.5 * statistics.median(falls)]}


def load(out, name):
    with open(os.path.join(out, name + ".json")) as fh:
        timing = json.load(fh)
    with open(os.path.join(out, name + ".wav.json")) as fh:
        capture = json.load(fh)
    requests, gaps, figures = [], [], {}
    with open(os.path.join(out, name + ".trace")) as fh:
        for line in fh:
            kind, *fields = line.split()
            if kind == "tone":
                requests.append((float(fields[0]), int(fields[1]), int(fields[2])))
            elif kind == "gap":
                gaps.append(float(fields[0]))
            elif kind == "figure":
                figures[fields[0]] = float(fields[1])
    return timing, capture, requests, gaps, figures


class Report:
    def __init__(self):
        self.missed = []

    def figure(self, name, value, goal, met, command):
        mark = "ok" if met else "MISSED"
        print(f"  {name}: {value}")
        print(f"      goal {goal}: {mark};  measured by: {command}")
        if not met:
            self.missed.append(name)


def fmt(values, digits=3):
    return (f"mean {statistics.fmean(values):.{digits}f}, std {statistics.pstdev(values):.{digits}f},"
            f" min {min(values):.{digits}f}, max {max(values):.{digits}f} (n={len(values)})")


def delays(timing, capture, requests):
    """Request (trace, wall clock) to the tone's 50 % point in the recording, in ms.

    The recording's sample clock may run off the wall clock (here by ~80 ppm, 8 ms in 100 s;
    the recorder reports the whole file's difference). Positions in the file are scaled back to wall
    time. the recorder's t0_epoch is the earliest of its per-chunk estimates, which for a fast sample
    clock is the one at the file's end: it is then early by the whole difference."""
    drift = capture["samples_minus_wallclock_ms"]
    wall_per_sample = 1.0 - drift / capture["duration_ms"]
    t0_ms = capture["t0_epoch"] * 1000.0 + max(drift, 0.0)
    return [tone["start_ms"] * wall_per_sample - (epoch * 1000.0 - t0_ms)
            for tone, (epoch, _, _) in zip(timing["tones"], requests)]


def by_units(silences, unit):
    """Silences grouped by the whole number of delay units nearest to their length."""
    groups = {}
    for s in silences:
        groups.setdefault(round(s["length_ms"] / unit), []).append(s["length_ms"])
    return groups


def check_first_tones(report, out, name, label):
    timing, capture, requests, _, _ = load(out, name)
    tones = timing["tones"]
    cmd = f"keying_bench {name} {name}.trace 20 under record_sound.py; measure_recording.py {name}.wav"
    errors = [t["length_ms"] - ms for t, (_, _, ms) in zip(tones, requests)]
    rises = [t["rise_ms"] for t in tones]
    clipped = [i for i, t in enumerate(tones)
               if t["rise_ms"] < 0.9 * EDGE_RISE_MS or t["fall_ms"] < 0.9 * EDGE_RISE_MS]
    report.figure(f"{label}: tones found / asked for", f"{len(tones)} / {len(requests)}",
                  "all", len(tones) == len(requests), cmd)
    report.figure(f"{label}: length - requested (ms)", fmt(errors), "within +-0.1 ms",
                  bool(errors) and max(map(abs, errors)) <= 0.1, cmd)
    report.figure(f"{label}: rise 10-90 % (ms)", fmt(rises),
                  f"never clipped (rise and fall >= {0.9 * EDGE_RISE_MS:.2f} ms)",
                  not clipped and len(tones) == len(requests), cmd)
    print(f"  {label}: delay request -> sound (ms): {fmt(delays(timing, capture, requests), 2)}")


def main(out):
    report = Report()

    unit = 3000 * 0.010  # ms: delay limit 3000, 10 us per iteration
    print(f"Random characters, 20 s at the default settings (unit {unit} ms), one core kept busy:")
    timing, capture, requests, _, figures = load(out, "characters")
    tones, silences = timing["tones"], timing["gaps"]
    cmd = "keying_bench characters characters.trace 20 under record_sound.py; measure_recording.py characters.wav"
    report.figure("tones found / asked for", f"{len(tones)} / {len(requests)}", "all",
                  len(tones) == len(requests), cmd)
    errors = [t["length_ms"] - ms for t, (_, _, ms) in zip(tones, requests)]
    report.figure("tone length at 50 % - requested (ms)", fmt(errors), "within +-0.1 ms",
                  max(map(abs, errors)) <= 0.1, cmd)
    gaps = by_units(silences, unit)
    report.figure("1-unit gaps (ms)", fmt(gaps.get(1, [0])), "std <= 0.05 ms",
                  statistics.pstdev(gaps.get(1, [0, 1])) <= 0.05, cmd)
    worst = max(abs(g - n * unit) for n, lengths in gaps.items() for g in lengths)
    report.figure("largest |gap - units x 10 us x 3000| (ms)", f"{worst:.4f}", "<= 0.1 ms",
                  worst <= 0.1, cmd)
    ratio = statistics.fmean(gaps.get(13, [0])) / statistics.fmean(gaps.get(1, [1]))
    report.figure("character gap / element gap", f"{ratio:.4f} (13-unit gaps: {fmt(gaps.get(13, [0]))})",
                  "13 (4g + 1, g = 3) within 0.5 %", abs(ratio / 13 - 1) <= 0.005, cmd)
    print(f"  CPU of the process while keying (%): {figures['cpu_percent']:.1f}"
          " (the busy-wait holds one core during silences; the thread sleeps during tones)")
    overview = summary(timing)
    print(f"  rise / fall 10-90 % (ms): {overview['rise_ms']} / {overview['fall_ms']}")
    print(f"  glitches: {overview['glitches']}, abrupt rises: {overview['abrupt_rises']},"
          f" abrupt falls: {overview['abrupt_falls']}")
    widths = spectral_widths(os.path.join(out, "characters.wav"))
    report.figure("spectral width at -60 dB (Hz)", widths[60], "<= 400 Hz",
                  widths[60] is not None and widths[60] <= 400, cmd + " (spectrum: keying_figures.py)")
    print(f"  delay timeline -> sound (ms): {fmt(delays(timing, capture, requests), 2)}")

    print("Random groups, 60 s as the drill keys them at the default settings, one core busy:")
    timing, _, requests, _, _ = load(out, "groups")
    cmd = "keying_bench groups groups.trace 60 under record_sound.py; measure_recording.py groups.wav"
    gaps = by_units(timing["gaps"], unit)
    elements = gaps.get(1, [0])
    mean = statistics.fmean(elements)
    spread = max(abs(g / mean - 1) for g in elements) * 100
    report.figure("element gaps (ms)", f"{fmt(elements)}; largest off the mean {spread:.3f} %",
                  "none outside +-2 % of the mean", spread <= 2, cmd)
    worst = max(abs(g - n * unit) for n, lengths in gaps.items() for g in lengths)
    report.figure("largest |gap - units x 30 ms| (ms)", f"{worst:.4f} (gap sizes {sorted(gaps)})",
                  "<= 0.1 ms", worst <= 0.1, cmd)

    print("First element after opening the output (20 tries):")
    check_first_tones(report, out, "after-open", "after opening")
    print("First element after 5 s of silence (20 tries):")
    check_first_tones(report, out, "after-silence", "after silence")

    print("A 10 s tone:")
    timing, _, requests, _, figures = load(out, "cpu")
    cmd = "keying_bench cpu cpu.trace (CLOCK_PROCESS_CPUTIME_ID around a 10 s tone at 700 Hz)"
    report.figure("CPU time of the process while it plays (%)", f"{figures['cpu_percent']:.3f}",
                  "< 1 %", figures["cpu_percent"] < 1.0, cmd)
    print(f"  beside it, a bare stream of silence of the same sound system (%):"
          f" {figures.get('bare_stream_cpu_percent', float('nan')):.3f}")
    long_tones = [t["length_ms"] for t in timing["tones"] if t["length_ms"] > 1000]
    report.figure("its length at 50 % (ms)", long_tones, "10000 +- 0.1",
                  len(long_tones) == 1 and abs(long_tones[0] - 10000) <= 0.1,
                  "measure_recording.py cpu.wav")

    print("Delay unit alone, clocked by the bench (300 units each, one core busy):")
    with open(os.path.join(out, "unit.trace")) as fh:
        figures = {f[1]: float(f[2]) for f in (line.split() for line in fh) if f[0] == "figure"}
    for limit in (3000, 100):
        print(f"  limit {limit}: median {figures[f'unit_{limit}_ms_median']:.4f} ms,"
              f" longest {figures[f'unit_{limit}_ms_max']:.4f} ms (keying_bench unit unit.trace)")

    if report.missed:
        print("missed: " + "; ".join(report.missed))
        return MISSED
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
