#include "form_fixture.h"

#include "core/number_text.h"

#include <QLineEdit>
#include <QTest>

// The speed and pitch controls as the learner uses them: what they change in the engine and
// which numbers and settings boxes show the change.
class SpeedPitchTest : public QObject {
    Q_OBJECT
private slots:
    void activationFromStoredSettings_data() {
        QTest::addColumn<QString>("dash");
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<int>("slider");
        QTest::addColumn<double>("dot");
        QTest::addColumn<QString>("yellow");
        QTest::newRow("defaults") << "250"
                                  << "2.8" << 250 << 250 / 2.8 << "250";
        QTest::newRow("dash rounds half to even") << "120.5"
                                                  << "2" << 120 << 60.0 << "120";
        QTest::newRow("dash beyond the slider is refused") << "5000"
                                                           << "2.8" << 200 << 200 / 2.8 << "200";
        QTest::newRow("negative dash is refused") << "-3"
                                                  << "4" << 200 << 50.0 << "200";
        QTest::newRow("no dash stored") << ""
                                        << "2.8" << 0 << 0.0 << "0";
        QTest::newRow("ratio of letters keeps the dot") << "300"
                                                        << "abc" << 300 << 0.0 << "300";
        QTest::newRow("ratio of zero keeps the dot") << "300"
                                                     << "0" << 300 << 0.0 << "300";
    }
    void activationFromStoredSettings() {
        QFETCH(QString, dash);
        QFETCH(QString, ratio);
        QFETCH(int, slider);
        QFETCH(double, dot);
        QFETCH(QString, yellow);
        FormFixture f;
        f.setText(Control::Text5, dash.toStdString());
        f.setText(Control::Text7, ratio.toStdString());
        f.state().dotMillis = 0;
        f.trainer().speedPitch.activateLengths();
        QCOMPARE(f.form().sliderPosition(), slider);
        QCOMPARE(f.state().dashMillis, slider);
        QCOMPARE(f.state().dotMillis, dot);
        QCOMPARE(QString::fromStdString(f.text(Control::Label7)), yellow);
        QCOMPARE(f.state().gapRepeats, 3);
    }

    void pitchAndDelayFromStoredSettings() {
        FormFixture f;
        f.setText(Control::Text6, "650");
        f.setText(Control::Text4, "2750.5");
        f.trainer().speedPitch.activatePitchAndDelay();
        QCOMPARE(f.state().toneFrequency, 650.0);
        QCOMPARE(f.state().delayLimit, 2750.5);
        QCOMPARE(f.text(Control::Label6), std::string("2750.5"));
    }

    void sliderSetsDashAndDot() {
        FormFixture f;
        f.setDefaultKeying();
        f.form().setSliderPosition(300);
        QCOMPARE(f.state().dashMillis, 300);
        QCOMPARE(f.state().dotMillis, 300 / 2.8);
        QCOMPARE(f.text(Control::Label7), std::string("300"));
        QCOMPARE(f.text(Control::Text5), std::string("300"));
        f.setText(Control::Text7, "");
        f.form().setSliderPosition(150);
        QCOMPARE(f.state().dashMillis, 150);
        QCOMPARE(f.state().dotMillis, 300 / 2.8); // no ratio: the dot stays
        QCOMPARE(f.text(Control::Text5), std::string("150"));
    }

    void ratioTypedByTheLearner() {
        FormFixture f;
        f.setDefaultKeying();
        auto* ratio = f.form().findChild<QLineEdit*>("Text7");
        ratio->selectAll();
        QTest::keyClick(ratio, Qt::Key_Backspace);
        QCOMPARE(f.state().dotMillis, 250 / 2.8);
        QTest::keyClicks(ratio, "3");
        QCOMPARE(f.state().dotMillis, 250 / 3.0);
        QTest::keyClicks(ratio, "2345"); // the box holds four characters at most
        QCOMPARE(f.text(Control::Text7), std::string("3234"));
    }

    void fasterCyclesTheGapAndShortensTheUnit() {
        FormFixture f;
        f.setDefaultKeying();
        const struct {
            int repeats;
            const char* limit;
        } steps[] = {{2, "2900"}, {1, "2800"}, {3, "2700"}};
        for (const auto& step : steps) {
            f.click(Control::Command10);
            QCOMPARE(f.state().gapRepeats, step.repeats);
            QCOMPARE(f.text(Control::Label6), std::string(step.limit));
            QCOMPARE(f.text(Control::Text4), std::string(step.limit));
        }
    }

    void slowerAddsARepeatAndLengthensTheUnit() {
        FormFixture f;
        f.setDefaultKeying();
        f.click(Control::Command9);
        QCOMPARE(f.state().gapRepeats, 4);
        QCOMPARE(f.state().delayLimit, 3100.0);
        QCOMPARE(f.text(Control::Text4), std::string("3100"));
    }

    void fasterBelowZeroRemovesTheSilence() {
        FormFixture f;
        f.setText(Control::Text4, "150");
        f.trainer().speedPitch.activatePitchAndDelay();
        f.click(Control::Command10);
        f.click(Control::Command10);
        QCOMPARE(f.text(Control::Label6), std::string("-50"));
        f.trace().clear();
        f.trainer().keyer.delayUnit();
        QCOMPARE(f.trace().iterations(), std::vector<long long>{0});
    }

    void pitchButtons() {
        FormFixture f;
        f.setDefaultKeying();
        f.click(Control::Command7);
        QCOMPARE(f.text(Control::Text6), std::string("710"));
        f.trainer().keyer.sendDot();
        QCOMPARE(f.trace().tones().back().hz, 710);
        f.click(Control::Command8);
        f.click(Control::Command8);
        QCOMPARE(f.text(Control::Text6), std::string("690"));
    }

    void pitchButtonAfterFunToneStartsFromTheRandomPitch() {
        FormFixture f;
        f.setDefaultKeying();
        f.click(Control::Check1);
        f.trainer().keyer.sendDot();
        const double random = f.state().toneFrequency;
        f.click(Control::Command7);
        const std::string box = f.text(Control::Text6);
        QCOMPARE(numtext::leadingNumber(box), random + 10);
        QVERIFY2(box.find('.') != std::string::npos, box.c_str()); // a fractional pitch
    }
};

QTEST_MAIN(SpeedPitchTest)
#include "test_speed_pitch.moc"
