// Keys through the real sound output and writes what it asked for, so that a recording of the
// sound can be held against it (bench/keying_bench.sh does both and prints the figures).
//
//   keying_bench characters TRACE S     S seconds of random characters through the keyer at the
//                                       default settings: 700 Hz, dash 250 ms, ratio 2.8, delay
//                                       limit 3000, three gap repeats
//   keying_bench groups TRACE S         S seconds of random five-character groups keyed as the
//                                       random groups drill keys them, at the same settings
//   keying_bench after-open TRACE N     N times: open the output, one dot, close
//   keying_bench after-silence TRACE N  one output; N times: one dot, then 5 s of silence
//   keying_bench cpu TRACE              CPU time of the process while a 10 s tone plays
//   keying_bench unit TRACE             wall length of 300 delay units at limits 3000 and 100
//
// VORNIK_BENCH_SOUND=portaudio keys through the PortAudio fallback instead of the sound server.
//
// TRACE lines: "tone EPOCH_S HZ MS" for each request (CLOCK_REALTIME, to place it on the
// recording's time axis), "figure NAME VALUE" for the rest.

#include "audio/stream_tone_output.h"
#include "core/inert_view.h"
#include "core/random_source.h"
#include "core/trainer_state.h"
#include "engine/keyer.h"
#include "engine/keying_timeline.h"
#include "engine/morse_table.h"

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
SoundSystem benchedSoundSystem() {
    const char* chosen = std::getenv("VORNIK_BENCH_SOUND");
    return chosen != nullptr && std::string_view(chosen) == "portaudio" ? SoundSystem::PortAudio
                                                                        : SoundSystem::PulseAudio;
}
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kPitch = 700;
constexpr int kDashMs = 250;
constexpr double kRatio = 2.8;
constexpr double kDelayLimit = 3000; // 30 ms
constexpr int kGapRepeats = 3;

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
    void playTone(const Tone& tone) override {
        trace_.tone(epochSeconds(), tone.hz, tone.ms);
        output_.playTone(tone);
    }
    // A tone asked for now, as a key echo asks for it: a delay unit of silence follows it.
    void playNow(int hz, int ms) {
        playTone({hz, ms, clock_.nowNs(), KeyingTimeline::unitNs(kDelayLimit)});
    }

private:
    ToneOutput& output_;
    Trace& trace_;
    SteadyClock clock_;
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
    SteadyClock clock;
    output.playTone({0, 1, clock.nowNs(), 0});
}

// The keyer at the default settings on the steady clock, through the real output.
struct DefaultKeying {
    explicit DefaultKeying(Trace& trace) : output(device, trace), timeline(clock) {
        waitUntilOpen(device);
        state.dashMillis = kDashMs;
        state.dotMillis = kDashMs / kRatio;
        state.delayLimit = kDelayLimit;
        state.gapRepeats = kGapRepeats;
    }
    // One random character of the 42, keyed with its character gap.
    void randomCharacter() {
        const auto table = morse::table();
        state.currentChar = table[std::size_t(random.next() * double(table.size()))].character;
        keyer.sendCharacter();
    }
    StreamToneOutput device{benchedSoundSystem()};
    RecordingOutput output;
    SteadyClock clock;
    KeyingTimeline timeline;
    TrainerState state;
    BenchView view;
    RandomSource random;
    Keyer keyer{state, view, output, random, timeline};
};

// Keys for `seconds`, then writes the process's CPU share: the busy-wait holds the thread during
// silences, the thread sleeps during tones.
template <typename KeyOnce> void keyFor(Trace& trace, int seconds, KeyOnce&& keyOnce) {
    const double cpuBefore = processCpuSeconds();
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(seconds))
        keyOnce();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    trace.figure("cpu_percent", 100 * (processCpuSeconds() - cpuBefore) / wall);
}

