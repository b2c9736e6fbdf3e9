#!/usr/bin/python3
"""The measurer against recordings made here with known timing: every tone and gap found where it
was put (to 0.01 ms, though the edges fall between samples), its frequency, and the text."""
import os, sys, tempfile, wave  # noqa: E401

import numpy as np

sys.dont_write_bytecode = True  # nothing left behind in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import measure  # noqa: E402

MORSE, RAMP_MS = {v: k for k, v in measure.CODES.items()}, 4.0
# text, tone Hz, dot ms, element gap ms, how much longer a busy machine makes some gaps, sample
# rate, channels. Character gaps are 13 and word gaps 37 element gaps.
CASES = [("PARIS 73 ?", 700, 50, 20.0, 0.0, 48000, 1), ("QZ 09 /=-.,", 1000, 40, 30, 0, 44100, 2),
         ("CQ DE VK", 550, 60, 9.7, 0.9, 48000, 1)]


def keyed(text, dot, gap, jitter):
    """(on, off) times in ms of the elements of `text`."""
    rng, t, times = np.random.default_rng(7), 100.37, []
    for w, word in enumerate(text.split()):
        for c, char in enumerate(word):
            for element in MORSE[char]:
                times.append((t, t + dot * (3 if element == "-" else 1)))
                t = times[-1][1] + gap * (1 + jitter * rng.random())
            t += gap * (12 if c < len(word) - 1 else 36 if w < len(text.split()) - 1 else 0)
    return times


def write(path, x, rate, channels):
    with wave.open(path, "wb") as w:
        w.setnchannels(channels), w.setsampwidth(2), w.setframerate(rate)
        w.writeframes(np.repeat(np.round(x * 32767).astype("<i2"), channels).tobytes())


def check():
    path = os.path.join((folder := tempfile.TemporaryDirectory()).name, "keyed.wav")
    for text, freq, dot, gap, jitter, rate, channels in CASES:
        times = keyed(text, dot, gap, jitter)
        t = np.arange(int((times[-1][1] + 200) * rate / 1000)) * 1000 / rate
        # Raised-cosine edges RAMP_MS long, centred on each on and off time.
        gain = np.max([np.clip(np.minimum(t - a, b - t) / RAMP_MS + 0.5, 0, 1) for a, b in times], 0)
        tone = np.sin(2 * np.pi * freq * t / 1000 + 0.4)
        write(path, 0.3 * (0.5 - 0.5 * np.cos(np.pi * gain)) * tone, rate, channels)
        found = measure.measure(path)
        assert len(found["tones"]) == len(times), f"{text}: {len(found['tones'])} of {len(times)}"
        for tone, (on, off) in zip(found["tones"], times):
            assert abs(tone["start_ms"] - on) <= 0.01 and abs(tone["length_ms"] - off + on) <= 0.015 \
                and abs(tone["frequency_hz"] - freq) <= 0.5 and RAMP_MS / 2 < tone["rise_ms"] < RAMP_MS, \
                f"{text}: {tone} keyed at {on:.3f}-{off:.3f} ms, {freq} Hz"
        for g, (a, b) in zip(found["gaps"], zip(times, times[1:])):
            assert abs(g["length_ms"] - b[0] + a[1]) <= 0.02, f"{text}: {g}, keyed {b[0] - a[1]:.3f}"
        assert found["text"] == text, f"read {found['text']!r}, keyed {text!r}"
    write(path, np.random.default_rng(3).normal(0, 0.01, 96000), 48000, 1)  # noise at -40 dBFS
    assert measure.measure(path)["tones"] == [], "tones found in noise"
    folder.cleanup()


if __name__ == "__main__":
    check()
    print("measurer: 1 passed, 0 failed")
