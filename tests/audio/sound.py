"""A private PulseAudio server whose only output is a null sink, and recordings of that sink.
(bench/record_sound.py records a command's sound with it from the command line.)"""
import os, shutil, subprocess, tempfile, threading, time, wave  # noqa: E401

RATE, SINK = 48000, "vornik_null"


def wait_until(what, predicate, timeout, interval=0.05):
    """Polls `predicate` until it gives something true, which it returns."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise TimeoutError(f"no {what} within {timeout} s")
        time.sleep(interval)
    return value


def stop(process, grace=5):
    """Ends a process started here: SIGTERM, SIGKILL after `grace` seconds."""
    if process and process.poll() is None:
        process.terminate()
        try:
            process.wait(grace)
        except subprocess.TimeoutExpired:
            process.kill()


class SoundServer:
    """Runs in a folder of its own (socket, runtime and state files), so that several servers
    run side by side and none touches the user's own sound. Stops only its own process."""

    def __init__(self, log=os.devnull):
        # Short, under /tmp: the socket's path must fit a Unix socket address.
        self.dir = tempfile.mkdtemp(prefix="vornik-pa.", dir="/tmp")
        self.env, self.log = {"PULSE_SERVER": f"unix:{self.dir}/native"}, log

    def __enter__(self):
        env = dict(os.environ, HOME=self.dir, XDG_RUNTIME_DIR=self.dir, PULSE_RUNTIME_PATH=self.dir,
                   PULSE_STATE_PATH=self.dir)
        env.pop("PULSE_SERVER", None)
        # -n: no configuration script, hence no suspend-on-idle and no stream restore.
        self.process = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "-L", f"module-native-protocol-unix auth-anonymous=1 socket={self.dir}/native",
             "-L", f"module-null-sink sink_name={SINK} rate={RATE} channels=1"],
            env=env, stdout=subprocess.DEVNULL, stderr=open(self.log, "w"))
        wait_until("sound server", lambda: self.process.poll() is not None or subprocess.run(
            ["pactl", "info"], env=dict(os.environ, **self.env), capture_output=True).returncode == 0, 20)
        if self.process.poll() is not None:
            raise RuntimeError(f"pulseaudio ended at start-up; its log: {self.log}")
        return self

    def __exit__(self, *_):
        stop(self.process)
        shutil.rmtree(self.dir, ignore_errors=True)


class Recorder:
    """The sink's monitor, kept in memory from start() to save(); readable while it grows."""

    def __init__(self, server):
        self.data, self.t0, self.last = bytearray(), float("inf"), 0.0
        self.process = subprocess.Popen(
            ["parec", "--raw", "--format=s16le", f"--rate={RATE}", "--channels=1",
             "--latency-msec=2", f"--device={SINK}.monitor"],
            env=dict(os.environ, **server.env), stdout=subprocess.PIPE)
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()
        # An idle null sink hands out what it rendered ahead in a burst: start after it.
        wait_until("samples from the sound server", lambda: self.data, 10)
        time.sleep(0.2)

    def _read(self):
        while chunk := os.read(self.process.stdout.fileno(), 4096):
            self.data += chunk
            # A chunk arrives after its samples were played, never before: the earliest
            # estimate of sample 0's time is the best.
            self.last = time.time()
            self.t0 = min(self.t0, self.last - len(self.data) / 2 / RATE)

    def samples(self):
        return len(self.data) // 2

    def save(self, path):
        stop(self.process)
        self.thread.join(5)
        with wave.open(path, "wb") as w:
            w.setnchannels(1), w.setsampwidth(2), w.setframerate(RATE)
            w.writeframes(bytes(self.data[:self.samples() * 2]))
