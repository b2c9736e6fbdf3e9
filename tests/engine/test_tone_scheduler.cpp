#include "audio/tone_scheduler.h"

#include <QTest>
#include <cmath>
#include <cstdint>
#include <deque>
#include <vector>

namespace {
using Request = ToneScheduler::Request;

constexpr int kRate = ToneShape::kSampleRate;
constexpr std::size_t kBuffer = 256;
constexpr std::int64_t kUs = 1000;
constexpr std::int64_t kMs = 1000 * kUs;
// The stream's true line: frame F is due at kOrigin + F / rate.
constexpr std::int64_t kOrigin = 3'000 * kMs;

std::int64_t dueNs(std::int64_t frame) {
    return kOrigin + std::llround(double(frame) * 1e9 / kRate);
}

// A stream on a fake clock. Callbacks come in bursts entered when the burst's last buffer is
// due, every `onTimeEvery`-th burst on time and the others late by up to `maxLateNs` (a fixed
// pseudo-random pattern). A request is handed over to the first callback entered after it.
class FakeStream {
public:
    FakeStream(int burst, std::int64_t maxLateNs, int onTimeEvery)
        : burst_(burst), maxLateNs_(maxLateNs), onTimeEvery_(onTimeEvery) {}

    void request(Request request) { pending_.push_back(request); }

    // Runs callbacks until the frames cover `frames`; returns the tones that ended.
    std::size_t runUntil(ToneScheduler& scheduler, std::int64_t frames) {
        std::size_t ended = 0;
        while (std::int64_t(recording.size()) < frames) {
            const std::int64_t first = std::int64_t(recording.size());
            std::int64_t entry = dueNs(first + (burst_ - 1) * std::int64_t(kBuffer));
            if (bursts_++ % onTimeEvery_ != 0)
                entry += late();
            for (int k = 0; k < burst_; ++k) {
                std::vector<float> buffer(kBuffer, 1.0f);
                ended += scheduler.render(buffer.data(), kBuffer, entry, [&] {
                    std::optional<Request> next;
                    if (!pending_.empty() && pending_.front().requestNs <= entry) {
                        next = pending_.front();
                        pending_.pop_front();
                    }
                    return next;
                });
                recording.insert(recording.end(), buffer.begin(), buffer.end());
            }
        }
        return ended;
    }

    std::vector<float> recording;

private:
    std::int64_t late() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return maxLateNs_ == 0 ? 0 : std::int64_t((state_ >> 33) % std::uint64_t(maxLateNs_));
    }

    int burst_;
    std::int64_t maxLateNs_;
    int onTimeEvery_;
    int bursts_ = 0;
    std::uint64_t state_ = 99;
    std::deque<Request> pending_;
};

// Where a tone asked for at `requestNs` belongs: its 50 % point on the frame due at request +
// lead.
std::int64_t nominalStartFrame(std::int64_t requestNs) {
    return std::llround(double(requestNs + ToneScheduler::kLeadNs - kOrigin) * kRate / 1e9);
}

void addTone(std::vector<float>& sound, const Request& request, std::int64_t nominalStart) {
    const std::int64_t start = nominalStart - ToneShape(request.hz, request.ms).leadInFrames();
    const ToneShape shape(request.hz, request.ms, start);
    shape.addTo(sound.data() + start, 0, sound.size() - std::size_t(start));
}

double largestDifference(const std::vector<float>& a, const std::vector<float>& b) {
    double largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(double(a[i]) - double(b[i])));
    return largest;
}
} // namespace

