#include "core/number_text.h"

#include "test_classes.h"
#include <cmath>

// Numbers read from the boxes and written into them.
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
};

VORNIK_TEST(TextRulesTest)
#include "test_text_rules.moc"
