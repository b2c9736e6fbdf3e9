#include "core/number_text.h"

#include <QTest>
#include <cmath>
#include <string>

class NumberTextTest : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("decimal ratio") << "2.8" << 2.8;
        QTest::newRow("comma is no decimal point") << "2,8" << 2.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("unit after number") << "440 Hz" << 440.0;
        QTest::newRow("letters right after") << "250ms" << 250.0;
        QTest::newRow("leading blanks") << "   700" << 700.0;
        QTest::newRow("leading tab") << "\t12" << 12.0;
        QTest::newRow("minus sign") << "-300" << -300.0;
        QTest::newRow("plus sign") << "+15" << 15.0;
        QTest::newRow("sign then blank is no number") << "- 5" << 0.0;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("trailing point") << "7." << 7.0;
        QTest::newRow("second point ends it") << "1.2.3" << 1.2;
        QTest::newRow("lone point") << "." << 0.0;
        QTest::newRow("no exponent") << "1e3" << 1.0;
        QTest::newRow("negative zero") << "-0" << 0.0;
        QTest::newRow("blank inside ends it") << "1 2" << 1.0;
        QTest::newRow("too long for a double") << QString("9").repeated(400) << 0.0;
        QTest::newRow("long but representable") << "1" + QString("0").repeated(300) << 1e300;
        QTest::newRow("many fraction digits") << "0." + QString("3").repeated(500) << 1.0 / 3.0;
    }
    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const double value = numtext::leadingNumber(text.toStdString());
        QCOMPARE(value, expected);
    }

    void plain_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 250.0 << "250";
        QTest::newRow("negative whole") << -300.0 << "-300";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("fraction") << 89.25 << "89.25";
        QTest::newRow("ratio") << 2.8 << "2.8";
        QTest::newRow("single precision pitch plus ten")
            << double(static_cast<float>(1234.5678)) + 10 << "1244.56774902344";
        QTest::newRow("large whole") << 3000000.0 << "3000000";
        QTest::newRow("thirds") << 250.0 / 3 << "83.3333333333333";
        // An exponent would read back as its first digit: these are written out in full.
        QTest::newRow("small fraction") << 0.0000015 << "0.0000015";
        QTest::newRow("tiny negative fraction") << -1e-20 << "-0.00000000000000000001";
        QTest::newRow("whole from 1e15 up") << 1e15 << "1000000000000000";
        QTest::newRow("huge whole") << 1e22 << "10000000000000000000000";
    }
    void plain() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(numtext::plain(value)), expected);
    }

    void plainReadsBack_data() {
        QTest::addColumn<double>("value");
        QTest::newRow("speed") << 3100.0;
        QTest::newRow("negative") << -100.0;
        QTest::newRow("fraction") << 709.5;
        QTest::newRow("huge") << 1e300;
        QTest::newRow("smallest double") << 5e-324;
    }
    void plainReadsBack() {
        QFETCH(double, value);
        const double back = numtext::leadingNumber(numtext::plain(value));
        QVERIFY2(std::fabs(back - value) <= std::fabs(value) * 1e-14,
                 qPrintable(QString::number(back, 'g', 17)));
    }

    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("dot of 250/2.8") << 250.0 / 2.8 << 89.0;
        QTest::newRow("2.5 to even") << 2.5 << 2.0;
        QTest::newRow("3.5 to even") << 3.5 << 4.0;
        QTest::newRow("-2.5 to even") << -2.5 << -2.0;
        QTest::newRow("0.5 to zero") << 0.5 << 0.0;
        QTest::newRow("1.5 to two") << 1.5 << 2.0;
        QTest::newRow("just above half") << 2.5000001 << 3.0;
        QTest::newRow("whole stays") << 700.0 << 700.0;
    }
    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(numtext::roundHalfEven(value), expected);
    }
};

QTEST_GUILESS_MAIN(NumberTextTest)
#include "test_number_text.moc"
