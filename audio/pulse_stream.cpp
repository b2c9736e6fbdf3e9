#include "audio/pulse_stream.h"

#include "audio/tone_shape.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace {
// The server keeps about this much rendered ahead of the speaker: small, so that a key is heard
// soon after it is pressed, and deep enough that the mainloop thread, woken late on a busy
// machine, never lets it run dry (a dropout in a tone is heard as a broken element).
constexpr pa_usec_t kTargetLatencyUs = 30'000;
// The server asks for more in pieces of this size: the same 256 frames the PortAudio fallback
// renders per callback, so the scheduler's allowance for what is already rendered holds for both.
constexpr std::uint32_t kRequestFrames = 256;
constexpr const char* kClientName = "vornik";

const pa_sample_spec kSpec{PA_SAMPLE_FLOAT32NE, ToneShape::kSampleRate, 1};

bool isGood(pa_context_state_t state) {
    return PA_CONTEXT_IS_GOOD(state) != 0;
}
bool isGood(pa_stream_state_t state) {
    return PA_STREAM_IS_GOOD(state) != 0;
}
} // namespace

bool PulseStream::serverAnswers() {
    pa_mainloop* loop = pa_mainloop_new();
    if (loop == nullptr)
        return false;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), kClientName);
    bool ready = false;
    if (context != nullptr &&
        pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        pa_context_state_t state = pa_context_get_state(context);
        while (isGood(state) && state != PA_CONTEXT_READY &&
               pa_mainloop_iterate(loop, 1, nullptr) >= 0)
            state = pa_context_get_state(context);
        ready = state == PA_CONTEXT_READY;
        pa_context_disconnect(context);
    }
    if (context != nullptr)
        pa_context_unref(context);
    pa_mainloop_free(loop);
    return ready;
}

// Everything below `loop` is touched under the mainloop's lock only, or from its own thread.
struct PulseStream::Connection {
    explicit Connection(SoundSource& renderer) : source(renderer) {}

    static void onContextState(pa_context* context, void* self) {
        auto* connection = static_cast<Connection*>(self);
        if (!isGood(pa_context_get_state(context)))
            connection->running.store(false, std::memory_order_relaxed);
        pa_threaded_mainloop_signal(connection->loop, 0);
    }
    static void onStreamState(pa_stream* stream, void* self) {
        auto* connection = static_cast<Connection*>(self);
        connection->running.store(pa_stream_get_state(stream) == PA_STREAM_READY,
                                  std::memory_order_relaxed);
        pa_threaded_mainloop_signal(connection->loop, 0);
    }
    // Mainloop thread: renders exactly what the server asks for, in the buffer it lends.
    static void onWritable(pa_stream* stream, std::size_t bytes, void* self) {
        auto* connection = static_cast<Connection*>(self);
        while (bytes >= sizeof(float)) {
            void* data = nullptr;
            std::size_t size = bytes;
            if (pa_stream_begin_write(stream, &data, &size) < 0 || data == nullptr)
                return;
            size = std::min(size, bytes) / sizeof(float) * sizeof(float);
            if (size == 0) {
                pa_stream_cancel_write(stream);
                return;
            }
            connection->source.render(static_cast<float*>(data), size / sizeof(float));
            pa_stream_write(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE);
            bytes -= size;
        }
    }

    // Under the lock: waits for the context, then the stream, to be ready or to fail.
    bool connect() {
        pa_context_set_state_callback(context, &onContextState, this);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
        while (isGood(pa_context_get_state(context)) &&
               pa_context_get_state(context) != PA_CONTEXT_READY)
            pa_threaded_mainloop_wait(loop);
        if (pa_context_get_state(context) != PA_CONTEXT_READY)
            return false;
        stream = pa_stream_new(context, "Morse tones", &kSpec, nullptr);
        if (stream == nullptr)
            return false;
        pa_stream_set_state_callback(stream, &onStreamState, this);
        pa_stream_set_write_callback(stream, &onWritable, this);
        pa_buffer_attr attributes{};
        attributes.maxlength = UINT32_MAX;
        attributes.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatencyUs, &kSpec));
        // No prebuffering: after running dry the stream plays on (silence) instead of pausing
        // until refilled, so its frames stay where the frame clock expects them on the steady
        // clock; a pause would move every later tone back by its length.
        attributes.prebuf = 0;
        attributes.minreq = kRequestFrames * static_cast<std::uint32_t>(sizeof(float));
        attributes.fragsize = UINT32_MAX;
        if (pa_stream_connect_playback(stream, nullptr, &attributes, PA_STREAM_ADJUST_LATENCY,
                                       nullptr, nullptr) < 0)
            return false;
        while (isGood(pa_stream_get_state(stream)) &&
               pa_stream_get_state(stream) != PA_STREAM_READY)
            pa_threaded_mainloop_wait(loop);
        if (pa_stream_get_state(stream) != PA_STREAM_READY)
            return false;
        if (const pa_buffer_attr* granted = pa_stream_get_buffer_attr(stream))
            latencySeconds = static_cast<double>(pa_bytes_to_usec(granted->tlength, &kSpec)) / 1e6;
        return true;
    }

    // Under the lock. What the server still holds is dropped, not drained: a stream without
    // prebuffering may never report a drain as done, and the tone output lets the last tone
    // play out (the stream's latency) before it closes the stream.
    void disconnect() {
        if (stream != nullptr) {
            pa_stream_set_write_callback(stream, nullptr, nullptr);
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
            stream = nullptr;
        }
        if (context != nullptr) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
        running.store(false, std::memory_order_relaxed);
    }

    SoundSource& source;
    std::atomic<bool> running{false};
    double latencySeconds = static_cast<double>(kTargetLatencyUs) / 1e6;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
};

PulseStream::PulseStream() = default;

PulseStream::~PulseStream() {
    close(false);
}

bool PulseStream::open(SoundSource& source) {
    close(false);
    connection_ = std::make_unique<Connection>(source);
    Connection& c = *connection_;
    c.loop = pa_threaded_mainloop_new();
    if (c.loop == nullptr) {
        connection_.reset();
        return false;
    }
    c.context = pa_context_new(pa_threaded_mainloop_get_api(c.loop), kClientName);
    bool opened = false;
    if (c.context != nullptr && pa_threaded_mainloop_start(c.loop) >= 0) {
        pa_threaded_mainloop_lock(c.loop);
        opened = c.connect();
        pa_threaded_mainloop_unlock(c.loop);
    }
    if (!opened)
        close(false);
    return opened;
}

void PulseStream::close(bool) {
    if (!connection_)
        return;
    Connection& c = *connection_;
    if (c.loop != nullptr) {
        pa_threaded_mainloop_lock(c.loop);
        c.disconnect();
        pa_threaded_mainloop_unlock(c.loop);
        pa_threaded_mainloop_stop(c.loop);
        pa_threaded_mainloop_free(c.loop);
    }
    connection_.reset();
}

bool PulseStream::isRunning() const {
    return connection_ && connection_->running.load(std::memory_order_relaxed);
}

double PulseStream::outputLatencySeconds() const {
    return connection_ ? connection_->latencySeconds : 0.0;
}
