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
    void parisAsThePlayerKeysIt_data() {
        QTest::addColumn<int>("dash");
        QTest::addColumn<double>("dot");
        QTest::addColumn<double>("delayLimit");
        QTest::addColumn<int>("gapRepeats");
        QTest::addColumn<double>("character");
        QTest::addColumn<double>("effective");
        // dot 250/2.8 = 89.29 plays 89 ms; U = 30 ms; g = 3.
        // tones 10*89 + 4*250 = 1890; silence (14 + 60 + 24) * 30 = 2940; word 4830 ms.
        // characters 1890 + 9*30 = 2160 ms: 37200/2160 = 17.222; 60000/4830 = 12.422.
        QTest::newRow("first start") << 250 << 250 / 2.8 << 3000.0 << 3 << 17.222 << 12.422;
        // dot 60, dash 180, U = 60 ms, g = 1: tones 600 + 720 = 1320; silence 42 * 60 = 2520.
        // characters 1320 + 540 = 1860: 37200/1860 = 20; word 3840: 60000/3840 = 15.625.
        QTest::newRow("standard elements") << 180 << 60.0 << 6000.0 << 1 << 20.0 << 15.625;
        // dot 2.5 plays 2 (half to even), limit 0.5 counts 1 iteration (0.01 ms), no gap repeats:
        // tones 20 + 20 = 40; silence 14 * 0.01 = 0.14; characters 40.09: 37200/40.09 = 927.912;
        // word 40.14: 60000/40.14 = 1494.768.
        QTest::newRow("rounding") << 5 << 2.5 << 0.5 << 0 << 927.912 << 1494.768;
        // a negative delay limit is no silence at all: tones 10*100 + 4*300 = 2200 ms both ways;
        // 37200/2200 = 16.909, 60000/2200 = 27.273.
        QTest::newRow("negative limit") << 300 << 100.0 << -200.0 << 3 << 16.909 << 27.273;
        QTest::newRow("nothing to time") << 0 << 0.0 << 0.0 << 3 << 0.0 << 0.0;
    }
    void parisAsThePlayerKeysIt() {
        QFETCH(int, dash);
        QFETCH(double, dot);
        QFETCH(double, delayLimit);
        QFETCH(int, gapRepeats);
        QFETCH(double, character);
        QFETCH(double, effective);
        const wpm::Speeds speeds = wpm::speedsOf(dash, dot, delayLimit, gapRepeats);
        QVERIFY2(qAbs(speeds.character - character) < 1e-3,
                 qPrintable(QString::number(speeds.character)));
        QVERIFY2(qAbs(speeds.effective - effective) < 1e-3,
                 qPrintable(QString::number(speeds.effective)));
    }

    // Whatever pair of speeds a learner asks for, the settings found are ones the controls hold
    // and give both speeds within 2 %.
    void closestSettingsHitTheAskedSpeeds() {
        for (double character : {5.0, 12.0, 18.0, 20.0, 25.0, 35.0, 50.0}) {
            for (double share : {1.0, 0.75, 0.5, 0.3}) {
                const double effective = character * share;
                const wpm::KeyingSettings s = wpm::closestSettings(character, effective);
                QVERIFY(s.dashMillis >= 1 && s.dashMillis <= 1000);
                QVERIFY(s.gapRepeats >= 1 && s.delayLimit == std::round(s.delayLimit));
                QCOMPARE(s.ratio, 3.0);
                const auto got =
                    wpm::speedsOf(s.dashMillis, s.dashMillis / s.ratio, s.delayLimit, s.gapRepeats);
                const QString where = QString("%1/%2 gave %3/%4")
                                          .arg(character)
                                          .arg(effective)
                                          .arg(got.character)
                                          .arg(got.effective);
                QVERIFY2(qAbs(got.character / character - 1) < 0.02, qPrintable(where));
                QVERIFY2(qAbs(got.effective / effective - 1) < 0.02, qPrintable(where));
            }
        }
    }
};

QTEST_GUILESS_MAIN(WpmTest)
#include "test_wpm.moc"
