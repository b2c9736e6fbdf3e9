#include "storage/file_list.h"
#include "trainer/settings_binding.h"

#include "test_classes.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

// The library's list of files: which names it shows, in what order.
class FilesTest : public QObject {
    Q_OBJECT
private slots:
    void libraryPatternMatches() {
        const char* const library = SettingsBinding::kLibraryPattern;
        // clang-format off
        const std::tuple<const char*, const char*, bool> rows[] = {
            {"nota.txt", library, true}, {"a.doc", library, true}, {"README", library, true},
            {"NOTES.TXT", library, true}, {"café.txt", library, true}, {"a.docx", library, false},
            {"a.txt.bak", library, false}, {"a.bak.txt", library, true}, {"a.", library, false},
            {"README", "*.txt", false}, {"a1.txt", "a?.txt", true}, {"a.txt", "a?.txt", false},
            {"aXbXc.txt", "a*b*c.txt", true}, {"aXbXd.txt", "a*b*c.txt", false},
            {"a.doc", "  *.txt ;  *.doc  ", true}, {"a.doc", ";;*.doc;", true},
            {"a.txt", "", false}, {"README", "*.*", true}, {"latihan", "lat*.", true},
            {"É.txt", "é.txt", false}};
        // clang-format on
        for (auto [name, patterns, expected] : rows)
            QVERIFY2(matchesPatterns(name, patterns) == expected, name);
    }

    // Only regular files are listed (no folders, hidden files, broken links or pipes), sorted by
    // name ignoring case; the selection follows its name through a refresh.
    void listsRegularFilesSorted() {
        QTemporaryDir folder;
        QDir dir(folder.path());
        for (const char* name : {"zulu.txt", "Alpha.TXT", "README", "image.png", ".hidden.txt",
                                 "NOTA.txt", "nota.txt"}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(dir.mkdir("folder.txt"));
        QVERIFY(QFile::link(folder.filePath("gone"), folder.filePath("broken.txt")));
        QVERIFY(::mkfifo(qPrintable(folder.filePath("pipe.txt")), 0600) == 0);
        FileList list(folder.path().toStdString(), SettingsBinding::kLibraryPattern);
        QStringList names;
        for (int i = 0; i < list.count(); ++i)
            names << QString::fromStdString(list.name(i));
        QCOMPARE(names, (QStringList{"Alpha.TXT", "NOTA.txt", "nota.txt", "README", "zulu.txt"}));
        list.select(3);
        QVERIFY(QFile(folder.filePath("aa.txt")).open(QIODevice::WriteOnly));
        list.refresh();
        QCOMPARE(list.name(list.selectedIndex()), std::string("README"));
        for (int outside : {6, -1, -100}) {
            list.select(outside);
            QCOMPARE(list.selectedIndex(), -1);
        }
        QCOMPARE(FileList("/nonexistent/folder", "*").count(), 0);
    }
};

VORNIK_TEST(FilesTest)
#include "test_files.moc"
