#!/usr/bin/python3
"""Every tone in a recording of Morse: start_ms, length_ms, frequency_hz, rise_ms, fall_ms.
(bench/measure_recording.py prints them with the gaps between them.)

A tone's edges are where its envelope crosses half of the tone's own plateau, interpolated between
samples: for shaped keying that is where the key went down and up, whatever the ramp. The
envelope is the magnitude of the analytic signal through a Gaussian band-pass around the tone
(1000 Hz wide at -3 dB), zero-phase, so it delays neither edge.
(/usr/bin/python3 on purpose: Debian's numpy; a python3 found first on PATH may lack it.)
"""
import wave

import numpy as np


def read_wav(path):
    """(sample rate, mono samples scaled to +-1) of a 16-bit PCM WAV; channels are averaged."""
    with wave.open(path, "rb") as w:
        assert w.getsampwidth() == 2, f"{path}: only 16-bit PCM is read"
        data = np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(float) / 32768
        return w.getframerate(), data.reshape(-1, w.getnchannels()).mean(axis=1)


def envelope(x, rate, freq):
    """The analytic signal of the band around `freq` (positive frequencies only, doubled)."""
    f = np.fft.fftfreq(len(x), 1 / rate)
    sigma = 500 / np.sqrt(np.log(2))  # -3 dB at +-500 Hz
    return np.fft.ifft(np.fft.fft(x) * np.where(f > 0, 2 * np.exp(-0.5 * ((f - freq) / sigma) ** 2), 0))


def cross(e, i, level, step):
    """Fractional position where `e`, walking from sample i by `step`, first drops below
    `level`: linear between the last sample at or above it and the first below."""
    j = i
    while 0 <= j + step < len(e) and e[j + step] >= level:
        j += step
    k = j + step
    return j + step * (e[j] - level) / (e[j] - e[k]) if 0 <= k < len(e) else float(j)


def find_tones(x, rate, freq=None):
    if freq is None:
        spectrum, f = np.abs(np.fft.rfft(x)), np.fft.rfftfreq(len(x), 1 / rate)
        band = (f >= 100) & (f <= 4000)
        freq = float(f[band][np.argmax(spectrum[band])])
    e = np.abs(analytic := envelope(x, rate, freq))
    peak = e.max(initial=0)
    # Nothing counts as a tone unless it stands 30 dB above the quiet part of the recording
    # (noise alone peaks about 20 dB above its own 10th percentile).
    if peak < 1e-4 or peak < 31.6 * np.percentile(e, 10):
        return freq, []
    # Hysteresis: a tone is a run above 20 % of the loudest tone that somewhere passes 35 %.
    low = np.concatenate(([0], e > 0.2 * peak, [0])).astype(np.int8)
    edges = np.flatnonzero(np.diff(low))
    high = np.concatenate(([0], np.cumsum(e > 0.35 * peak)))
    tones = []
    for s, t in zip(edges[::2], edges[1::2]):
        if high[t] == high[s] or s == 0 or t == len(e):
            continue  # too faint, or cut off by the recording's start or end
        run = e[s:t]
        p = np.median(run[run >= 0.9 * run.max()])  # the tone's plateau
        full = np.flatnonzero(run >= 0.9 * p) + s
        on, off = (cross(e, full[0], 0.5 * p, -1), cross(e, full[-1], 0.5 * p, 1))
        mid = analytic[int(on + (off - on) / 4):int(off - (off - on) / 4) + 2]
        hz = np.polyfit(np.arange(len(mid)), np.unwrap(np.angle(mid)), 1)[0] * rate / (2 * np.pi)
        ms = lambda samples: round(float(samples) * 1000 / rate, 2)  # noqa: E731
        tones.append({"start_ms": ms(on), "length_ms": ms(off - on), "frequency_hz": round(float(hz), 1),
                      "rise_ms": ms(cross(e, full[0], 0.9 * p, -1) - cross(e, full[0], 0.1 * p, -1)),
                      "fall_ms": ms(cross(e, full[-1], 0.1 * p, 1) - cross(e, full[-1], 0.9 * p, 1))})
    return freq, tones


def measure(path, freq=None):
    """Every tone of the WAV recording at `path`."""
    return find_tones(*read_wav(path)[::-1], freq)[1]
