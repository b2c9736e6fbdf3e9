#include "form_fixture.h"

#include <QPlainTextEdit>
#include <QTest>
#include <set>

// What the learner hears for each character, element by element, with the window's default
// keying: dot 250 / 2.8 ms played as 89 ms, dash 250 ms, 700 Hz, three gap repeats.
class KeyerTest : public QObject {
    Q_OBJECT

    static std::string expectedTrace(const std::string& code, int gapRepeats) {
        std::string out;
        for (char element : code)
            out += std::string(element == '.' ? "700x89" : "700x250") + " 1U ";
        const int gap = 4 * gapRepeats + (code.empty() ? 0 : 1);
        if (!code.empty())
            out.erase(out.size() - 4); // the element's own unit joins the character gap
        if (gap > 0)
            out += (out.empty() ? "" : " ") + std::to_string(gap) + "U";
        return out;
    }

private slots:
    void everyCharacter_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("code");
        // International Morse code (ITU-R M.1677-1), typed in from the recommendation.
        const char* rows[][2] = {
            {"A", ".-"},     {"B", "-..."},   {"C", "-.-."},   {"D", "-.."},    {"E", "."},
            {"F", "..-."},   {"G", "--."},    {"H", "...."},   {"I", ".."},     {"J", ".---"},
            {"K", "-.-"},    {"L", ".-.."},   {"M", "--"},     {"N", "-."},     {"O", "---"},
            {"P", ".--."},   {"Q", "--.-"},   {"R", ".-."},    {"S", "..."},    {"T", "-"},
            {"U", "..-"},    {"V", "...-"},   {"W", ".--"},    {"X", "-..-"},   {"Y", "-.--"},
            {"Z", "--.."},   {"1", ".----"},  {"2", "..---"},  {"3", "...--"},  {"4", "....-"},
            {"5", "....."},  {"6", "-...."},  {"7", "--..."},  {"8", "---.."},  {"9", "----."},
            {"0", "-----"},  {".", ".-.-.-"}, {",", "--..--"}, {"?", "..--.."}, {"/", "-..-."},
            {"-", "-....-"}, {"=", "-...-"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[0] << row[1];
    }
    void everyCharacter() {
        QFETCH(QString, character);
        QFETCH(QString, code);
        FormFixture f;
        f.setDefaultKeying();
        f.state().currentChar = character.toStdString();
        f.trainer().keyer.sendCharacter();
        QCOMPARE(QString::fromStdString(f.trace().text()),
                 QString::fromStdString(expectedTrace(code.toStdString(), 3)));
    }

    void charactersWithoutCode_data() {
        QTest::addColumn<QString>("character");
        QTest::newRow("lower-case letter") << "a";
        QTest::newRow("blank") << " ";
        QTest::newRow("two characters") << "AB";
        QTest::newRow("empty") << "";
        QTest::newRow("apostrophe") << "'";
        QTest::newRow("carriage return") << "\r";
        QTest::newRow("accented capital") << "É";
    }
    void charactersWithoutCode() {
        QFETCH(QString, character);
        FormFixture f;
        f.setDefaultKeying();
        f.state().currentChar = character.toStdString();
        f.trainer().keyer.sendCharacter();
        QCOMPARE(QString::fromStdString(f.trace().text()), QString("12U"));
    }

    void gapRepeats_data() {
        QTest::addColumn<int>("repeats");
        QTest::addColumn<QString>("trace");
        QTest::newRow("three") << 3 << "700x89 13U";
        QTest::newRow("one") << 1 << "700x89 5U";
        QTest::newRow("none") << 0 << "700x89 1U";
        QTest::newRow("negative") << -1 << "700x89 1U";
        QTest::newRow("many") << 7 << "700x89 29U";
    }
    void gapRepeats() {
        QFETCH(int, repeats);
        QFETCH(QString, trace);
        FormFixture f;
        f.setDefaultKeying();
        f.state().gapRepeats = repeats;
        f.state().currentChar = "E";
        f.trainer().keyer.sendCharacter();
        QCOMPARE(QString::fromStdString(f.trace().text()), trace);
        QCOMPARE(f.state().gapIndex, std::max(repeats, 0) + 1);
    }

    void toneLengthsRound_data() {
        QTest::addColumn<double>("dotMillis");
        QTest::addColumn<int>("played");
        QTest::newRow("250 / 2.8") << 250 / 2.8 << 89;
        QTest::newRow("half to even, down") << 2.5 << 2;
        QTest::newRow("half to even, up") << 3.5 << 4;
        QTest::newRow("below half") << 88.49 << 88;
        QTest::newRow("negative from a negative ratio") << -89.3 << 0;
    }
    void toneLengthsRound() {
        QFETCH(double, dotMillis);
        QFETCH(int, played);
        FormFixture f;
        f.setDefaultKeying();
        f.state().dotMillis = dotMillis;
        f.trainer().keyer.sendDot();
        QCOMPARE(f.trace().tones().at(0).ms, played);
        QCOMPARE(f.trace().delayUnits(), 1);
    }

    void pitchFromTheBox_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("hz");
        QTest::newRow("number") << "440" << 440;
        QTest::newRow("number and unit") << "440 Hz" << 440;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "high" << 0;
        QTest::newRow("fraction rounds to even") << "700.5" << 700;
        QTest::newRow("negative") << "-30" << -30;
    }
    void pitchFromTheBox() {
        QFETCH(QString, box);
        QFETCH(int, hz);
        FormFixture f;
        f.setDefaultKeying();
        f.setText(Control::Text6, box.toStdString());
        f.trainer().keyer.sendDash();
        QCOMPARE(f.trace().tones().at(0).hz, hz);
    }

