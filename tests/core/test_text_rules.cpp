#include "core/number_text.h"
#include "core/text_characters.h"

#include "test_classes.h"
#include <cmath>

// Numbers read from the boxes and written into them, and how a text is cut into characters.
class TextRulesTest : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber() {
        // clang-format off
        const std::pair<std::string, double> rows[] = {
            {"2.8", 2.8}, {"2,8", 2}, {"", 0}, {"abc", 0}, {"440 Hz", 440}, {"250ms", 250},
            {"   700", 700}, {"\t12", 12}, {"-300", -300}, {"+15", 15}, {"- 5", 0}, {".5", 0.5},
            {"7.", 7}, {"1.2.3", 1.2}, {".", 0}, {"1e3", 1}, {"-0", 0}, {"1 2", 1},
            {std::string(400, '9'), 0}, // too long: 0
            {"1" + std::string(300, '0'), 1e300}, {"0." + std::string(500, '3'), 1.0 / 3}};
        // clang-format on
        for (const auto& [text, value] : rows)
            QVERIFY2(numtext::leadingNumber(text) == value, text.c_str());
    }

    void plainIsDecimalAndReadsBack() {
        // clang-format off
        const std::pair<double, const char*> rows[] = {
            {250, "250"}, {-300, "-300"}, {-0.0, "0"}, {89.25, "89.25"}, {2.8, "2.8"},
            {250.0 / 3, "83.3333333333333"}, {0.0000015, "0.0000015"}, {1e15, "1000000000000000"},
            {double(float(1234.5678)) + 10, "1244.56774902344"}};
        // clang-format on
        for (auto [value, text] : rows)
            QCOMPARE(QString::fromStdString(numtext::plain(value)), QString(text));
        for (auto [value, rounded] :
             {std::pair{-2.5, -2.0}, {0.5, 0.0}, {2.5000001, 3.0}, {250 / 2.8, 89.0}})
            QCOMPARE(numtext::roundHalfEven(value), rounded);
    }

    // Each character's bytes in hex, characters separated by "|".
    void splitIntoCharacters() {
        // clang-format off
        const std::pair<QByteArray, const char*> rows[] = {
            {"a b\r\n", "61|20|62|0d|0a"}, {"\xc3\xa9x", "c3a9|78"}, {"\xf0\x9f\x93\xbb", "f09f93bb"},
            {"\n\x94\x96g", "0a|94|96|67"}, {"\xc3\xa9\xa9", "c3a9|a9"}, {"\xe2\x82 x", "e282|20|78"},
            {"\xff\x80", "ff|80"}, {"", ""}};
        // clang-format on
        for (const auto& [text, pieces] : rows) {
            QStringList hex;
            for (const std::string& piece : textchars::split(text.toStdString()))
                hex << QByteArray::fromStdString(piece).toHex();
            QCOMPARE(hex.join('|'), QString(pieces));
        }
        QCOMPARE(textchars::upperAscii("k") + textchars::upperAscii("é"), std::string("Ké"));
    }
};

VORNIK_TEST(TextRulesTest)
#include "test_text_rules.moc"
