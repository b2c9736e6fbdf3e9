#!/usr/bin/python3
"""The measurer against recordings made here with known timing: every tone and gap found where it
was put (to 0.01 ms, though the edges fall between samples), its frequency, and the text."""
import os
import sys
import tempfile
import wave

import numpy as np

sys.dont_write_bytecode = True  # nothing left behind in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import measure  # noqa: E402

MORSE = {v: k for k, v in measure.CODES.items()}
RAMP_MS = 4.0


def keyed(text, dot, gap, jitter=0.0):
    """(on, off) times in ms of `text`: dashes 3 dots; element gaps `gap` (stretched by up to
    `jitter` of it, as a busy machine does), character gaps 13 and word gaps 37 of `gap`."""
    rng, t, times = np.random.default_rng(7), 100.37, []
    for w, word in enumerate(text.split()):
        for c, char in enumerate(word):
            for k, element in enumerate(MORSE[char]):
                length = dot * (3 if element == "-" else 1)
                times.append((t, t + length))
                t += length + gap * (1 + jitter * rng.random())
            t += gap * 12 if c < len(word) - 1 else 0
        t += gap * 36 if w < len(text.split()) - 1 else 0
    return times


def synthesize(path, times, freq, rate, channels):
    """Raised-cosine edges RAMP_MS long, centred on each on and off time."""
    t = np.arange(int((times[-1][1] + 200) * rate / 1000)) * 1000 / rate
    gain = np.zeros_like(t)
    for on, off in times:
        gain = np.maximum(gain, np.clip(np.minimum(t - on, off - t) / RAMP_MS + 0.5, 0, 1))
    x = 0.3 * (0.5 - 0.5 * np.cos(np.pi * gain)) * np.sin(2 * np.pi * freq * t / 1000 + 0.4)
    with wave.open(path, "wb") as w:
        w.setnchannels(channels), w.setsampwidth(2), w.setframerate(rate)
        w.writeframes(np.repeat(np.round(x * 32767).astype("<i2"), channels).tobytes())


# text, tone Hz, dot ms, element gap ms, gap jitter, sample rate, channels
CASES = [("PARIS 73 ?", 700, 50, 20.0, 0.0, 48000, 1),
         ("QZ 09 /=-.,", 1000, 40, 30.0, 0.0, 44100, 2),
         ("CQ DE VK", 550, 60, 9.7, 0.9, 48000, 1)]


def check():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "keyed.wav")
        for text, freq, dot, gap, jitter, rate, channels in CASES:
            times = keyed(text, dot, gap, jitter)
            synthesize(path, times, freq, rate, channels)
            found = measure.measure(path)
            tones = found["tones"]
            assert len(tones) == len(times), f"{text}: {len(tones)} tones of {len(times)}"
            for tone, (on, off) in zip(tones, times):
                assert abs(tone["start_ms"] - on) <= 0.01, f"{text}: start {tone} vs {on:.3f}"
                assert abs(tone["length_ms"] - (off - on)) <= 0.015, f"{text}: {tone} vs {on, off}"
                assert abs(tone["frequency_hz"] - freq) <= 0.5, f"{text}: {tone}"
                assert 0.5 * RAMP_MS < tone["rise_ms"] < RAMP_MS, f"{text}: {tone}"
            for g, (a, b) in zip(found["gaps"], zip(times, times[1:])):
                assert abs(g["length_ms"] - (b[0] - a[1])) <= 0.02, f"{text}: gap {g}"
            assert found["text"] == text, f"read {found['text']!r}, keyed {text!r}"
        with wave.open(path, "wb") as w:  # noise alone, 2 s at -40 dBFS, holds no tone
            w.setnchannels(1), w.setsampwidth(2), w.setframerate(48000)
            w.writeframes(np.random.default_rng(3).normal(0, 300, 96000).astype("<i2").tobytes())
        assert measure.measure(path)["tones"] == [], "tones found in noise"


if __name__ == "__main__":
    check()
    print("measurer: 1 passed, 0 failed")
