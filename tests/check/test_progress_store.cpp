#include "folder_snapshot.h"
#include "storage/progress_store.h"
#include "storage/settings_store.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
ProgressEntry checkAt(std::int64_t time, double accuracy, std::vector<CharacterTally> characters) {
    ProgressEntry entry;
    entry.time = time;
    entry.kind = "random groups";
    entry.source = "ABCDEFG";
    entry.accuracy = accuracy;
    entry.characters = std::move(characters);
    return entry;
}
} // namespace

class ProgressStoreTest : public QObject {
    Q_OBJECT
private slots:
    // Made on the first save; a check saved again for the same run replaces the earlier one; the
    // history comes back in time order with the characters summed over all checks.
    void historyAfterRestart() {
        QTemporaryDir folder;
        const std::string path = folder.filePath("kemajuan.db").toStdString();
        QCOMPARE(ProgressStore(path).load()->checks.size(), 0u);
        QVERIFY(folderSnapshot(folder.path()).isEmpty());
        ProgressStore store(path);
        const auto later = store.save(checkAt(2000, 50, {{"A", 2, 1}, {"B", 1, 1}}));
        QVERIFY2(later, store.failure().c_str());
        QVERIFY(store.save(checkAt(1000, 90, {{"A", 3, 0}})));
        QVERIFY(store.save(checkAt(2000, 75, {{"A", 2, 1}, {"B", 1, 0}}), *later));
        const auto history = ProgressStore(path).load();
        QVERIFY(history);
        QCOMPARE(history->checks.size(), 2u);
        QCOMPARE(history->checks[0].accuracy, 90.0);
        QCOMPARE(history->checks[1].accuracy, 75.0);
        QCOMPARE(history->characters, (std::vector<CharacterTally>{{"A", 5, 1}, {"B", 1, 0}}));
    }

    // A file that is not a progress file, whatever it is, is neither read nor touched.
    void foreignFileIsNeverTouched_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QByteArray("my notes\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("settings database") << QByteArray("settings");
    }
    void foreignFileIsNeverTouched() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const QString path = folder.filePath("kemajuan.db");
        if (bytes == "settings") {
            SettingsStore settings;
            QVERIFY(settings.open(path.toStdString()));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        const QStringList before = folderSnapshot(folder.path());
        ProgressStore store(path.toStdString());
        QVERIFY(!store.save(checkAt(1, 100, {{"E", 1, 0}})));
        QVERIFY(!store.failure().empty());
        QVERIFY(!store.load());
        QCOMPARE(folderSnapshot(folder.path()), before);
    }

    // In a folder the learner may not write to, a save fails with a reason and leaves nothing.
    void readOnlyFolder() {
        QTemporaryDir folder;
        QVERIFY(QFile::setPermissions(folder.path(),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadOther | QFileDevice::ExeOther));
        const std::string path = folder.filePath("kemajuan.db").toStdString();
        const int outcome = runUnprivileged([&path] {
            ProgressStore store(path);
            const bool saved = store.save(checkAt(1, 100, {})).has_value();
            return (saved ? 1 : 0) | (store.failure().empty() ? 2 : 0) |
                   (store.load().has_value() ? 0 : 4);
        });
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        if (outcome == -1 || outcome == 255)
            QSKIP("cannot run as an unprivileged user here");
        QCOMPARE(outcome, 0);
        QVERIFY(folderSnapshot(folder.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(ProgressStoreTest)
#include "test_progress_store.moc"
