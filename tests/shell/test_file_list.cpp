#include "shell/file_list.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* const kLibraryPattern = "*.txt;*.text;*.htm;*.html;*.doc;*. ";

bool touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
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
        const QString library = QString::fromLatin1(kLibraryPattern);
        QTest::newRow("txt") << "nota.txt" << library << true;
        QTest::newRow("text") << "buku.text" << library << true;
        QTest::newRow("htm") << "a.htm" << library << true;
        QTest::newRow("html") << "a.html" << library << true;
        QTest::newRow("doc") << "a.doc" << library << true;
        QTest::newRow("no extension") << "README" << library << true;
        QTest::newRow("upper-case extension") << "NOTES.TXT" << library << true;
        QTest::newRow("mixed-case extension") << "Nota.Html" << library << true;
        QTest::newRow("rtf not offered") << "a.rtf" << library << false;
        QTest::newRow("docx not offered") << "a.docx" << library << false;
        QTest::newRow("txt inside the name") << "a.txt.bak" << library << false;
        QTest::newRow("two extensions, last counts") << "a.bak.txt" << library << true;
        QTest::newRow("name ending in a dot has an extension") << "a." << library << false;
        QTest::newRow("no extension without the last pattern") << "README"
                                                               << "*.txt" << false;
        QTest::newRow("extension only")
            << ".txt"
            << "*.txt" << true; // matched here; the list hides it as a hidden file
        QTest::newRow("question mark is one character") << "a1.txt"
                                                        << "a?.txt" << true;
        QTest::newRow("question mark needs a character") << "a.txt"
                                                         << "a?.txt" << false;
        QTest::newRow("star in the middle") << "lesson-07.txt"
                                            << "les*7.txt" << true;
        QTest::newRow("stars backtrack") << "aXbXc.txt"
                                         << "a*b*c.txt" << true;
        QTest::newRow("several stars no match") << "aXbXd.txt"
                                                << "a*b*c.txt" << false;
        QTest::newRow("exact name") << "nota.txt"
                                    << "nota.txt" << true;
        QTest::newRow("exact name, other case") << "NOTA.txt"
                                                << "nota.TXT" << true;
        QTest::newRow("blanks around patterns") << "a.doc"
                                                << "  *.txt ;  *.doc  " << true;
        QTest::newRow("empty elements skipped") << "a.doc"
                                                << ";;*.doc;" << true;
        QTest::newRow("empty pattern list") << "a.txt"
                                            << "" << false;
        QTest::newRow("star dot star takes names without extension") << "README"
                                                                     << "*.*" << true;
        QTest::newRow("star dot star takes any extension") << "a.b"
                                                           << "*.*" << true;
        QTest::newRow("star alone") << "anything.at.all"
                                    << "*" << true;
        QTest::newRow("prefix without extension") << "latihan"
                                                  << "lat*." << true;
        QTest::newRow("prefix without extension, other prefix") << "nota"
                                                                << "lat*." << false;
        QTest::newRow("non-ASCII name") << "café.txt" << library << true;
        QTest::newRow("non-ASCII case is exact") << "É.txt"
                                                 << "é.txt" << false;
        QTest::newRow("blank inside name") << "my notes.txt" << library << true;
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
        for (const char* name : {"zulu.txt", "Alpha.TXT", "bravo.html", "README", "notes.rtf",
                                 "image.png", ".hidden.txt", "charlie.doc", "delta.text", "b.htm"})
            QVERIFY(touch(folder.filePath(QString::fromUtf8(name))));
        QVERIFY(dir.mkdir(QStringLiteral("folder.txt")));
        QVERIFY(dir.mkdir(QStringLiteral("FOLDER")));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("zulu.txt")),
                            folder.filePath(QStringLiteral("link.txt"))));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("gone")),
                            folder.filePath(QStringLiteral("broken.txt"))));

        const FileList list(folder.path().toStdString(), kLibraryPattern);
        QCOMPARE(names(list), (QStringList{"Alpha.TXT", "b.htm", "bravo.html", "charlie.doc",
                                           "delta.text", "link.txt", "README", "zulu.txt"}));
        QCOMPARE(QString::fromStdString(list.folder()), folder.path());
        QCOMPARE(list.selectedIndex(), -1);
    }

    void namesDifferingOnlyInCaseKeepAFixedOrder() {
        QTemporaryDir folder;
        for (const char* name : {"nota.txt", "NOTA.txt", "Nota.txt"})
            QVERIFY(touch(folder.filePath(QString::fromUtf8(name))));
        const FileList list(folder.path().toStdString(), "*.txt");
        QCOMPARE(names(list), (QStringList{"NOTA.txt", "Nota.txt", "nota.txt"}));
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
        for (const char* file : {"a.txt", "b.txt", "c.txt"})
            QVERIFY(touch(folder.filePath(QString::fromUtf8(file))));
        FileList list(folder.path().toStdString(), "*.txt");
        list.select(1);
        list.select(index);
        QCOMPARE(list.selectedIndex(), selected);
        QCOMPARE(QString::fromStdString(list.name(list.selectedIndex())), name);
    }

    void refreshShowsNewFilesAndKeepsTheSelection() {
        QTemporaryDir folder;
        for (const char* file : {"b.txt", "d.txt"})
            QVERIFY(touch(folder.filePath(QString::fromUtf8(file))));
        FileList list(folder.path().toStdString(), "*.txt");
        list.select(1);
        QVERIFY(touch(folder.filePath(QStringLiteral("a.txt"))));
        QVERIFY(touch(folder.filePath(QStringLiteral("c.txt"))));
        QCOMPARE(list.count(), 2);
        list.refresh();
        QCOMPARE(names(list), (QStringList{"a.txt", "b.txt", "c.txt", "d.txt"}));
        QCOMPARE(list.name(list.selectedIndex()), std::string("d.txt"));
        QVERIFY(QFile::remove(folder.filePath(QStringLiteral("d.txt"))));
        list.refresh();
        QCOMPARE(list.selectedIndex(), -1);
    }

    void setPatternReadsTheFolderAgain() {
        QTemporaryDir folder;
        for (const char* file : {"a.txt", "b.rtf"})
            QVERIFY(touch(folder.filePath(QString::fromUtf8(file))));
        FileList list(folder.path().toStdString(), "*.txt");
        QCOMPARE(names(list), QStringList{"a.txt"});
        QVERIFY(touch(folder.filePath(QStringLiteral("c.rtf"))));
        list.setPattern("*.rtf");
        QCOMPARE(names(list), (QStringList{"b.rtf", "c.rtf"}));
    }
};

QTEST_GUILESS_MAIN(FileListTest)
#include "test_file_list.moc"
