#include "storage/file_attributes.h"
#include "storage/settings_store.h"

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

namespace {

const SettingsRecord kTyped{"3100", "300", "800", "3"};
const QStringList kFallbackTexts{"3000", "250", "700", "2.8"};

SettingsRecord recordOf(const QStringList& boxes) {
    return {boxes[0].toStdString(), boxes[1].toStdString(), boxes[2].toStdString(),
            boxes[3].toStdString()};
}

// The four fields as text, so that a failed comparison prints them; nothing read is an empty list.
QStringList textsOf(const std::optional<SettingsRecord>& record) {
    if (!record)
        return {};
    return {QString::fromStdString(record->laj), QString::fromStdString(record->panjan),
            QString::fromStdString(record->nad), QString::fromStdString(record->dot)};
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
    QStringList rows(const QString& sql = "SELECT LAJ, PANJAN, NAD, DOT FROM laju ORDER BY rowid") {
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

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A folder of its own with the settings file's path in it. Two equal snapshots of the folder
// (names, kinds, sizes, contents, permissions) mean not a byte was written and no file came or
// went.
struct Place {
    QTemporaryDir folder;
    QString path = folder.filePath("laju.mdb");

    std::string file() const { return path.toStdString(); }
    QStringList snapshot() const {
        QStringList lines;
        const QDir::Filters all =
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        for (const QFileInfo& entry : QDir(folder.path()).entryInfoList(all, QDir::Name))
            lines << QStringList{entry.fileName(), entry.symLinkTarget(),
                                 QString::number(entry.isDir()),
                                 QString::number(entry.permissions().toInt(), 16),
                                 QString::fromLatin1(
                                     QCryptographicHash::hash(bytesOf(entry.filePath()),
                                                              QCryptographicHash::Sha256)
                                         .toHex())}
                         .join(' ');
        return lines;
    }
};

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

QByteArray madeFileBytes() {
    const Place place;
    SettingsStore().open(place.file());
    return bytesOf(place.path);
}

// Puts beside the file at `path` the journal such a crash leaves.
bool writeCrashJournal(const QString& path) {
    const Place place;
    return SettingsStore().open(place.file()) && crashMidWriteBack(place.path) &&
           writeBytes(path + "-journal", bytesOf(place.path + "-journal"));
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
    const Lifetime lifetime = liveThrough(path, {std::string(1 << 20, '7'), "300", "800", "3"});
    _exit((lifetime.opened ? kOpened : 0) |
          (textsOf(lifetime.read) == kFallbackTexts ? kReadFallbacks : 0) |
          (lifetime.written ? kWritten : 0));
}

} // namespace

Q_DECLARE_METATYPE(Obstacle)

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<QStringList>("boxes"); // LAJ, PANJAN, NAD, DOT
        QTest::newRow("negative and fractional") << QStringList{"-3000", "250.25", "-700", "2.75"};
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
        const Place place;
        const Lifetime first = liveThrough(place.path, recordOf(boxes));
        QCOMPARE(textsOf(first.read), kFallbackTexts); // a missing file is made with them
        QVERIFY(first.written);
        QCOMPARE(QDir(place.folder.path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"laju.mdb"});
        SettingsStore store;
        QVERIFY(store.open(place.file()));
        QCOMPARE(textsOf(store.firstRecord()), boxes);
        store.close();
        QCOMPARE(OtherConnection(place.path).rows(), boxes);
    }

    // A field the learner left alone keeps what another program wrote meanwhile; with nothing
    // changed, not a byte is written.
    void onlyChangedFieldsAreWritten_data() {
        QTest::addColumn<int>("changedField");
        QTest::newRow("none") << -1;
        for (int field = 0; field < int(kSettingsFields.size()); ++field)
            QTest::newRow(kSettingsFields[std::size_t(field)].column) << field;
    }
    void onlyChangedFieldsAreWritten() {
        QFETCH(int, changedField);
        const Place place;
        SettingsStore store;
        QVERIFY(store.open(place.file()));
        const auto original = store.firstRecord();
        QVERIFY(original.has_value());
        OtherConnection other(place.path);
        QVERIFY(other.run("UPDATE laju SET LAJ = 'x1', PANJAN = 'x2', NAD = 'x3', DOT = 'x4'"));
        const QStringList before = place.snapshot();
        SettingsRecord typed = *original;
        SettingsRecord expected{"x1", "x2", "x3", "x4"};
        if (changedField >= 0) {
            const auto member = kSettingsFields[std::size_t(changedField)].member;
            typed.*member = expected.*member = "typed";
        }
        QVERIFY2(store.writeBack(*original, typed), store.failure().c_str());
        store.close();
        QCOMPARE(other.rows(), textsOf(expected));
        if (changedField < 0)
            QCOMPARE(place.snapshot(), before);
    }

