#!/usr/bin/env python3
"""End-to-end scenarios: the built trainer driven through its window the way a learner uses it,
on a private X display, with what it plays recorded from a private sound server.

usage: tests/e2e/run_e2e.py [BUILD_DIR] [-k WORD]...

BUILD_DIR (default: build) holds the program `vornik` and `key22.jpg`. The audio scripts come
from ../shared/tools/audio beside the repository, or from $VORNIK_AUDIO_TOOLS. -k runs only the
scenarios whose name contains WORD. A failed scenario leaves its recording, a screenshot and the
program's output in BUILD_DIR/e2e-failures/<scenario>/. The last line of the output is
"N passed, N failed" (", N skipped" when a check could not run here); exit status 1 on a failure.

Python's standard library only; the programs it drives are Debian's (scripts/install-deps e2e).
"""

import argparse
import json
import math
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import time
import traceback

sys.dont_write_bytecode = True  # nothing left behind in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
import window_map  # noqa: E402
from harness import Failure, Skip  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NEEDED = ["Xvfb", "openbox", "xdotool", "wmctrl", "xclip", "xprop", "xwininfo", "import",
          "sqlite3", "pulseaudio", "pactl", "parec", "sox", "multimon-ng", "morse2ascii"]
# The symbols the random groups draw from.
SYMBOLS = set("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/.,?=-")
# Short settings keep the suite quick: a 150 ms dash, a 50 ms dot (ratio 3) and a delay unit of
# 3000 iterations, which the program sizes to about 30 ms on an idle processor (shorter when
# it measured a busy one at start-up); clear enough for both decoders.
QUICK_LAJ = "3000"
DOT_MS = 50


class Suite:
    def __init__(self, build, tools):
        self.build = build
        self.tools = tools
        self.failures_dir = os.path.join(build, "e2e-failures")
        self.workdir = harness.new_workdir()
        self.runtime_dir = os.path.join(self.workdir, "runtime")
        os.makedirs(self.runtime_dir, mode=0o700)
        self.desktop = harness.Desktop(self.workdir)
        self.sound = harness.SoundServer(tools, self.workdir)
        self.audio = harness.AudioTools(tools)
        self.runs = []          # the trainer runs of the scenario in progress
        self.saved_rtf = None   # the file the save scenario wrote, for the LibreOffice check

    def start(self):
        self.desktop.start()
        self.sound.start()

    def stop(self):
        self.sound.stop()
        self.desktop.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def folder(self, *parts):
        path = os.path.join(self.workdir, *parts)
        os.makedirs(path, exist_ok=True)
        return path

    def trainer(self, name, program_folder, library_folder):
        run = harness.Trainer(self, name, program_folder, library_folder)
        self.runs.append(run)
        return run.start()

    def keep_evidence(self, scenario, message):
        """Copies what shows the failure into e2e-failures/<scenario>: the screen as it is now,
        then each run's recording and output."""
        target = os.path.join(self.failures_dir, scenario)
        shutil.rmtree(target, ignore_errors=True)
        os.makedirs(target)
        with open(os.path.join(target, "failure.txt"), "w") as f:
            f.write(message + "\n")
        self.desktop.screenshot(os.path.join(target, "screenshot.png"))
        for run in self.runs:
            run.kill()
            if os.path.isdir(run.folder):
                # (not the program and its picture: they are the build's own)
                shutil.copytree(run.folder, os.path.join(target, os.path.basename(run.folder)),
                                ignore=shutil.ignore_patterns("vornik", "key22.jpg"),
                                dirs_exist_ok=True)
        return target

    def end_runs(self):
        for run in self.runs:
            run.kill()
        self.runs = []


# --- checks on what the learner sees and hears --------------------------------------------------

def is_white(p):
    return min(p) >= 170 and max(p) - min(p) <= 40


def is_yellow(p):
    r, g, b = p
    return r >= 170 and g >= 0.8 * r and b <= 0.35 * r


