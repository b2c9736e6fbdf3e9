#include "check/wpm.h"

#include <QTest>

// "PARIS " as the text player keys it, worked by hand. PARIS is .--. .- .-. .. ... : 10 dots,
// 4 dashes, 14 elements in 5 characters. Silence, in delay units U (one U = the delay limit's
// whole iterations x 10 us): 1 U after each element (14), 4 U per gap repeat g after each
// character (20g), the word gap of 8 U per gap repeat (8g). The characters alone are the tones
// plus the 9 gaps inside them, 31 of the 50 units of a standard word, so their speed is
// 60000 ms * 31/50 / their time = 37200 / their time.
class WpmTest : public QObject {
    Q_OBJECT
private slots:
    void parisAsThePlayerKeysIt() {
        // dash, dot, delay limit, gap repeats, character speed, effective speed
        // clang-format off
        const double cases[][6] = {
            // dot 250/2.8 = 89.29 plays 89 ms; U = 30 ms; g = 3.
            // tones 10*89 + 4*250 = 1890; silence (14 + 60 + 24) * 30 = 2940; word 4830 ms.
            // characters 1890 + 9*30 = 2160 ms: 37200/2160 = 17.222; 60000/4830 = 12.422.
            {250, 250 / 2.8, 3000, 3, 17.222, 12.422},
            // dot 60, dash 180, U = 60 ms, g = 1: tones 600 + 720 = 1320; silence 42 * 60 = 2520.
            // characters 1320 + 540 = 1860: 37200/1860 = 20; word 3840: 60000/3840 = 15.625.
            {180, 60, 6000, 1, 20, 15.625},
            // dot 2.5 plays 2 (half to even), limit 0.5 counts 1 iteration (0.01 ms), no gap
            // repeats: tones 20 + 20 = 40; silence 14 * 0.01 = 0.14; characters 40.09:
            // 37200/40.09 = 927.912; word 40.14: 60000/40.14 = 1494.768.
            {5, 2.5, 0.5, 0, 927.912, 1494.768},
            // a negative delay limit is no silence at all: tones 10*100 + 4*300 = 2200 ms both
            // ways; 37200/2200 = 16.909, 60000/2200 = 27.273.
            {300, 100, -200, 3, 16.909, 27.273},
            {0, 0, 0, 3, 0, 0}, // nothing to time: no figure
        };
        // clang-format on
        for (const auto& c : cases) {
            const wpm::Speeds speeds = wpm::speedsOf(int(c[0]), c[1], c[2], int(c[3]));
            QCOMPARE(qRound(speeds.character * 1000), qRound(c[4] * 1000));
            QCOMPARE(qRound(speeds.effective * 1000), qRound(c[5] * 1000));
        }
    }

    // Whatever pair of speeds a learner asks for, the settings found are ones the controls hold
    // and give both speeds within 2 %.
    void closestSettingsHitTheAskedSpeeds() {
        for (double character : {5.0, 12.0, 18.0, 20.0, 25.0, 35.0, 50.0}) {
            for (double effective : {character, character * 0.75, character / 2, character / 3}) {
                const wpm::KeyingSettings s = wpm::closestSettings(character, effective);
                QVERIFY(s.dashMillis >= 1 && s.dashMillis <= 1000 && s.gapRepeats >= 1 &&
                        s.delayLimit == std::round(s.delayLimit) && s.ratio == 3);
                const auto got =
                    wpm::speedsOf(s.dashMillis, s.dashMillis / s.ratio, s.delayLimit, s.gapRepeats);
                QVERIFY2(qAbs(got.character / character - 1) < 0.02 &&
                             qAbs(got.effective / effective - 1) < 0.02,
                         qPrintable(QString::asprintf("%g/%g", character, effective)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(WpmTest)
#include "test_wpm.moc"
