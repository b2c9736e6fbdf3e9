#include "check/copy_check.h"
#include "check/copy_report.h"

#include <QRandomGenerator>
#include <QTest>

using copycheck::Mark;

class CopyCheckTest : public QObject {
    Q_OBJECT
private slots:
    void scoresChosenCopies_data() {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("copy");
        QTest::addColumn<QList<int>>("counts"); // right, missed, wrong, extra
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("worst"); // the first line of the confusion list
        QTest::newRow("right, case and blanks ignored") << "PARIS QRZ "
                                                        << " paris\tqrz\n"
                                                        << QList<int>{8, 0, 0, 0} << 100 << "none";
        QTest::newRow("dropped character")
            << "PARIS"
            << "PARS" << QList<int>{4, 1, 0, 0} << 80 << "I missed: 1";
        QTest::newRow("swapped pair") << "PARIS"
                                      << "PAIRS" << QList<int>{4, 1, 0, 1} << 67 << "";
        QTest::newRow("extra blank") << "PARIS"
                                     << "PA RIS" << QList<int>{5, 0, 0, 0} << 100 << "none";
        QTest::newRow("empty copy") << "AB CD "
                                    << "" << QList<int>{0, 4, 0, 0} << 0 << "A missed: 1";
        QTest::newRow("copy ten times longer") << "HELLO" << QString("HELLO").repeated(10)
                                               << QList<int>{5, 0, 0, 45} << 10 << "extra L: 18";
        QTest::newRow("confusion counted")
            << "HH SH H"
            << "SS SS H" << QList<int>{2, 0, 3, 0} << 40 << "H read as S: 3";
        QTest::newRow("unicode copy") << "E"
                                      << "é" << QList<int>{0, 0, 1, 0} << 0 << "E read as é: 1";
    }
    void scoresChosenCopies() {
        QFETCH(QString, sent);
        QFETCH(QString, copy);
        QFETCH(QList<int>, counts);
        QFETCH(int, percent);
        QFETCH(QString, worst);
        const auto result = copycheck::check(sent.toStdString(), copy.toStdString());
        QCOMPARE((QList<int>{result.right, result.missed, result.wrong, result.extra}), counts);
        QCOMPARE(qRound(result.accuracy()), percent);
        const QString list = QString::fromStdString(copycheck::confusionList(result));
        if (!worst.isEmpty())
            QCOMPARE(list.section('\n', 0, 0), worst);
    }

    // Every sent character is right, missed or wrong, and every copied one right, wrong or extra,
    // whatever the two texts are; a copy equal to the sent text scores 100.
    void everyCharacterIsAccountedFor() {
        QRandomGenerator random(20);
        for (int round = 0; round < 300; ++round) {
            const auto make = [&random](int length) {
                std::string text;
                for (int i = 0; i < length; ++i)
                    text += "ABE ST"[random.bounded(6)];
                return text;
            };
            const std::string sent = make(random.bounded(12));
            const std::string copy = make(random.bounded(12));
            const auto letters = [](const std::string& t) {
                return int(t.size() - std::count(t.begin(), t.end(), ' '));
            };
            const auto result = copycheck::check(sent, copy);
            QCOMPARE(result.right + result.missed + result.wrong, letters(sent));
            QCOMPARE(result.right + result.wrong + result.extra, letters(copy));
            if (letters(sent) > 0)
                QCOMPARE(copycheck::check(sent, sent).accuracy(), 100.0);
        }
    }

    void comparisonShowsGroupEndsAndMarks() {
        const auto result = copycheck::check("AB CD ", "ab cx e");
        QCOMPARE(QString::fromStdString(copycheck::comparison(result)),
                 QString("Sent:  AB CD _\nCopy:  AB CX E\nMarks:     w x\n"));
    }
};

QTEST_GUILESS_MAIN(CopyCheckTest)
#include "test_copy_check.moc"
