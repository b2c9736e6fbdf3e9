#include "storage/progress_store.h"
#include "storage/settings_store.h"
#include "tests/support/unprivileged.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

namespace {
ProgressEntry checkAt(std::int64_t time, double accuracy, std::vector<CharacterTally> characters,
                      std::int64_t id = 0) {
    // clang-format off
    return {id, time, "random groups", "ABC", 250, 2.8, 3000, 3, 17, 12, 5, 4, accuracy, characters};
    // clang-format on
}
// The folder's names and the progress file's bytes: equal before and after means untouched.
QStringList snapshot(const QTemporaryDir& folder) {
    QFile file(folder.filePath("kemajuan.db"));
    file.open(QIODevice::ReadOnly);
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
           << file.readAll().toHex();
}
} // namespace

class ProgressStoreTest : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(ProgressStoreTest)
#include "test_progress_store.moc"
