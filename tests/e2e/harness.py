"""What the end-to-end scenarios stand on: a private X display with a window manager, a private
sound server, the trainer started from a folder of its own and recorded while it plays, and the
ways of looking at what it did (the recording, screenshots, the clipboard, its files).

Everything here is started by this module and stopped by it, by the process it started; a run
never touches another display, sound server or program on the machine.
"""

import array
import json
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

import window_map

WINDOW_TITLE = "VORNIK - VELDRAN (0Q0QQ)"
RATE = 48000
# Peak level (of 32767) above which a 1 ms slice of the recording counts as tone. The trainer
# plays at about -10 dBFS and the null sink is digital silence, so anything in between will do.
# The slices are short because the gap between two elements can be a few milliseconds.
TONE_LEVEL = 1500
SLICE = RATE // 1000


class Failure(Exception):
    """A check that a learner would notice went wrong."""


class Skip(Exception):
    """The check cannot run on this machine (a tool it needs is missing)."""


def run(cmd, timeout, env=None, cwd=None, check=True, input=None):
    """Runs a command to its end within `timeout` seconds and returns its stdout as text."""
    try:
        done = subprocess.run(cmd, env=env, cwd=cwd, input=input, capture_output=True,
                              timeout=timeout, encoding="utf-8", errors="replace")
    except subprocess.TimeoutExpired:
        raise Failure(f"{cmd[0]} did not finish within {timeout} s: {' '.join(map(str, cmd))}")
    if check and done.returncode != 0:
        raise Failure(f"{' '.join(map(str, cmd))} exited with {done.returncode}: "
                      f"{done.stderr.strip()[-500:]}")
    return done.stdout


def wait_until(what, predicate, timeout, interval=0.1):
    """Polls `predicate` until it returns something true; fails naming `what` after `timeout`."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def stop_process(process, grace=5.0):
    """Ends a process this module started: SIGTERM, then SIGKILL after `grace` seconds."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=5)


class Desktop:
    """A private X display (Xvfb) with openbox managing it.

    The window manager matters: the trainer makes its window topmost through it, and a normal
    close (the close control of the title bar) is the window manager asking the window to close.
    """

    def __init__(self, workdir):
        self.workdir = workdir
        self.xvfb = None
        self.openbox = None
        self.display = None

    def start(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.workdir, "xvfb.log"), "w"))
        os.close(write_end)
        # Xvfb writes the number and the line end separately, and dies if the pipe is closed in
        # between: read up to the line end.
        answer, deadline = b"", time.monotonic() + 15
        while not answer.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.monotonic()))
            chunk = os.read(read_end, 64) if ready else b""
            if ready and not chunk:
                break
            answer += chunk
        os.close(read_end)
        number = answer.decode().strip()
        if not number.isdigit():
            raise Failure("Xvfb did not report a display within 15 s")
        self.display = ":" + number
        self.openbox = subprocess.Popen(
            ["openbox", "--sm-disable"], env=self.env(), stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.workdir, "openbox.log"), "w"))
        # The window manager announces itself on the root window once it manages the screen.
        wait_until("openbox to manage the display",
                   lambda: "window id" in run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                              timeout=5, env=self.env(), check=False),
                   timeout=15, interval=0.2)

    def env(self, base=None):
        env = dict(base if base is not None else os.environ)
        env["DISPLAY"] = self.display
        return env

    def stop(self):
        stop_process(self.openbox)
        stop_process(self.xvfb)

    def screenshot(self, path):
        """The whole screen as a PNG (for a person to look at)."""
        if self.display is None:
            return
        run(["import", "-window", "root", path], timeout=20, env=self.env(), check=False)

    def grab(self):
        """The whole screen as an Image."""
        done = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              env=self.env(), capture_output=True, timeout=20)
        if done.returncode != 0:
            raise Failure("import could not grab the screen: " + done.stderr.decode()[-300:])
        return Image.from_ppm(done.stdout)