def is_orange(p):
    r, g, b = p
    return r >= 170 and 0.35 * r <= g <= 0.65 * r and b <= 0.25 * r


def is_cyan(p):
    r, g, b = p
    return g >= 170 and b >= 170 and r <= 0.35 * g


def count(image, control, test):
    return sum(1 for p in image.region(*window_map.rect(control)) if test(p))


# The elements of every character the trainer keys: what a text should sound like, and how many
# tones it makes.
MORSE = {
    "A": ".-", "B": "-...", "C": "-.-.", "D": "-..", "E": ".", "F": "..-.", "G": "--.",
    "H": "....", "I": "..", "J": ".---", "K": "-.-", "L": ".-..", "M": "--", "N": "-.",
    "O": "---", "P": ".--.", "Q": "--.-", "R": ".-.", "S": "...", "T": "-", "U": "..-",
    "V": "...-", "W": ".--", "X": "-..-", "Y": "-.--", "Z": "--..",
    "0": "-----", "1": ".----", "2": "..---", "3": "...--", "4": "....-", "5": ".....",
    "6": "-....", "7": "--...", "8": "---..", "9": "----.",
    ".": ".-.-.-", ",": "--..--", "/": "-..-.", "?": "..--..", "=": "-...-", "-": "-....-",
}


def tones_in(text):
    return sum(len(MORSE[c]) for c in text.upper() if c != " ")


def play_typed(trainer, text):
    """Opens the typing panel, types `text` and plays it; returns where in the recording "Go
    morse" was pressed, once the text's last tone has sounded."""
    trainer.click("Command4")
    trainer.type(text)
    go = trainer.click("Command5")
    trainer.recording.wait_for_tone(go, 10)
    trainer.recording.wait_for_tones(go, tones_in(text), 90)
    return go


def measure(suite, trainer):
    """cw-timing's measurement of a finished run, kept beside its recording."""
    timing = suite.audio.timing(trainer.wav)
    with open(os.path.join(trainer.folder, "timing.json"), "w") as f:
        json.dump(timing, f, indent=1)
    return timing


def expect_equal(what, got, wanted):
    if got != wanted:
        raise Failure(f"{what}: got {got!r}, expected {wanted!r}")


def cross_check(suite, trainer, timing, wanted):
    """multimon-ng's reading of the run against the characters `wanted` (blanks left out).

    multimon-ng follows the speed from the lengths alone and takes the gap inside a character
    to be about a dot long. It loses its way when those gaps are uneven, which the trainer's
    busy-wait makes them on a busy machine, or much shorter than a dot, which they are when the
    trainer sized its busy-wait iterations on a busy processor at start-up. A disagreement then
    is reported beside the result; with even gaps of at least half a dot it fails."""
    decoded = suite.audio.decode(trainer.wav)
    if decoded == wanted:
        return None
    tones = timing["tones"]
    gaps = [tones[i + 1]["start_ms"] - tones[i]["start_ms"] - tones[i]["length_ms"]
            for i in range(len(tones) - 1)]
    inside = [g for g in gaps if g < 3 * min(gaps)] if gaps else []
    if not inside or (max(inside) < 1.6 * min(inside) and min(inside) >= DOT_MS / 2):
        raise Failure(f"multimon-ng heard {decoded!r}, expected {wanted!r}")
    return (f"multimon-ng heard {decoded!r}: the gaps inside characters ranged "
            f"{min(inside):.0f}-{max(inside):.0f} ms beside {DOT_MS} ms dots")


def elements_of(tones):
    # A dash is three times a dot here (dash 150 ms, ratio 3); tones are timed by the clock.
    return "".join("-" if t["length_ms"] > 100 else "." for t in tones)


