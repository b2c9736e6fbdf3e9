#include "check/copy_report.h"

#include <QTest>

class CopyCheckTest : public QObject {
    Q_OBJECT
private slots:
    // Each case: the sent text, the copy, and right, missed, wrong, extra, the accuracy and the
    // first line of the confusion list.
    void scoresChosenCopies() {
        const QString tenTimes = QString("HELLO").repeated(10);
        // clang-format off
        const QStringList cases[] = {
            {"PARIS QRZ ", " paris\tqrz\n", "8 0 0 0 100% none"},      // case and blanks ignored
            {"PARIS", "PARS", "4 1 0 0 80% I missed: 1"},               // a dropped character
            {"PARIS", "PAIRS", "4 1 0 1 67% extra R: 1"},               // a swapped pair
            {"PARIS", "PA RIS", "5 0 0 0 100% none"},                   // an extra blank
            {"AB CD ", "", "0 4 0 0 0% A missed: 1"},                   // an empty copy
            {"HELLO", tenTimes, "5 0 0 45 10% extra L: 18"},            // ten times longer
            {"HH SH H", "SS SS H", "2 0 3 0 40% H read as S: 3"},       // a confusion counted
            {"E", "é", "0 0 1 0 0% E read as é: 1"},                    // a copy beyond ASCII
            {"", "E", "0 0 0 1 0% extra E: 1"},                         // nothing sent
        };
        // clang-format on
        for (const QStringList& c : cases) {
            const auto r = copycheck::check(c[0].toStdString(), c[1].toStdString());
            QCOMPARE(QString::asprintf("%d %d %d %d %d%% %s", r.right, r.missed, r.wrong, r.extra,
                                       qRound(r.accuracy()),
                                       copycheck::confusionList(r, 1).c_str()),
                     c[2] + "\n");
        }
        // The comparison keeps the group ends and marks each error under its column.
        QCOMPARE(copycheck::comparison(copycheck::check("AB CD ", "ab cx e")),
                 "Sent:  AB CD _\nCopy:  AB CX E\nMarks:     w x\n");
    }
};

QTEST_GUILESS_MAIN(CopyCheckTest)
#include "test_copy_check.moc"