class Image:
    """An RGB picture read from PPM (P6) bytes."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    @staticmethod
    def from_ppm(data):
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise Failure("not an 8-bit PPM picture")
        width, height = int(fields[1]), int(fields[2])
        return Image(width, height, data[pos + 1:pos + 1 + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def region(self, x, y, w, h):
        return [self.pixel(x + i, y + j) for j in range(h) for i in range(w)]


class SoundServer:
    """A private PulseAudio server with a null sink, through the shared audio scripts."""

    def __init__(self, tools, workdir):
        self.tools = tools
        # Kept short: the socket path inside it must fit a Unix socket address.
        self.dir = os.path.join(workdir, "pa")
        self.exports = {}

    def start(self):
        env = dict(os.environ, CW_AUDIO_DIR=self.dir)
        env.pop("PULSE_SERVER", None)
        out = run([os.path.join(self.tools, "start-sound-server")], timeout=30, env=env)
        for name, value in re.findall(r"^export (\w+)=(.*)$", out, re.M):
            self.exports[name] = value
        if "PULSE_SERVER" not in self.exports:
            raise Failure("start-sound-server printed no PULSE_SERVER")

    def stop(self):
        if self.exports:
            run([os.path.join(self.tools, "stop-sound-server")], timeout=30,
                env=dict(os.environ, CW_AUDIO_DIR=self.dir), check=False)


class Recording:
    """The WAV that `capture` writes, read while it grows (capture keeps its header current)."""

    def __init__(self, path):
        self.path = path
        self._on = []

    def samples(self):
        try:
            return max(0, (os.path.getsize(self.path) - 44) // 2)
        except OSError:
            return 0

    def read(self, start, end=None):
        """Samples [start, end) as a signed 16-bit array."""
        data = array.array("h")
        try:
            with open(self.path, "rb") as f:
                f.seek(44 + 2 * start)
                raw = f.read(-1 if end is None else 2 * max(0, end - start))
        except OSError:
            return data
        data.frombytes(raw[:len(raw) - len(raw) % 2])
        return data

    def _slices(self, start, end):
        """Whether a tone sounds in each 1 ms slice, for the slices from `start` to `end` (None:
        to the end of the recording so far). Slices already looked at are kept, so that polling
        a growing recording costs only its new part: the suite must not take the processor away
        from the trainer, whose silences are busy-waits."""
        whole = self.samples() // SLICE
        if whole > len(self._on):
            data = self.read(len(self._on) * SLICE, whole * SLICE)
            for i in range(0, len(data) - SLICE + 1, SLICE):
                chunk = data[i:i + SLICE]
                self._on.append(max(chunk) > TONE_LEVEL or -min(chunk) > TONE_LEVEL)
        first = start // SLICE
        return first, self._on[first:None if end is None else end // SLICE]

    def last_tone_end(self, start, end=None):
        """Sample position just after the last tone slice at or after `start`; None if none."""
        first, slices = self._slices(start, end)
        for k in range(len(slices) - 1, -1, -1):
            if slices[k]:
                return (first + k + 1) * SLICE
        return None

    def first_tone(self, start, end=None):
        """Sample position of the first tone slice at or after `start`; None if none."""
        first, slices = self._slices(start, end)
        for k, on in enumerate(slices):
            if on:
                return (first + k) * SLICE
        return None

    def tone_onsets(self, start, end=None):
        """Sample positions where a tone begins (after at least one silent slice)."""
        first, slices = self._slices(start, end)
        return [(first + k) * SLICE for k, on in enumerate(slices)
                if on and (k == 0 or not slices[k - 1])]

    def wait_for_tone(self, start, timeout):
        return wait_until("the trainer to sound a tone",
                          lambda: self.first_tone(start) is not None, timeout, interval=0.2)

    def wait_for_quiet(self, start, quiet, timeout):
        """Waits until there was a tone after `start` and then `quiet` seconds of silence."""
        def settled():
            end = self.last_tone_end(start)
            return end is not None and (self.samples() - end) / RATE >= quiet
        wait_until(f"{quiet} s of silence after the playing", settled, timeout, interval=0.25)

    def wait_for_silence(self, start, quiet, timeout):
        """Waits until `quiet` seconds have passed after `start` without a tone."""
        def settled():
            end = max(start, self.last_tone_end(start) or start)
            return (self.samples() - end) / RATE >= quiet
        wait_until(f"{quiet} s without a tone", settled, timeout, interval=0.25)

    def wait_for_tones(self, start, count, timeout):
        """Waits until `count` tones have sounded after `start` and the last of them has ended."""
        def done():
            onsets = self.tone_onsets(start)
            end = self.last_tone_end(start)
            return len(onsets) >= count and self.samples() - end >= RATE // 20
        wait_until(f"{count} tones", done, timeout, interval=0.25)


class AudioTools:
    """The shared decoders and the timing measurer."""

    def __init__(self, tools):
        self.tools = tools

    def decode(self, wav):
        """multimon-ng's reading of the WAV, blanks removed (it puts one between characters)."""
        out = run([os.path.join(self.tools, "cw-decode"), wav], timeout=60)
        match = re.search(r"^multimon-ng: ?(.*)$", out, re.M)
        return (match.group(1) if match else "").replace(" ", "")

    def timing(self, wav):
        """cw-timing's full measurement of the WAV (tones, silences, their clusters, the text)."""
        done = subprocess.run([os.path.join(self.tools, "cw-timing"), wav], capture_output=True,
                              encoding="utf-8", errors="replace", timeout=120)
        if done.returncode != 0 or not done.stdout.strip():
            return {"summary": {"text": "", "tones": 0}, "tones": [], "silences": []}
        return json.loads(done.stdout)


