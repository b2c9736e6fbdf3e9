#include "library_folder.h"

#include <QListWidget>
#include <QTest>

namespace {
const QByteArray kWordDocument = QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(512, '\0');

// Clicks entry `index` of the file list as the learner would.
void chooseEntry(FormFixture& f, int index) {
    auto* list = f.form().findChild<QListWidget*>("File1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(index)).center());
}

// The texts, in order, that the player's tones spell: each file holds one letter made of dots
// (89 ms) and dashes (250 ms); a word gap separates the files.
QString lettersPlayed(const KeyingTrace& trace) {
    QString letters;
    QString code;
    const QString text = QString::fromStdString(trace.text());
    for (const QString& item : text.split(' ')) {
        if (item == "700x89")
            code += '.';
        else if (item == "700x250")
            code += '-';
        else if (item.endsWith('U') && item.chopped(1).toInt() >= 13 && !code.isEmpty()) {
            letters += code == "."    ? "E"
                       : code == "-"  ? "T"
                       : code == ".." ? "I"
                       : code == "--" ? "M"
                                      : "?";
            code.clear();
        }
    }
    return letters;
}

// Clicks Stop, once, as soon as `letters` letters have been played.
void stopAfter(FormFixture& f, int letters) {
    f.form().setYieldHook([&f, letters, stopped = false](long) mutable {
        if (!stopped && lettersPlayed(f.trace()).size() >= letters) {
            stopped = true;
            f.click(Control::Command19);
        }
    });
}
} // namespace

// The library: listing the folder, choosing a file, and playing on from file to file.
class TextLibraryTest : public QObject {
    Q_OBJECT
private slots:
    void listsTextFilesByName() {
        LibraryFixture lib({{"lesson.txt", "E"},
                            {"Notes.TEXT", "E"},
                            {"page.htm", "E"},
                            {"page2.html", "E"},
                            {"old.doc", "E"},
                            {"README", "E"},
                            {"photo.jpg", "E"},
                            {"story.rtf", "E"},
                            {"backup.txt~", "E"},
                            {".hidden.txt", "E"}});
        QDir(lib.path("")).mkdir("folder.txt");
        lib.f().form().refreshFiles();
        QCOMPARE(lib.listed(), QStringList({"lesson.txt", "Notes.TEXT", "old.doc", "page.htm",
                                            "page2.html", "README"}));
        QCOMPARE(lib.f().form().findChild<QListWidget*>("File1")->count(), 6);
    }

    void openingEmptiesTheBoxEvenWhenCancelled() {
        LibraryFixture lib(Files{{"a.txt", "E"}});
        lib.f().setText(Control::rtf, "my own text");
        lib.f().click(Control::Command13);
        QCOMPARE(lib.f().text(Control::rtf), std::string());
        QVERIFY(lib.f().form().isVisible(Control::Frame3));
        QVERIFY(lib.f().form().isVisible(Control::Frame2));
        QVERIFY(!lib.f().form().isVisible(Control::Frame1));
        QCOMPARE(lib.f().state().panelMode, Panel::Text);
        lib.f().click(Control::Command14);
        QVERIFY(!lib.f().form().isVisible(Control::Frame3));
        QCOMPARE(lib.f().text(Control::rtf), std::string());
    }

    void choosingLoadsButDoesNotPlay() {
        LibraryFixture lib({{"alpha.txt", "first text"}, {"beta.txt", "second text\r\nline two"}});
        lib.f().click(Control::Command13);
        chooseEntry(lib.f(), 1);
        QCOMPARE(lib.f().text(Control::rtf), std::string("second text\r\nline two"));
        QCOMPARE(lib.f().text(Control::Text1), std::string("beta.txt"));
        QVERIFY(!lib.f().form().isVisible(Control::Frame3));
        QCOMPARE(lib.f().state().continuousPlay, 1);
        QCOMPARE(lib.f().state().fileIndex, 1);
        QCOMPARE(lib.f().state().currentFileName, std::string("beta.txt"));
        QCOMPARE(lib.f().trace().text(), std::string());
    }

    void aFileThatCannotBeLoadedChangesNothingVisible() {
        LibraryFixture lib({{"a.txt", "E"}, {"word.doc", kWordDocument}});
        lib.f().click(Control::Command13);
        lib.f().setText(Control::rtf, "kept");
        lib.f().setText(Control::Text1, "name");
        chooseEntry(lib.f(), 1);
        QCOMPARE(lib.f().text(Control::rtf), std::string("kept"));
        QCOMPARE(lib.f().text(Control::Text1), std::string("name"));
        QVERIFY(lib.f().form().isVisible(Control::Frame3));
        QCOMPARE(lib.f().state().continuousPlay, 1);
        QCOMPARE(lib.f().state().fileIndex, 1);
    }