void keyCharacters(Trace& trace, int seconds) {
    DefaultKeying keying(trace);
    keyFor(trace, seconds, [&] { keying.randomCharacter(); });
}

// As the random groups drill keys: one delay unit before every character, 8 per gap repeat
// after every group.
void keyGroups(Trace& trace, int seconds) {
    DefaultKeying keying(trace);
    keyFor(trace, seconds, [&] {
        for (int character = 0; character < 5; ++character) {
            keying.keyer.delayUnit();
            keying.randomCharacter();
        }
        keying.keyer.gap(8);
    });
}

int dotMs() {
    return int(kDashMs / kRatio);
}

void firstAfterOpen(Trace& trace, int tries) {
    for (int attempt = 0; attempt < tries; ++attempt) {
        StreamToneOutput device{benchedSoundSystem()};
        waitUntilOpen(device);
        RecordingOutput output(device, trace);
        output.playNow(kPitch, dotMs());
    }
}

void firstAfterSilence(Trace& trace, int tries) {
    StreamToneOutput device{benchedSoundSystem()};
    waitUntilOpen(device);
    RecordingOutput output(device, trace);
    for (int attempt = 0; attempt < tries; ++attempt) {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        output.playNow(kPitch, dotMs());
    }
}

// Beside it: a bare stream of the same sound system fed silence, without the scheduler.
void cpuOfBareStream(Trace& trace) {
    struct Silence final : SoundSource {
        void render(float* out, std::size_t frames) override { std::fill_n(out, frames, 0.0f); }
    } silence;
    const auto stream = openSoundStream(benchedSoundSystem(), silence);
    if (!stream)
        return;
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const double cpuBefore = processCpuSeconds();
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    trace.figure("bare_stream_cpu_percent", 100 * (processCpuSeconds() - cpuBefore) / wall);
    stream->close(false);
}

void cpuDuringLongTone(Trace& trace) {
    StreamToneOutput device{benchedSoundSystem()};
    waitUntilOpen(device);
    // The first seconds of a new stream cost more (the sound server settles its buffering); the
    // figure is for the output as it runs through a session.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    RecordingOutput output(device, trace);
    const double cpuBefore = processCpuSeconds();
    const auto start = Clock::now();
    output.playNow(kPitch, 10000);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    trace.figure("cpu_percent", 100 * (processCpuSeconds() - cpuBefore) / wall);
    cpuOfBareStream(trace);
}

// The delay unit alone, clocked from outside: how close to units x 10 us x limit each one ends.
void unitLength(Trace& trace) {
    SteadyClock clock;
    KeyingTimeline timeline(clock);
    for (double limit : {3000.0, 100.0}) {
        std::vector<double> lengths;
        for (int run = 0; run < 300; ++run) {
            std::int64_t counter = 0;
            const auto begin = Clock::now();
            timeline.delayUnit(counter, limit);
            lengths.push_back(Millis(Clock::now() - begin).count());
        }
        std::sort(lengths.begin(), lengths.end());
        const std::string name = "unit_" + std::to_string(int(limit)) + "_ms_";
        trace.figure((name + "median").c_str(), lengths[lengths.size() / 2]);
        trace.figure((name + "max").c_str(), lengths.back());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: keying_bench characters|groups|after-open|after-silence|cpu|"
                             "unit TRACE [TRIES|SECONDS]\n");
        return 2;
    }
    const std::string_view mode = argv[1];
    Trace trace(argv[2]);
    const int tries = argc > 3 ? std::atoi(argv[3]) : 20;
    if (mode == "characters")
        keyCharacters(trace, tries);
    else if (mode == "groups")
        keyGroups(trace, tries);
    else if (mode == "after-open")
        firstAfterOpen(trace, tries);
    else if (mode == "after-silence")
        firstAfterSilence(trace, tries);
    else if (mode == "cpu")
        cpuDuringLongTone(trace);
    else if (mode == "unit")
        unitLength(trace);
    else
        return 2;
    return 0;
}
