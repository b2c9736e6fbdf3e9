#include "audio/frame_clock.h"

#include <QTest>
#include <cmath>
#include <cstdint>

namespace {
constexpr int kRate = 48000;
constexpr std::int64_t kBuffer = 256;
constexpr std::int64_t kMs = 1'000'000;
// The stream's true line: frame F is due at kOrigin + F / rate.
constexpr std::int64_t kOrigin = 7'000 * kMs;

std::int64_t dueNs(std::int64_t frame, std::int64_t origin = kOrigin) {
    return origin + std::llround(double(frame) * 1e9 / kRate);
}

// Fixed pseudo-random lateness, the same on every run.
class Lateness {
public:
    std::int64_t next(std::int64_t maxNs) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return maxNs == 0 ? 0 : std::int64_t((state_ >> 33) % std::uint64_t(maxNs));
    }

private:
    std::uint64_t state_ = 12345;
};
} // namespace

class FrameClockTest : public QObject {
    Q_OBJECT
private slots:
    void noEstimateBeforeFirstCallback() { QVERIFY(!FrameClock(kRate).hasEstimate()); }

    void lateCallbacksDoNotMoveIt_data() {
        QTest::addColumn<int>("burst");
        QTest::addColumn<int>("maxLateUs");
        QTest::addColumn<int>("onTimeEvery");
        QTest::addColumn<int>("outlierLateMs");
        QTest::newRow("punctual") << 1 << 0 << 1 << 0;
        QTest::newRow("jitter, one in ten on time") << 1 << 3000 << 10 << 0;
        QTest::newRow("pairs, as PulseAudio asks") << 2 << 2000 << 5 << 0;
        QTest::newRow("bursts of four") << 4 << 1000 << 3 << 0;
        QTest::newRow("one callback 100 ms late") << 1 << 500 << 4 << 100;
        QTest::newRow("jitter, one in fifty on time") << 2 << 5000 << 50 << 30;
    }
    void lateCallbacksDoNotMoveIt() {
        QFETCH(int, burst);
        QFETCH(int, maxLateUs);
        QFETCH(int, onTimeEvery);
        QFETCH(int, outlierLateMs);
        FrameClock clock(kRate);
        Lateness lateness;
        std::int64_t frame = 0;
        for (int group = 0; group < 600; ++group) {
            // A burst is entered when its last buffer is due: the buffers before it in the
            // burst are rendered early, and the whole burst may come late.
            const std::int64_t lastFrame = frame + (burst - 1) * kBuffer;
            std::int64_t entry = dueNs(lastFrame);
            if (group % onTimeEvery != 0)
                entry += lateness.next(std::int64_t(maxLateUs) * 1000);
            if (group == 300)
                entry += outlierLateMs * kMs;
            for (int k = 0; k < burst; ++k, frame += kBuffer) {
                clock.observe(entry, frame);
                // Nothing rendered so far lies beyond the frame the clock names for now: a tone
                // placed a lead after now has not been rendered over yet.
                QVERIFY(frame <= clock.frameAt(entry));
            }
        }
        for (std::int64_t probe : {frame - 1000, frame, frame + 48000})
            QVERIFY(std::llabs(clock.frameAt(dueNs(probe)) - probe) <= 1);
    }

    void followsAMovedStream_data() {
        QTest::addColumn<int>("shiftMs");
        QTest::addColumn<int>("pauseMs");
        QTest::addColumn<int>("checkAfterMs");
        QTest::addColumn<int>("followedMs");
        QTest::newRow("earlier line followed at once") << -5 << 0 << 20 << -5;
        QTest::newRow("later line ignored within the window") << 5 << 0 << 1000 << 0;
        QTest::newRow("later line followed after the window") << 5 << 0 << 2500 << 5;
        QTest::newRow("after a stall the new line at once") << 50 << 3000 << 20 << 50;
        QTest::newRow("a short stall keeps the old line") << 50 << 300 << 20 << 0;
    }
    void followsAMovedStream() {
        QFETCH(int, shiftMs);
        QFETCH(int, pauseMs);
        QFETCH(int, checkAfterMs);
        QFETCH(int, followedMs);
        FrameClock clock(kRate);
        const std::int64_t changeFrame = 3 * kRate;
        const std::int64_t pauseFrames = std::int64_t(pauseMs) * kRate / 1000;
        const std::int64_t endFrame =
            changeFrame + pauseFrames + std::int64_t(checkAfterMs) * kRate / 1000;
        for (std::int64_t frame = 0; frame < endFrame; frame += kBuffer) {
            if (frame >= changeFrame && frame < changeFrame + pauseFrames)
                continue;
            const std::int64_t origin = frame < changeFrame ? kOrigin : kOrigin + shiftMs * kMs;
            clock.observe(dueNs(frame, origin), frame);
        }
        const std::int64_t followedOrigin = kOrigin + followedMs * kMs;
        QVERIFY(std::llabs(clock.frameAt(dueNs(endFrame, followedOrigin)) - endFrame) <= 1);
    }
};

QTEST_GUILESS_MAIN(FrameClockTest)
#include "test_frame_clock.moc"
