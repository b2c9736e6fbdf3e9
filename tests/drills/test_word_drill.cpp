#include "core/text_characters.h"
#include "expected_keying.h"
#include "form_fixture.h"

#include <QTest>
#include <map>
#include <vector>

namespace {
// The keying of what the display line showed, with three gap repeats: every character after two
// units per repeat, sent in upper case, and the word gap at each blank.
QString wordKeying(const std::string& shown) {
    ExpectedKeying expected(3);
    for (const std::string& c : textchars::split(shown)) {
        if (c == " ") {
            expected.gap(8);
            continue;
        }
        expected.gap(2);
        expected.character(textchars::upperAscii(c));
    }
    return QString::fromStdString(expected.text());
}

// "ab" and four blanks: a run of seven words, each word taking four yields (the word's own,
// one before each character, and the one that finds the word done).
const std::string kSevenAb = "ab    ";

void startWords(FormFixture& f, const std::string& text) {
    f.setDefaultKeying();
    f.setText(Control::rtf, text);
    f.click(Control::Command12);
}

// The positions drawn, one per word, as the yields of a run see them.
std::vector<int> recordDraws(FormFixture& f) {
    std::map<int, int> byWord;
    f.form().setYieldHook([&](long) {
        if (f.state().groupCounter >= 1)
            byWord[static_cast<int>(f.state().groupCounter)] = f.state().pickIndex;
    });
    f.click(Control::Command12);
    f.form().setYieldHook({});
    std::vector<int> draws;
    for (const auto& entry : byWord)
        draws.push_back(entry.second);
    return draws;
}
} // namespace