    void funToneGivesEveryElementItsOwnPitch() {
        FormFixture f;
        f.setDefaultKeying();
        f.click(Control::Check1);
        QVERIFY(f.form().isChecked(Control::Check1));
        f.state().currentChar = "0"; // five dashes
        f.trainer().keyer.sendCharacter();
        f.state().currentChar = "5"; // five dots
        f.trainer().keyer.sendCharacter();
        std::set<int> pitches;
        for (const auto& tone : f.trace().tones()) {
            QVERIFY2(tone.hz >= 20 && tone.hz <= 2020, qPrintable(QString::number(tone.hz)));
            pitches.insert(tone.hz);
        }
        QVERIFY(pitches.size() >= 8);
        // The stored pitch is the last random one, kept in single precision.
        QCOMPARE(f.state().toneFrequency,
                 static_cast<double>(static_cast<float>(f.state().toneFrequency)));

        f.click(Control::Check1);
        f.trace().clear();
        f.trainer().keyer.sendDot();
        QCOMPARE(f.trace().tones().at(0).hz, 700);
    }

    void silenceFollowsTheDelayLimit_data() {
        QTest::addColumn<double>("limit");
        QTest::addColumn<long long>("iterations");
        QTest::newRow("zero") << 0.0 << 0LL;
        QTest::newRow("negative") << -5.0 << 0LL;
        QTest::newRow("fraction runs up") << 2.5 << 3LL;
        QTest::newRow("whole") << 3.0 << 3LL;
    }
    void silenceFollowsTheDelayLimit() {
        QFETCH(double, limit);
        QFETCH(long long, iterations);
        FormFixture f;
        f.state().delayLimit = limit;
        f.trainer().keyer.delayUnit();
        QCOMPARE(f.trace().iterations(), std::vector<long long>{iterations});
        QCOMPARE(static_cast<long long>(f.state().delayCounter), iterations);
    }

    void caretGoesToTheEndOfTheGroupBox() {
        FormFixture f;
        f.setDefaultKeying();
        f.setText(Control::command1, "ABC DE");
        auto* box = f.form().findChild<QPlainTextEdit*>("command1");
        QTextCursor start = box->textCursor();
        start.setPosition(0);
        box->setTextCursor(start);
        f.state().currentChar = "x"; // not in the table: the caret moves all the same
        f.trainer().keyer.sendCharacter();
        QCOMPARE(box->textCursor().position(), 6);
    }
};

QTEST_MAIN(KeyerTest)
#include "test_keyer.moc"
