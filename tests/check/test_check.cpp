#include "check/copy_report.h"
#include "check/wpm.h"
#include "storage/progress_store.h"
#include "storage/settings_store.h"
#include "tests/support/unprivileged.h"

#include "file_bytes.h"
#include "test_classes.h"
#include <QDir>
#include <QTemporaryDir>
#include <fstream>

// Checking a copy: the score of a copy against what was sent, the speeds a keying gives in words
// per minute, and the history of checks kept in the progress file.
namespace {
ProgressEntry checkAt(std::int64_t time, double accuracy, std::vector<CharacterTally> characters,
                      std::int64_t id = 0) {
    // clang-format off
    return {id, time, "random groups", "ABC", 250, 2.8, 3000, 3, 17, 12, 5, 4, accuracy, characters};
    // clang-format on
}
// The folder's names and the progress file's bytes: equal before and after means untouched.
QStringList snapshot(const QTemporaryDir& folder) {
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
           << readBytes(folder.filePath("kemajuan.db")).toHex();
}
} // namespace

class CheckTest : public QObject {
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

    // "PARIS " as the text player keys it, worked by hand. PARIS is .--. .- .-. .. ... : 10 dots,
    // 4 dashes, 14 elements in 5 characters. Silence, in delay units U (one U = the delay limit's
    // whole iterations x 10 us): 1 U after each element (14), 4 U per gap repeat g after each
    // character (20g), the word gap of 8 U per gap repeat (8g). The characters alone are the tones
    // plus the 9 gaps inside them, 31 of the 50 units of a standard word, so their speed is
    // 60000 ms * 31/50 / their time = 37200 / their time.
    void parisAsThePlayerKeysIt() {
        // dash, dot, delay limit, gap repeats, character speed, effective speed
        // clang-format off
        const double cases[][6] = {
            // dot 250/2.8 = 89.29 plays 89 ms; U = 30 ms; g = 3.
            // tones 10*89 + 4*250 = 1890; silence (14 + 60 + 24) * 30 = 2940; word 4830 ms.
            // characters 1890 + 9*30 = 2160 ms: 37200/2160 = 17.222; 60000/4830 = 12.422.
            {250, 250 / 2.8, 3000, 3, 17.222, 12.422},
            // dot 60, dash 180, U = 60 ms, g = 1: tones 600 + 720 = 1320; silence 42 * 60 = 2520.
            // characters 1320 + 540 = 1860: 37200/1860 = 20; word 3840: 60000/3840 = 15.625.
            {180, 60, 6000, 1, 20, 15.625},
            // dot 2.5 plays 2 (half to even), limit 0.5 counts 1 iteration (0.01 ms), no gap
            // repeats: tones 20 + 20 = 40; silence 14 * 0.01 = 0.14; characters 40.09:
            // 37200/40.09 = 927.912; word 40.14: 60000/40.14 = 1494.768.
            {5, 2.5, 0.5, 0, 927.912, 1494.768},
            // a negative delay limit is no silence at all: tones 10*100 + 4*300 = 2200 ms both
            // ways; 37200/2200 = 16.909, 60000/2200 = 27.273.
            {300, 100, -200, 3, 16.909, 27.273},
            {0, 0, 0, 3, 0, 0}, // nothing to time: no figure
        };
        // clang-format on
        for (const auto& c : cases) {
            const wpm::Speeds speeds = wpm::speedsOf(int(c[0]), c[1], c[2], int(c[3]));
            QCOMPARE(qRound(speeds.character * 1000), qRound(c[4] * 1000));
            QCOMPARE(qRound(speeds.effective * 1000), qRound(c[5] * 1000));
        }
    }

    // Whatever pair of speeds a learner asks for, the settings found are ones the controls hold
    // and give both speeds within 2 %.
    void closestSettingsHitTheAskedSpeeds() {
        for (double character : {5.0, 12.0, 18.0, 20.0, 25.0, 35.0, 50.0}) {
            for (double effective : {character, character * 0.75, character / 2, character / 3}) {
                const wpm::KeyingSettings s = wpm::closestSettings(character, effective);
                QVERIFY(s.dashMillis >= 1 && s.dashMillis <= 1000 && s.gapRepeats >= 1 &&
                        s.delayLimit == std::round(s.delayLimit) && s.ratio == 3);
                const auto got =
                    wpm::speedsOf(s.dashMillis, s.dashMillis / s.ratio, s.delayLimit, s.gapRepeats);
                QVERIFY2(qAbs(got.character / character - 1) < 0.02 &&
                             qAbs(got.effective / effective - 1) < 0.02,
                         qPrintable(QString::asprintf("%g/%g", character, effective)));
            }
        }
    }

    // Made on the first save, not before; a run checked again replaces its check, totals and all;
    // the history comes back in time order with each character summed over all checks.
    void historyAfterRestart() {
        QTemporaryDir folder;
        const std::string path = folder.filePath("kemajuan.db").toStdString();
        QVERIFY(ProgressStore(path).load()->checks.empty() && snapshot(folder) == QStringList{""});
        ProgressStore store(path);
        const auto later = store.save(checkAt(2000, 50, {{"A", 2, 1}, {"B", 1, 1}}));
        QVERIFY(later && store.save(checkAt(1000, 90, {{"A", 3, 0}})));
        QVERIFY(store.save(checkAt(2000, 75, {{"A", 2, 1}, {"C", 1, 0}}), *later));
        const auto history = ProgressStore(path).load();
        QVERIFY(history && history->checks.size() == 2 && history->checks[0].accuracy == 90);
        QVERIFY(history->checks[1] == checkAt(2000, 75, {}, history->checks[1].id));
        QCOMPARE(history->characters, (std::vector<CharacterTally>{{"A", 5, 1}, {"C", 1, 0}}));
    }

    // A file that is not a progress file (text, empty, the settings database) is neither read nor
    // touched, and the store says why.
    void foreignFileIsNeverTouched() {
        for (const QByteArray bytes : {"my notes\n", "", "settings"}) {
            QTemporaryDir folder;
            const std::string path = folder.filePath("kemajuan.db").toStdString();
            QVERIFY(bytes == "settings" ? SettingsStore().open(path)
                                        : bool(std::ofstream(path) << bytes.constData()));
            const QStringList before = snapshot(folder);
            ProgressStore store(path);
            QVERIFY(!store.save(checkAt(1, 100, {})) && !store.failure().empty() && !store.load());
            QCOMPARE(snapshot(folder), before);
        }
    }

    // In a folder the learner may not write to, a save fails with a reason and makes nothing.
    void readOnlyFolder() {
        QTemporaryDir folder;
        const auto readable =
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(folder.path(), readable);
        const int outcome = runUnprivileged([path = folder.filePath("kemajuan.db").toStdString()] {
            ProgressStore store(path);
            return store.save(checkAt(1, 100, {})) || store.failure().empty() || !store.load();
        });
        QFile::setPermissions(folder.path(), readable | QFile::WriteOwner);
        if (outcome < 0 || outcome == 255)
            QSKIP("cannot run as an unprivileged user here");
        QCOMPARE(outcome, 0);
        QVERIFY(QDir(folder.path()).isEmpty());
    }
};

VORNIK_TEST(CheckTest)
#include "test_check.moc"
