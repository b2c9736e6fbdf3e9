#!/usr/bin/python3
"""First paint and resident memory of the trainer, beside a bare Qt window with the same controls.

usage: startup_figures.py STARTUP_BENCH BARE_WINDOW
Starts a PulseAudio server of its own (tests/audio/sound.py), so that the trainer plays through the
sound server's client library as on a desktop, then runs the trainer (STARTUP_BENCH, in a fresh
program folder holding the start picture, as installed) and the bare window (BARE_WINDOW, given
the trainer's census of controls) in turn, five times each, each run a process of its own that
pays its own start-up. Both time their first paint from the moment the kernel started them and
hold still 1.5 s after it (bench/startup_probe.h), when their memory is read here from /proc.
Prints every figure with its goal, and where the memory goes; exit status 3 when a goal is missed.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
from collections import defaultdict

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "audio"))
import sound  # noqa: E402

RUNS = 5
PAINT_RATIO_GOAL = 1.2
RSS_GOAL_MB = 30
MISSED = 3  # the exit status when a goal is missed (scripts/run-benchmarks)
TIMEOUT_S = 20
# What the trainer's own libpulse output calls its client and stream (audio/pulse_stream.cpp);
# PortAudio through ALSA's pulse plug-in would show as "ALSA plug-in [...]".
LIBPULSE_STREAM = 'vornik / "Morse tones"'
# An installed trainer has it beside the program, and shows it at start-up.
HERE = os.path.dirname(os.path.abspath(__file__))
START_PICTURE = os.path.join(HERE, "..", "assets", "key22.jpg")
MAPPING = re.compile(r"^[0-9a-f]+-[0-9a-f]+ ")
# What each mapped file is there for, by its name; the first group that matches. libsndfile and
# its codecs come with libpulse (libpulsecommon needs them) as well as with exporting.
GROUPS = [
    ("Qt", r"^libQt6"),
    ("ICU", r"^libicu"),
    ("C/C++ runtime", r"^(libc\.so|libm\.so|libstdc\+\+|libgcc_s|ld-linux)"),
    ("X11, GL, input", r"^(libX|libxcb|libxkb|libGL|libEGL|libOpenGL|memfd:xorg)"),
    ("fonts", r"^(libfreetype|libharfbuzz|libfontconfig|libgraphite)|\.(ttf|otf|pcf|pfb)$"),
    ("sound output", r"^(libpulse|libportaudio|libasound|libjack|libdb-|libasyncns|memfd:pulse)"),
    ("sound files", r"^(libsndfile|libFLAC|libvorbis|libogg|libopus|libmp3lame|libmpg123)"),
    ("SQLite", r"^libsqlite"),
    ("pictures", r"^(libjpeg|libpng|libqjpeg)"),
    ("program", r"^(startup_bench|bare_window)$"),
]


def kb_field(path, key):
    with open(path) as f:
        for line in f:
            if line.startswith(key):
                return int(line.split()[1])
    return None


def mappings(pid):
    """Resident kB of each mapped file (or [heap], [stack], "" for anonymous memory) and, of
    those, the pages that are anonymous (written copies, heap, stacks)."""
    rss, anonymous, name = defaultdict(int), defaultdict(int), ""
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            if MAPPING.match(line):
                fields = line.split(maxsplit=5)
                name = fields[5].strip() if len(fields) > 5 else "[anonymous]"
            elif line.startswith("Rss:"):
                rss[name] += int(line.split()[1])
            elif line.startswith("Anonymous:"):
                anonymous[name] += int(line.split()[1])
    return rss, anonymous


def sink_input_of(pid, env):
    """The media and application name of the sound server stream the process opened, or None."""
    listing = subprocess.run(["pactl", "list", "sink-inputs"], env=env, capture_output=True,
                             text=True).stdout
    for block in listing.split("\n\n"):
        if f'application.process.id = "{pid}"' in block:
            names = dict(re.findall(r'(media\.name|application\.name) = "([^"]*)"', block))
            return f'{names.get("application.name")} / "{names.get("media.name")}"'
    return None


def run_once(command, env, folder=None):
    child = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                             env=env, cwd=folder)
    watchdog = threading.Timer(TIMEOUT_S, child.kill)
    watchdog.start()
    try:
        said, phases = {}, {}
        for line in child.stdout:
            if line.strip() == "ready":
                break
            key, _, value = line.rstrip("\n").partition(" ")
            if key == "phase":
                name, ms = value.rsplit(" ", 1)
                phases[name] = float(ms)
            said[key] = value
        else:
            raise RuntimeError(f"{command[0]} ended (or hung) before it was ready")
        phases["first paint"] = float(said["first-paint-ms"])
        run = dict(paint_ms=phases["first paint"], phases=phases, census=said.get("census"),
                   rss_kb=kb_field(f"/proc/{child.pid}/status", "VmRSS:"),
                   pss_kb=kb_field(f"/proc/{child.pid}/smaps_rollup", "Pss:"),
                   mappings=mappings(child.pid), stream=sink_input_of(child.pid, env))
        child.stdin.close()
        child.wait()
        return run
    finally:
        watchdog.cancel()
        if child.poll() is None:
            child.kill()
            child.wait()


def median(runs, key):
    return statistics.median(run[key] for run in runs)


def short(path):
    return os.path.basename(path) if path.startswith("/") else path


def grouped(rss, anonymous):
    """Resident kB by group: anonymous memory (heap, stacks, written copies of libraries' data)
    first, then the file-backed rest of each group's files."""
    groups = defaultdict(int, {"anonymous": sum(anonymous.values())})
    for path, kb in rss.items():
        name = short(path)
        group = next((g for g, pattern in GROUPS if re.search(pattern, name)), "other files")
        groups[group] += kb - anonymous[path]
    return groups


def breakdown(trainer, bare):
    """The trainer's last run by kind of memory, the bare window's beside it."""
    (rss, anonymous), (bare_rss, bare_anonymous) = trainer["mappings"], bare["mappings"]
    groups, bare_groups = grouped(rss, anonymous), grouped(bare_rss, bare_anonymous)
    print("  where it goes (resident MB), trainer | bare window | difference:")
    for group in sorted(groups.keys() | bare_groups.keys(), key=lambda g: -groups[g]):
        print(f"    {group:16s} {groups[group] / 1024:5.1f} | {bare_groups[group] / 1024:5.1f} |"
              f" {(groups[group] - bare_groups[group]) / 1024:+5.1f}")
    print(f"    {'files mapped':16s} {sum(p.startswith('/') for p in rss):5d} |"
          f" {sum(p.startswith('/') for p in bare_rss):5d}")
    more = {path: kb - bare_rss.get(path, 0) for path, kb in rss.items()}
    print("  biggest differences (resident kB, trainer - bare window): " +
          ", ".join(f"{short(p)} {more[p]:+d}"
                    for p in sorted(more, key=more.get, reverse=True)[:12]))


def main(trainer_bench, bare_window):
    command = f"bench/startup_bench.sh {trainer_bench}"
    trainers, bares = [], []
    with sound.SoundServer() as server, tempfile.TemporaryDirectory() as runtime:
        # As on a desktop session, which has a runtime folder of its own.
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime, **server.env)
        for _ in range(RUNS):
            with tempfile.TemporaryDirectory() as program_folder:
                shutil.copy(START_PICTURE, program_folder)
                # Started in its own folder, so that the texts it lists there are the same each run.
                trainers.append(run_once([trainer_bench, program_folder], env, program_folder))
            bares.append(run_once([bare_window, trainers[0]["census"]], env))

    missed = []

    def figure(name, value, goal, met):
        print(f"  {name}: {value}")
        print(f"      goal {goal}: {'ok' if met else 'MISSED'};  measured by: {command}")
        if not met:
            missed.append(name)

    paint, bare_paint = median(trainers, "paint_ms"), median(bares, "paint_ms")
    print(f"Start-up, process start to first paint, {RUNS} runs each, interleaved"
          f" (controls: {trainers[0]['census']}):")
    for label, runs, value in (("trainer", trainers, paint), ("bare window", bares, bare_paint)):
        times = [run["paint_ms"] for run in runs]
        print(f"  {label} (ms): {', '.join(f'{t:.0f}' for t in times)};"
              f" median {value:.0f}, fastest {min(times):.0f}")
    ratio = paint / bare_paint
    print("  where the time goes (median ms since process start at each step, and the step's own"
          " median), trainer | bare window:")
    steps = sorted(trainers[0]["phases"].keys() | bares[0]["phases"].keys(),
                   key=lambda step: trainers[0]["phases"].get(step, bares[0]["phases"].get(step)))
    for step in steps:
        cells = []
        for runs in (trainers, bares):
            at = [run["phases"][step] for run in runs if step in run["phases"]]
            own = [run["phases"][step] - max([0] + [ms for ms in run["phases"].values()
                                                   if ms < run["phases"][step]])
                   for run in runs if step in run["phases"]]
            cells.append(f"{statistics.median(at):6.1f} ({statistics.median(own):5.1f})"
                         if at else f"{'-':>14s}")
        print(f"    {step:18s} {cells[0]} | {cells[1]}")
    fastest = min(r["paint_ms"] for r in trainers) / min(r["paint_ms"] for r in bares)
    print(f"  the fastest run of each: {fastest:.2f}x (less moved by other work on the machine)")
    figure("first paint, trainer / bare window", f"{ratio:.2f}x", f"<= {PAINT_RATIO_GOAL}x",
           ratio <= PAINT_RATIO_GOAL)

    streams = {run["stream"] for run in trainers}
    through_server = streams == {LIBPULSE_STREAM}
    print("Memory 1.5 s after launch, with a sound server running (medians):")
    figure("trainer's stream on the server", ", ".join(str(s) for s in streams),
           f"{LIBPULSE_STREAM} (its libpulse output)", through_server)
    rss = median(trainers, "rss_kb") / 1024
    print(f"  bare window: VmRSS {median(bares, 'rss_kb') / 1024:.1f} MB,"
          f" PSS {median(bares, 'pss_kb') / 1024:.1f} MB")
    print(f"  trainer: PSS {median(trainers, 'pss_kb') / 1024:.1f} MB")
    figure("trainer VmRSS", f"{rss:.1f} MB", f"<= {RSS_GOAL_MB} MB", rss <= RSS_GOAL_MB)
    breakdown(trainers[-1], bares[-1])
    return MISSED if missed else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[1])
    sys.exit(main(*sys.argv[1:]))
