#include "storage/file_list.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* const kLibraryPattern = "*.txt;*.text;*.htm;*.html;*.doc;*. ";

bool touch(const QTemporaryDir& folder, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (!QFile(folder.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly))
            return false;
    return true;
}

QStringList names(const FileList& list) {
    QStringList result;
    for (int i = 0; i < list.count(); ++i)
        result << QString::fromStdString(list.name(i));
    return result;
}

} // namespace

class FileListTest : public QObject {
    Q_OBJECT
private slots:
    void matches_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("patterns");
        QTest::addColumn<bool>("expected");
        const auto row = [](const char* title, const char* name, const char* patterns,
                            bool expected) {
            QTest::newRow(title) << QString(name) << QString(patterns) << expected;
        };
        const char* const library = kLibraryPattern;
        row("first of the library's patterns", "nota.txt", library, true);
        row("a middle one", "a.doc", library, true);
        row("no extension, the last pattern", "README", library, true);
        row("upper-case extension", "NOTES.TXT", library, true);
        row("non-ASCII name", "café.txt", library, true);
        row("docx not offered", "a.docx", library, false);
        row("txt inside the name", "a.txt.bak", library, false);
        row("two extensions, last counts", "a.bak.txt", library, true);
        row("name ending in a dot has an extension", "a.", library, false);
        row("no extension without the last pattern", "README", "*.txt", false);
        row("extension only", ".txt", "*.txt", true); // matched here; the list hides it
        row("question mark is one character", "a1.txt", "a?.txt", true);
        row("question mark needs a character", "a.txt", "a?.txt", false);
        row("stars backtrack", "aXbXc.txt", "a*b*c.txt", true);
        row("several stars no match", "aXbXd.txt", "a*b*c.txt", false);
        row("exact name, other case", "NOTA.txt", "nota.TXT", true);
        row("blanks around patterns", "a.doc", "  *.txt ;  *.doc  ", true);
        row("empty elements skipped", "a.doc", ";;*.doc;", true);
        row("empty pattern list", "a.txt", "", false);
        row("star dot star takes names without extension", "README", "*.*", true);
        row("star dot star takes any extension", "a.b", "*.*", true);
        row("star alone", "anything.at.all", "*", true);
        row("prefix without extension", "latihan", "lat*.", true);
        row("prefix without extension, other prefix", "nota", "lat*.", false);
        row("non-ASCII case is exact", "É.txt", "é.txt", false);
    }
    void matches() {
        QFETCH(QString, name);
        QFETCH(QString, patterns);
        QFETCH(bool, expected);
        QCOMPARE(matchesPatterns(name.toStdString(), patterns.toStdString()), expected);
    }

    void listsMatchingRegularFilesSorted() {
        QTemporaryDir folder;
        QDir dir(folder.path());
        QVERIFY(touch(folder, {"zulu.txt", "Alpha.TXT", "bravo.html", "README", "notes.rtf",
                               "image.png", ".hidden.txt", "charlie.doc", "delta.text", "b.htm",
                               "nota.txt", "NOTA.txt", "Nota.txt"}));
        QVERIFY(dir.mkdir(QStringLiteral("folder.txt")));
        QVERIFY(dir.mkdir(QStringLiteral("FOLDER")));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("zulu.txt")),
                            folder.filePath(QStringLiteral("link.txt"))));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("gone")),
                            folder.filePath(QStringLiteral("broken.txt"))));

        const FileList list(folder.path().toStdString(), kLibraryPattern);
        // Names differing only in case keep a fixed order.
        QCOMPARE(names(list), (QStringList{"Alpha.TXT", "b.htm", "bravo.html", "charlie.doc",
                                           "delta.text", "link.txt", "NOTA.txt", "Nota.txt",
                                           "nota.txt", "README", "zulu.txt"}));
        QCOMPARE(QString::fromStdString(list.folder()), folder.path());
        QCOMPARE(list.selectedIndex(), -1);
    }

    void missingFolderIsAnEmptyList() {
        const FileList list("/nonexistent/folder/for/the/list", kLibraryPattern);
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.name(0), std::string());
    }

    void select_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << 0 << 0 << "a.txt";
        QTest::newRow("last") << 2 << 2 << "c.txt";
        QTest::newRow("past the end clears") << 3 << -1 << "";
        QTest::newRow("minus one clears") << -1 << -1 << "";
        QTest::newRow("far negative clears") << -100 << -1 << "";
    }
    void select() {
        QFETCH(int, index);
        QFETCH(int, selected);
        QFETCH(QString, name);
        QTemporaryDir folder;
        QVERIFY(touch(folder, {"a.txt", "b.txt", "c.txt"}));
        FileList list(folder.path().toStdString(), "*.txt");
        list.select(1);
        list.select(index);
        QCOMPARE(list.selectedIndex(), selected);
        QCOMPARE(QString::fromStdString(list.name(list.selectedIndex())), name);
    }

    void refreshAndSetPatternReadTheFolderAgain() {
        QTemporaryDir folder;
        QVERIFY(touch(folder, {"b.txt", "d.txt", "b.rtf"}));
        FileList list(folder.path().toStdString(), "*.txt");
        list.select(1);
        QVERIFY(touch(folder, {"a.txt", "c.txt"}));
        QCOMPARE(list.count(), 2);
        list.refresh();
        QCOMPARE(names(list), (QStringList{"a.txt", "b.txt", "c.txt", "d.txt"}));
        QCOMPARE(list.name(list.selectedIndex()), std::string("d.txt")); // it follows its file
        QVERIFY(QFile::remove(folder.filePath(QStringLiteral("d.txt"))));
        list.refresh();
        QCOMPARE(list.selectedIndex(), -1);
        QVERIFY(touch(folder, {"c.rtf"}));
        list.setPattern("*.rtf");
        QCOMPARE(names(list), (QStringList{"b.rtf", "c.rtf"}));
    }
};

QTEST_GUILESS_MAIN(FileListTest)
#include "test_file_list.moc"
