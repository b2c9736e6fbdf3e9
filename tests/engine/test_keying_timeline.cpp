#include "core/random_source.h"
#include "engine/keyer.h"
#include "fake_clock.h"
#include "bench/inert_view.h"

#include <QTest>
#include <random>
#include <vector>

namespace {
constexpr std::int64_t kUs = 1'000, kMs = 1'000'000;

// The keyer (dash 250 ms, dot 89 ms, three gap repeats) on a fake clock, through a sound output
// that records each tone with how late it was handed over, and sleeps to its end.
struct Rig : ToneOutput {
    Rig(FakeClock& fakeClock, double limit) : clock(fakeClock), timeline(fakeClock) {
        state.dashMillis = 250;
        state.dotMillis = 250 / 2.8;
        state.gapRepeats = 3;
        state.delayLimit = limit;
    }
    void playTone(const Tone& tone) override {
        tones.push_back(tone);
        handedOverLate.push_back(clock.peek() - tone.startNs);
        clock.advanceTo(tone.startNs + tone.ms * kMs);
    }
    void send(const char* character) {
        state.currentChar = character;
        keyer.sendCharacter();
    }
    // Silence on the timeline between tone i and tone i + 1.
    std::int64_t gapAfter(std::size_t i) const {
        return tones[i + 1].startNs - tones[i].startNs - tones[i].ms * kMs;
    }
    FakeClock& clock;
    KeyingTimeline timeline;
    TrainerState state;
    InertView view;
    RandomSource random;
    Keyer keyer{state, view, *this, random, timeline};
    std::vector<Tone> tones;
    std::vector<std::int64_t> handedOverLate;
};
} // namespace

class KeyingTimelineTest : public QObject {
    Q_OBJECT
private slots:
    // "E", time spent in a yield, maybe one delay unit (as the random groups play before each
    // character), "E": the silence between the dots on the timeline.
    void silenceBetweenCharacters_data() {
        QTest::addColumn<double>("limit");
        QTest::addColumn<int>("yieldUs");
        QTest::addColumn<bool>("unitFirst");
        QTest::addColumn<qint64>("gapUs");
        QTest::newRow("3000: 13 units of 30 ms") << 3000.0 << 0 << false << qint64(390'000);
        QTest::newRow("2.5: 3 iterations a unit") << 2.5 << 0 << false << qint64(390);
        QTest::newRow("0: no silence") << 0.0 << 0 << false << qint64(0);
        QTest::newRow("-5: no silence") << -5.0 << 0 << false << qint64(0);
        QTest::newRow("0.4 U, tone: absorbed") << 1000.0 << 4'000 << false << qint64(130'000);
        QTest::newRow("0.4 U, unit: absorbed") << 3000.0 << 12'000 << true << qint64(420'000);
        QTest::newRow("3 U, tone: restarted") << 1000.0 << 30'000 << false << qint64(160'000);
        QTest::newRow("3 U, unit: restarted") << 3000.0 << 90'000 << true << qint64(510'000);
        // Later than a tone can still sound where it belongs, though within one unit.
        QTest::newRow("0.8 U, tone: restarted") << 1000.0 << 8'000 << false << qint64(138'000);
    }
    void silenceBetweenCharacters() {
        QFETCH(double, limit);
        QFETCH(int, yieldUs);
        QFETCH(bool, unitFirst);
        QFETCH(qint64, gapUs);
        // Reads 1 us apart: where the timeline restarts, it is a read late (at most one for each
        // of the 14 elements).
        FakeClock clock;
        Rig rig(clock, limit);
        rig.send("E");
        clock.advanceBy(yieldUs * kUs);
        if (unitFirst)
            rig.keyer.delayUnit();
        rig.send("E");
        QVERIFY2(rig.gapAfter(0) >= gapUs * kUs && rig.gapAfter(0) <= (gapUs + 14) * kUs,
                 qPrintable(QString("gap %1 ns").arg(rig.gapAfter(0))));
    }

    void aSlowThreadNeverShortensAGap() {
        // Reads now and then come very late (a busy machine): 1-20 us apart, one in 40 up to
        // 80 ms later. Every silence between tones lasts at least its units all the same, and
        // every tone reaches the output in time to sound where its start says.
        std::mt19937 random(7);
        FakeClock clock([&random] {
            const std::int64_t step = std::int64_t(random() % 20'000) + 1'000;
            return random() % 40 == 0 ? step + std::int64_t(random() % 80'000'000) : step;
        });
        // "AB C" five times: A .-, B -..., a blank (one more character gap), C -.-.
        std::vector<std::int64_t> units; // after each tone
        for (int repeat = 0; repeat < 5; ++repeat)
            units.insert(units.end(), {1, 13, 1, 1, 1, 25, 1, 1, 1, 13});
        for (double limit : {3000.0, 800.0, 37.5}) {
            Rig rig(clock, limit);
            for (int repeat = 0; repeat < 5; ++repeat)
                for (const char* c : {"A", "B", " ", "C"})
                    rig.send(c);
            const std::int64_t unit = KeyingTimeline::unitNs(limit);
            QCOMPARE(rig.tones.size(), units.size());
            for (std::size_t i = 0; i + 1 < units.size(); ++i) {
                QCOMPARE(rig.tones[i].silenceAfterNs, unit);
                QVERIFY(rig.handedOverLate[i] <= rig.lateToneAllowanceNs());
                QVERIFY2(rig.gapAfter(i) >= units[i] * unit,
                         qPrintable(QString("limit %1, gap %2").arg(limit).arg(i)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(KeyingTimelineTest)
#include "test_keying_timeline.moc"
