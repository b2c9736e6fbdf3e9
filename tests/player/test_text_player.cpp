#include "form_fixture.h"
#include "player_test_support.h"

#include <QTest>
#include <QTextEdit>
#include <cstdint>
#include <fstream>
#include <unistd.h>

// The text player as the learner meets it: what is heard, what the display line and the
// counters show, and how Pause, Stop, Skip and the end of a text act on a running text. Clicks
// land in a chosen yield of the running loop, as they would between two characters.
//
// With a text of words of lengths L1, L2, ... a run yields once before each word, once before
// each character and once more when the word has no character left: word w starts at yield
// 1 + (L1 + 2) + ... + (Lw-1 + 2), and its character c is taken after yield (start of w) + c.
// For "ab cd efg": word 1 at 1 (a 2, b 3, end 4), word 2 at 5 (c 6, d 7, end 8), word 3 at 9
// (e 10, f 11, g 12, end 13), end of text at 14.
Q_DECLARE_METATYPE(Control)

namespace {

const char* const kThreeWords = "ab cd efg";

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A window with the default keying, a text in the box and a stand-in for the library.
struct PlayerBench {
    explicit PlayerBench(const std::string& text, int continuousPlay = 0) {
        f.setDefaultKeying();
        f.setText(Control::rtf, text);
        f.state().continuousPlay = continuousPlay;
        f.trainer().player.setNextFileStep(&library);
    }
    // Clicks `control` in the k-th yield; the trace then holds only what was played after it.
    void clickAtYield(long k, Control control) {
        f.form().setYieldHook([this, k, control](long n) {
            if (n != k)
                return;
            f.click(control);
            f.trace().clear();
        });
    }
    std::string after() { return f.trace().text(); }

    FormFixture f;
    CountingNextFile library;
};

long residentKilobytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE) / 1024;
}

} // namespace

class TextPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void playsWordByWord_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("morse");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("words");

        QTest::newRow("two words") << "it is"
                                   << ".. - / .. ... /"
                                   << "it is " << 2;
        QTest::newRow("line breaks and runs of blanks") << "  me\r\n\r\n  to   "
                                                        << "-- . / - --- /"
                                                        << "me to " << 2;
        QTest::newRow("lower case sent as capitals, shown as typed") << "Ok"
                                                                     << "--- -.- /"
                                                                     << "Ok " << 1;
        QTest::newRow("punctuation and a tab inside one word") << "no,\tgo?"
                                                               << "-. --- --..-- x --. --- ..--.. /"
                                                               << "no,\tgo? " << 1;
        QTest::newRow("apostrophe sounds as its gap only") << "l'un"
                                                           << ".-.. x ..- -. /"
                                                           << "l'un " << 1;
        QTest::newRow("accented letter is one character") << "café 5"
                                                          << "-.-. .- ..-. x / ..... /"
                                                          << "café 5 " << 2;
        QTest::newRow("empty text") << ""
                                    << ""
                                    << "" << 0;
        QTest::newRow("separators only") << " \r\n  \r\n"
                                         << ""
                                         << "" << 0;
    }
    void playsWordByWord() {
        QFETCH(QString, text);
        QFETCH(QString, morse);
        QFETCH(QString, display);
        QFETCH(int, words);
        PlayerBench b(text.toStdString());
        b.f.setText(Control::Command6, "left from before");
        auto* box = qobject_cast<QTextEdit*>(b.f.form().widget(Control::rtf));
        QTextCursor caret = box->textCursor();
        caret.setPosition(std::min(1, static_cast<int>(text.size())));
        box->setTextCursor(caret);
        b.f.click(Control::Command5);

        QCOMPARE(qs(b.f.trace().text()), qs(heard(morse.toStdString())));
        QCOMPARE(qs(b.f.text(Control::Command6)), display);
        QCOMPARE(b.f.state().wordsPlayed, words);
        // Label5 is written only when a word has been played; the window starts it empty.
        QCOMPARE(qs(b.f.text(Control::Label5)), words == 0 ? QString() : QString::number(words));
        QCOMPARE(qs(b.f.text(Control::Label4)), QString(" %1 PERKATAAN SEMUANYA").arg(words));
        QCOMPARE(b.f.state().playMode, 1);
        QVERIFY(b.f.form().isEnabled(Control::Command19));
        QVERIFY(b.f.form().isEnabled(Control::Command20));
        // What has been played shows on the display line only: the box is neither changed nor
        // selected in, and its caret stays where the learner left it.
        QCOMPARE(qs(b.f.text(Control::rtf)), text);
        QVERIFY(!box->textCursor().hasSelection());
        QCOMPARE(box->textCursor().position(), caret.position());
        QCOMPARE(b.library.calls, 0);
    }

    void displayLineStartsAfreshAfterFifteenWords_data() {
        QTest::addColumn<int>("words");
        QTest::addColumn<QString>("display");
        QTest::newRow("14") << 14 << QString("e ").repeated(14);
        QTest::newRow("15") << 15 << " ";
        QTest::newRow("16") << 16 << " e ";
        QTest::newRow("29") << 29 << " " + QString("e ").repeated(14);
        QTest::newRow("30") << 30 << " ";
        QTest::newRow("32") << 32 << " e e ";
    }
    void displayLineStartsAfreshAfterFifteenWords() {
        QFETCH(int, words);
        QFETCH(QString, display);
        PlayerBench b(QString("e ").repeated(words).toStdString());
        b.f.click(Control::Command5);
        QCOMPARE(qs(b.f.text(Control::Command6)), display);
        QCOMPARE(qs(b.f.text(Control::Label5)), QString::number(words));
        QCOMPARE(b.f.trace().tones().size(), static_cast<std::size_t>(words));
    }

    void pauseThenResume_data() {
        QTest::addColumn<long>("pauseAt");
        QTest::addColumn<QString>("morseUntilSilent");
        QTest::addColumn<QString>("displayPaused");
        QTest::addColumn<int>("wordsPaused");
        QTest::addColumn<QString>("morseResumed");
        QTest::addColumn<QString>("displayResumed");
        QTest::addColumn<int>("wordsResumed");

        QTest::newRow("3rd word after its 2nd character") << 12L << "/"
                                                          << "ab cd ef " << 3 << "--. /"
                                                          << "ab cd ef g " << 4;
        QTest::newRow("3rd word after its 1st character") << 11L << "/"
                                                          << "ab cd e " << 3 << "..-. --. /"
                                                          << "ab cd e fg " << 4;
        QTest::newRow("after the last character of a word") << 13L << "/"
                                                            << "ab cd efg " << 3 << "/"
                                                            << "ab cd efg  " << 4;
        QTest::newRow("between two words") << 9L << ""
                                           << "ab cd " << 2 << "/ . ..-. --. /"
                                           << "ab cd  efg " << 4;
        QTest::newRow("before the first character of the text")
            << 2L << "/"
            << " " << 1 << ".- -... / -.-. -.. / . ..-. --. /"
            << " ab cd efg " << 4;
    }
    void pauseThenResume() {
        QFETCH(long, pauseAt);
        QFETCH(QString, morseUntilSilent);
        QFETCH(QString, displayPaused);
        QFETCH(int, wordsPaused);
        QFETCH(QString, morseResumed);
        QFETCH(QString, displayResumed);
        QFETCH(int, wordsResumed);
        PlayerBench b(kThreeWords, 1);
        b.clickAtYield(pauseAt, Control::Command20);
        b.f.click(Control::Command5);

        QCOMPARE(qs(b.after()), qs(heard(morseUntilSilent.toStdString())));
        QCOMPARE(qs(b.f.text(Control::Command6)), displayPaused);
        QCOMPARE(b.f.state().wordsPlayed, wordsPaused);
        QCOMPARE(qs(b.f.text(Control::Command20)), QString("Jalan"));
        QCOMPARE(b.f.state().pausedFlag, 1);
        QCOMPARE(b.library.calls, 0); // a pause is not the end of the text

        b.f.trace().clear();
        b.f.click(Control::Command20);
        QCOMPARE(qs(b.f.trace().text()), qs(heard(morseResumed.toStdString())));
        QCOMPARE(qs(b.f.text(Control::Command6)), displayResumed);
        QCOMPARE(qs(b.f.text(Control::Label5)), QString::number(wordsResumed));
        QCOMPARE(qs(b.f.text(Control::Command20)), QString("Pause"));
        QCOMPARE(b.f.state().pausedFlag, 0);
        QCOMPARE(b.library.calls, 1); // the resumed run reached the end: the next file follows
    }

    void pauseInAResumedRun_data() {
        QTest::addColumn<Control>("then");
        QTest::addColumn<QString>("morse");
        QTest::addColumn<QString>("display");
        QTest::newRow("then resume: the word goes on") << Control::Command20 << "..-. --. /"
                                                       << "ab  cd e fg ";
        // Unlike a pause in a Go run, this one leaves no pending pause behind: the new run's end
        // moves on to the next file.
        QTest::newRow("then Go: the next file follows")
            << Control::Command5 << ".- -... / -.-. -.. / . ..-. --. /"
            << "ab cd efg ";
    }
    void pauseInAResumedRun() {
        QFETCH(Control, then);
        QFETCH(QString, morse);
        QFETCH(QString, display);
        PlayerBench b(kThreeWords, 1);
        b.clickAtYield(6, Control::Command20); // before c; the paused run's last yield is 7
        b.f.click(Control::Command5);
        // The resumed run takes up word 2 at yield 8: c 9, d 10, end 11, word 3 at 12, e 13, and
        // is paused again before f.
        b.clickAtYield(14, Control::Command20);
        b.f.click(Control::Command20);
        QCOMPARE(qs(b.after()), qs(heard("/")));
        QCOMPARE(qs(b.f.text(Control::Command6)), QString("ab  cd e "));
        QCOMPARE(qs(b.f.text(Control::Command20)), QString("Jalan"));
        QCOMPARE(b.library.calls, 0);

        b.f.form().setYieldHook({});
        b.f.trace().clear();
        b.f.click(then);
        QCOMPARE(qs(b.f.trace().text()), qs(heard(morse.toStdString())));
        QCOMPARE(qs(b.f.text(Control::Command6)), display);
        QCOMPARE(qs(b.f.text(Control::Command20)), QString("Pause"));
        QCOMPARE(b.library.calls, 1);
    }

    void pauseAfterTheEndThenResume_data() {
        QTest::addColumn<int>("continuousPlay");
        QTest::addColumn<int>("nextFiles");
        QTest::newRow("continuous play") << 1 << 1;
        QTest::newRow("single text") << 0 << 0;
    }
    void pauseAfterTheEndThenResume() {
        QFETCH(int, continuousPlay);
        QFETCH(int, nextFiles);
        PlayerBench b("mu ka", continuousPlay);
        b.library.readyCalls = 0; // the end of this text finds no next file
        b.f.click(Control::Command5);
        const int callsAtTheEnd = b.library.calls;
        b.f.click(Control::Command20);
        QCOMPARE(qs(b.f.text(Control::Command20)), QString("Jalan"));
        b.f.trace().clear();
        b.f.click(Control::Command20);
        QCOMPARE(qs(b.f.trace().text()), QString());
        QCOMPARE(qs(b.f.text(Control::Command6)), QString("mu ka "));
        QCOMPARE(b.f.state().wordsPlayed, 2);
        QCOMPARE(b.library.calls - callsAtTheEnd, nextFiles);
    }

    void pauseThenGoPlaysTheWholeTextWithoutNextFile() {
        PlayerBench b(kThreeWords, 1);
        b.library.readyCalls = 5;
        b.clickAtYield(6, Control::Command20);
        b.f.click(Control::Command5);
        b.f.form().setYieldHook({});
        b.f.trace().clear();

        b.f.click(Control::Command5);
        QCOMPARE(qs(b.f.trace().text()), qs(heard(".- -... / -.-. -.. / . ..-. --. /")));
        QCOMPARE(qs(b.f.text(Control::Command6)), QString("ab cd efg "));
        QCOMPARE(qs(b.f.text(Control::Label5)), QString("3"));
        QCOMPARE(qs(b.f.text(Control::Command20)), QString("Pause"));
        QCOMPARE(b.f.state().pausedFlag, 1);
        QCOMPARE(b.library.calls, 0);
    }

    void stopDuringPlayback_data() {
        QTest::addColumn<long>("stopAt");
        QTest::addColumn<QString>("morseAfterStop");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("wordsPlayed");
        QTest::newRow("before the first word") << 1L << ""
                                               << "" << 0;
        QTest::newRow("in a word") << 7L << "/"
                                   << " " << 1;
        QTest::newRow("before the first character of a word") << 6L << "/"
                                                              << " " << 1;
        QTest::newRow("after the last character of a word") << 8L << "/"
                                                            << " " << 1;
        QTest::newRow("between two words") << 9L << ""
                                           << "" << 0;
    }
    void stopDuringPlayback() {
        QFETCH(long, stopAt);
        QFETCH(QString, morseAfterStop);
        QFETCH(QString, display);
        QFETCH(int, wordsPlayed);
        PlayerBench b(kThreeWords, 1);
        b.library.readyCalls = 5;
        b.clickAtYield(stopAt, Control::Command19);
        b.f.click(Control::Command5);

        QCOMPARE(qs(b.after()), qs(heard(morseAfterStop.toStdString())));
        QCOMPARE(qs(b.f.text(Control::rtf)), QString());
        QCOMPARE(qs(b.f.text(Control::Command6)), display);
        QCOMPARE(b.f.state().wordsPlayed, wordsPlayed);
        QCOMPARE(qs(b.f.text(Control::Label4)), QString(" 0 PERKATAAN SEMUANYA"));
        QCOMPARE(b.f.state().continuousPlay, 0);
        QCOMPARE(b.library.calls, 0);
        QVERIFY(!b.f.form().isEnabled(Control::Command20));
        QVERIFY(b.f.form().isEnabled(Control::Command19));
    }

    void stopWhilePausedGivesThePauseUp() {
        PlayerBench b(kThreeWords);
        b.clickAtYield(6, Control::Command20);
        b.f.click(Control::Command5);
        b.f.form().setYieldHook({});
        b.f.trace().clear();
        b.f.click(Control::Command19);
        QCOMPARE(qs(b.f.text(Control::Command20)), QString("Pause"));
        QVERIFY(!b.f.form().isEnabled(Control::Command20));
        QCOMPARE(qs(b.f.trace().text()), QString());
        QCOMPARE(b.f.state().wordCount, 0);
    }

    void skipFinishesTheWordThenEndsTheText_data() {
        QTest::addColumn<long>("skipAt");
        QTest::addColumn<int>("continuousPlay");
        QTest::addColumn<QString>("morseAfterSkip");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("nextFiles");
        // With continuous play the next file, the single word "t", follows at once.
        QTest::newRow("before the first character of the first word") << 2L << 1 << ".- -... / - /"
                                                                      << "t " << 2;
        QTest::newRow("in the first word") << 3L << 1 << "-... / - /"
                                           << "t " << 2;
        QTest::newRow("in the second word, single text") << 7L << 0 << "-.. /"
                                                         << "ab cd " << 0;
        QTest::newRow("in the last word") << 12L << 1 << "--. / - /"
                                          << "t " << 2;
        QTest::newRow("between two words") << 5L << 1 << "- /"
                                           << "t " << 2;
        QTest::newRow("before the first word, single text") << 1L << 0 << ""
                                                            << "" << 0;
    }
    void skipFinishesTheWordThenEndsTheText() {
        QFETCH(long, skipAt);
        QFETCH(int, continuousPlay);
        QFETCH(QString, morseAfterSkip);
        QFETCH(QString, display);
        QFETCH(int, nextFiles);
        PlayerBench b(kThreeWords, continuousPlay);
        b.library.readyCalls = 1;
        b.library.load = [&b] { b.f.setText(Control::rtf, "t"); };
        b.clickAtYield(skipAt, Control::Command6);
        b.f.click(Control::Command5);

        QCOMPARE(qs(b.after()), qs(heard(morseAfterSkip.toStdString())));
        QCOMPARE(qs(b.f.text(Control::Command6)), display);
        QCOMPARE(b.library.calls, nextFiles);
    }

    void skipEndsARandomWordsRun() {
        PlayerBench b("kata");
        b.f.state().scanPos = 37;
        b.f.click(Control::Command6);
        QCOMPARE(b.f.state().groupCounter, 37.0);
    }

    void pauseButtonIgnoresRandomGroups() {
        // The same run with and without clicks on Pause: a fresh window always draws the same
        // groups, so any difference would be the click's doing.
        auto groupRun = [](bool clickPause) {
            FormFixture f;
            f.setDefaultKeying();
            f.trainer().groups.fillSymbols();
            f.setText(Control::Text2, "3");
            f.setText(Control::Text3, "2");
            if (clickPause)
                f.form().setYieldHook([&f](long n) {
                    if (n == 3 || n == 6)
                        f.click(Control::Command20);
                });
            f.click(Control::Command3);
            return std::make_pair(f.trace().text(), f.text(Control::Command20));
        };
        const auto plain = groupRun(false);
        const auto clicked = groupRun(true);
        QVERIFY(!plain.first.empty());
        QCOMPARE(qs(clicked.first), qs(plain.first));
        QCOMPARE(qs(clicked.second), QString("Pause"));
    }

    void pauseButtonDoesNothingWithoutATextOrWordRun_data() {
        QTest::addColumn<int>("playMode");
        QTest::addColumn<QString>("caption");
        QTest::newRow("nothing started, Pause") << 0 << "Pause";
        QTest::newRow("nothing started, Jalan") << 0 << "Jalan";
        QTest::newRow("groups last, Pause") << 3 << "Pause";
        QTest::newRow("groups last, Jalan") << 3 << "Jalan";
    }
    void pauseButtonDoesNothingWithoutATextOrWordRun() {
        QFETCH(int, playMode);
        QFETCH(QString, caption);
        PlayerBench b(kThreeWords);
        b.f.state().playMode = playMode;
        b.f.state().wordIndex = 2;
        b.f.state().pausedIndex = 1;
        b.f.form().setEnabled(Control::Command20, true);
        b.f.setText(Control::Command20, caption.toStdString());
        b.f.click(Control::Command20);
        QCOMPARE(qs(b.f.text(Control::Command20)), caption);
        QCOMPARE(b.f.state().wordIndex, 2);
        QCOMPARE(b.f.state().pausedIndex, 1.0);
        QCOMPARE(b.f.state().pausedFlag, 0);
        QCOMPARE(qs(b.f.trace().text()), QString());
    }

    void closedWindowEndsTheRun_data() {
        QTest::addColumn<long>("closeAt");
        QTest::addColumn<QString>("display");
        QTest::newRow("before the first word") << 1L << "";
        QTest::newRow("in a word") << 3L << "a";
        QTest::newRow("after the last character of a word") << 4L << "ab";
        QTest::newRow("between two words") << 5L << "ab ";
        QTest::newRow("at the end of the text") << 14L << "ab cd efg ";
    }
    void closedWindowEndsTheRun() {
        QFETCH(long, closeAt);
        QFETCH(QString, display);
        PlayerBench b(kThreeWords, 1);
        b.library.readyCalls = 5;
        b.f.form().setYieldHook([&b, closeAt](long n) {
            if (n != closeAt)
                return;
            b.f.form().close();
            b.f.trace().clear();
        });
        b.f.click(Control::Command5);
        QCOMPARE(qs(b.f.trace().text()), QString());
        QCOMPARE(qs(b.f.text(Control::Command6)), display);
        QCOMPARE(b.library.calls, 0);
    }

    void continuousPlayDoesNotGrowWithTheTexts() {
        constexpr int kTexts = 10000;
        FormFixture f;
        f.setDefaultKeying();
        f.state().delayLimit = 0;
        f.state().continuousPlay = 1;
        f.setText(Control::rtf, "e");
        CountingNextFile library;
        library.readyCalls = kTexts;
        std::uintptr_t firstFrame = 0;
        std::uintptr_t lastFrame = 0;
        long firstKilobytes = 0;
        long lastKilobytes = 0;
        int textsHeardWhole = 0;
        library.load = [&] {
            const int marker = library.calls;
            const auto frame = reinterpret_cast<std::uintptr_t>(&marker);
            if (library.calls == 1) {
                firstFrame = frame;
                firstKilobytes = residentKilobytes();
            }
            lastFrame = frame;
            lastKilobytes = residentKilobytes();
            // Each text, a single letter, is heard whole before the next one is asked for.
            textsHeardWhole += f.trace().tones().size() == 1 ? 1 : 0;
            f.trace().clear();
            f.setText(Control::rtf, library.calls % 2 == 0 ? "e" : "t");
        };
        f.trainer().player.setNextFileStep(&library);
        f.click(Control::Command5);

        QCOMPARE(library.calls, kTexts + 1);
        QCOMPARE(textsHeardWhole, kTexts);
        QCOMPARE(lastFrame, firstFrame);
        qInfo("stack at the 1st and the %dth next file: %+lld bytes; resident memory %ld kB -> %ld "
              "kB",
              kTexts, static_cast<long long>(lastFrame) - static_cast<long long>(firstFrame),
              firstKilobytes, lastKilobytes);
    }

    void clickWaitsAtMostOneCharacterAndItsGap() {
        // Clicks are handled in the yields only, so the longest wait for Pause, Stop or Skip is
        // the longest sound between two yields.
        PlayerBench b("AZ09 .,?/=- 0");
        struct Segment {
            int tones;
            int toneMillis;
            int units;
        };
        std::vector<Segment> segments;
        std::size_t tonesSeen = 0;
        int unitsSeen = 0;
        b.f.form().setYieldHook([&](long) {
            const auto tones = b.f.trace().tones();
            Segment s{static_cast<int>(tones.size() - tonesSeen), 0,
                      b.f.trace().delayUnits() - unitsSeen};
            for (std::size_t i = tonesSeen; i < tones.size(); ++i)
                s.toneMillis += tones[i].ms;
            segments.push_back(s);
            tonesSeen = tones.size();
            unitsSeen = b.f.trace().delayUnits();
        });
        b.f.click(Control::Command5);

        Segment longest{0, 0, 0};
        int longestSilence = 0;
        for (const Segment& s : segments) {
            QVERIFY(s.tones <= 6); // ".", ",", "?" and "-" have six elements
            // A stretch with a tone is a single character: its elements, their units and its gap.
            if (s.tones > 0)
                QCOMPARE(s.units, s.tones + 12);
            else
                QVERIFY(s.units == 0 || s.units == 24);
            if (s.toneMillis > longest.toneMillis)
                longest = s;
            if (s.tones == 0)
                longestSilence = std::max(longestSilence, s.units);
        }
        QCOMPARE(longest.toneMillis, 5 * 250); // the digit 0: five dashes
        QCOMPARE(longest.units, 5 + 12);
        QCOMPARE(longestSilence, 24); // the word gap
        qInfo("longest wait for a click: %d ms of tone and %d delay units; silent stretch %d units",
              longest.toneMillis, longest.units, longestSilence);
    }
};

QTEST_MAIN(TextPlayerTest)
#include "test_text_player.moc"
