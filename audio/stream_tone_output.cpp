#include "audio/stream_tone_output.h"

#include "audio/tone_scheduler.h"
#include "audio/tone_shape.h"

#include <sys/prctl.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A started stream at once asks for a burst of buffers to fill the device, and its callbacks
// take a moment to settle into their rhythm; the frame clock learnt from the burst alone can be
// off. Opening waits that out, so the first tone comes at the same delay as every other.
constexpr auto kStartupBurst = 70ms;
constexpr auto kRetryInterval = 1s;
constexpr auto kWatchInterval = 200ms;
// No callback for this long means the device or the sound server has gone.
constexpr std::int64_t kStallNs = 500'000'000;
// Closing waits at most this long for the tones already handed over to be rendered.
constexpr auto kDrainLimit = 2s;
constexpr auto kDrainPoll = 5ms;
constexpr auto kTailMargin = 20ms;
constexpr std::size_t kQueueSize = 16;

std::int64_t nanosecondsOf(Clock::time_point time) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

using ToneRequest = ToneScheduler::Request;

} // namespace

struct StreamToneOutput::Device final : SoundSource {
    // Hands requests from the window's thread to the audio callback without a lock: one thread
    // pushes, one pops (the callback, or the device thread while no stream runs).
    class RequestQueue {
    public:
        bool push(const ToneRequest& request) {
            const std::size_t tail = tail_.load(std::memory_order_relaxed);
            if (tail - head_.load(std::memory_order_acquire) == kQueueSize)
                return false;
            items_[tail % kQueueSize] = request;
            tail_.store(tail + 1, std::memory_order_release);
            return true;
        }
        std::optional<ToneRequest> pop() {
            const std::size_t head = head_.load(std::memory_order_relaxed);
            if (head == tail_.load(std::memory_order_acquire))
                return std::nullopt;
            const ToneRequest request = items_[head % kQueueSize];
            head_.store(head + 1, std::memory_order_release);
            return request;
        }

    private:
        std::array<ToneRequest, kQueueSize> items_{};
        std::atomic<std::size_t> head_{0};
        std::atomic<std::size_t> tail_{0};
    };

    explicit Device(SoundSystem chosen) : system(chosen), thread([this] { run(); }) {}
    ~Device() {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        changed.notify_all();
        thread.join();
    }

    // Window thread. Returns whether it had to wait.
    bool waitForFirstOpen() {
        std::unique_lock lock(mutex);
        if (firstOpenDone)
            return false;
        changed.wait(lock, [this] { return firstOpenDone; });
        return true;
    }
    void send(const ToneRequest& request) {
        if (streamReady.load(std::memory_order_acquire) && requests.push(request))
            tonesHandedOver.fetch_add(1, std::memory_order_release);
    }
    // A timed wait on a condition variable, not a spin: the window's thread sleeps while the
    // tone sounds. Woken early by a notification, it simply waits on.
    void sleepUntil(Clock::time_point deadline) {
        std::unique_lock lock(mutex);
        while (Clock::now() < deadline)
            changed.wait_until(lock, deadline);
    }

    // Device thread: opens the stream, watches it, re-opens it after a loss, closes it at the end.
    void run() {
        std::unique_lock lock(mutex);
        while (!stopping) {
            if (stream == nullptr) {
                lock.unlock();
                const bool opened = openStream();
                lock.lock();
                firstOpenDone = true;
                changed.notify_all();
                if (!opened) {
                    changed.wait_for(lock, kRetryInterval, [this] { return stopping; });
                    continue;
                }
            }
            changed.wait_for(lock, kWatchInterval, [this] { return stopping; });
            if (!stopping && isStalled()) {
                lock.unlock();
                closeStream(false);
                lock.lock();
            }
        }
        lock.unlock();
        letQueuedTonesFinish();
        closeStream(true);
    }

    bool openStream() {
        forgetPendingTones();
        stream = openSoundStream(system, *this);
        if (!stream)
            return false;
        std::this_thread::sleep_for(kStartupBurst);
        if (isStalled()) {
            closeStream(false);
            return false;
        }
        streamReady.store(true, std::memory_order_release);
        return true;
    }