    void continuousPlayGoesRoundTheList_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("heard");
        QTest::newRow("three files") << QStringList{"E", "T", "I"} << 0 << "ETIETI";
        QTest::newRow("from the middle") << QStringList{"E", "T", "I"} << 1 << "TIETIE";
        QTest::newRow("one file plays again") << QStringList{"M"} << 0 << "MMMMMM";
        QTest::newRow("unreadable file passed over") << QStringList{"E", "", "I"} << 0 << "EIEIEI";
    }
    void continuousPlayGoesRoundTheList() {
        QFETCH(QStringList, files);
        QFETCH(int, chosen);
        QFETCH(QString, heard);
        QList<QPair<QString, QByteArray>> contents;
        for (int i = 0; i < files.size(); ++i)
            contents.append(
                {QString("%1.txt").arg(i), files[i].isEmpty() ? kWordDocument : files[i].toUtf8()});
        LibraryFixture lib(contents);
        lib.f().click(Control::Command13);
        chooseEntry(lib.f(), chosen);
        stopAfter(lib.f(), 6);
        lib.f().click(Control::Command5);
        QCOMPARE(lettersPlayed(lib.f().trace()), heard);
        QCOMPARE(lib.f().state().continuousPlay, 0);
    }

    void choosingDuringPlaybackPlaysTheEntryAfterIt() {
        LibraryFixture lib({{"a.txt", "I"}, {"b.txt", "M"}, {"c.txt", "T"}});
        lib.f().click(Control::Command4);
        lib.f().setText(Control::rtf, "EE EE");
        bool chosen = false;
        lib.f().form().setYieldHook([&](long) {
            if (!chosen && lib.f().trace().tones().size() == 1) {
                chosen = true;
                lib.f().click(Control::Command13);
                chooseEntry(lib.f(), 0);
            }
            if (lettersPlayed(lib.f().trace()).size() == 3 && lib.f().state().continuousPlay == 1)
                lib.f().click(Control::Command19);
        });
        lib.f().click(Control::Command5);
        // The typed text's first word is finished ("EE" sounds as two E's, then its gap), then
        // b.txt, the entry after the chosen one, plays.
        const QString text = QString::fromStdString(lib.f().trace().text());
        QVERIFY2(text.startsWith("700x89 13U 700x89"), qPrintable(text));
        QVERIFY2(text.contains("700x250 1U 700x250"), qPrintable(text));
        QCOMPARE(lib.f().state().fileIndex, 1);
    }

    void skipMovesOnToTheNextFile() {
        LibraryFixture lib({{"a.txt", "EEEE EEEE EEEE"}, {"b.txt", "T"}});
        lib.f().click(Control::Command13);
        chooseEntry(lib.f(), 0);
        bool skipped = false;
        lib.f().form().setYieldHook([&](long) {
            if (!skipped && lib.f().trace().tones().size() == 2) {
                skipped = true;
                lib.f().click(Control::Command6);
            }
            const auto tones = lib.f().trace().tones();
            if (lib.f().state().continuousPlay == 1 && !tones.empty() && tones.back().ms == 250)
                lib.f().click(Control::Command19);
        });
        lib.f().click(Control::Command5);
        const auto tones = lib.f().trace().tones();
        // The rest of the first word (four dots), then the next file's dash.
        QCOMPARE(int(tones.size()), 5);
        QCOMPARE(tones.back().ms, 250);
    }

    void pauseCaptionAfterOpeningResumesTheOldWords() {
        LibraryFixture lib(Files{{"a.txt", "M"}});
        lib.f().click(Control::Command4);
        lib.f().setText(Control::rtf, "TTT EE");
        bool paused = false;
        lib.f().form().setYieldHook([&](long) {
            if (!paused && lib.f().trace().tones().size() == 1) {
                paused = true;
                lib.f().click(Control::Command20);
            }
        });
        lib.f().click(Control::Command5);
        lib.f().form().setYieldHook({});
        QCOMPARE(lib.f().text(Control::Command20), std::string("Jalan"));
        lib.f().click(Control::Command13);
        QCOMPARE(lib.f().text(Control::Command20), std::string("Jalan"));
        chooseEntry(lib.f(), 0);
        lib.f().trace().clear();
        stopAfter(lib.f(), 3);
        lib.f().click(Control::Command20);
        // The rest of the paused word from the old scan, then the chosen file's successor in
        // the list (round to the only file): the new file is not resumed into.
        QCOMPARE(lettersPlayed(lib.f().trace()), QString("TTM"));
    }

    void emptyListEndsQuietly() {
        LibraryFixture lib(Files{{"a.txt", "E"}});
        lib.f().click(Control::Command13);
        chooseEntry(lib.f(), 0);
        QFile::remove(lib.path("a.txt"));
        lib.f().form().refreshFiles();
        lib.f().click(Control::Command5);
        QCOMPARE(lettersPlayed(lib.f().trace()), QString("E"));
        QCOMPARE(lib.f().state().continuousPlay, 1);
    }
};

QTEST_MAIN(TextLibraryTest)
#include "test_text_library.moc"
