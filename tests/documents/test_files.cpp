// Files on disk: what is refused when loading, and saves that fail without touching the file they
// would have replaced.
#include "documents/rtf_writer.h"
#include "documents/text_decoder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class FilesTest : public QObject {
    Q_OBJECT
private slots:
    // Files past the size limit (made sparse: the size counts, not the disk space), folders,
    // pipes and missing files are refused, and the reason names the file.
    void loads_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qsizetype>("size"); // -1: refused
        for (const char* kind : {"text", "limit", "big", "missing", "folder", "fifo"})
            QTest::newRow(kind) << kind
                                << (kind == QLatin1String("text") ? qsizetype(3)
                                    : kind == QLatin1String("limit")
                                        ? qsizetype(textfile::kMaxBytes)
                                        : qsizetype(-1));
    }
    void loads() {
        QFETCH(QString, kind);
        QFETCH(qsizetype, size);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("nota café .txt"));
        const std::string target = QFile::encodeName(path).toStdString();
        QFile file(path);
        if (kind == "text")
            QVERIFY(writeFile(path, "a\r\nb"));
        if (kind == "limit" || kind == "big")
            QVERIFY(writeFile(path, QByteArray(textfile::kMaxBytes, 'e')) &&
                    file.resize(textfile::kMaxBytes + (kind == "big")));
        if (kind == "folder")
            QVERIFY(QDir(folder.path()).mkdir(QFileInfo(path).fileName()));
        if (kind == "fifo")
            QCOMPARE(::mkfifo(target.c_str(), 0600), 0);
        const textfile::LoadResult result = textfile::load(target);
        QCOMPARE(result.ok ? qsizetype(result.text.size()) : -1, size);
        QVERIFY2(result.ok || result.error.starts_with(target), result.error.c_str());
    }

    // A save replaces the file in one step, also when the name is relative, and leaves no other.
    void saveCreatesAndReplaces() {
        QTemporaryDir folder;
        rich::RichDocument first;
        first.append("first", {});
        QVERIFY(rtf::save(first, folder.filePath("latihan").toStdString()).ok);
        QCOMPARE(QFile(folder.filePath("latihan")).size(), qint64(rtf::write(first).size()));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        const rtf::SaveResult result = rtf::save({}, "latihan");
        QDir::setCurrent(previous);
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(QFile(folder.filePath("latihan")).size(), qint64(rtf::write({}).size()));
        QCOMPARE(entries(folder.path()), QStringList{"latihan"});
    }

    // Whatever stops a save, the old file stays as it was and nothing half-written is left. A
    // full disk is a limit on file sizes, which makes writes fail with EFBIG.
    void failedSaveKeepsOldFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<rlim_t>("sizeLimit");
        QTest::newRow("no such folder") << "missing/nota.txt" << RLIM_INFINITY;
        QTest::newRow("target is a folder") << "folder" << RLIM_INFINITY;
        QTest::newRow("name too long for the new file") << QString(250, 'n') << RLIM_INFINITY;
        QTest::newRow("disk full while writing") << "nota.txt" << rlim_t(4096);
    }
    void failedSaveKeepsOldFile() {
        QFETCH(QString, name);
        QFETCH(rlim_t, sizeLimit);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        const QString old = name == "folder" ? path + "/inside.txt" : path;
        QVERIFY(name.contains('/') ||
                (QDir().mkpath(QFileInfo(old).path()) && writeFile(old, "old")));
        const QStringList before = entries(folder.path());
        rich::RichDocument document;
        document.append(std::string(64 * 1024, 'x'), {});
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = sizeLimit;
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        const rtf::SaveResult result = rtf::save(document, path.toStdString());
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        QVERIFY(!result.ok && !result.error.empty());
        QCOMPARE(entries(folder.path()), before);
        QVERIFY(name.contains('/') || QFile(old).size() == 3);
    }
};

QTEST_GUILESS_MAIN(FilesTest)
#include "test_files.moc"