    // Only the record with the lowest rowid is read and written, whatever types it holds. A
    // write-back cut short by a crash is rolled back when the file is next read.
    void firstRecordIsReadAsText_data() {
        QTest::addColumn<QString>("records"); // rowid and the four fields of each
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<QStringList>("read");
        const QString fallbacks = "(1, '3000', '250', '700', '2.8')";
        QTest::newRow("integers and a real")
            << "(1, 3000, -250, 700, 2.8)" << false << QStringList{"3000", "-250", "700", "2.8"};
        QTest::newRow("null and a blob of text")
            << "(1, NULL, X'333030', '', 'x')" << false << QStringList{"", "300", "", "x"};
        QTest::newRow("second record after the first")
            << fallbacks + ", (2, '9', '99', '999', '9.9')" << false << kFallbackTexts;
        QTest::newRow("first record inserted last")
            << "(7, '9', '99', '999', '9.9'), (3, '3000', '250', '700', '2.8')" << false
            << kFallbackTexts;
        QTest::newRow("interrupted write-back") << fallbacks << true << kFallbackTexts;
    }
    void firstRecordIsReadAsText() {
        QFETCH(QString, records);
        QFETCH(bool, crashed);
        QFETCH(QStringList, read);
        const Place place;
        OtherConnection other(place.path);
        QVERIFY(other.run("CREATE TABLE laju (LAJ, PANJAN, NAD, DOT)"));
        QVERIFY(other.run("INSERT INTO laju(rowid, LAJ, PANJAN, NAD, DOT) VALUES " + records));
        const QStringList others = other.rows().mid(4);
        QVERIFY(!crashed || crashMidWriteBack(place.path));
        const Lifetime lifetime = liveThrough(place.path, kTyped);
        QCOMPARE(textsOf(lifetime.read), read);
        QVERIFY(lifetime.written);
        QCOMPARE(other.rows(), textsOf(kTyped) + others);
        QVERIFY(!QFileInfo::exists(place.path + "-journal"));
    }

    // Whatever is at the path, if it holds no settings the store reads nothing, writes nothing,
    // and leaves every byte of the folder as it was.
    void placeWithoutSettingsIsLeftAlone_data() {
        QTest::addColumn<QString>("what");     // "bytes", "journal" (bytes and a crashed
                                               // write-back's journal), "sql", "folder", "link",
        QTest::addColumn<QByteArray>("given"); // "path": the bytes, SQL, target or path given
        const auto row = [](const char* name, const char* what, const QByteArray& given) {
            QTest::newRow(name) << QString(what) << given;
        };
        const QByteArray garbage(4096, char(0xA5));
        QByteArray brokenHeader = madeFileBytes();
        brokenHeader[0] = 's';
        row("zero length", "bytes", "");
        row("zero length, journal beside it", "journal", "");
        row("header cut short", "bytes", "SQLite format 3");
        row("header then garbage", "bytes", QByteArray("SQLite format 3\0", 16) + garbage);
        row("settings file with a broken header", "bytes", brokenHeader);
        row("database without tables", "sql", "PRAGMA user_version = 7");
        row("column missing", "sql",
            "CREATE TABLE laju (LAJ, PANJAN, NAD); INSERT INTO laju VALUES (1, 2, 3)");
        row("empty table", "sql", "CREATE TABLE laju (LAJ, PANJAN, NAD, DOT)");
        row("folder", "folder", "");
        row("link to nowhere", "link", "nowhere.mdb");
        row("folder does not exist", "path", "no-such-folder/laju.mdb");
        row("folder is a file", "path", "plain.txt/laju.mdb");
        row("folder under /proc", "path", "/proc/laju.mdb");
    }
    void placeWithoutSettingsIsLeftAlone() {
        QFETCH(QString, what);
        QFETCH(QByteArray, given);
        const Place place;
        const QString path = what == "path"
                                 ? QDir(place.folder.path()).filePath(QString::fromUtf8(given))
                                 : place.path;
        QVERIFY(writeBytes(place.folder.filePath("plain.txt"), "a note"));
        if (what == "bytes" || what == "journal")
            QVERIFY(writeBytes(path, given));
        if (what == "journal")
            QVERIFY(writeCrashJournal(path));
        if (what == "folder")
            QVERIFY(QDir(place.folder.path()).mkdir("laju.mdb"));
        if (what == "link")
            QVERIFY(QFile::link(place.folder.filePath(QString::fromUtf8(given)), path));
        if (what == "sql") {
            OtherConnection maker(path);
            QVERIFY2(maker.run(QString::fromUtf8(given)), maker.error());
        }
        const QStringList before = place.snapshot();
        SettingsStore store;
        // Only what carries a database's header is opened at all.
        QCOMPARE(store.open(path.toStdString()),
                 what == "sql" || given.startsWith(QByteArray("SQLite format 3\0", 16)));
        QVERIFY(!store.firstRecord().has_value());
        QVERIFY(!store.failure().empty());
        QVERIFY(!store.writeBack(kTyped, SettingsRecord{}));
        store.close();
        QCOMPARE(place.snapshot(), before);
        QCOMPARE(QFileInfo::exists(path), what != "path" && what != "link");
    }