def check_keying(timing, words):
    """The recording keys `words` (a list of words or groups) as a learner can copy them: their
    dots and dashes in order, the characters apart from each other, and the words further
    apart than the characters.

    The silences are sorted by the known text, not by their lengths: they are busy-waits, which
    a busy machine stretches now and then by two or three times, so that their lengths alone
    can mistake a gap between characters for one between words. Decoders that read the lengths
    alone are checked on the characters only."""
    tones = timing["tones"]
    expect_equal("dots and dashes heard", elements_of(tones),
                 "".join(MORSE[c] for word in words for c in word))

    def gap(i):
        return tones[i + 1]["start_ms"] - tones[i]["start_ms"] - tones[i]["length_ms"]
    inside, between_chars, between_words, i = [], [], [], 0
    for w, word in enumerate(words):
        for c, char in enumerate(word):
            inside += [gap(i + k) for k in range(len(MORSE[char]) - 1)]
            i += len(MORSE[char])
            if c < len(word) - 1:
                between_chars.append(gap(i - 1))
            elif w < len(words) - 1:
                between_words.append(gap(i - 1))
    if inside and between_chars and max(inside) >= min(between_chars):
        raise Failure(f"characters run together: a gap inside a character of {max(inside):.0f} "
                      f"ms, a gap between characters of {min(between_chars):.0f} ms")
    if between_chars and between_words and \
            statistics.median(between_words) < 1.8 * statistics.median(between_chars):
        raise Failure("words are not set apart: gaps between words "
                      f"{statistics.median(between_words):.0f} ms, between characters "
                      f"{statistics.median(between_chars):.0f} ms (medians)")


# --- scenarios ------------------------------------------------------------------------------------

def startup_look(suite):
    """At start-up the bottom numbers and the fun-tone label have their colours, no panel is
    open and the picture fills the panel area."""
    program = harness.make_program_folder(suite.folder("look", "program"), suite.build)
    harness.write_settings(program, QUICK_LAJ)
    trainer = suite.trainer("look", program, suite.folder("look", "library"))
    image = trainer.grab()

    white, yellow = count(image, "Label6", is_white), count(image, "Label6", is_yellow)
    if white < 4 or yellow:
        raise Failure(f"Label6 (the delay limit) should be white text: {white} white and "
                      f"{yellow} yellow pixels in its rectangle")
    yellow, white = count(image, "Label7", is_yellow), count(image, "Label7", is_white)
    if yellow < 4 or white:
        raise Failure(f"Label7 (the dash length) should be yellow text: {yellow} yellow and "
                      f"{white} white pixels in its rectangle")
    orange = count(image, "Label9", is_orange)
    if orange < 4:
        raise Failure(f"Label9 \"Fun tone\" should be orange text: {orange} orange pixels")

    # Frame1 hidden: nothing of its cyan caption line, and the picture is what shows there.
    x, y, w, _ = window_map.rect("Frame1")
    caption = sum(1 for p in image.region(x, y, w, 16) if is_cyan(p))
    if caption:
        raise Failure(f"{caption} cyan pixels where the hidden random panel's caption would be")
    px, py, pw, ph = window_map.rect("Image1")
    picture = harness.Image.from_ppm(subprocess.run(
        [convert_tool(), os.path.join(program, "key22.jpg"), "-resize", f"{pw}x{ph}!",
         "-depth", "8", "ppm:-"], capture_output=True, timeout=30).stdout)
    shown = image.region(px, py, pw, ph)
    wanted = picture.region(0, 0, pw, ph)
    difference = sum(abs(a - b) for p, q in zip(shown, wanted)
                     for a, b in zip(p, q)) / (3 * len(shown))
    darkness = sum(sum(q) for q in wanted) / (3 * len(wanted))
    if difference > min(20, darkness / 2):
        raise Failure(f"the picture area does not show key22.jpg stretched to {pw}x{ph}: mean "
                      f"difference {difference:.1f} of 255 (picture's mean level {darkness:.1f})")
    trainer.close_normally()


def convert_tool():
    # Debian's ImageMagick; a `convert` found earlier on PATH may be something else.
    return "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"


