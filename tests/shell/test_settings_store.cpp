#include "shell/file_attributes.h"
#include "shell/settings_store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

char* toString(const SettingsRecord& record) {
    const auto shown = [](const std::string& text) {
        return QString::fromStdString(text.size() > 40 ? text.substr(0, 40) + "..." : text);
    };
    return qstrdup(qPrintable(
        QString("{LAJ \"%1\", PANJAN \"%2\", NAD \"%3\", DOT \"%4\"}")
            .arg(shown(record.laj), shown(record.panjan), shown(record.nad), shown(record.dot))));
}

namespace {

const SettingsRecord kFallbacks{"3000", "250", "700", "2.8"};

SettingsRecord recordOf(const QStringList& boxes) {
    return {boxes[0].toStdString(), boxes[1].toStdString(), boxes[2].toStdString(),
            boxes[3].toStdString()};
}

// A second connection to a settings file: another program holding it, or the test arranging it.
class OtherConnection {
public:
    explicit OtherConnection(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &connection_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    }
    ~OtherConnection() { sqlite3_close(connection_); }
    OtherConnection(const OtherConnection&) = delete;
    OtherConnection& operator=(const OtherConnection&) = delete;

    bool run(const QString& sql) {
        return sqlite3_exec(connection_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) ==
               SQLITE_OK;
    }

    // Every column of every row the query gives, as text.
    QStringList rows(const QString& sql) {
        QStringList texts;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(connection_, sql.toUtf8().constData(), -1, &statement, nullptr);
        while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW)
            for (int column = 0; column < sqlite3_column_count(statement); ++column)
                texts << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                    sqlite3_column_bytes(statement, column));
        sqlite3_finalize(statement);
        return texts;
    }

    const char* error() const { return sqlite3_errmsg(connection_); }

private:
    sqlite3* connection_ = nullptr;
};

QStringList textsOf(const SettingsRecord& record) {
    return {QString::fromStdString(record.laj), QString::fromStdString(record.panjan),
            QString::fromStdString(record.nad), QString::fromStdString(record.dot)};
}

const QString kAllColumns = "SELECT LAJ, PANJAN, NAD, DOT FROM laju ORDER BY rowid";

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Everything in `folder` that the store could change: names, kinds, sizes, contents,
// permissions. Two equal snapshots mean not a byte was written and no file came or went.
QStringList snapshotOf(const QString& folder) {
    QStringList lines;
    const auto entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString kind = entry.isSymLink() ? "link to " + entry.symLinkTarget()
                             : entry.isDir()   ? QString("folder")
                                               : QString("file");
        const QByteArray digest =
            entry.isFile() && !entry.isSymLink()
                ? QCryptographicHash::hash(bytesOf(entry.filePath()), QCryptographicHash::Sha256)
                      .toHex()
                : QByteArray();
        lines << QString("%1 %2 %3 %4 %5")
                     .arg(entry.fileName(), kind)
                     .arg(entry.isSymLink() ? 0 : entry.size())
                     .arg(entry.permissions().toInt(), 0, 16)
                     .arg(QString::fromLatin1(digest));
    }
    return lines;
}

// The store's whole life in the window: read at start-up, the learner changes every box, written
// back on closing.
struct Lifetime {
    bool opened = false;
    std::optional<SettingsRecord> read;
    bool written = false;
};

Lifetime liveThrough(const QString& path, const SettingsRecord& typed) {
    SettingsStore store;
    Lifetime lifetime;
    lifetime.opened = store.open(path.toStdString());
    lifetime.read = store.firstRecord();
    lifetime.written = store.writeBack(lifetime.read.value_or(SettingsRecord{}), typed);
    store.close();
    return lifetime;
}

const SettingsRecord kTyped{"3100", "300", "800", "3"};

