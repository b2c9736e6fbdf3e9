// Keys through the real sound output and writes what it asked for, so that a recording of the
// sound can be held against it (bench/keying_bench.sh does both and prints the figures).
//
//   keying_bench pattern TRACE          the fixed pattern through the keyer: 700 Hz, dash
//                                       250 ms, ratio 2.8, one delay unit after each element
//   keying_bench after-open TRACE N     N times: open the output, one dot, close
//   keying_bench after-silence TRACE N  one output; N times: one dot, then 5 s of silence
//   keying_bench cpu TRACE              CPU time of the process while a 10 s tone plays
//   keying_bench busy-wait TRACE        calibration time and the length of 3000 iterations
//
// TRACE lines: "tone EPOCH_S HZ MS" for each request (CLOCK_REALTIME, to place it on the
// recording's time axis), "gap MS" for each delay unit's measured length, "figure NAME VALUE" for
// the rest.

#include "audio/portaudio_tone_output.h"
#include "bench/inert_view.h"
#include "core/random_source.h"
#include "core/trainer_state.h"
#include "engine/busy_wait.h"
#include "engine/keyer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kPitch = 700;
constexpr int kDashMs = 250;
constexpr double kRatio = 2.8;
constexpr double kDelayLimit = 3000; // about 30 ms
// Dots and dashes mixed, so that both kinds of element come before and after a gap.
constexpr std::string_view kPattern = "-.-..--.-.---..-.-.--..-.-.-..-.---.-..-";

double epochSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Exact run time of all the process's threads (not the tick-sampled rusage figures, which
// read a third high here).
double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

class Trace {
public:
    explicit Trace(const char* path) : file_(std::fopen(path, "w")) {
        if (file_ == nullptr) {
            std::perror(path);
            std::exit(2);
        }
    }
    ~Trace() { std::fclose(file_); }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    void tone(double epoch, int hz, int ms) {
        std::fprintf(file_, "tone %.6f %d %d\n", epoch, hz, ms);
    }
    void gap(double ms) { std::fprintf(file_, "gap %.4f\n", ms); }
    void figure(const char* name, double value) {
        std::fprintf(file_, "figure %s %.4f\n", name, value);
    }

private:
    std::FILE* file_;
};

// The sound output as the keyer sees it, stamping every request and the end of every tone.
class RecordingOutput : public ToneOutput {
public:
    RecordingOutput(ToneOutput& output, Trace& trace) : output_(output), trace_(trace) {}
    void playTone(int hz, int ms) override {
        trace_.tone(epochSeconds(), hz, ms);
        output_.playTone(hz, ms);
        toneEnded_ = Clock::now();
    }
    Clock::time_point toneEnded() const { return toneEnded_; }

private:
    ToneOutput& output_;
    Trace& trace_;
    Clock::time_point toneEnded_;
};

// Just enough window for the keyer: the pitch box holds the bench's pitch, nothing is ticked.
class BenchView : public InertView {
public:
    std::string text(Control control) const override {
        return control == Control::Text6 ? std::to_string(kPitch) : std::string();
    }
    int sliderPosition() const override { return kDashMs; }
};

// The first tone waits for the output to finish opening; a silent one makes that wait, so that
// the requests traced afterwards are stamped when the output really takes them.
void waitUntilOpen(ToneOutput& output) {
    output.playTone(0, 1);
}

void keyPattern(Trace& trace) {
    PortAudioToneOutput device;
    waitUntilOpen(device);
    RecordingOutput output(device, trace);
    BusyWait wait = BusyWait::calibrated();
    // Each delay unit directly follows its element, so its length is from the element's end to
    // the wait's own report.
    wait.setObserver([&](double, std::int64_t) {
        trace.gap(Millis(Clock::now() - output.toneEnded()).count());
    });
    TrainerState state;
    state.dashMillis = kDashMs;
    state.dotMillis = kDashMs / kRatio;
    state.delayLimit = kDelayLimit;
    BenchView view;
    RandomSource random;
    Keyer keyer(state, view, output, random, wait);
    for (char element : kPattern) {
        if (element == '.')
            keyer.sendDot();
        else
            keyer.sendDash();
    }
}

int dotMs() {
    return int(kDashMs / kRatio);
}

void firstAfterOpen(Trace& trace, int tries) {
    for (int attempt = 0; attempt < tries; ++attempt) {
        PortAudioToneOutput device;
        waitUntilOpen(device);
        RecordingOutput output(device, trace);
        output.playTone(kPitch, dotMs());
    }
}

void firstAfterSilence(Trace& trace, int tries) {
    PortAudioToneOutput device;
    waitUntilOpen(device);
    RecordingOutput output(device, trace);
    for (int attempt = 0; attempt < tries; ++attempt) {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        output.playTone(kPitch, dotMs());
    }
}

void cpuDuringLongTone(Trace& trace) {
    PortAudioToneOutput device;
    waitUntilOpen(device);
    // The first seconds of a new stream cost more (the sound server settles its buffering); the
    // figure is for the output as it runs through a session.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    RecordingOutput output(device, trace);
    const double cpuBefore = processCpuSeconds();
    const auto start = Clock::now();
    output.playTone(kPitch, 10000);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    trace.figure("cpu_percent", 100 * (processCpuSeconds() - cpuBefore) / wall);
}

void busyWaitLength(Trace& trace) {
    constexpr int kCalibrations = 20;
    constexpr int kRuns = 30;
    double worstCalibrationMs = 0;
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
    for (int calibration = 0; calibration < kCalibrations; ++calibration) {
        const auto start = Clock::now();
        const BusyWait wait = BusyWait::calibrated();
        worstCalibrationMs = std::max(worstCalibrationMs, Millis(Clock::now() - start).count());
        for (int run = 0; run < kRuns; ++run) {
            std::int64_t counter = 0;
            const double cpuBegin = threadCpuMs();
            const auto begin = Clock::now();
            wait.run(counter, 3000);
            wallMs.push_back(Millis(Clock::now() - begin).count());
            cpuMs.push_back(threadCpuMs() - cpuBegin);
        }
    }
    std::sort(wallMs.begin(), wallMs.end());
    std::sort(cpuMs.begin(), cpuMs.end());
    trace.figure("calibration_ms_max", worstCalibrationMs);
    trace.figure("wall_ms_median", wallMs[wallMs.size() / 2]);
    trace.figure("wall_ms_p5", wallMs[wallMs.size() / 20]);
    trace.figure("wall_ms_p95", wallMs[wallMs.size() * 19 / 20]);
    trace.figure("cpu_ms_median", cpuMs[cpuMs.size() / 2]);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: keying_bench pattern|after-open|after-silence|cpu|busy-wait"
                             " TRACE [TRIES]\n");
        return 2;
    }
    const std::string_view mode = argv[1];
    Trace trace(argv[2]);
    const int tries = argc > 3 ? std::atoi(argv[3]) : 20;
    if (mode == "pattern")
        keyPattern(trace);
    else if (mode == "after-open")
        firstAfterOpen(trace, tries);
    else if (mode == "after-silence")
        firstAfterSilence(trace, tries);
    else if (mode == "cpu")
        cpuDuringLongTone(trace);
    else if (mode == "busy-wait")
        busyWaitLength(trace);
    else
        return 2;
    return 0;
}
