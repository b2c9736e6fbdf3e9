#!/usr/bin/python3
"""End-to-end: the built trainer on an X display and a sound server of the suite's own, driven
through its window as a learner does and heard through a recording of what it played.

usage: tests/e2e/run_e2e.py [BUILD_DIR]   (default: build; it holds `vornik` and key22.jpg)

Only what needs the real window, sound server and decoder is here; the rest is unit-tested. A
failed scenario keeps its recordings, a screenshot and the program's output in
BUILD_DIR/e2e-failures/<scenario>/. The last line is "N passed, N failed".
"""
import os, re, shutil, sqlite3, subprocess, sys, tempfile, time, traceback  # noqa: E401

import numpy as np

sys.dont_write_bytecode = True  # nothing left behind in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "audio"))
import measure, sound  # noqa: E401, E402
from sound import wait_until  # noqa: E402

TITLE, CLIENT_HEIGHT = "VORNIK - VELDRAN (0Q0QQ)", 387
# The International Morse code of the characters the scenarios play.
MORSE = dict(zip("ACDEIPQRST5", ".- -.-. -.. . .. .--. --.- .-. ... - .....".split()))
# Centres of the controls used here in the window's client area, as the window was designed
# (panel offsets added), written down from the design rather than read from the program.
AT = {"Taip teks": (352, 116), "Buka Fail": (408, 116), "Laju -": (408, 177), "Laju +": (352, 177),
      "Tamat / End": (380, 260), "text box": (168, 148),
      "Go morse": (60, 316), "Stop": (128, 316), "Simpan Fail": (276, 316),
      "file name": (176, 180), "OK Simpan": (176, 212), "first file": (124, 137)}