// Lets another program write "half" into LAJ of the settings file at `path` and crash before
// deleting its journal: the file changed, the journal to undo it still beside it. (Without
// syncing, the journal is complete from its first write, so a copy taken before the commit is
// what the crash leaves.)
bool crashMidWriteBack(const QString& path) {
    const QString journal = path + "-journal";
    OtherConnection crashing(path);
    if (!crashing.run("PRAGMA synchronous = OFF; BEGIN; UPDATE laju SET LAJ = 'half'"))
        return false;
    const QByteArray leftBehind = bytesOf(journal);
    return !leftBehind.isEmpty() && crashing.run("COMMIT") && writeBytes(journal, leftBehind);
}

QByteArray crashedJournalBytes() {
    QTemporaryDir folder;
    const QString path = folder.filePath("laju.mdb");
    SettingsStore().open(path.toStdString());
    return crashMidWriteBack(path) ? bytesOf(path + "-journal") : QByteArray();
}

QByteArray settingsFileBytes() {
    QTemporaryDir folder;
    const QString path = folder.filePath("laju.mdb");
    SettingsStore().open(path.toStdString());
    return bytesOf(path);
}

// How the place of the settings file is made unfit for writing in a child process.
enum class Obstacle { ReadOnlyFile, ReadOnlyFolder, ReadOnlyFolderNoFile, FullDisk };

// What the store did in the child process, as its exit status.
enum ChildOutcome { kOpened = 1, kReadFallbacks = 2, kWritten = 4, kCannotDropRoot = 64 };

// Runs the store's life on `path` in a child process. As root, the child first becomes the user
// "nobody": root writes through any permission, so a read-only file or folder is read-only only
// to someone else. A full disk is a file size limit the settings file has already reached.
int liveThroughInChild(const QString& path, Obstacle obstacle, qint64 fileSize) {
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child != 0) {
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    constexpr unsigned kNobody = 65534;
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
        _exit(kCannotDropRoot);
    if (obstacle == Obstacle::FullDisk) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(fileSize), rlim_t(fileSize)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    // A megabyte makes the file grow, which a full disk refuses.
    const SettingsRecord grown{std::string(1 << 20, '7'), "300", "800", "3"};
    const Lifetime lifetime = liveThrough(path, grown);
    _exit((lifetime.opened ? kOpened : 0) | (lifetime.read == kFallbacks ? kReadFallbacks : 0) |
          (lifetime.written ? kWritten : 0));
}

} // namespace

