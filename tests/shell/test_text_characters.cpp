#include "core/text_characters.h"

#include <QTest>

// How texts are cut into the characters that are keyed, shown and counted.
class TextCharactersTest : public QObject {
    Q_OBJECT

    // Each character's bytes in hex, characters separated by "|": "61|c3a9".
    static QString hexPieces(const std::string& text) {
        QStringList pieces;
        for (const std::string& piece : textchars::split(text))
            pieces << QByteArray::fromStdString(piece).toHex();
        return pieces.join('|');
    }

private slots:
    void split_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("ASCII, one byte each") << QByteArray("a b\r\n") << "61|20|62|0d|0a";
        QTest::newRow("two-byte letter") << QByteArray("\xc3\xa9x") << "c3a9|78";
        QTest::newRow("three-byte sign") << QByteArray("\xe2\x82\xac") << "e282ac";
        QTest::newRow("four-byte symbol") << QByteArray("\xf0\x9f\x93\xbb") << "f09f93bb";
        QTest::newRow("stray continuation after a line feed")
            << QByteArray("\n\x94\x96g") << "0a|94|96|67";
        QTest::newRow("stray continuation after a letter") << QByteArray("a\x80") << "61|80";
        QTest::newRow("one continuation too many") << QByteArray("\xc3\xa9\xa9") << "c3a9|a9";
        QTest::newRow("cut-off sequence before a blank")
            << QByteArray("\xe2\x82 x") << "e282|20|78";
        QTest::newRow("byte that starts nothing") << QByteArray("\xff\x80") << "ff|80";
    }
    void split() {
        QFETCH(QByteArray, text);
        QFETCH(QString, pieces);
        QCOMPARE(hexPieces(text.toStdString()), pieces);
    }

    void upperAscii_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("upper");
        QTest::newRow("small letter") << "k"
                                      << "K";
        QTest::newRow("capital stays") << "Q"
                                       << "Q";
        QTest::newRow("digit stays") << "7"
                                     << "7";
        QTest::newRow("accented letter stays") << "é"
                                               << "é";
    }
    void upperAscii() {
        QFETCH(QString, character);
        QFETCH(QString, upper);
        QCOMPARE(QString::fromStdString(textchars::upperAscii(character.toStdString())), upper);
    }
};

QTEST_GUILESS_MAIN(TextCharactersTest)
#include "test_text_characters.moc"