def random_groups(suite):
    """Three groups of four: the box shows them, and the sound is exactly those symbols, in
    groups."""
    program = harness.make_program_folder(suite.folder("groups", "program"), suite.build)
    harness.write_settings(program, QUICK_LAJ)
    trainer = suite.trainer("groups", program, suite.folder("groups", "library"))
    trainer.click("Command2")
    trainer.fill("Text3", "3")
    trainer.fill("Text2", "4")
    go = trainer.click("Command3")
    complete = re.compile(r"(\S+ ){3}")
    shown = harness.wait_until("three groups in the groups box",
                               lambda: (lambda t: t if complete.fullmatch(t) else None)(
                                   trainer.copy_text("command1")), 90, 1.5)
    trainer.recording.wait_for_quiet(go, 2.5, 30)
    expect_equal("groups box after the run ended", trainer.copy_text("command1"), shown)
    trainer.close_normally()

    groups = shown.split()
    if len(groups) != 3 or any(len(g) != 4 for g in groups):
        raise Failure(f"expected 3 groups of 4 characters, the box shows {shown!r}")
    strange = set("".join(groups)) - SYMBOLS
    if strange:
        raise Failure(f"symbols outside the Morse table in the groups: {sorted(strange)}")
    timing = measure(suite, trainer)
    check_keying(timing, groups)
    expect_equal("symbols heard (cw-timing)", timing["summary"]["text"].replace(" ", ""),
                 "".join(groups))
    return cross_check(suite, trainer, timing, "".join(groups))


TYPED_TEXT = "cq de test 73"


def typed_text(suite):
    """A typed text is played as that text, word by word; typing itself stays silent while
    "Sound as u type" is off."""
    program = harness.make_program_folder(suite.folder("typed", "program"), suite.build)
    harness.write_settings(program, QUICK_LAJ)
    trainer = suite.trainer("typed", program, suite.folder("typed", "library"))
    start = trainer.recording.samples()
    go = play_typed(trainer, TYPED_TEXT)
    early = trainer.recording.first_tone(start, go)
    if early is not None:
        raise Failure(f"a tone sounded {(go - early) / harness.RATE:.2f} s before Go morse, "
                      "while typing with the echo off")
    trainer.close_normally()
    timing = measure(suite, trainer)
    check_keying(timing, TYPED_TEXT.upper().split())
    expect_equal("text heard (cw-timing)", timing["summary"]["text"].replace(" ", ""),
                 TYPED_TEXT.upper().replace(" ", ""))
    return cross_check(suite, trainer, timing, TYPED_TEXT.upper().replace(" ", ""))


# "Laju -" adds 100 iterations to the delay limit. How long an iteration takes is the program's
# own business: it is sized at start-up by a short measurement of the processor, which on a
# shared machine comes out differently from run to run, so that the same delay limit has been
# heard up to about twice as long in one run as in another. The speed scenarios therefore make
# the delay limit ten times as long (2000 to 20000), and judge a restart by whether the unit
# heard is nearer to ten times or to the same as before. (2000: the shortest unit that stays
# well clear of the few milliseconds in which two tones would run together.)
SPEED_BASE = 2000
SPEED_PRESSES = 180
SPEED_SLOWER = SPEED_BASE + 100 * SPEED_PRESSES
# Enough gaps between elements at the short unit; fewer at the long one, to keep it quick.
SPEED_TEXT = {SPEED_BASE: "50505", SPEED_SLOWER: "505"}


def gap_within_characters_ms(tones, text):
    """The shortest silence between two elements of one character in a playing of `text`.

    The gaps are picked out by the known text, not by their lengths, and the shortest one is
    taken: the delay unit is a busy-wait with no clock, and whenever another process shares the
    processor's core a gap stretches (by up to twice on this kind of machine) but never shrinks.
    """
    expect_equal(f"dots and dashes heard for {text!r}", elements_of(tones),
                 "".join(MORSE[c] for c in text.upper()))
    gaps, position = [], 0
    for c in text.upper():
        for i in range(position, position + len(MORSE[c]) - 1):
            gaps.append(tones[i + 1]["start_ms"] - tones[i]["start_ms"] - tones[i]["length_ms"])
        position += len(MORSE[c])
    return min(gaps)


