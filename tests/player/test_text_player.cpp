#include "player_test_support.h"

#include <QTest>
#include <QTextEdit>
#include <cstdint>

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
const QString kAllThreeWords = ".- -... / -.-. -.. / . ..-. --. /";

// A pause at a yield and what it leaves, then the click that takes the text up and what follows.
struct PauseCase {
    long pauseAt;
    QString morsePaused, displayPaused;
    int wordsPaused;
    Control then;
    QString morseAfter, displayAfter;
    int wordsAfter;
};
} // namespace
Q_DECLARE_METATYPE(PauseCase)

class TextPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void playsWordByWord_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("morse");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("words");
        const auto row = [](const char* name, const char* text, const char* morse,
                            const char* display, int words) {
            QTest::newRow(name) << QString(text) << QString(morse) << QString(display) << words;
        };
        row("two words", "it is", ".. - / .. ... /", "it is ", 2);
        row("lower case sent as capitals, shown as typed", "Ok", "--- -.- /", "Ok ", 1);
        row("punctuation and a tab inside one word", "no,\tgo?", "-. --- --..-- x --. --- ..--.. /",
            "no,\tgo? ", 1);
        row("accented letter is one character", "café 5", "-.-. .- ..-. x / ..... /", "café 5 ", 2);
        row("empty text", "", "", "", 0);
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

        QCOMPARE(b.played(), heard(morse));
        QCOMPARE(b.shown(Control::Command6), display);
        QCOMPARE(b.f.state().wordsPlayed, words);
        // Label5 is written only when a word has been played; the window starts it empty.
        QCOMPARE(b.shown(Control::Label5), words == 0 ? QString() : QString::number(words));
        QCOMPARE(b.shown(Control::Label4), QString(" %1 PERKATAAN SEMUANYA").arg(words));
        QCOMPARE(b.f.state().playMode, PlayMode::Text);
        QVERIFY(b.f.form().isEnabled(Control::Command19));
        QVERIFY(b.f.form().isEnabled(Control::Command20));
        // What has been played shows on the display line only: the box is neither changed nor
        // selected in, and its caret stays where the learner left it.
        QCOMPARE(b.shown(Control::rtf), text);
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
        QTest::newRow("30") << 30 << " ";
    }
    void displayLineStartsAfreshAfterFifteenWords() {
        QFETCH(int, words);
        QFETCH(QString, display);
        PlayerBench b(QString("e ").repeated(words).toStdString());
        b.f.click(Control::Command5);
        QCOMPARE(b.shown(Control::Command6), display);
        QCOMPARE(b.shown(Control::Label5), QString::number(words));
        QCOMPARE(b.f.trace().tones().size(), static_cast<std::size_t>(words));
    }

    // Pause at a yield of a Go run with continuous play, then Jalan (Command20) resumes where the
    // text was left and moves on to the next file at its end; Go instead plays the whole text
    // afresh with the pause still pending, so its end does not move on.
    void pauseThenResumeOrGo_data() {
        QTest::addColumn<PauseCase>("c");
        const Control jalan = Control::Command20;
        QTest::newRow("3rd word after its 2nd character")
            << PauseCase{12, "/", "ab cd ef ", 3, jalan, "--. /", "ab cd ef g ", 4};
        QTest::newRow("3rd word after its 1st character")
            << PauseCase{11, "/", "ab cd e ", 3, jalan, "..-. --. /", "ab cd e fg ", 4};
        QTest::newRow("after the last character of a word")
            << PauseCase{13, "/", "ab cd efg ", 3, jalan, "/", "ab cd efg  ", 4};
        QTest::newRow("between two words")
            << PauseCase{9, "", "ab cd ", 2, jalan, "/ . ..-. --. /", "ab cd  efg ", 4};
        QTest::newRow("before the first character of the text")
            << PauseCase{2, "/", " ", 1, jalan, kAllThreeWords, " ab cd efg ", 4};
        QTest::newRow("then Go") << PauseCase{
            6, "/", "ab  ", 2, Control::Command5, kAllThreeWords, "ab cd efg ", 3};
    }
    void pauseThenResumeOrGo() {
        QFETCH(PauseCase, c);
        PlayerBench b(kThreeWords, 1);
        b.clickAtYield(c.pauseAt, Control::Command20);
        b.f.click(Control::Command5);
        QCOMPARE(b.played(), heard(c.morsePaused));
        QCOMPARE(b.shown(Control::Command6), c.displayPaused);
        QCOMPARE(b.f.state().wordsPlayed, c.wordsPaused);
        QCOMPARE(b.shown(Control::Command20), QString("Jalan"));
        QCOMPARE(b.f.state().pausedFlag, 1);
        QCOMPARE(b.library.calls, 0); // a pause is not the end of the text

        b.settle();
        b.f.click(c.then);
        const bool resumed = c.then == Control::Command20;
        QCOMPARE(b.played(), heard(c.morseAfter));
        QCOMPARE(b.shown(Control::Command6), c.displayAfter);
        QCOMPARE(b.shown(Control::Label5), QString::number(c.wordsAfter));
        QCOMPARE(b.shown(Control::Command20), QString("Pause"));
        QCOMPARE(b.f.state().pausedFlag, resumed ? 0 : 1);
        QCOMPARE(b.library.calls, resumed ? 1 : 0);
    }

    void pauseInAResumedRun_data() {
        QTest::addColumn<Control>("then");
        QTest::addColumn<QString>("morse");
        QTest::addColumn<QString>("display");
        QTest::newRow("then resume: the word goes on")
            << Control::Command20 << "..-. --. /" << QString("ab  cd e fg ");
        // Unlike a pause in a Go run, this one leaves no pending pause behind: the new run's end
        // moves on to the next file.
        QTest::newRow("then Go: the next file follows")
            << Control::Command5 << kAllThreeWords << QString("ab cd efg ");
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
        QCOMPARE(b.played(), heard("/"));
        QCOMPARE(b.shown(Control::Command6), QString("ab  cd e "));
        QCOMPARE(b.shown(Control::Command20), QString("Jalan"));
        QCOMPARE(b.library.calls, 0);

        b.settle();
        b.f.click(then);
        QCOMPARE(b.played(), heard(morse));
        QCOMPARE(b.shown(Control::Command6), display);
        QCOMPARE(b.shown(Control::Command20), QString("Pause"));
        QCOMPARE(b.library.calls, 1);
    }

    void pauseAfterTheEndThenResume_data() {
        QTest::addColumn<int>("continuousPlay");
        QTest::newRow("continuous play") << 1;
        QTest::newRow("single text") << 0;
    }
    void pauseAfterTheEndThenResume() {
        QFETCH(int, continuousPlay);
        PlayerBench b("mu ka", continuousPlay); // the end of this text finds no next file
        b.f.click(Control::Command5);
        const int callsAtTheEnd = b.library.calls;
        b.f.click(Control::Command20);
        QCOMPARE(b.shown(Control::Command20), QString("Jalan"));
        b.f.trace().clear();
        b.f.click(Control::Command20);
        QCOMPARE(b.played(), QString());
        QCOMPARE(b.shown(Control::Command6), QString("mu ka "));
        QCOMPARE(b.f.state().wordsPlayed, 2);
        QCOMPARE(b.library.calls - callsAtTheEnd, continuousPlay); // asks again only if it may
    }

    // Stop (Command19) at a yield: the text is gone, continuous play off, and nothing follows
    // but the gap of the character in hand. At 0 Stop comes while the run is paused at 6.
    void stop_data() {
        QTest::addColumn<long>("stopAt");
        QTest::addColumn<QString>("morseAfterStop");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("wordsPlayed");
        QTest::newRow("before the first word") << 1L << "" << QString() << 0;
        QTest::newRow("in a word") << 7L << "/" << QString(" ") << 1;
        QTest::newRow("before the first character of a word") << 6L << "/" << QString(" ") << 1;
        QTest::newRow("after the last character of a word") << 8L << "/" << QString(" ") << 1;
        QTest::newRow("between two words") << 9L << "" << QString() << 0;
        QTest::newRow("while paused gives the pause up") << 0L << "" << QString() << 0;
    }
    void stop() {
        QFETCH(long, stopAt);
        QFETCH(QString, morseAfterStop);
        QFETCH(QString, display);
        QFETCH(int, wordsPlayed);
        PlayerBench b(kThreeWords, 1);
        b.library.readyCalls = 5;
        b.clickAtYield(stopAt == 0 ? 6 : stopAt,
                       stopAt == 0 ? Control::Command20 : Control::Command19);
        b.f.click(Control::Command5);
        if (stopAt == 0) {
            b.settle();
            b.f.click(Control::Command19);
        }
        QCOMPARE(b.played(), heard(morseAfterStop));
        QCOMPARE(b.shown(Control::rtf), QString());
        QCOMPARE(b.shown(Control::Command6), display);
        QCOMPARE(b.f.state().wordsPlayed, wordsPlayed);
        QCOMPARE(b.f.state().wordCount, 0);
        QCOMPARE(b.shown(Control::Label4), QString(" 0 PERKATAAN SEMUANYA"));
        QCOMPARE(b.f.state().continuousPlay, 0);
        QCOMPARE(b.library.calls, 0);
        QCOMPARE(b.shown(Control::Command20), QString("Pause"));
        QVERIFY(!b.f.form().isEnabled(Control::Command20));
        QVERIFY(b.f.form().isEnabled(Control::Command19));
    }

    void skipFinishesTheWordThenEndsTheText_data() {
        QTest::addColumn<long>("skipAt");
        QTest::addColumn<int>("continuousPlay");
        QTest::addColumn<QString>("morseAfterSkip");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("nextFiles");
        // With continuous play the next file, the single word "t", follows at once.
        QTest::newRow("before the first character of the first word")
            << 2L << 1 << ".- -... / - /" << QString("t ") << 2;
        QTest::newRow("in the first word") << 3L << 1 << "-... / - /" << QString("t ") << 2;
        QTest::newRow("in the second word, single text")
            << 7L << 0 << "-.. /" << QString("ab cd ") << 0;
        QTest::newRow("in the last word") << 12L << 1 << "--. / - /" << QString("t ") << 2;
        QTest::newRow("between two words") << 5L << 1 << "- /" << QString("t ") << 2;
        QTest::newRow("before the first word, single text") << 1L << 0 << "" << QString() << 0;
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
        QCOMPARE(b.played(), heard(morseAfterSkip));
        QCOMPARE(b.shown(Control::Command6), display);
        QCOMPARE(b.library.calls, nextFiles);
    }

    void pauseButtonIgnoresRandomGroups() {
        // The same run with and without clicks on Pause: a fresh window always draws the same
        // groups, so any difference would be the click's doing.
        const auto groupRun = [](bool clickPause) {
            FormFixture f;
            f.setDefaultKeying();
            f.trainer().groups.fillSymbols();
            f.setText(Control::Text2, "3");
            f.setText(Control::Text3, "2");
            f.form().setYieldHook([&f, clickPause](long n) {
                if (clickPause && (n == 3 || n == 6))
                    f.click(Control::Command20);
            });
            f.click(Control::Command3);
            return f.trace().text() + " | " + f.text(Control::Command20);
        };
        const std::string plain = groupRun(false);
        QVERIFY(plain.find("700x") != std::string::npos);
        QCOMPARE(groupRun(true), plain);
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
        b.f.state().playMode = static_cast<PlayMode>(playMode);
        b.f.state().wordIndex = 2;
        b.f.state().pausedIndex = 1;
        b.f.form().setEnabled(Control::Command20, true);
        b.f.setText(Control::Command20, caption.toStdString());
        b.f.click(Control::Command20);
        QCOMPARE(b.shown(Control::Command20), caption);
        QCOMPARE(b.f.state().wordIndex, 2);
        QCOMPARE(b.f.state().pausedIndex, 1.0);
        QCOMPARE(b.f.state().pausedFlag, 0);
        QCOMPARE(b.played(), QString());
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
        b.atYield(closeAt, [&b] { b.f.form().close(); });
        b.f.click(Control::Command5);
        QCOMPARE(b.played(), QString());
        QCOMPARE(b.shown(Control::Command6), display);
        QCOMPARE(b.library.calls, 0);
    }

    // Each next text starts from the same stack depth, not from inside the last one's run.
    void continuousPlayDoesNotGrowWithTheTexts() {
        constexpr int kTexts = 10000;
        PlayerBench b("e", 1);
        b.f.state().delayLimit = 0;
        b.library.readyCalls = kTexts;
        std::uintptr_t firstFrame = 0;
        std::uintptr_t lastFrame = 0;
        int textsHeardWhole = 0;
        b.library.load = [&] {
            const int marker = b.library.calls;
            lastFrame = reinterpret_cast<std::uintptr_t>(&marker);
            firstFrame = firstFrame == 0 ? lastFrame : firstFrame;
            // Each text, a single letter, is heard whole before the next one is asked for.
            textsHeardWhole += b.f.trace().tones().size() == 1 ? 1 : 0;
            b.f.trace().clear();
            b.f.setText(Control::rtf, b.library.calls % 2 == 0 ? "e" : "t");
        };
        b.f.click(Control::Command5);
        QCOMPARE(b.library.calls, kTexts + 1);
        QCOMPARE(textsHeardWhole, kTexts);
        QCOMPARE(lastFrame, firstFrame);
    }

    void clickWaitsAtMostOneCharacterAndItsGap() {
        // Clicks are handled in the yields only, so the longest wait for Pause, Stop or Skip is
        // the longest sound between two yields.
        PlayerBench b("AZ09 .,?/=- 0");
        std::size_t tonesSeen = 0;
        int unitsSeen = 0;
        int longestTone = 0;
        int longestUnits = 0;
        int longestSilence = 0;
        b.f.form().setYieldHook([&](long) {
            const auto tones = b.f.trace().tones();
            const int newTones = static_cast<int>(tones.size() - tonesSeen);
            const int newUnits = b.f.trace().delayUnits() - unitsSeen;
            int toneMillis = 0;
            for (; tonesSeen < tones.size(); ++tonesSeen)
                toneMillis += tones[tonesSeen].ms;
            unitsSeen += newUnits;
            QVERIFY(newTones <= 6); // ".", ",", "?" and "-" have six elements
            // A stretch with a tone is a single character: its elements, their units and its gap.
            QVERIFY(newTones > 0 ? newUnits == newTones + 12 : newUnits == 0 || newUnits == 24);
            if (toneMillis > longestTone) {
                longestTone = toneMillis;
                longestUnits = newUnits;
            }
            if (newTones == 0)
                longestSilence = std::max(longestSilence, newUnits);
        });
        b.f.click(Control::Command5);
        QCOMPARE(longestTone, 5 * 250); // the digit 0: five dashes
        QCOMPARE(longestUnits, 5 + 12);
        QCOMPARE(longestSilence, 24); // the word gap
    }
};

QTEST_MAIN(TextPlayerTest)
#include "test_text_player.moc"
