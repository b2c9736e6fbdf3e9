// The keying's time: delay units and tones on one timeline (on a fake clock), and the sound
// output placing the tones on a stream (a fake stream, the same for every output).
#include "audio/tone_scheduler.h"
#include "rig.h"
#include "tones_heard.h"

#include "test_classes.h"
#include <cmath>
#include <deque>
#include <vector>

namespace {
constexpr std::int64_t kUs = 1'000, kMs = 1'000'000;

void send(Rig& rig, const char* character) {
    rig.state.currentChar = character;
    rig.t.keyer.sendCharacter();
}

// Silence on the timeline between tone i and tone i + 1.
std::int64_t gapAfter(const Rig& rig, std::size_t i) {
    const auto& tones = rig.trace.tones();
    return tones[i + 1].startNs - tones[i].startNs - tones[i].ms * kMs;
}

constexpr int kRate = ToneShape::kSampleRate;
constexpr std::size_t kBuffer = 256;
constexpr std::int64_t kOrigin = 3'000 * kMs; // frame F of the stream is due at kOrigin + F/rate

// Where a tone starting at `ns` on the timeline belongs: its 50 % point at ns + the lead.
double frameOf(std::int64_t ns) {
    return double(ns + ToneScheduler::kLeadNs - kOrigin) * kRate / 1e9;
}

// A stream on a fake clock, the same for every sound output. Callbacks come in bursts entered
// when the burst's last buffer is due, late by up to `maxLateNs` (a fixed pseudo-random pattern),
// from the fortieth burst on every fifth on time: the clock's estimate improves mid-run. A tone is
// handed over to the first callback entered after the time given with it. Returns the sound.
std::vector<float> stream(ToneScheduler& scheduler, std::deque<std::pair<Tone, std::int64_t>> tones,
                          std::size_t frames, int burst, std::int64_t maxLateNs,
                          std::size_t& ended) {
    std::vector<float> sound;
    std::uint64_t random = 99;
    for (int bursts = 0; sound.size() < frames; ++bursts) {
        std::int64_t entry =
            kOrigin + std::llround(double(sound.size() + (burst - 1) * kBuffer) * 1e9 / kRate);
        random = random * 6364136223846793005ULL + 1442695040888963407ULL;
        if (bursts % 5 != 0 || bursts < 40)
            entry += std::int64_t((random >> 33) % std::uint64_t(maxLateNs + 1));
        for (int k = 0; k < (bursts == 0 ? 8 : burst); ++k) { // it starts by filling the device
            std::vector<float> buffer(kBuffer, 1.0f);
            ended += scheduler.render(buffer.data(), kBuffer, entry, [&] {
                std::optional<Tone> next;
                if (!tones.empty() && tones.front().second <= entry)
                    next = tones.front().first, tones.pop_front();
                return next;
            });
            sound.insert(sound.end(), buffer.begin(), buffer.end());
        }
    }
    return sound;
}

} // namespace