class Trainer:
    """One run of the trainer: started under `capture` from its program folder, with the library
    folder as its current folder, and driven through its window."""

    def __init__(self, suite, name, program_folder, library_folder, seconds=150):
        self.suite = suite
        self.desktop = suite.desktop
        self.name = name
        self.program_folder = program_folder
        self.library_folder = library_folder
        self.folder = os.path.join(suite.workdir, name)
        os.makedirs(self.folder, exist_ok=True)
        self.wav = os.path.join(self.folder, "run.wav")
        self.log = os.path.join(self.folder, "program.log")
        self.recording = Recording(self.wav)
        self.seconds = seconds
        self.capture = None
        self.window = None
        self.origin = None

    # --- life cycle -------------------------------------------------------------------------

    def start(self):
        env = self.desktop.env(os.environ)
        env.update(self.suite.sound.exports)
        env["QT_QPA_PLATFORM"] = "xcb"
        env["XDG_RUNTIME_DIR"] = self.suite.runtime_dir
        program = os.path.join(self.program_folder, "vornik")
        # capture starts the program once the recording runs, in a session of its own, and
        # ends that session if the program is still running when the recording time is up.
        self.capture = subprocess.Popen(
            [os.path.join(self.suite.tools, "capture"), "-o", self.wav, "--seconds",
             str(self.seconds), "--tail", "0.3", "--",
             "/bin/sh", "-c", 'exec "$0" >"$1" 2>&1', program, self.log],
            cwd=self.library_folder, env=env, stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.folder, "capture.log"), "w"))
        self.window = wait_until("the trainer's window to appear", self._find_window, 20, 0.2)
        self.origin = self._client_origin()
        # The window is activated by the window manager; its first activation reads the
        # settings. Give the keyboard to it explicitly as well, then let the first paint settle.
        run(["xdotool", "windowactivate", "--sync", self.window], timeout=10,
            env=self.desktop.env(), check=False)
        wait_until("the trainer's window to take the focus",
                   lambda: run(["xdotool", "getactivewindow"], timeout=5, env=self.desktop.env(),
                               check=False).strip() == self.window, 10, 0.2)
        time.sleep(1.0)
        return self

    def _find_window(self):
        out = run(["xdotool", "search", "--onlyvisible", "--name",
                   "^" + re.escape(WINDOW_TITLE) + "$"], timeout=5, env=self.desktop.env(),
                  check=False)
        ids = out.split()
        if self.capture.poll() is not None:
            raise Failure("the trainer ended before its window appeared")
        return ids[0] if len(ids) == 1 else None

    def _client_origin(self):
        """Screen position of the client area's top-left corner: the window's own X window holds
        the menu bar and, below it, the client area of the design size."""
        info = run(["xwininfo", "-id", self.window], timeout=5, env=self.desktop.env())
        value = {key: int(num) for key, num in
                 re.findall(r"^\s*(Absolute upper-left X|Absolute upper-left Y|Width|Height):"
                            r"\s+(-?\d+)", info, re.M)}
        width, height = value["Width"], value["Height"]
        if width != window_map.CLIENT_WIDTH or not 0 < height - window_map.CLIENT_HEIGHT < 80:
            raise Failure(f"window is {width}x{height}; a client area of "
                          f"{window_map.CLIENT_WIDTH}x{window_map.CLIENT_HEIGHT} below a menu bar "
                          "was expected")
        return (value["Absolute upper-left X"],
                value["Absolute upper-left Y"] + height - window_map.CLIENT_HEIGHT)

    def running(self):
        return self.capture is not None and self.capture.poll() is None

    def wait_ended(self, timeout=20):
        """Waits for the program (and with it the recording) to end; the capture's report."""
        try:
            self.capture.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the trainer was still running {timeout} s after it was told to end")
        with open(self.wav + ".json") as f:
            report = json.load(f)
        if report.get("terminated_by_capture"):
            raise Failure("the trainer did not end by itself; the recording time ran out")
        return report

    def close_normally(self):
        """Closes the window through the window manager, as the title bar's close control does:
        the window manager asks the window to close (WM_DELETE_WINDOW) and the program runs its
        own close sequence."""
        run(["wmctrl", "-i", "-c", self.window], timeout=10, env=self.desktop.env())
        return self.wait_ended()

    def kill(self):
        """Ends the recording, and with it the program's session, whatever state it is in."""
        if self.capture is not None and self.capture.poll() is None:
            self.capture.send_signal(signal.SIGTERM)
            try:
                self.capture.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.capture.kill()
                self.capture.wait(timeout=5)

    # --- driving the window -----------------------------------------------------------------

    def to_screen(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def click(self, control, dx=None, dy=None, repeat=1, delay_ms=80):
        """Clicks the centre of a control (or a point offset from its top-left corner)."""
        x, y, w, h = window_map.rect(control)
        px, py = self.to_screen(x + (w // 2 if dx is None else dx),
                                y + (h // 2 if dy is None else dy))
        # Where the recording stood just before the click: what the click causes comes after.
        mark = self.recording.samples()
        # (not "mousemove --sync": it waits for a motion that never comes when the pointer is
        # already there)
        run(["xdotool", "mousemove", str(px), str(py), "sleep", "0.05", "click", "--repeat",
             str(repeat), "--delay", str(delay_ms), "1"], timeout=10 + repeat,
            env=self.desktop.env())
        time.sleep(0.25)
        return mark

    def type(self, text):
        run(["xdotool", "type", "--delay", "40", "--", text], timeout=10 + len(text),
            env=self.desktop.env())
        time.sleep(0.2)

    def key(self, *keys):
        run(["xdotool", "key", "--delay", "40", *keys], timeout=10, env=self.desktop.env())
        time.sleep(0.2)

    def fill(self, control, text):
        """Replaces the text of a one-line box, as a learner would: click, select all, type."""
        self.click(control)
        self.key("ctrl+a")
        self.type(text)

    def copy_text(self, control, dx=None, dy=None):
        """The text of a box, through the clipboard: click into it, select all, copy."""
        self.click(control, dx, dy)
        self.key("ctrl+a", "ctrl+c")
        time.sleep(0.2)
        done = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.desktop.env(),
                              capture_output=True, timeout=10)
        return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else ""

    def grab(self):
        """The client area as an Image (grabbed from the screen)."""
        image = self.desktop.grab()
        ox, oy = self.origin
        rows = [image.pixels[((oy + j) * image.width + ox) * 3:
                             ((oy + j) * image.width + ox + window_map.CLIENT_WIDTH) * 3]
                for j in range(window_map.CLIENT_HEIGHT)]
        return Image(window_map.CLIENT_WIDTH, window_map.CLIENT_HEIGHT, b"".join(rows))


def read_settings(program_folder):
    """The first record of laju.mdb, through the sqlite3 command-line tool."""
    out = run(["sqlite3", "-separator", "|", os.path.join(program_folder, "laju.mdb"),
               "SELECT LAJ, PANJAN, NAD, DOT FROM laju "
               "WHERE rowid = (SELECT min(rowid) FROM laju)"],
              timeout=10)
    fields = out.rstrip("\n").split("|")
    if len(fields) != 4:
        raise Failure(f"laju.mdb holds no settings record: {out!r}")
    return dict(zip(("LAJ", "PANJAN", "NAD", "DOT"), fields))


def write_settings(program_folder, laj, panjan="150", nad="700", dot="3"):
    run(["sqlite3", os.path.join(program_folder, "laju.mdb"),
         "CREATE TABLE laju (LAJ TEXT, PANJAN TEXT, NAD TEXT, DOT TEXT);"
         f"INSERT INTO laju VALUES ('{laj}', '{panjan}', '{nad}', '{dot}');"], timeout=10)


def make_program_folder(path, build):
    """A program folder of its own: the executable, its start picture, nothing else."""
    os.makedirs(path, exist_ok=True)
    for name in ("vornik", "key22.jpg"):
        shutil.copy2(os.path.join(build, name), os.path.join(path, name))
    return path


def new_workdir():
    # Short, under /tmp: the sound server's socket path must fit a Unix socket address.
    return tempfile.mkdtemp(prefix="vornik-e2e.", dir="/tmp")
