#!/usr/bin/python3
"""Every tone and gap in a recording of Morse, and the Morse read back from them
(tests/audio/measure.py finds the tones).

usage: measure_recording.py FILE.wav [--freq HZ]   prints JSON: frequency_hz, tones (start_ms,
length_ms, frequency_hz, rise_ms, fall_ms), gaps (start_ms, length_ms) and text. Exit status 1
when the recording holds no tone.
"""
import json
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "audio"))
import measure  # noqa: E402

# 42 symbols the trainer keys, as in the international Morse table.
CODES = dict(zip(
    ".- -... -.-. -.. . ..-. --. .... .. .--- -.- .-.. -- -. --- .--. --.- .-. ... - ..- ...- "
    ".-- -..- -.-- --.. ----- .---- ..--- ...-- ....- ..... -.... --... ---.. ----. .-.-.- "
    "--..-- -..-. ..--.. -...- -....-".split(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,/?=-"))


def gaps_between(tones):
    return [{"start_ms": round(a["start_ms"] + a["length_ms"], 2),
             "length_ms": round(b["start_ms"] - a["start_ms"] - a["length_ms"], 2)}
            for a, b in zip(tones, tones[1:])]


def jumps(lengths):
    """(ratio, length) where sorted `lengths` step up from one to the next."""
    s = sorted(lengths)
    return [(y / x, y) for x, y in zip(s, s[1:]) if x > 0]


def read_morse(tones, gaps):
    """Text of the tones. Dashes are the tones above the largest step in length (no step of 1.5
    or more: all dots). Gaps below the largest step (of 1.4 or more) are element gaps: the step
    from them to character gaps is the widest of all, even when a busy machine stretches some
    gaps. Above it, the next step of 1.4 or more parts character gaps from word gaps; longer
    pauses count as word gaps."""
    steps = jumps(t["length_ms"] for t in tones)
    dash = max(steps)[1] if steps and max(steps)[0] >= 1.5 else float("inf")
    steps = [(r, g) for r, g in jumps(g["length_ms"] for g in gaps) if r >= 1.4]
    char = max(steps)[1] if steps else float("inf")
    word = min([g for _, g in steps if g > char], default=float("inf"))
    text, code = "", ""
    for tone, gap in zip(tones, gaps + [None]):
        code += "-" if tone["length_ms"] >= dash else "."
        if gap is None or gap["length_ms"] >= char:
            text += CODES.get(code, "*") + (" " if gap and gap["length_ms"] >= word else "")
            code = ""
    return text


if __name__ == "__main__":
    if len(sys.argv) not in (2, 4) or len(sys.argv) == 4 and sys.argv[2] != "--freq":
        sys.exit(__doc__)
    freq, tones = measure.find_tones(*measure.read_wav(sys.argv[1])[::-1],
                                     float(sys.argv[3]) if len(sys.argv) == 4 else None)
    gaps = gaps_between(tones)
    print(json.dumps({"frequency_hz": round(freq, 1), "tones": tones, "gaps": gaps,
                      "text": read_morse(tones, gaps)}, indent=1))
    sys.exit(0 if tones else 1)