def speed_run(suite, name, program, text, slower=0, ending="close"):
    """One run: plays `text`, presses "Laju -" `slower` times and ends the program by `ending`
    ("close": the window's close control; "end": "Tamat / End"; "stop": the suite ends it, for
    a run whose end is not looked at and whose word gap at a long unit would only cost time).
    Returns the gap between elements heard, in ms."""
    trainer = suite.trainer(name, program, suite.folder(name, "library"))
    go = play_typed(trainer, text.lower())
    if slower:
        trainer.click("Command9", repeat=slower, delay_ms=30)
        time.sleep(0.5)
    if ending == "close":
        trainer.close_normally()
    elif ending == "end":
        trainer.click("Command11")
        trainer.wait_ended(10)
    else:
        trainer.kill()
    tones = [t for t in measure(suite, trainer)["tones"]
             if t["start_ms"] >= go / harness.RATE * 1000]
    return gap_within_characters_ms(tones, text)


def nearer(measured, wanted, other):
    """Whether `measured` lies nearer to `wanted` than to `other`, on a logarithmic scale."""
    return abs(math.log(measured / wanted)) < abs(math.log(measured / other))


def slower_saved_on_close(suite):
    """"Laju -" and a normal close: the next start keys the longer delay unit, and laju.mdb
    holds the new delay limit."""
    program = harness.make_program_folder(suite.folder("slower-close", "program"), suite.build)
    harness.write_settings(program, str(SPEED_BASE))
    before = speed_run(suite, "slower-close-1", program, SPEED_TEXT[SPEED_BASE],
                       SPEED_PRESSES, "close")
    expect_equal(f"laju.mdb after Laju - pressed {SPEED_PRESSES} times and a normal close",
                 harness.read_settings(program),
                 {"LAJ": str(SPEED_SLOWER), "PANJAN": "150", "NAD": "700", "DOT": "3"})
    after = speed_run(suite, "slower-close-2", program, SPEED_TEXT[SPEED_SLOWER], ending="stop")
    wanted = SPEED_SLOWER / SPEED_BASE
    if not nearer(after / before, wanted, 1.0):
        raise Failure(f"gap between elements {before:.1f} ms before and {after:.1f} ms after the "
                      f"restart (x{after / before:.2f}); the delay limit went from {SPEED_BASE} "
                      f"to {SPEED_SLOWER} (x{wanted:.0f})")
    return f"gap between elements {before:.1f} ms, after the restart {after:.1f} ms"


def slower_dropped_on_end(suite):
    """"Laju -" and then "Tamat / End": nothing is saved, the next start keys as before."""
    program = harness.make_program_folder(suite.folder("slower-end", "program"), suite.build)
    harness.write_settings(program, str(SPEED_BASE))
    before = speed_run(suite, "slower-end-1", program, SPEED_TEXT[SPEED_BASE], SPEED_PRESSES,
                       "end")
    expect_equal(f"laju.mdb after Laju - pressed {SPEED_PRESSES} times and Tamat / End",
                 harness.read_settings(program),
                 {"LAJ": str(SPEED_BASE), "PANJAN": "150", "NAD": "700", "DOT": "3"})
    after = speed_run(suite, "slower-end-2", program, SPEED_TEXT[SPEED_BASE])
    if not nearer(after / before, 1.0, SPEED_SLOWER / SPEED_BASE):
        raise Failure(f"gap between elements {before:.1f} ms before and {after:.1f} ms after the "
                      f"restart (x{after / before:.2f}); it should not have changed")
    return f"gap between elements {before:.1f} ms, after the restart {after:.1f} ms"