class ToneSchedulerTest : public QObject {
    Q_OBJECT
private slots:
    void silencesBetweenTonesKeepTheirLength_data() {
        QTest::addColumn<int>("burst");
        QTest::addColumn<int>("maxLateUs");
        QTest::addColumn<int>("onTimeEvery");
        QTest::addColumn<int>("gapUs");
        QTest::newRow("punctual callbacks") << 1 << 0 << 1 << 30123;
        QTest::newRow("late callbacks") << 1 << 4000 << 10 << 30123;
        QTest::newRow("pairs, as PulseAudio asks") << 2 << 2000 << 5 << 30123;
        QTest::newRow("bursts of four") << 4 << 1000 << 3 << 29999;
        QTest::newRow("touching tones") << 2 << 2000 << 5 << 0;
        QTest::newRow("edges overlapping") << 2 << 2000 << 5 << 2000;
        QTest::newRow("long silences") << 2 << 3000 << 7 << 1234567;
    }
    void silencesBetweenTonesKeepTheirLength() {
        QFETCH(int, burst);
        QFETCH(int, maxLateUs);
        QFETCH(int, onTimeEvery);
        QFETCH(int, gapUs);
        // As the keyer asks: each tone the moment the silence after the one before has ended.
        // Heard correctly, every tone sits on its request + the lead, so every silence in the
        // sound is exactly the one between the requests.
        FakeStream stream(burst, maxLateUs * kUs, onTimeEvery);
        ToneScheduler scheduler;
        std::vector<Request> requests;
        std::int64_t time = kOrigin + 200 * kMs;
        for (int ms : {89, 250, 89, 89, 250, 250, 89}) {
            requests.push_back({time, 700, ms});
            stream.request(requests.back());
            time += ms * kMs + gapUs * kUs;
        }
        const std::int64_t end = nominalStartFrame(time) + kRate / 10;
        const std::size_t ended = stream.runUntil(scheduler, end);

        std::vector<float> expected(stream.recording.size(), 0.0f);
        for (const Request& request : requests)
            addTone(expected, request, nominalStartFrame(request.requestNs));
        QVERIFY2(largestDifference(stream.recording, expected) < 1e-5, "a tone is off its frame");
        QCOMPARE(ended, requests.size());
    }

    void lateRequestStartsAtOnce() {
        FakeStream stream(1, 0, 1);
        ToneScheduler scheduler;
        stream.runUntil(scheduler, 48000);
        // Asked for so long ago that its frame has been played: it starts on the next buffer.
        const std::int64_t next = scheduler.nextFrame();
        const Request request{dueNs(next) - 100 * kMs, 700, 89};
        stream.request(request);
        stream.runUntil(scheduler, next + 10000);
        std::vector<float> expected(stream.recording.size(), 0.0f);
        addTone(expected, request, next + ToneShape(700, 89).leadInFrames());
        QVERIFY(largestDifference(stream.recording, expected) < 1e-5);
    }

    void unplayablePitchIsTimedSilence_data() {
        QTest::addColumn<int>("hz");
        QTest::newRow("0 Hz") << 0;
        QTest::newRow("above half the sample rate") << 30000;
    }
    void unplayablePitchIsTimedSilence() {
        QFETCH(int, hz);
        FakeStream stream(1, 0, 1);
        ToneScheduler scheduler;
        stream.runUntil(scheduler, 4800);
        const std::int64_t requestNs = dueNs(4800);
        stream.request({requestNs, hz, 89});
        // It ends when a tone of its length would have, and nothing is heard.
        const std::int64_t toneEnd = nominalStartFrame(requestNs) + ToneShape::framesFor(89) +
                                     ToneShape(700, 89).leadInFrames();
        QCOMPARE(stream.runUntil(scheduler, toneEnd - std::int64_t(kBuffer)), std::size_t(0));
        QCOMPARE(stream.runUntil(scheduler, toneEnd + std::int64_t(kBuffer)), std::size_t(1));
        QVERIFY(std::all_of(stream.recording.begin(), stream.recording.end(),
                            [](float sample) { return sample == 0.0f; }));
    }

    void moreTonesThanSlotsWaitTheirTurn() {
        // Every request is handed over at once; those beyond the free slots stay with the caller
        // until one ends, then start late but whole.
        FakeStream stream(1, 0, 1);
        ToneScheduler scheduler;
        stream.runUntil(scheduler, 4800);
        const std::size_t count = ToneScheduler::kMaxSounding + 2;
        for (std::size_t i = 0; i < count; ++i)
            stream.request({dueNs(4800) + std::int64_t(i) * kMs, 700, 20});
        QCOMPARE(stream.runUntil(scheduler, 48000), count);
    }

    void resetDropsWhatSounds() {
        FakeStream stream(1, 0, 1);
        ToneScheduler scheduler;
        stream.request({kOrigin, 700, 250});
        stream.request({kOrigin + 1 * kMs, 500, 250});
        stream.runUntil(scheduler, 4800);
        QCOMPARE(scheduler.reset(), std::size_t(2));
        QCOMPARE(scheduler.nextFrame(), std::int64_t(0));
        QCOMPARE(scheduler.reset(), std::size_t(0));
    }
};

QTEST_GUILESS_MAIN(ToneSchedulerTest)
#include "test_tone_scheduler.moc"
