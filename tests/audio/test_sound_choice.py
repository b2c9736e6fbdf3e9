"""`vornik --version` names the sound output the trainer would play through: the sound server's
own client library while a server answers, the PortAudio fallback when none does. It needs no
display: it opens no window."""
import os, shutil, subprocess, sys  # noqa: E401

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sound  # noqa: E402

SERVER, FALLBACK = "sound server (libpulse)", "PortAudio (ALSA)"
NO_DISPLAY = {"QT_QPA_PLATFORM": "xcb", "DISPLAY": "", "WAYLAND_DISPLAY": ""}


def reported_output(program, env):
    result = subprocess.run([program, "--version"], env=dict(os.environ, **NO_DISPLAY, **env),
                            capture_output=True, text=True, timeout=20)
    fields = dict(line.split(": ", 1) for line in result.stdout.splitlines() if ": " in line)
    return result.returncode, result.stdout.startswith("vornik "), fields.get("sound output")


def main(program):
    if not shutil.which("pulseaudio"):
        print("SKIPPED: pulseaudio is not installed (scripts/install-deps bench/e2e)")
        return 77
    nowhere = {"PULSE_SERVER": "unix:/nonexistent/native"}
    with sound.SoundServer() as server:
        found = [("server running", reported_output(program, server.env), SERVER),
                 ("address with nothing behind it", reported_output(program, nowhere), FALLBACK)]
    found.append(("server stopped", reported_output(program, server.env), FALLBACK))
    wrong = [f"{name}: got {got}, want {want}" for name, got, want in found
             if got != (0, True, want)]
    print("\n".join(wrong) or "all cases pass")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