    void closeStream(bool drain) {
        streamReady.store(false, std::memory_order_release);
        if (stream)
            stream->close(drain);
        stream.reset();
    }

    bool isStalled() const {
        const std::int64_t last = lastCallbackNs.load(std::memory_order_relaxed);
        return !stream->isRunning() || nanosecondsOf(Clock::now()) - last > kStallNs;
    }

    void letQueuedTonesFinish() {
        if (!streamReady.load(std::memory_order_acquire))
            return;
        const auto deadline = Clock::now() + kDrainLimit;
        while (Clock::now() < deadline && !isStalled() &&
               tonesDone.load(std::memory_order_acquire) <
                   tonesHandedOver.load(std::memory_order_acquire))
            std::this_thread::sleep_for(kDrainPoll);
        // The last samples are rendered, not yet heard: they still pass the device's buffers.
        // Stopping the stream does not reliably play those out (through PulseAudio's ALSA
        // plugin it cut the last 23 ms of the last tone), so silence follows them out first.
        const std::chrono::duration<double> latency(stream->outputLatencySeconds());
        std::this_thread::sleep_for(latency + kTailMargin);
    }

    // Runs while no stream does, so the device thread may take the callback's side. Tones handed
    // to a stream that died are dropped rather than played late by the next one.
    void forgetPendingTones() {
        std::uint64_t dropped = scheduler.reset();
        while (requests.pop())
            ++dropped;
        tonesDone.fetch_add(dropped, std::memory_order_release);
        lastCallbackNs.store(nanosecondsOf(Clock::now()), std::memory_order_relaxed);
    }

    // Audio callback: no lock, no allocation, no device call; only samples.
    void render(float* out, std::size_t count) override {
        const std::int64_t now = nanosecondsOf(Clock::now());
        lastCallbackNs.store(now, std::memory_order_relaxed);
        const std::size_t ended =
            scheduler.render(out, count, now, [this] { return requests.pop(); });
        tonesDone.fetch_add(ended, std::memory_order_release);
    }

    // Window thread -> callback.
    RequestQueue requests;
    std::atomic<std::uint64_t> tonesHandedOver{0};
    std::atomic<std::uint64_t> tonesDone{0};
    std::atomic<bool> streamReady{false};
    std::atomic<std::int64_t> lastCallbackNs{0};

    // Callback only (or the device thread while no stream runs).
    ToneScheduler scheduler;

    // Shared by the window thread and the device thread.
    std::mutex mutex;
    std::condition_variable changed;
    bool firstOpenDone = false;
    bool stopping = false;

    // Device thread only.
    const SoundSystem system;
    std::unique_ptr<SoundStream> stream;

    // Last: it starts running at once and uses everything above.
    std::thread thread;
};

StreamToneOutput::StreamToneOutput(SoundSystem system) : system_(system) {}

void StreamToneOutput::start() {
    if (!device_)
        device_ = std::make_unique<Device>(system_);
}

StreamToneOutput::~StreamToneOutput() = default;

void StreamToneOutput::playTone(const Tone& tone) {
    if (tone.ms <= 0)
        return;
    // Wake-ups come this close to the deadline (the default slack is 50 us); set on every
    // call because the slack belongs to the calling thread.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
    start();
    Tone placed = tone;
    auto end = Clock::time_point(std::chrono::nanoseconds(tone.startNs)) +
               std::chrono::milliseconds(tone.ms);
    // A tone keyed while the stream was still opening sounds as soon as it can, late; returning
    // after its end and the silence after it lets the keying timeline start afresh from there
    // rather than shorten the silence.
    if (device_->waitForFirstOpen()) {
        placed.startNs = nanosecondsOf(Clock::now());
        end = Clock::time_point(std::chrono::nanoseconds(placed.startNs)) +
              std::chrono::milliseconds(tone.ms) +
              std::chrono::nanoseconds(tone.silenceAfterNs + 1);
    }
    if (ToneShape::isPlayable(tone.hz))
        device_->send(placed);
    device_->sleepUntil(end);
}

std::int64_t StreamToneOutput::lateToneAllowanceNs() const {
    return ToneScheduler::kLateAllowanceNs;
}