    // Every reason a write-back must fail, each leaving the folder as it was; none of them waits
    // long, since the window writes back while closing.
    void writeBackThatMustFailWritesNothing_data() {
        // SQL (in capitals) another program runs, its transaction held open, or what else happens.
        QTest::addColumn<QString>("happening");
        QTest::newRow("file emptied") << "emptied";
        QTest::newRow("file overwritten, journal beside it") << "overwritten";
        QTest::newRow("never read") << "never read";
        QTest::newRow("read, then closed") << "closed";
        QTest::newRow("record deleted") << "DELETE FROM laju";
        QTest::newRow("another writer, exclusive") << "BEGIN EXCLUSIVE";
        QTest::newRow("another writer, reserved") << "BEGIN IMMEDIATE";
        QTest::newRow("a reader") << "BEGIN; SELECT count(*) FROM laju";
    }
    void writeBackThatMustFailWritesNothing() {
        QFETCH(QString, happening);
        const Place place;
        SettingsStore store;
        QVERIFY(store.open(place.file()));
        if (happening != "never read")
            QCOMPARE(textsOf(store.firstRecord()), kFallbackTexts);
        if (happening == "closed")
            store.close();
        if (happening == "emptied")
            QVERIFY(writeBytes(place.path, ""));
        if (happening == "overwritten")
            QVERIFY(writeBytes(place.path, QByteArray(8192, char(0xA5))) &&
                    writeCrashJournal(place.path));
        OtherConnection other(place.path);
        QVERIFY2(!happening.front().isUpper() || other.run(happening), other.error());
        const QStringList before = place.snapshot();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!store.writeBack(recordOf(kFallbackTexts), kTyped));
        const qint64 elapsed = timer.elapsed();
        QVERIFY(!store.failure().empty());
        store.close();
        QCOMPARE(place.snapshot(), before);
        QVERIFY2(elapsed < 5000, qPrintable(QString("took %1 ms").arg(elapsed)));
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
        const Place place;
        const QString folder = place.folder.path();
        if (obstacle != Obstacle::ReadOnlyFolderNoFile)
            QVERIFY(SettingsStore().open(place.file()));
        const bool folderReadOnly =
            obstacle == Obstacle::ReadOnlyFolder || obstacle == Obstacle::ReadOnlyFolderNoFile;
        QVERIFY(chmod(qPrintable(folder), folderReadOnly ? 0555 : 0777) == 0);
        if (QFileInfo::exists(place.path))
            QVERIFY(chmod(qPrintable(place.path),
                          obstacle == Obstacle::ReadOnlyFile ? 0444 : 0666) == 0);
        const QStringList before = place.snapshot();
        const int outcome = liveThroughInChild(place.path, obstacle, QFileInfo(place.path).size());
        QVERIFY(chmod(qPrintable(folder), 0700) == 0);
        if (outcome == kCannotDropRoot)
            QSKIP("cannot run as an unprivileged user here");
        QCOMPARE(outcome, expected);
        QCOMPARE(place.snapshot(), before);
    }

    // Only the owner's write permission is added, and only to a file.
    void setAttributesNormal_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        QTest::newRow("read-only for all") << "laju.dbf" << 0444 << 0644;
        QTest::newRow("no permissions") << "laju.dbf" << 0000 << 0200;
        QTest::newRow("already writable") << "laju.dbf" << 0664 << 0664;
        QTest::newRow("others may write, owner not") << "laju.dbf" << 0466 << 0666;
        QTest::newRow("set-user-id and execute kept") << "laju.dbf" << 04555 << 04755;
        QTest::newRow("read-only folder") << "folder" << 0555 << 0555;
        QTest::newRow("missing file") << "" << 0 << 0;
    }
    void setAttributesNormal() {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(int, expected);
        const Place place;
        const QString path = place.folder.filePath(name.isEmpty() ? "laju.dbf" : name);
        if (name == "folder")
            QVERIFY(QDir(place.folder.path()).mkdir(name));
        else if (!name.isEmpty())
            QVERIFY(writeBytes(path, "record"));
        QVERIFY(name.isEmpty() || chmod(qPrintable(path), mode_t(mode)) == 0);
        ::setAttributesNormal(path.toStdString());
        struct stat info {};
        QCOMPARE(stat(qPrintable(path), &info) == 0, !name.isEmpty());
        QCOMPARE(int(info.st_mode & 07777), expected);
        if (name == "laju.dbf")
            QCOMPARE(QFileInfo(path).size(), qint64(6));
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "test_settings_store.moc"