Q_DECLARE_METATYPE(Obstacle)

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void missingFileIsMadeWithFallbacks() {
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        SettingsStore store;
        QVERIFY2(store.open(path.toStdString()), store.failure().c_str());
        const auto record = store.firstRecord();
        QVERIFY2(record.has_value(), store.failure().c_str());
        QCOMPARE(*record, kFallbacks);
        store.close();
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"laju.mdb"});
        OtherConnection other(path);
        QCOMPARE(other.rows("SELECT count(*), typeof(LAJ), typeof(DOT) FROM laju"),
                 (QStringList{"1", "text", "text"}));
    }

    void unwritableFolderMakesNothing_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("folder does not exist") << "no-such-folder/laju.mdb";
        QTest::newRow("folder is a file") << "plain.txt/laju.mdb";
        QTest::newRow("folder under /proc") << "/proc/laju.mdb";
        QTest::newRow("deep under /proc") << "/proc/self/no-such/laju.mdb";
    }
    void unwritableFolderMakesNothing() {
        QFETCH(QString, path);
        QTemporaryDir folder;
        QVERIFY(writeBytes(folder.filePath("plain.txt"), "a note"));
        const QString fullPath = QDir(folder.path()).filePath(path);
        const QStringList before = snapshotOf(folder.path());
        const Lifetime lifetime = liveThrough(fullPath, kTyped);
        QVERIFY(!lifetime.opened);
        QVERIFY(!lifetime.read.has_value());
        QVERIFY(!lifetime.written);
        QVERIFY(!QFileInfo::exists(fullPath));
        QCOMPARE(snapshotOf(folder.path()), before);
    }

    void roundTrip_data() {
        QTest::addColumn<QStringList>("boxes"); // LAJ, PANJAN, NAD, DOT
        QTest::newRow("ordinary change") << QStringList{"3100", "300", "800", "3"};
        QTest::newRow("negative") << QStringList{"-3000", "-250", "-700", "-2.8"};
        QTest::newRow("fractional") << QStringList{"2999.5", "250.25", "700.125", "2.75"};
        QTest::newRow("not numbers") << QStringList{"abc", "", "700 Hz", "2,8"};
        QTest::newRow("huge") << QStringList{QString(500, '9'), "1" + QString(400, '0'), "1e999",
                                             "0." + QString(300, '3')};
        QTest::newRow("zeros, signs and blanks") << QStringList{"007", " 250", "700 ", "+2.8"};
        QTest::newRow("quotes") << QStringList{"'", "\"", "'; DROP TABLE laju; --", "NULL"};
        QTest::newRow("beyond ASCII and control characters")
            << QStringList{QString::fromUtf8("три"), QString::fromUtf8("ä"), "\t", "a\nb"};
    }
    void roundTrip() {
        QFETCH(QStringList, boxes);
        const SettingsRecord typed = recordOf(boxes);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        const Lifetime first = liveThrough(path, typed);
        QVERIFY(first.written);

        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        QCOMPARE(store.firstRecord().value_or(SettingsRecord{}), typed);
        store.close();
        OtherConnection other(path);
        QCOMPARE(other.rows(kAllColumns), textsOf(typed));
    }

    void onlyChangedFieldsAreWritten_data() {
        QTest::addColumn<int>("changedField");
        for (int field = 0; field < int(kSettingsFields.size()); ++field)
            QTest::newRow(kSettingsFields[std::size_t(field)].column) << field;
    }
    void onlyChangedFieldsAreWritten() {
        QFETCH(int, changedField);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        const auto original = store.firstRecord();
        QVERIFY(original.has_value());

        OtherConnection other(path);
        QVERIFY(other.run("UPDATE laju SET LAJ = 'x1', PANJAN = 'x2', NAD = 'x3', DOT = 'x4'"));
        SettingsRecord typed = *original;
        const auto member = kSettingsFields[std::size_t(changedField)].member;
        typed.*member = "typed";
        QVERIFY2(store.writeBack(*original, typed), store.failure().c_str());
        store.close();

        SettingsRecord expected{"x1", "x2", "x3", "x4"};
        expected.*member = "typed";
        QCOMPARE(other.rows(kAllColumns), textsOf(expected));
    }

    void unchangedRecordWritesNothing() {
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        const auto original = store.firstRecord();
        QVERIFY(original.has_value());
        // Another program changes the file meanwhile; the learner's untouched boxes must not
        // put the old values back.
        OtherConnection other(path);
        QVERIFY(other.run("UPDATE laju SET LAJ = 'x1', PANJAN = 'x2', NAD = 'x3', DOT = 'x4'"));
        const QStringList before = snapshotOf(folder.path());
        QVERIFY(store.writeBack(*original, *original));
        store.close();
        QCOMPARE(snapshotOf(folder.path()), before);
    }

    void onlyTheFirstRecordIsUsed_data() {
        QTest::addColumn<QString>("inserts");
        QTest::newRow("second record after the first")
            << "INSERT INTO laju(rowid, LAJ, PANJAN, NAD, DOT) VALUES (1, '3000', '250', '700', "
               "'2.8'), (2, '9', '99', '999', '9.9')";
        QTest::newRow("first record inserted last")
            << "INSERT INTO laju(rowid, LAJ, PANJAN, NAD, DOT) VALUES (7, '9', '99', '999', "
               "'9.9'), (3, '3000', '250', '700', '2.8')";
    }
    void onlyTheFirstRecordIsUsed() {
        QFETCH(QString, inserts);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        OtherConnection other(path);
        QVERIFY(other.run("CREATE TABLE laju (LAJ TEXT, PANJAN TEXT, NAD TEXT, DOT TEXT)"));
        QVERIFY(other.run(inserts));

        const Lifetime lifetime = liveThrough(path, kTyped);
        QCOMPARE(lifetime.read.value_or(SettingsRecord{}), kFallbacks);
        QVERIFY(lifetime.written);
        QCOMPARE(other.rows("SELECT LAJ, PANJAN, NAD, DOT FROM laju WHERE rowid = "
                            "(SELECT min(rowid) FROM laju)"),
                 textsOf(kTyped));
        QCOMPARE(other.rows("SELECT LAJ, PANJAN, NAD, DOT FROM laju WHERE rowid = "
                            "(SELECT max(rowid) FROM laju)"),
                 (QStringList{"9", "99", "999", "9.9"}));
        QCOMPARE(other.rows("SELECT count(*) FROM laju"), QStringList{"2"});
    }

    void storedTypesReadAsText_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("integer") << "3000" << QString("3000");
        QTest::newRow("negative integer") << "-250" << QString("-250");
        QTest::newRow("real") << "2.8" << QString("2.8");
        QTest::newRow("null") << "NULL" << QString();
        QTest::newRow("blob of text") << "X'333030'" << QString("300");
    }
    void storedTypesReadAsText() {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        OtherConnection other(path);
        QVERIFY(other.run("CREATE TABLE laju (LAJ, PANJAN, NAD, DOT)"));
        QVERIFY(other.run(QString("INSERT INTO laju VALUES (%1, %1, %1, %1)").arg(stored)));
        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        QCOMPARE(store.firstRecord().value_or(SettingsRecord{}),
                 recordOf({expected, expected, expected, expected}));
    }

    // Files that are no SQLite database at all: SQLite never gets to touch them.
    void foreignFileIsNeverTouched_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("journal");
        QByteArray garbage;
        quint32 state = 12345;
        for (int i = 0; i < 4096; ++i) {
            state = state * 1103515245u + 12345u;
            garbage += char(state >> 24);
        }
        QByteArray brokenMagic = settingsFileBytes();
        brokenMagic[0] = 's';
        const QByteArray header("SQLite format 3\0", 16);
        const QByteArray journal = crashedJournalBytes();
        QVERIFY(!journal.isEmpty());
        const QByteArray none;
        QTest::newRow("zero length") << QByteArray() << none;
        QTest::newRow("text file") << QByteArray("LAJ=3000\nPANJAN=250\n") << none;
        QTest::newRow("garbage") << garbage << none;
        QTest::newRow("header cut short") << QByteArray("SQLite format 3") << none;
        QTest::newRow("header alone") << header << none;
        QTest::newRow("header then garbage") << header + garbage << none;
        QTest::newRow("settings file with a broken header") << brokenMagic << none;
        QTest::newRow("zero length, journal beside it") << QByteArray() << journal;
        QTest::newRow("garbage, journal beside it") << garbage << journal;
    }
    void foreignFileIsNeverTouched() {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, journal);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        QVERIFY(writeBytes(path, contents));
        if (!journal.isEmpty())
            QVERIFY(writeBytes(path + "-journal", journal));
        verifyLeftAlone(folder.path(), path);
    }

    void databaseWithoutSettingsIsNeverTouched_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("no tables") << "PRAGMA user_version = 7";
        QTest::newRow("other table") << "CREATE TABLE speed (LAJ, PANJAN, NAD, DOT); "
                                        "INSERT INTO speed VALUES (1, 2, 3, 4)";
        QTest::newRow("column missing") << "CREATE TABLE laju (LAJ, PANJAN, NAD); "
                                           "INSERT INTO laju VALUES (1, 2, 3)";
        QTest::newRow("column misnamed") << "CREATE TABLE laju (LAJ, PANJAN, NAD, DOTS); "
                                            "INSERT INTO laju VALUES (1, 2, 3, 4)";
        QTest::newRow("empty table") << "CREATE TABLE laju (LAJ, PANJAN, NAD, DOT)";
    }
    void databaseWithoutSettingsIsNeverTouched() {
        QFETCH(QString, sql);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        {
            OtherConnection maker(path);
            QVERIFY2(maker.run(sql), maker.error());
        }
        verifyLeftAlone(folder.path(), path);
    }

    void nonFileAtPathIsLeftAlone_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to nowhere") << "link to nowhere";
        QTest::newRow("link to a folder") << "link to a folder";
    }
    void nonFileAtPathIsLeftAlone() {
        QFETCH(QString, kind);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        if (kind == "folder")
            QVERIFY(QDir(folder.path()).mkdir("laju.mdb"));
        else if (kind == "link to nowhere")
            QVERIFY(QFile::link(folder.filePath("nowhere.mdb"), path));
        else
            QVERIFY(QDir(folder.path()).mkdir("sub") && QFile::link(folder.filePath("sub"), path));
        verifyLeftAlone(folder.path(), path);
    }

    void fileBecomingForeignIsNotWritten_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("journal");
        const QByteArray journal = crashedJournalBytes();
        QVERIFY(!journal.isEmpty());
        QTest::newRow("emptied") << QByteArray() << QByteArray();
        QTest::newRow("overwritten, journal beside it") << QByteArray(8192, char(0xA5)) << journal;
    }
    void fileBecomingForeignIsNotWritten() {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, journal);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        const auto original = store.firstRecord();
        QVERIFY(original.has_value());
        QVERIFY(writeBytes(path, contents));
        if (!journal.isEmpty())
            QVERIFY(writeBytes(path + "-journal", journal));
        const QStringList before = snapshotOf(folder.path());
        QVERIFY(!store.writeBack(*original, kTyped));
        store.close();
        QCOMPARE(snapshotOf(folder.path()), before);
    }

    void vanishedRecordIsNotAddedBack() {
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        const auto original = store.firstRecord();
        QVERIFY(original.has_value());
        OtherConnection other(path);
        QVERIFY(other.run("DELETE FROM laju"));
        QVERIFY(!store.writeBack(*original, kTyped));
        QVERIFY(!store.failure().empty());
        store.close();
        QCOMPARE(other.rows("SELECT count(*) FROM laju"), QStringList{"0"});
    }

    void writeBackWithoutReadWritesNothing_data() {
        QTest::addColumn<bool>("closeFirst");
        QTest::newRow("never read") << false;
        QTest::newRow("read, then closed") << true;
    }
    void writeBackWithoutReadWritesNothing() {
        QFETCH(bool, closeFirst);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        if (closeFirst) {
            QVERIFY(store.firstRecord().has_value());
            store.close();
        }
        const QStringList before = snapshotOf(folder.path());
        QVERIFY(!store.writeBack(kFallbacks, kTyped));
        QCOMPARE(snapshotOf(folder.path()), before);
    }

    void lockedFileGivesUpInTime_data() {
        QTest::addColumn<QString>("lock");
        QTest::newRow("another writer, exclusive") << "BEGIN EXCLUSIVE";
        QTest::newRow("another writer, reserved") << "BEGIN IMMEDIATE";
        QTest::newRow("a reader") << "BEGIN; SELECT count(*) FROM laju";
    }
    void lockedFileGivesUpInTime() {
        QFETCH(QString, lock);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        const auto original = store.firstRecord();
        QVERIFY(original.has_value());
        const QStringList before = snapshotOf(folder.path());

        OtherConnection other(path);
        QVERIFY2(other.run(lock), other.error());
        QElapsedTimer timer;
        timer.start();
        const bool written = store.writeBack(*original, kTyped);
        store.close();
        const qint64 elapsed = timer.elapsed();
        QVERIFY(other.run("ROLLBACK"));

        QVERIFY(!written);
        QVERIFY2(elapsed < 5000, qPrintable(QString("took %1 ms").arg(elapsed)));
        QCOMPARE(snapshotOf(folder.path()), before);
    }

    void interruptedWriteBackIsRolledBackOnRead() {
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        const QString journal = path + "-journal";
        QVERIFY(SettingsStore().open(path.toStdString()));
        QVERIFY(crashMidWriteBack(path));
        SettingsStore store;
        QVERIFY(store.open(path.toStdString()));
        const auto record = store.firstRecord();
        QVERIFY2(record.has_value(), store.failure().c_str());
        QCOMPARE(*record, kFallbacks);
        QVERIFY(store.writeBack(*record, kTyped));
        store.close();
        QVERIFY(!QFileInfo::exists(journal));
    }

    void unwritablePlaceKeepsFile_data() {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<int>("expected");
        QTest::newRow("read-only file") << Obstacle::ReadOnlyFile << (kOpened | kReadFallbacks);
        QTest::newRow("read-only folder") << Obstacle::ReadOnlyFolder << (kOpened | kReadFallbacks);
        QTest::newRow("read-only folder, no file yet") << Obstacle::ReadOnlyFolderNoFile << 0;
        QTest::newRow("full disk") << Obstacle::FullDisk << (kOpened | kReadFallbacks);
    }
    void unwritablePlaceKeepsFile() {
        QFETCH(Obstacle, obstacle);
        QFETCH(int, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        if (obstacle != Obstacle::ReadOnlyFolderNoFile)
            QVERIFY(SettingsStore().open(path.toStdString()));
        const bool folderReadOnly =
            obstacle == Obstacle::ReadOnlyFolder || obstacle == Obstacle::ReadOnlyFolderNoFile;
        QVERIFY(chmod(qPrintable(folder.path()), folderReadOnly ? 0555 : 0777) == 0);
        if (QFileInfo::exists(path))
            QVERIFY(chmod(qPrintable(path), obstacle == Obstacle::ReadOnlyFile ? 0444 : 0666) == 0);
        const QStringList before = snapshotOf(folder.path());

        const int outcome = liveThroughInChild(path, obstacle, QFileInfo(path).size());
        QVERIFY(chmod(qPrintable(folder.path()), 0700) == 0);

        if (outcome == kCannotDropRoot)
            QSKIP("cannot run as an unprivileged user here");
        QCOMPARE(outcome, expected);
        QCOMPARE(snapshotOf(folder.path()), before);
    }

    void setAttributesNormalAddsOwnerWrite_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        QTest::newRow("read-only for all") << 0444 << 0644;
        QTest::newRow("owner read only") << 0400 << 0600;
        QTest::newRow("no permissions") << 0000 << 0200;
        QTest::newRow("executable") << 0555 << 0755;
        QTest::newRow("already writable") << 0664 << 0664;
        QTest::newRow("others may write, owner not") << 0466 << 0666;
        QTest::newRow("set-user-id kept") << 04555 << 04755;
    }
    void setAttributesNormalAddsOwnerWrite() {
        QFETCH(int, mode);
        QFETCH(int, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.dbf");
        QVERIFY(writeBytes(path, "record"));
        QVERIFY(chmod(qPrintable(path), mode_t(mode)) == 0);
        setAttributesNormal(path.toStdString());
        struct stat info {};
        QVERIFY(stat(qPrintable(path), &info) == 0);
        QCOMPARE(int(info.st_mode & 07777), expected);
        QCOMPARE(QFileInfo(path).size(), qint64(6));
    }

    void setAttributesNormalLeavesNonFilesAlone_data() {
        QTest::addColumn<bool>("folderThere");
        QTest::newRow("missing file") << false;
        QTest::newRow("folder") << true;
    }
    void setAttributesNormalLeavesNonFilesAlone() {
        QFETCH(bool, folderThere);
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.dbf");
        if (folderThere)
            QVERIFY(QDir(folder.path()).mkdir("laju.dbf") && chmod(qPrintable(path), 0555) == 0);
        const QStringList before = snapshotOf(folder.path());
        setAttributesNormal(path.toStdString());
        QCOMPARE(snapshotOf(folder.path()), before);
    }

private:
    // The store's whole life on a file that holds no settings: nothing read, nothing written,
    // not a byte of the folder changed.
    void verifyLeftAlone(const QString& folder, const QString& path) {
        const QStringList before = snapshotOf(folder);
        SettingsStore store;
        const bool opened = store.open(path.toStdString());
        QVERIFY(!store.firstRecord().has_value());
        QVERIFY(!store.failure().empty());
        QVERIFY(!store.writeBack(opened ? kFallbacks : SettingsRecord{}, kTyped));
        store.close();
        QCOMPARE(snapshotOf(folder), before);
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "test_settings_store.moc"