LIBRARY = [("a1.txt", "CQ CQ DE"), ("b2.text", "PARIS"), ("c3", "TEST")]


def library_round(suite):
    """Three texts in the library: after the first is chosen, "Go morse" plays them in list
    order and goes on with the first again, until Stop."""
    library = suite.folder("library", "library")
    for name, text in LIBRARY:
        with open(os.path.join(library, name), "w") as f:
            f.write(text.lower() + "\n")
    program = harness.make_program_folder(suite.folder("library", "program"), suite.build)
    harness.write_settings(program, QUICK_LAJ)
    trainer = suite.trainer("library", program, library)
    trainer.click("Command13")
    trainer.click("File1", dx=60, dy=9)      # the first entry of the list
    go = trainer.click("Command5")
    texts = "".join(text.replace(" ", "") for _, text in LIBRARY)
    round_trip = texts + LIBRARY[0][1].replace(" ", "")
    # Stop once the first character of the first text has sounded again; counted in tones, so
    # that nothing heavy runs beside the trainer while it plays.
    trainer.recording.wait_for_tones(go, tones_in(texts + round_trip[len(texts)]), 120)
    stop = trainer.click("Command19")
    trainer.recording.wait_for_silence(stop, 3.0, 15)
    last = trainer.recording.last_tone_end(go)
    if last - stop > 1.5 * harness.RATE:
        raise Failure(f"tones went on for {(last - stop) / harness.RATE:.1f} s after Stop")
    trainer.close_normally()

    timing = measure(suite, trainer)
    heard = timing["summary"]["text"].replace(" ", "")
    if not (heard.startswith(texts) and len(heard) > len(texts) and round_trip.startswith(heard)):
        raise Failure(f"cw-timing heard {heard!r}; expected the three texts {texts!r} and then "
                      "the start of the first one")
    note = cross_check(suite, trainer, timing, heard)
    return f"heard {timing['summary']['text']!r}" + (f"; {note}" if note else "")


SAVED_NAME = "latihan.txt"
SAVED_TEXT = "save test"


def saved_text(suite):
    """A typed text saved under a name lands beside the program as Rich Text and, the program
    having been started in its own folder, shows in the library list and loads back."""
    program = harness.make_program_folder(suite.folder("save", "program"), suite.build)
    harness.write_settings(program, QUICK_LAJ)
    trainer = suite.trainer("save", program, program)
    trainer.click("Command4")
    trainer.type(SAVED_TEXT)
    trainer.click("Command15")
    trainer.click("Text1")
    trainer.type(SAVED_NAME)
    trainer.click("Command16")
    path = os.path.join(program, SAVED_NAME)
    harness.wait_until(f"{SAVED_NAME} beside the program", lambda: os.path.isfile(path), 10)
    with open(path, "rb") as f:
        content = f.read()
    if not content.startswith(b"{\\rtf"):
        raise Failure(f"{SAVED_NAME} is not Rich Text Format: starts with {content[:20]!r}")
    suite.saved_rtf = path
    # The list shows the program folder (the current folder), sorted by name: the saved text
    # comes before the program itself, the only other file without a listed extension.
    trainer.click("Command13")
    # (the open-file panel lies over the middle of the text box: read it at its left edge)
    expect_equal("text box after Buka Fail", trainer.copy_text("rtf", dx=10).strip(), "")
    trainer.click("File1", dx=60, dy=9)
    expect_equal("text loaded from the first entry of the list", trainer.copy_text("rtf").strip(),
                 SAVED_TEXT)
    trainer.close_normally()