class KeyingTimeTest : public QObject {
    Q_OBJECT
private slots:
    // "E", time spent in a yield, maybe one delay unit (as the random groups play before each
    // character), "E": the silence between the dots on the timeline. Reads 1 us apart: where the
    // timeline restarts, it is a read late (at most one for each of the 14 elements).
    void silenceBetweenCharacters() {
        const struct {
            double limit;
            int yieldUs;
            bool unitFirst;
            std::int64_t gapUs;
        } rows[] = {
            // clang-format off
            {3000, 0, false, 390'000},     // 13 units of 30 ms
            {2.5, 0, false, 390},          // 3 iterations a unit
            {0, 0, false, 0}, {-5, 0, false, 0}, // no silence
            {1000, 4'000, false, 130'000}, // 0.4 U before a tone: absorbed
            {3000, 12'000, true, 420'000}, // 0.4 U before a unit: absorbed
            {1000, 30'000, false, 160'000}, // 3 U before a tone: restarted
            {3000, 90'000, true, 510'000}, // 3 U before a unit: restarted
            {1000, 8'000, false, 138'000}, // 0.8 U: later than a tone can sound where it belongs
            // clang-format on
        };
        for (const auto& row : rows) {
            Rig rig;
            rig.trace.clock().setSteps([] { return kUs; });
            rig.state.delayLimit = row.limit;
            send(rig, "E");
            rig.trace.clock().advanceBy(row.yieldUs * kUs);
            if (row.unitFirst)
                rig.t.keyer.delayUnit();
            send(rig, "E");
            const std::int64_t gap = gapAfter(rig, 0);
            QVERIFY2(gap >= row.gapUs * kUs && gap <= (row.gapUs + 14) * kUs,
                     qPrintable(QString("limit %1: gap %2 ns").arg(row.limit).arg(gap)));
        }
    }

    // Callbacks one at a time, in pairs as a sound server asks, in threes as PortAudio through
    // ALSA; silences shorter than an edge, of one frame, of none (one seamless tone); a pitch
    // that cannot be played (a timed silence); the fourth tone handed over later than allowed.
    void tonesSoundWhereTheTimelinePutsThem() {
        const struct {
            int burst, maxLateUs, gapUs, hz, lateUs;
        } rows[] = {// clang-format off
            {1, 0, 30000, 997, 0}, {1, 4000, 30123, 997, 0}, {2, 2000, 30123, 997, 0},
            {3, 1000, 29999, 701, 0}, {2, 2000, 2000, 997, 0}, {2, 2000, 21, 997, 0},
            {2, 2000, 0, 997, 0}, {2, 3000, 1234567, 997, 0}, {2, 2000, 30000, 24000, 0},
            {2, 2000, 30000, 997, 20000}};
        // clang-format on
        for (const auto& [burst, maxLateUs, gapUs, hz, lateUs] : rows)
            tonesSoundInPlace(burst, maxLateUs, gapUs, hz, lateUs);
    }

private:
    void tonesSoundInPlace(int burst, int maxLateUs, int gapUs, int hz, int lateUs) {
        std::vector<Tone> tones;
        std::deque<std::pair<Tone, std::int64_t>> handedOver;
        std::int64_t time = kOrigin + 200 * kMs;
        for (int ms : {89, 250, 89, 89, 250, 250, 89}) {
            tones.push_back({hz, ms, time, gapUs * 1000});
            const std::int64_t late = tones.size() == 4 ? lateUs * 1000 : 0;
            handedOver.emplace_back(tones.back(), time + ToneScheduler::kLateAllowanceNs + late);
            time += ms * kMs + gapUs * 1000;
        }
        ToneScheduler scheduler;
        std::size_t ended = 0;
        const auto sound = stream(scheduler, handedOver, std::size_t(frameOf(time)) + 9600, burst,
                                  maxLateUs * 1000, ended);
        QCOMPARE(ended, tones.size());
        // Apart, every tone is heard on its own; joined, as one from the first start to the last
        // end; an unplayable pitch not at all.
        if (gapUs == 0)
            tones = {{hz, int((time - tones[0].startNs) / kMs), tones[0].startNs, 0}};
        if (!ToneShape::isPlayable(hz))
            tones.clear();
        const auto heard = tonesHeard(sound, hz);
        QCOMPARE(heard.size(), tones.size());
        // The first where the timeline puts it (as far as callbacks that late tell), each as long
        // as asked, each silence within 3 frames (62 us) of its length on the timeline; before a
        // tone too late, longer, never shorter.
        for (std::size_t i = 0; i < heard.size(); ++i) {
            const double length = heard[i].second - heard[i].first;
            const double gap = i == 0 ? 0 : heard[i].first - heard[i - 1].second;
            const double expected = i == 0
                                        ? 0
                                        : frameOf(tones[i].startNs) -
                                              frameOf(tones[i - 1].startNs + tones[i - 1].ms * kMs);
            QVERIFY2(std::abs(length - tones[i].ms * 48) <= 1 &&
                         (i == 0 ? std::abs(heard[0].first - frameOf(tones[0].startNs)) <=
                                       1 + maxLateUs * 0.048
                                 : gap >= expected - 3 &&
                                       (gap <= expected + 3 || (i == 3 && lateUs > 0))),
                     qPrintable(QString::asprintf("gap %d us, %d Hz, tone %zu: %.1f-%.1f", gapUs,
                                                  hz, i, heard[i].first, heard[i].second)));
        }
    }
};

VORNIK_TEST(KeyingTimeTest)
#include "test_keying_time.moc"