class Suite:
    """A window manager and a sound server started for the run (on the display of the xvfb-run
    that main() starts), and only those stopped after it."""

    def __init__(self, build):
        self.build, self.dir = build, tempfile.mkdtemp(prefix="vornik-e2e.")
        self.env = dict(os.environ, HOME=self.dir, XDG_RUNTIME_DIR=self.dir, QT_QPA_PLATFORM="xcb")
        # The window manager closes the window as its title bar's close control does.
        self.openbox = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stderr=subprocess.DEVNULL)
        wait_until("openbox", lambda: "id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), 15)
        self.server = sound.SoundServer(os.path.join(self.dir, "pulseaudio.log")).__enter__()
        self.env.update(self.server.env)

    def stop(self):
        self.server.__exit__()
        sound.stop(self.openbox)
        shutil.rmtree(self.dir, ignore_errors=True)

    def x(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=20).stdout

    def scenario(self, name, check):
        """Runs one scenario in a folder of its own; keeps that folder when it fails."""
        self.folder, self.trainers, began = os.path.join(self.dir, name), [], time.monotonic()
        os.makedirs(self.folder)
        try:
            note = check(self)
            print(f"PASS {name} ({time.monotonic() - began:.1f} s){note or ''}", flush=True)
            return True
        except Exception as e:
            self.x("import", "-window", "root", os.path.join(self.folder, "screenshot.png"))
            [trainer.finish() for trainer in self.trainers]
            kept = os.path.join(self.build, "e2e-failures", name)
            shutil.copytree(self.folder, kept, ignore=shutil.ignore_patterns("vornik", "*.jpg"))
            print(f"FAIL {name}: {e if isinstance(e, AssertionError) else traceback.format_exc()}"
                  f"\n     kept in {kept}", flush=True)
        finally:
            [trainer.finish() for trainer in self.trainers]

    def program(self, laj):
        """A program folder of its own: the program, its picture and a settings file."""
        os.makedirs(folder := os.path.join(self.folder, "program"))
        [shutil.copy2(os.path.join(self.build, file), folder) for file in ("vornik", "key22.jpg")]
        with sqlite3.connect(os.path.join(folder, "laju.mdb")) as db:
            db.execute("CREATE TABLE laju (LAJ TEXT, PANJAN TEXT, NAD TEXT, DOT TEXT)")
            db.execute("INSERT INTO laju VALUES (?, '150', '700', '3')", (str(laj),))
        return folder


class Trainer:
    """One start of the program, recorded from before it starts until it has ended."""

    def __init__(self, suite, folder, run, library=None):
        self.suite, self.wav, self.loud = suite, os.path.join(folder, f"run{run}.wav"), np.zeros(0, bool)
        self.recorder = sound.Recorder(suite.server)
        self.process = subprocess.Popen(
            [os.path.join(folder, "vornik")], cwd=library or folder, env=suite.env,
            stdout=open(os.path.join(folder, f"program{run}.log"), "w"), stderr=subprocess.STDOUT)
        suite.trainers.append(self)
        self.window = wait_until("the window", lambda: suite.x(
            "xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(TITLE)}$").split(), 20)[0]
        info = dict(re.findall(r"(Absolute upper-left [XY]|Height):\s+(-?\d+)",
                               suite.x("xwininfo", "-id", self.window)))
        # The window's own X window holds the menu bar and below it the client area.
        self.origin = (int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"])
                       + int(info["Height"]) - CLIENT_HEIGHT)
        suite.x("xdotool", "windowactivate", "--sync", self.window)
        time.sleep(1.0)  # the first activation reads the settings; let the first paint settle

    def click(self, control, repeat=1):
        """Clicks a control; returns when, in ms on the recording's time line."""
        x, y, at = *AT[control], (time.time() - self.recorder.t0) * 1000
        self.suite.x("xdotool", "mousemove", str(self.origin[0] + x), str(self.origin[1] + y),
                     "sleep", "0.05", "click", "--repeat", str(repeat), "--delay", "30", "1")
        time.sleep(0.3)
        return at

    def keys(self, text="", *keys):
        self.suite.x("xdotool", *(("key", "--delay", "40", *keys) if keys else ("type", "--delay", "40", text)))
        time.sleep(0.3)

    def onsets(self, since_ms):
        """Tones begun after `since_ms`, from the level of each millisecond recorded. Read once
        each, so that polling leaves the processor to the trainer, whose silences are busy."""
        have, ms = len(self.loud), self.recorder.samples() // 48
        block = np.frombuffer(bytes(self.recorder.data[have * 96:ms * 96]), "<i2")
        self.loud = np.append(self.loud, np.abs(block.reshape(-1, 48)).max(axis=1, initial=0) > 1000)
        return np.flatnonzero(np.diff(self.loud[int(since_ms):].astype(np.int8)) == 1)

    def quiet(self, since_ms, ms):
        """Whether the last `ms` recorded, all after `since_ms`, were silent."""
        self.onsets(since_ms)
        return len(self.loud) > since_ms + ms and not self.loud[-ms:].any()

    def play(self, text, timeout=60):
        """Types `text` into the text panel, plays it and waits until its last tone is heard."""
        self.click("Taip teks")
        self.keys(text.lower())
        go, elements = self.click("Go morse"), len("".join(MORSE[c] for c in text))
        wait_until(f"{elements} tones of {text!r}",
                   lambda: len(self.onsets(go)) >= elements and self.quiet(go, 50), timeout, 0.2)
        return go

    def close(self):
        self.suite.x("wmctrl", "-i", "-c", self.window)
        self.process.wait(20)

    def finish(self):
        """Ends the program if it still runs, then the recording."""
        sound.stop(self.process)
        if self.recorder.process.poll() is None:
            self.recorder.save(self.wav)

    def end(self, since_ms=0):
        """The tones of the recording after `since_ms`, once the program has ended."""
        self.finish()
        self.tones = getattr(self, "tones", None) or measure.measure(self.wav)
        return [tone for tone in self.tones if tone["start_ms"] > since_ms]


def element_gap(tones):
    """The shortest silence between tones, a gap between two elements of a character: the keying
    timeline never shortens a silence, while a busy machine may stretch one now and then."""
    return min(b["start_ms"] - a["start_ms"] - a["length_ms"] for a, b in zip(tones, tones[1:]))


# "Laju -" adds 100 to the delay limit (10 clicks: a delay unit twice as long) and one repeat to
# the character gap, which after many clicks lasts long before the next yield.
BASE, PRESSES, SLOW = 1000, 10, 2000


def delay_limit(suite):
    """"Laju -" and a normal close store the new delay limit; the next start keys with it. Then
    "Laju +", and "Tamat / End" pressed during play: the program ends before the next character,
    laju.mdb is left byte for byte alone and the next start keys as before. (Laju + first: after
    many clicks of "Laju -" the character gap, and with it End's wait, lasts minutes.)"""
    first = Trainer(suite, program := suite.program(BASE), 1)
    go = first.play("55")
    first.click("Laju -", repeat=PRESSES)
    first.close()
    stored = sqlite3.connect(os.path.join(program, "laju.mdb")).execute("SELECT * FROM laju").fetchall()
    assert stored == [(str(SLOW), "150", "700", "3")], f"laju.mdb holds {stored}"
    gaps, stored = [element_gap(first.end(go))], open(os.path.join(program, "laju.mdb"), "rb").read()
    second = Trainer(suite, program, 2)
    go2 = second.play("5555")
    second.click("Laju +", repeat=PRESSES)
    again = second.click("Go morse")
    wait_until("the text played again", lambda: len(second.onsets(again)), 10, 0.1)
    second.click("Tamat / End")
    second.process.wait(30)
    assert len(second.end(again)) < 20, "End let the text play to its end"
    assert open(os.path.join(program, "laju.mdb"), "rb").read() == stored, "End changed laju.mdb"
    gaps += [element_gap([t for t in second.end(go2) if t["start_ms"] < again]), element_gap(second.end(again))]
    third = Trainer(suite, program, 3)
    gaps.append(element_gap(third.end(third.play("5"))))
    # Each a one-unit gap: the stored delay limit in 10 us steps, within 0.3 ms.
    assert all(abs(gap - limit * 0.01) <= 0.3 for gap, limit in zip(gaps, (BASE, SLOW, BASE, SLOW))), \
        "element gaps %.2f, %.2f, Laju + %.2f, after End %.2f ms" % tuple(gaps)
    return ": element gaps %.2f ms, after the close %.2f, Laju + %.2f, after End %.2f" % tuple(gaps)


LIBRARY = {"a1.txt": "CE", "b2.text": "AT", "c3": "IS"}


def library_round(suite):
    """Three texts in the library: once the first is chosen, "Go morse" plays them in list
    order and goes on with the first one again, until Stop silences it within a character."""
    os.makedirs(library := os.path.join(suite.folder, "library"))
    [open(os.path.join(library, name), "w").write(text.lower()) for name, text in LIBRARY.items()]
    trainer = Trainer(suite, suite.program(3000), 1, library)
    [trainer.click(control) for control in ("Buka Fail", "first file")]
    go, texts = trainer.click("Go morse"), "".join(LIBRARY.values()).replace(" ", "")
    elements = "".join(MORSE[c] for c in texts)
    # Stop as the first text's first character ("C") sounds again.
    wait_until("the round to come back", lambda: len(trainer.onsets(go)) > len(elements), 120, 0.05)
    stop = trainer.click("Stop")
    wait_until("2 s of silence after Stop", lambda: trainer.quiet(stop, 2000), 15, 0.2)
    trainer.close()
    tones = trainer.end()
    # Read as dots and dashes (150 ms dashes, 54 ms dots): the silences of a busy machine can
    # run characters together. Stop acts before the next character: at most the rest of "C".
    heard, wanted = "".join("-" if t["length_ms"] > 100 else "." for t in tones), elements + "-.-."
    assert heard == wanted, f"heard {heard}, expected {wanted} ({texts}C)"
    silenced = tones[-1]["start_ms"] + tones[-1]["length_ms"] - stop
    assert silenced < 1000, f"sound went on {silenced:.0f} ms after Stop"
    return f": Stop silenced the sound {silenced:.0f} ms after the click"


def saved_file(suite):
    """A typed text saved under a name lands beside the program as Rich Text, which the window
    loads back from its library list (and LibreOffice reads, where it is installed)."""
    trainer = Trainer(suite, program := suite.program(3000), 1)
    for control, text in (("Taip teks", "save test"), ("Simpan Fail", ""), ("file name", "latihan.txt"),
                          ("OK Simpan", "")):
        trainer.click(control)
        trainer.keys(text)
    wait_until("latihan.txt", lambda: os.path.isfile(os.path.join(program, "latihan.txt")), 10)
    path = os.path.join(program, "latihan.txt")
    assert open(path, "rb").read().startswith(b"{\\rtf"), "latihan.txt is not Rich Text"
    trainer.click("Buka Fail")
    trainer.click("first file")  # sorted by name: before the program, the only other entry
    trainer.click("text box")  # its text, as the learner can copy it
    trainer.keys("", "ctrl+a", "ctrl+c")
    assert suite.x("xclip", "-o", "-selection", "clipboard").strip() == "save test", "latihan.txt did not load back"
    trainer.close()
    if not (office := shutil.which("soffice")):
        return ": LibreOffice is not installed; its reading was not checked"
    rtf = shutil.copy(path, os.path.join(suite.folder, "latihan.rtf"))  # by content, not name
    subprocess.run([office, "--headless", "--norestore", "--convert-to", "txt:Text (encoded):UTF8",
                    "--outdir", suite.folder, rtf], env=suite.env, capture_output=True, timeout=180)
    text = open(os.path.join(suite.folder, "latihan.txt"), encoding="utf-8-sig").read().strip()
    assert text == "save test", f"LibreOffice read {text!r}"
    return ": also read back by LibreOffice"


SCENARIOS = {"library-round": library_round, "delay-limit": delay_limit, "saved-file": saved_file}


def main(build):
    """Runs the scenarios on a display of their own: xvfb-run starts Xvfb, runs this script
    again on it and stops that Xvfb afterwards."""
    if "VORNIK_E2E_DISPLAY" not in os.environ:
        shutil.rmtree(os.path.join(build, "e2e-failures"), ignore_errors=True)
        return subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -nolisten tcp", sys.executable,
                               __file__, build], env=dict(os.environ, VORNIK_E2E_DISPLAY="1")).returncode
    passed, began, suite = 0, time.monotonic(), None
    try:
        suite = Suite(build)
        passed = sum(bool(suite.scenario(name, check)) for name, check in SCENARIOS.items())
    except Exception:
        print(f"FAIL set-up: {traceback.format_exc()}")
    finally:
        suite and suite.stop()
    print(f"end-to-end: {time.monotonic() - began:.0f} s\n{passed} passed, {len(SCENARIOS) - passed} failed")
    return passed < len(SCENARIOS)


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")))
