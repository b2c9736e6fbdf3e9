#include "form_fixture.h"

#include <QTest>

// How the text box is split into the words the players key and the word drill draws from.
class WordScannerTest : public QObject {
    Q_OBJECT

    // As Go and the word drill call it: from a word count of 0, at a word break.
    static void scan(FormFixture& f, const QString& text) {
        f.setText(Control::rtf, text.toStdString());
        f.state().wordCount = 0;
        f.state().atWordBreak = 1;
        f.trainer().scanner.scanWords();
    }

    static QStringList listedWords(FormFixture& f) {
        QStringList words;
        for (int i = 1; i <= f.state().wordCount; ++i)
            words << QString::fromStdString(f.state().wordList.at(static_cast<std::size_t>(i)));
        return words;
    }

    // Entry 0 and every entry past the word count: a player that runs past the last word, or a
    // draw on an empty text, must find nothing there.
    static int filledEntriesOutsideTheWords(FormFixture& f) {
        int filled = f.state().wordList.front().empty() ? 0 : 1;
        for (std::size_t i = static_cast<std::size_t>(f.state().wordCount) + 1;
             i < f.state().wordList.size(); ++i)
            filled += f.state().wordList[i].empty() ? 0 : 1;
        return filled;
    }

private slots:
    void splitsIntoWords_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("scanPos");

        QTest::newRow("empty") << "" << QStringList{} << 1;
        QTest::newRow("separators only") << "  \r\n \r\n" << QStringList{} << 8;
        QTest::newRow("leading blanks") << "   kapal" << QStringList{"kapal"} << 9;
        QTest::newRow("leading line break") << "\r\nlaut biru" << QStringList{"laut", "biru"} << 12;
        QTest::newRow("line break and a blank line")
            << "satu dua\r\n\r\ntiga" << QStringList{"satu", "dua", "tiga"} << 17;
        QTest::newRow("runs of blanks") << "a    b " << QStringList{"a", "b"} << 8;
        QTest::newRow("tab inside a word") << "x\ty z" << QStringList{"x\ty", "z"} << 6;
        QTest::newRow("punctuation and case belong to the word")
            << "Salam, dunia! (ok)" << QStringList{"Salam,", "dunia!", "(ok)"} << 19;
        QTest::newRow("characters, not bytes")
            << "ñandú über" << QStringList{"ñandú", "über"} << 11;

        const QString a9997(9997, QLatin1Char('a'));
        const QString a9998(9998, QLatin1Char('a'));
        QTest::newRow("9999 characters") << a9997 + " x" << QStringList{a9997, "x"} << 10000;
        QTest::newRow("exactly 10000 characters")
            << a9998 + " x" << QStringList{a9998, "x"} << 10001;
        QTest::newRow("10001 characters, the last word cut at the limit")
            << a9998 + " xy" << QStringList{a9998, "x"} << 10001;
        QTest::newRow("far past the limit")
            << a9998 + " xyz and more words" << QStringList{a9998, "x"} << 10001;
        QTest::newRow("limit counted in characters")
            << QString(9999, QChar(0x00E9)) + " \u00FC" << QStringList{QString(9999, QChar(0x00E9))}
            << 10001;
        QTest::newRow("separator at the limit")
            << QString(9999, QLatin1Char('b')) + " c"
            << QStringList{QString(9999, QLatin1Char('b'))} << 10001;
        // One-character words between single blanks: the most words 10000 characters can hold.
        QTest::newRow("most words")
            << QString("k ").repeated(6000) << QStringList(5000, "k") << 10001;
    }
    // Each text is scanned in a fresh window, then again after a long one of long words: nothing
    // of the long text may be left in the list.
    void splitsIntoWords() {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QFETCH(int, scanPos);
        FormFixture f;
        for (const QString& before : {QString(), "panjang" + QString(" q").repeated(4996)}) {
            if (!before.isEmpty())
                scan(f, before);
            scan(f, text);
            QCOMPARE(listedWords(f), words);
            QCOMPARE(f.state().wordCount, static_cast<int>(words.size()));
            QCOMPARE(f.state().scanPos, scanPos);
            QCOMPARE(filledEntriesOutsideTheWords(f), 0);
            QCOMPARE(QString::fromStdString(f.text(Control::Label4)),
                     QString(" %1 PERKATAAN SEMUANYA").arg(words.size()));
        }
    }
};

QTEST_MAIN(WordScannerTest)
#include "test_word_scanner.moc"
