#include "storage/settings_store.h"
#include "tests/support/unprivileged.h"

#include "file_bytes.h"
#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>

#include "test_classes.h"
#include <csignal>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

// The settings file is the learner's: whatever is at its place, the store reads what it can and
// never damages a byte of anything else, nor of the file when a write cannot be made whole.
namespace {

const SettingsRecord kDefaults{"3000", "250", "700", "2.8"};
const SettingsRecord kTyped{"3100", "300", "800", "3"};

// Another program with the file open: runs SQL on it, reads its records as "a b c d".
struct Other {
    sqlite3* db = nullptr;
    explicit Other(const QString& path) { sqlite3_open(qPrintable(path), &db); }
    ~Other() { sqlite3_close(db); }
    bool run(const QString& sql) {
        return sqlite3_exec(db, qPrintable(sql), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    QStringList rows() {
        QStringList out;
        const auto add = [](void* list, int, char** row, char**) {
            return static_cast<QStringList*>(list)->append(QString::fromUtf8(row[0])), 0;
        };
        sqlite3_exec(db, "SELECT LAJ||' '||PANJAN||' '||NAD||' '||DOT FROM laju ORDER BY rowid",
                     add, &out, nullptr);
        return out;
    }
};

// A folder of its own; equal snapshots mean no byte, name or permission in it changed.
struct Place {
    QTemporaryDir folder;
    QString path = folder.filePath("laju.mdb");
    QStringList snapshot() const {
        QStringList lines;
        for (const QFileInfo& e : QDir(folder.path())
                                      .entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot))
            lines << e.fileName() + e.symLinkTarget() + QString::number(e.permissions().toInt()) +
                         QCryptographicHash::hash(readBytes(e.filePath()), QCryptographicHash::Md5)
                             .toHex();
        return lines;
    }
};

// Read at start-up, every box changed, written back at the close.
struct Lifetime {
    bool opened, written;
    std::optional<SettingsRecord> read;
};
Lifetime liveThrough(const QString& path, const SettingsRecord& typed) {
    SettingsStore store;
    const bool opened = store.open(path.toStdString());
    const auto read = store.firstRecord();
    const bool written = store.writeBack(read.value_or(SettingsRecord{}), typed);
    return {opened, written, read};
}

// Another program wrote "half" into LAJ and crashed before deleting its journal.
bool crashMidWriteBack(const QString& path) {
    Other crashing(path);
    if (!crashing.run("PRAGMA synchronous = OFF; BEGIN; UPDATE laju SET LAJ = 'half'"))
        return false;
    const QByteArray journal = readBytes(path + "-journal");
    return !journal.isEmpty() && crashing.run("COMMIT") && writeBytes(path + "-journal", journal);
}

// The store's life as the user "nobody" (root writes through any permission), with the file size
// limited to what it has when `fullDisk`. Result: 1 opened, 2 read the defaults, 4 written.
int liveThroughAsNobody(const QString& path, bool fullDisk) {
    return runUnprivileged([&] {
        if (fullDisk) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(QFileInfo(path).size()), rlim_t(QFileInfo(path).size())};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        const Lifetime life = liveThrough(path, {std::string(1 << 20, '7'), "300", "800", "3"});
        return (life.opened ? 1 : 0) | (life.read == kDefaults ? 2 : 0) | (life.written ? 4 : 0);
    });
}

} // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    // Any text a box can hold comes back character for character; a missing file is made with
    // the defaults and nothing else appears beside it.
    void anyTextRoundTrips() {
        // clang-format off
        const SettingsRecord rows[] = {
            {"-3000", "250.25", "-700", "2.75"}, {"abc", "", "700 Hz", "2,8"},
            {std::string(500, '9'), "1e999", "'; DROP TABLE laju; --", "NULL"},
            {"три", "ä", "\t", "a\nb"}};
        // clang-format on
        for (const SettingsRecord& boxes : rows) {
            const Place place;
            const Lifetime first = liveThrough(place.path, boxes);
            QVERIFY(first.read == kDefaults && first.written);
            QCOMPARE(place.snapshot().size(), 1);
            SettingsStore store;
            QVERIFY(store.open(place.path.toStdString()) && store.firstRecord() == boxes);
        }
    }

    // A field left alone keeps what another program wrote meanwhile; nothing changed writes
    // nothing.
    void onlyChangedFieldsAreWritten() {
        for (int changed = -1; changed < int(kSettingsFields.size()); ++changed) {
            const Place place;
            SettingsStore store;
            QVERIFY(store.open(place.path.toStdString()));
            const SettingsRecord original = store.firstRecord().value();
            Other other(place.path);
            QVERIFY(other.run("UPDATE laju SET LAJ = 'x1', PANJAN = 'x2', NAD = 'x3', DOT = 'x4'"));
            const QStringList before = place.snapshot();
            SettingsRecord typed = original, expected{"x1", "x2", "x3", "x4"};
            if (changed >= 0)
                typed.*kSettingsFields[std::size_t(changed)].member =
                    expected.*kSettingsFields[std::size_t(changed)].member = "y";
            QVERIFY(store.writeBack(original, typed));
            store.close();
            QCOMPARE(other.rows(),
                     QStringList{QString::fromStdString(expected.laj + " " + expected.panjan + " " +
                                                        expected.nad + " " + expected.dot)});
            if (changed < 0)
                QCOMPARE(place.snapshot(), before);
        }
    }

    // Only the lowest rowid counts, whatever types it holds; a crashed write-back is rolled back.
    void firstRecordReadAsText() {
        const std::tuple<const char*, bool, SettingsRecord> rows[] = {
            {"(1, 3000, -250, 700, 2.8)", false, {"3000", "-250", "700", "2.8"}},
            {"(1, NULL, X'333030', '', 'x')", false, {"", "300", "", "x"}},
            {"(7, '9', '9', '9', '9'), (3, '3000', '250', '700', '2.8')", false, kDefaults},
            {"(1, '3000', '250', '700', '2.8')", true, kDefaults}};
        for (const auto& [records, crashed, read] : rows) {
            const Place place;
            Other other(place.path);
            QVERIFY(other.run("CREATE TABLE laju (LAJ, PANJAN, NAD, DOT)"));
            QVERIFY(other.run(QString("INSERT INTO laju(rowid, LAJ, PANJAN, NAD, DOT) VALUES ") +
                              records));
            QVERIFY(!crashed || crashMidWriteBack(place.path));
            const Lifetime life = liveThrough(place.path, kTyped);
            QVERIFY(life.read == read && life.written);
            QCOMPARE(other.rows().first(), QString("3100 300 800 3"));
            QVERIFY(!QFileInfo::exists(place.path + "-journal"));
        }
    }

    // Whatever holds no settings is read as nothing and left exactly as it was.
    void placeWithoutSettingsIsLeftAlone() {
        QByteArray brokenHeader;
        {
            const Place made;
            SettingsStore().open(made.path.toStdString());
            brokenHeader = readBytes(made.path);
            brokenHeader[0] = 's';
        }
        // clang-format off
        const std::pair<const char*, QByteArray> rows[] = {
            {"bytes", ""}, {"bytes", "SQLite format 3"},
            {"bytes", QByteArray("SQLite format 3\0", 16) + QByteArray(4096, char(0xA5))},
            {"bytes", brokenHeader}, {"journal", ""}, {"sql", "PRAGMA user_version = 7"},
            {"sql", "CREATE TABLE laju (LAJ, PANJAN, NAD); INSERT INTO laju VALUES (1, 2, 3)"},
            {"sql", "CREATE TABLE laju (LAJ, PANJAN, NAD, DOT)"}, {"folder", ""},
            {"link", "nowhere.mdb"}, {"path", "no-such-folder/laju.mdb"},
            {"path", "plain.txt/laju.mdb"}, {"path", "/proc/laju.mdb"}};
        // clang-format on
        for (const auto& [what, given] : rows) {
            const Place place;
            const QString kind = what;
            const QString path =
                kind == "path" ? QDir(place.folder.path()).filePath(given) : place.path;
            QVERIFY(writeBytes(place.folder.filePath("plain.txt"), "a note"));
            if (kind == "bytes" || kind == "journal")
                QVERIFY(writeBytes(path, given));
            if (kind == "journal") { // an empty file with a crashed write-back's journal beside it
                const Place other;
                QVERIFY(SettingsStore().open(other.path.toStdString()) &&
                        crashMidWriteBack(other.path));
                QVERIFY(writeBytes(path + "-journal", readBytes(other.path + "-journal")));
            }
            if (kind == "folder")
                QVERIFY(QDir(place.folder.path()).mkdir("laju.mdb"));
            if (kind == "link")
                QVERIFY(QFile::link(place.folder.filePath(given), path));
            if (kind == "sql")
                QVERIFY(Other(path).run(given));
            const QStringList before = place.snapshot();
            SettingsStore store;
            store.open(path.toStdString());
            QVERIFY2(!store.firstRecord() && !store.writeBack(kTyped, {}),
                     qPrintable(kind + given));
            store.close();
            QCOMPARE(place.snapshot(), before);
        }
    }

    // Every reason a write-back must fail leaves the folder as it was (how soon a lock is given up
    // is a benchmark figure: bench/settings_locked_close.cpp).
    void writeBackThatMustFailWritesNothing() {
        for (const QString happening :
             {"emptied", "overwritten", "never read", "closed", "DELETE FROM laju",
              "BEGIN EXCLUSIVE", "BEGIN IMMEDIATE", "BEGIN; SELECT count(*) FROM laju"}) {
            const Place place;
            SettingsStore store;
            QVERIFY(store.open(place.path.toStdString()));
            if (happening != "never read")
                QVERIFY(store.firstRecord() == kDefaults);
            if (happening == "closed")
                store.close();
            if (happening == "emptied" || happening == "overwritten")
                QVERIFY(writeBytes(place.path,
                                   happening == "emptied" ? "" : QByteArray(8192, char(0xA5))));
            Other other(place.path);
            QVERIFY(!happening.front().isUpper() || other.run(happening));
            const QStringList before = place.snapshot();
            QVERIFY2(!store.writeBack(kDefaults, kTyped), qPrintable(happening));
            store.close();
            QCOMPARE(place.snapshot(), before);
        }
    }

    // A read-only file or folder, or a full disk: the defaults are read, nothing is written.
    void unwritablePlaceKeepsTheFile() {
        for (const QString obstacle : {"file", "folder", "full disk"}) {
            const Place place;
            QVERIFY(SettingsStore().open(place.path.toStdString()));
            QVERIFY(chmod(qPrintable(place.folder.path()), obstacle == "folder" ? 0555 : 0777) ==
                    0);
            QVERIFY(chmod(qPrintable(place.path), obstacle == "file" ? 0444 : 0666) == 0);
            const QStringList before = place.snapshot();
            const int outcome = liveThroughAsNobody(place.path, obstacle == "full disk");
            chmod(qPrintable(place.folder.path()), 0700);
            if (outcome == 255)
                QSKIP("cannot run as an unprivileged user here");
            QCOMPARE(outcome, 1 | 2);
            QCOMPARE(place.snapshot(), before);
        }
    }
};

VORNIK_TEST(SettingsStoreTest)
#include "test_settings_store.moc"