// The random words drill, driven through the window.
class WordDrillTest : public QObject {
    Q_OBJECT
private slots:
    void runOverAText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("words");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty text gives one empty word") << "" << 0 << QString(" ");
        QTest::newRow("separators only") << "  \r\n" << 0 << QString("     ");
        QTest::newRow("one word, keyed scanPos times") << "ya" << 1 << QString("ya ya ya ");
        QTest::newRow("keyed upper, shown as typed") << "Qso" << 1 << QString("Qso ").repeated(4);
        QTest::newRow("apostrophe heard as a gap") << "it's" << 1 << QString("it's ").repeated(5);
        QTest::newRow("blanks lengthen the run") << " ok   " << 1 << QString("ok ").repeated(7);
        QTest::newRow("accented letter is one character") << "é" << 1 << QString("é é ");
    }
    void runOverAText() {
        QFETCH(QString, text);
        QFETCH(int, words);
        QFETCH(QString, shown);
        FormFixture f;
        f.form().setVisible(Control::Frame1, true);
        startWords(f, text.toStdString());
        QCOMPARE(QString::fromStdString(f.text(Control::Label4)),
                 QString(" %1 PERKATAAN SEMUANYA").arg(words));
        QCOMPARE(QString::fromStdString(f.text(Control::Command6)), shown);
        QCOMPARE(QString::fromStdString(f.trace().text()), wordKeying(shown.toStdString()));
        QVERIFY(!f.form().isVisible(Control::Frame1));
        QVERIFY(f.form().isVisible(Control::Frame2));
        QVERIFY(f.form().isEnabled(Control::Command19));
        QVERIFY(f.form().isEnabled(Control::Command20));
        QCOMPARE(f.state().playMode, PlayMode::Words);
    }

    void pacingOfOneLetter_data() {
        QTest::addColumn<int>("gapRepeats");
        QTest::addColumn<QString>("trace");
        // "e" is scanned as one character: two words, E and E.
        QTest::newRow("three repeats") << 3 << "6U 700x89 43U 700x89 37U";
        QTest::newRow("one repeat") << 1 << "2U 700x89 15U 700x89 13U";
    }
    void pacingOfOneLetter() {
        QFETCH(int, gapRepeats);
        QFETCH(QString, trace);
        FormFixture f;
        f.setDefaultKeying();
        f.state().gapRepeats = gapRepeats;
        f.setText(Control::rtf, "e");
        f.click(Control::Command12);
        QCOMPARE(QString::fromStdString(f.trace().text()), trace);
    }

    void displayLineClearsEveryTenWords_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("runs");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("wordsOnLine");
        QTest::newRow("seven words") << " ok   " << 1 << QString("ok ").repeated(7) << 7;
        QTest::newRow("ten words leave it empty") << "lampu    " << 1 << "" << 0;
        QTest::newRow("eleventh word on a cleared line")
            << "kapal       " << 1 << QString("kapal ").repeated(3) << 3;
        QTest::newRow("second run counts on") << " ok   " << 2 << QString("ok ").repeated(4) << 4;
    }
    void displayLineClearsEveryTenWords() {
        QFETCH(QString, text);
        QFETCH(int, runs);
        QFETCH(QString, shown);
        QFETCH(int, wordsOnLine);
        FormFixture f;
        f.setText(Control::rtf, text.toStdString());
        for (int run = 0; run < runs; ++run)
            f.click(Control::Command12);
        QCOMPARE(QString::fromStdString(f.text(Control::Command6)), shown);
        QCOMPARE(f.state().wordsOnLine, wordsOnLine);
    }

    // Seven words of "ab": word n has its own yield at 4(n-1)+1 and its characters' at the two
    // after. A resume at 0 is a click on Jalan after the paused run has returned; at -1 it is Go
    // with the text "xyz" instead, which starts afresh.
    void pauseAndResume_data() {
        QTest::addColumn<int>("pauseAt");
        QTest::addColumn<int>("resumeAt");
        QTest::addColumn<QString>("shownAtPause");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("wordsOnLine");
        const QString all = QString("ab ").repeated(7);
        QTest::newRow("before the first word") << 1 << 0 << "" << all << 7;
        QTest::newRow("inside the first word") << 3 << 0 << "ab " << all << 7;
        QTest::newRow("between words") << 9 << 0 << "ab ab " << all << 7;
        // The resumed loop runs on top of the paused one, which then closes its word and ends.
        QTest::newRow("resumed before the paused word ends")
            << 3 << 4 << ""
            << "ab" + QString("ab ").repeated(6) + " " << 7;
        // The count of words on the line carries over into the new run.
        QTest::newRow("new run while paused")
            << 3 << -1 << "ab " << QString("xyz ").repeated(4) << 5;
    }
    void pauseAndResume() {
        QFETCH(int, pauseAt);
        QFETCH(int, resumeAt);
        QFETCH(QString, shownAtPause);
        QFETCH(QString, shown);
        QFETCH(int, wordsOnLine);
        FormFixture f;
        f.form().setYieldHook([&](long k) {
            if (k == pauseAt || k == resumeAt)
                f.click(Control::Command20);
        });
        startWords(f, kSevenAb);
        if (resumeAt <= 0) {
            QCOMPARE(f.text(Control::Command20), std::string("Jalan"));
            QCOMPARE(QString::fromStdString(f.text(Control::Command6)), shownAtPause);
            if (resumeAt < 0)
                f.setText(Control::rtf, "xyz");
            f.click(resumeAt < 0 ? Control::Command12 : Control::Command20);
        }
        QCOMPARE(f.text(Control::Command20), std::string("Pause"));
        QCOMPARE(QString::fromStdString(f.text(Control::Command6)), shown);
        QCOMPARE(f.text(Control::Label4), std::string(" 1 PERKATAAN SEMUANYA"));
        // Go clears the display line; what was keyed before it is what the line showed.
        QCOMPARE(QString::fromStdString(f.trace().text()),
                 wordKeying((resumeAt < 0 ? shownAtPause + shown : shown).toStdString()));
        QCOMPARE(f.state().wordsOnLine, wordsOnLine);
    }

    // A run ended early by a click on the display line (skip) or by closing the window, or
    // interrupted by a new run of "xy": that run clears the display line, and the interrupted
    // loop reads the shorter word it left and adds at most one blank and one word gap. The keying
    // heard is what the line held at the click and then what it holds. "abcd" takes six yields a
    // word.
    void runEndsEarly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("atYield");
        QTest::addColumn<QString>("shown");
        const QString seven = QString::fromStdString(kSevenAb);
        QTest::newRow("display line clicked inside the first word")
            << seven << "skip" << 3 << "ab ";
        QTest::newRow("display line clicked between words") << seven << "skip" << 5 << "ab ";
        QTest::newRow("display line clicked inside the third word")
            << seven << "skip" << 11 << "ab ab ab ";
        // Closing leaves the word at once; only its blank and gap follow.
        QTest::newRow("window closed inside a word") << seven << "close" << 3 << "a ";
        QTest::newRow("window closed between words") << seven << "close" << 5 << "ab ";
        QTest::newRow("new run inside a word") << "abcd  "
                                               << "go" << 3 << QString("xy ").repeated(3) + " ";
        QTest::newRow("new run between words") << "abcd  "
                                               << "go" << 7 << QString("xy ").repeated(3);
    }
    void runEndsEarly() {
        QFETCH(QString, text);
        QFETCH(QString, action);
        QFETCH(int, atYield);
        QFETCH(QString, shown);
        FormFixture f;
        std::string beforeClick;
        f.form().setYieldHook([&](long k) {
            if (k != atYield)
                return;
            if (action == "skip") {
                f.click(Control::Command6);
            } else if (action == "close") {
                f.form().close();
            } else {
                beforeClick = f.text(Control::Command6);
                f.setText(Control::rtf, "xy");
                f.click(Control::Command12);
            }
        });
        startWords(f, text.toStdString());
        const std::string after = f.text(Control::Command6);
        QCOMPARE(QString::fromStdString(after), shown);
        QCOMPARE(QString::fromStdString(f.trace().text()), wordKeying(beforeClick + after));
    }

    void everyWordIsEquallyLikely() {
        FormFixture f;
        // Blanks lengthen the run to the scanner's limit: 10001 draws from five words.
        std::string text = "pagi siang sore malam subuh";
        text.resize(10000, ' ');
        f.setText(Control::rtf, text);
        const std::vector<int> draws = recordDraws(f);
        QCOMPARE(draws.size(), std::size_t(10001));
        std::map<int, int> counts;
        for (int position : draws)
            counts[position] += 1;
        QCOMPARE(counts.size(), std::size_t(5));
        // 2000 expected of each; five standard deviations (40) either way.
        for (const auto& [position, count] : counts) {
            QVERIFY(position >= 1 && position <= 5);
            QVERIFY2(count >= 1800 && count <= 2200, qPrintable(QString::number(count)));
        }
    }

    // Two windows start from the same state; only the clock tells their word runs apart.
    void everyStartSeedsFromTheClock() {
        FormFixture first;
        FormFixture second;
        for (FormFixture* f : {&first, &second})
            f->setText(Control::rtf, "a b c d e f g h i j k l m n o p q r s t u v w x y z");
        const std::vector<int> firstDraws = recordDraws(first);
        QCOMPARE(firstDraws.size(), std::size_t(52));
        QVERIFY(firstDraws != recordDraws(second));
    }

    // Until a word run seeds the generator, the groups of two windows follow the same fixed
    // start state.
    void groupsAfterStartUp_data() {
        QTest::addColumn<bool>("wordsFirst");
        QTest::newRow("fresh windows agree") << false;
        QTest::newRow("after a word run they differ") << true;
    }
    void groupsAfterStartUp() {
        QFETCH(bool, wordsFirst);
        auto groups = [&](FormFixture& f) {
            if (wordsFirst)
                startWords(f, "satu");
            f.trainer().groups.fillSymbols();
            f.click(Control::Command2);
            f.click(Control::Command3);
            return f.text(Control::command1);
        };
        FormFixture first;
        FormFixture second;
        QCOMPARE(groups(first) == groups(second), !wordsFirst);
    }
};

QTEST_MAIN(WordDrillTest)
#include "test_word_drill.moc"