def saved_text_in_libreoffice(suite):
    """The saved Rich Text opens in LibreOffice Writer with the same text."""
    soffice = shutil.which("soffice")
    if not soffice:
        raise Skip("LibreOffice (soffice) is not installed; the saved file was not opened in it")
    if not suite.saved_rtf:
        raise Skip("no saved file to open (the save scenario did not get that far)")
    folder = suite.folder("libreoffice")
    # By its content, not its name: LibreOffice would take a .txt file for plain text.
    source = os.path.join(folder, "latihan.rtf")
    shutil.copy(suite.saved_rtf, source)
    harness.run([soffice, "--headless", "--norestore",
                 "-env:UserInstallation=file://" + os.path.join(folder, "profile"),
                 "--convert-to", "txt:Text (encoded):UTF8", "--outdir",
                 os.path.join(folder, "out"), source], timeout=180,
                env=dict(os.environ, HOME=folder))
    out = os.path.join(folder, "out", "latihan.txt")
    if not os.path.isfile(out):
        raise Failure("LibreOffice did not convert the saved file")
    with open(out, encoding="utf-8-sig") as f:
        expect_equal("text LibreOffice reads from the saved file", f.read().strip(), SAVED_TEXT)


SCENARIOS = [
    ("startup-look", startup_look),
    ("random-groups", random_groups),
    ("typed-text", typed_text),
    ("slower-saved-on-close", slower_saved_on_close),
    ("slower-dropped-on-end", slower_dropped_on_end),
    ("library-round", library_round),
    ("saved-text", saved_text),
    ("saved-text-in-libreoffice", saved_text_in_libreoffice),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build", nargs="?", default=os.path.join(REPO, "build"))
    parser.add_argument("-k", action="append", default=[], metavar="WORD")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    tools = os.environ.get("VORNIK_AUDIO_TOOLS",
                           os.path.join(os.path.dirname(REPO), "shared", "tools", "audio"))

    problems = [f"missing program: {tool}" for tool in NEEDED if not shutil.which(tool)]
    if not os.path.isfile(os.path.join(tools, "capture")):
        problems.append(f"no audio scripts in {tools} (set VORNIK_AUDIO_TOOLS)")
    if not os.access(os.path.join(build, "vornik"), os.X_OK):
        problems.append(f"no program in {build} (build it first)")
    if problems:
        print("\n".join(problems) + "\n(scripts/install-deps e2e installs the programs)")
        print("0 passed, 1 failed")
        return 1

    chosen = [(n, f) for n, f in SCENARIOS if not args.k or any(k in n for k in args.k)]
    shutil.rmtree(os.path.join(build, "e2e-failures"), ignore_errors=True)
    passed = failed = skipped = 0

    def interrupted(*_):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, interrupted)

    suite = Suite(build, tools)
    began = time.monotonic()
    try:
        try:
            suite.start()
        except Failure as e:
            target = suite.keep_evidence("set-up", str(e))
            for log in ("xvfb.log", "openbox.log", os.path.join("pa", "server.log")):
                if os.path.isfile(os.path.join(suite.workdir, log)):
                    shutil.copy(os.path.join(suite.workdir, log), target)
            print(f"FAIL set-up: {e}\n     logs in {target}")
            failed += 1
            chosen = []
        for name, scenario in chosen:
            t0 = time.monotonic()
            try:
                note = scenario(suite)
                passed += 1
                print(f"PASS {name} ({time.monotonic() - t0:.1f} s)"
                      + (f": {note}" if note else ""), flush=True)
            except Skip as e:
                skipped += 1
                print(f"SKIP {name}: {e}", flush=True)
            except Exception as e:  # a fault of the suite itself counts as a failure too
                failed += 1
                message = str(e) if isinstance(e, Failure) else traceback.format_exc()
                target = suite.keep_evidence(name, message)
                print(f"FAIL {name} ({time.monotonic() - t0:.1f} s): {message}\n"
                      f"     recording, screenshot and program output in {target}", flush=True)
            finally:
                suite.end_runs()
    except KeyboardInterrupt:
        print("interrupted", flush=True)
        failed += 1
    finally:
        suite.end_runs()
        suite.stop()
    print(f"end-to-end: {time.monotonic() - began:.0f} s")
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
