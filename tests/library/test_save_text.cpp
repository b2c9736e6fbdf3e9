#include "library_folder.h"

#include "documents/text_decoder.h"

#include <QTest>

namespace {
// The text a saved file reads back as, through the same loading the library uses.
QString textOf(const QString& path) {
    const auto loaded = textfile::load(path.toStdString());
    return loaded.ok ? QString::fromStdString(loaded.document.plainText())
                     : QString("<not loaded>");
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

// Saving the text box beside the program under the typed name.
class SaveTextTest : public QObject {
    Q_OBJECT

    // The trainer is started in its own program folder, so the library lists what it saves.
    static void saveAs(FormFixture& f, const QString& name) {
        f.click(Control::Command15);
        f.setText(Control::Text1, name.toStdString());
        f.click(Control::Command16);
    }

private slots:
    void panelOpensClosesAndKeepsTheName() {
        FormFixture f;
        f.click(Control::Command4);
        f.click(Control::Command15);
        QVERIFY(f.form().isVisible(Control::Frame4));
        f.click(Control::Command15);
        QVERIFY(!f.form().isVisible(Control::Frame4));
        f.click(Control::Command15);
        f.setText(Control::Text1, "draft.txt");
        f.click(Control::Command17);
        QVERIFY(!f.form().isVisible(Control::Frame4));
        f.click(Control::Command15);
        QCOMPARE(f.text(Control::Text1), std::string("draft.txt"));
        f.click(Control::Text1);
        QCOMPARE(f.text(Control::Text1), std::string());
    }

    void savesRichTextUnderTheTypedName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listed");
        QTest::newRow("text extension") << "latihan.txt" << true;
        QTest::newRow("no extension") << "catatan" << true;
        QTest::newRow("other extension, saved but not listed") << "catatan.rtf" << false;
        QTest::newRow("blanks kept") << " nota 1.txt" << true;
    }
    void savesRichTextUnderTheTypedName() {
        QFETCH(QString, name);
        QFETCH(bool, listed);
        QTemporaryDir programFolder;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(programFolder.path());
        {
            KeyingTrace trace;
            TrainerForm form(
                TrainerSetup{programFolder.path().toStdString(), &trace, &trace.clock()});
            form.setFilePattern(SettingsBinding::kLibraryPattern);
            form.setText(Control::rtf, "Selamat pagi\r\nΚαλημέρα — {x} \\ y");
            QTest::mouseClick(form.widget(Control::Command15), Qt::LeftButton);
            form.setText(Control::Text1, name.toStdString());
            QTest::mouseClick(form.widget(Control::Command16), Qt::LeftButton);
            QVERIFY(!form.isVisible(Control::Frame4));
            const QString path = programFolder.filePath(name);
            QVERIFY(bytesOf(path).startsWith("{\\rtf"));
            QCOMPARE(textOf(path), QString("Selamat pagi\r\nΚαλημέρα — {x} \\ y"));
            bool found = false;
            for (int i = 0; i < form.fileCount(); ++i)
                found = found || form.fileName(i) == name.toStdString();
            QCOMPARE(found, listed);
        }
        QDir::setCurrent(previous);
    }

    void overwritesAnExistingFile() {
        FormFixture f;
        QFile old(f.programFolder() + "/nota.txt");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old plain text");
        old.close();
        f.setText(Control::rtf, "new text");
        saveAs(f, "nota.txt");
        QCOMPARE(textOf(f.programFolder() + "/nota.txt"), QString("new text"));
    }

    void aSaveThatCannotBeMadeLeavesEverythingAsItWas_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty name") << "";
        QTest::newRow("current folder") << ".";
        QTest::newRow("parent folder") << "..";
        QTest::newRow("into a subfolder") << "sub/x.txt";
        QTest::newRow("up and out") << "../escaped.txt";
        QTest::newRow("backslash path") << "..\\escaped.txt";
        QTest::newRow("name of a folder") << "folder.txt";
    }
    void aSaveThatCannotBeMadeLeavesEverythingAsItWas() {
        QFETCH(QString, name);
        // The program folder lies inside a folder of the test's own, so that nothing else
        // writes beside it while the test watches for files written outside it.
        QTemporaryDir outside;
        QDir(outside.path()).mkdir("program");
        QDir folder(outside.filePath("program"));
        folder.mkdir("sub");
        folder.mkdir("folder.txt");
        QFile keep(folder.filePath("sub/x.txt"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("keep me");
        keep.close();
        KeyingTrace trace;
        TrainerForm form(TrainerSetup{folder.path().toStdString(), &trace, &trace.clock()});
        const auto entries = [](const QDir& dir) {
            return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        const QStringList before = entries(folder);
        const QStringList outsideBefore = entries(QDir(outside.path()));
        form.setText(Control::rtf, "some text");
        QTest::mouseClick(form.widget(Control::Command15), Qt::LeftButton);
        form.setText(Control::Text1, name.toStdString());
        QTest::mouseClick(form.widget(Control::Command16), Qt::LeftButton);
        QVERIFY(form.isVisible(Control::Frame4));
        QCOMPARE(form.text(Control::Text1), name.toStdString());
        QCOMPARE(entries(folder), before);
        QCOMPARE(entries(QDir(outside.path())), outsideBefore);
        QCOMPARE(bytesOf(folder.filePath("sub/x.txt")), QByteArray("keep me"));
    }

    void aProgramFolderThatIsGoneSavesNothing() {
        KeyingTrace trace;
        TrainerForm form(TrainerSetup{"/nonexistent/folder", &trace, &trace.clock()});
        QTest::mouseClick(form.widget(Control::Command15), Qt::LeftButton);
        form.setText(Control::Text1, "a.txt");
        QTest::mouseClick(form.widget(Control::Command16), Qt::LeftButton);
        QVERIFY(form.isVisible(Control::Frame4));
        QVERIFY(!QFile::exists("/nonexistent/folder/a.txt"));
    }
};

QTEST_MAIN(SaveTextTest)
#include "test_save_text.moc"
