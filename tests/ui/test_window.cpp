#include "form_fixture.h"
#include "ui/rich_text_box.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QTest>
#include <QTextBlock>
#include <sqlite3.h>

// The window as the learner meets it: its controls, the text box, and the settings kept between
// runs of the real program (each run a child process of this test).
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// One run of the trainer in a child process started in `folder`: prints what it shows after the
// first activation, clicks or sets what `actions` name, and ends by "close" or "end" (Tamat / End).
QString runSession(const QString& folder, const QString& ending, const QStringList& actions) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{"--trainer-run", folder, ending} + actions);
    if (!child.waitForFinished(20000))
        return "timed out";
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

QStringList settingsRows(const QString& path, const QStringList& insert = {}) {
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    if (!insert.isEmpty())
        sqlite3_exec(db, "CREATE TABLE laju (LAJ TEXT, PANJAN TEXT, NAD TEXT, DOT TEXT)", nullptr,
                     nullptr, nullptr);
    for (const QString& row : insert)
        sqlite3_exec(db, qPrintable("INSERT INTO laju VALUES (" + row + ")"), nullptr, nullptr,
                     nullptr);
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db, "SELECT LAJ||' '||PANJAN||' '||NAD||' '||DOT FROM laju ORDER BY rowid",
                       -1, &rows, nullptr);
    QStringList out;
    while (rows && sqlite3_step(rows) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0)));
    sqlite3_finalize(rows);
    sqlite3_close(db);
    return out;
}

const char* const kFirstStart = "Label6=3000 Label7=250 Text6=700 Text7=2.8 dot=89.2857";

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    // Every control is there once, found by its name and announced to a screen reader.
    void everyControlOnceByNameAndAnnounced() {
        FormFixture f;
        for (int i = 0; i < kControlCount; ++i) {
            const QString name = qs(std::string(controlName(Control(i))));
            const auto found = f.form().findChildren<QWidget*>(name);
            QCOMPARE(found.size(), 1);
            QVERIFY2(found[0]->accessibleDescription().endsWith("(" + name + ")"),
                     qPrintable(name));
        }
        QVERIFY(!f.form().widget(kTextBox)->accessibleName().isEmpty());
        QVERIFY(!f.form().widget(Control::HScroll1)->accessibleName().isEmpty());
    }

    void startPictureInfoAndBackground() {
        for (bool present : {true, false}) {
            QTemporaryDir folder;
            if (present)
                QVERIFY(QFile::copy(VORNIK_SOURCE_DIR "/assets/key22.jpg",
                                    folder.filePath("key22.jpg")));
            KeyingTrace trace;
            TrainerForm form(TrainerSetup{folder.path().toStdString(), &trace, &trace.clock()});
            QCOMPARE(!static_cast<QLabel*>(form.widget(Control::Image1))->pixmap().isNull(),
                     present);
        }
        FormFixture f;
        f.form().menuBar()->actions().at(0)->trigger(); // Info
        QVERIFY(f.form().isVisible(Control::Text8));
        f.form().show();
        for (Control panel : {kGroupsPanel, kTextPanel, kLibraryPanel})
            f.form().setVisible(panel, true);
        QTest::mouseClick(f.form().centralWidget(), Qt::LeftButton, {}, QPoint(5, 200));
        QVERIFY(!f.form().isVisible(kGroupsPanel) && !f.form().isVisible(kTextPanel));
        QVERIFY(f.form().isVisible(kLibraryPanel) && f.form().isVisible(Control::Text8));
    }

    // An echoed key sounds before it lands in the box, and lands unchanged.
    void typedKeySoundsBeforeItLands() {
        FormFixture f;
        f.setDefaultKeying();
        f.form().setVisible(kTextPanel, true);
        f.click(kEchoKeysBox);
        QStringList boxAtTone;
        auto* box = static_cast<RichTextBox*>(f.form().widget(kTextBox));
        connect(box, &RichTextBox::keyTyped, box, [&] { boxAtTone << box->toPlainText(); });
        QTest::keyClicks(box, "e]t");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(boxAtTone, (QStringList{"", "e", "e]", "e]t"}));
        QCOMPARE(f.text(kTextBox), std::string("e]t\r\n"));
        QCOMPARE(qs(f.trace().heard()), QString("E=T "));
    }

    // Rich text keeps its formatting through loading and saving; a failed load or save changes
    // nothing.
    void formattedTextThroughTheBox() {
        QTemporaryDir folder;
        QFile rtf(folder.filePath("in.rtf"));
        QVERIFY(rtf.open(QIODevice::WriteOnly));
        rtf.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs28{\\b Bold}\\par{\\i italic}}");
        rtf.close();
        RichTextBox box, reloaded;
        QVERIFY(box.loadFile(rtf.fileName()));
        QVERIFY(box.saveFile(folder.filePath("out.rtf")));
        QVERIFY(reloaded.loadFile(folder.filePath("out.rtf")));
        QCOMPARE(reloaded.plainText(), QString("Bold\r\nitalic"));
        QTextCursor cursor(reloaded.document());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(cursor.charFormat().fontPointSize(), 14.0);
        cursor.setPosition(reloaded.document()->findBlockByNumber(1).position() + 1);
        QVERIFY(cursor.charFormat().fontItalic());
        const QString html = reloaded.toHtml();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^not loaded: .+"));
        QVERIFY(!reloaded.loadFile(folder.filePath("missing.txt")));
        QCOMPARE(reloaded.toHtml(), html);
        QVERIFY(QDir(folder.path()).mkdir("taken"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^not saved: .+"));
        QVERIFY(!box.saveFile(folder.filePath("taken")));
        QVERIFY(QFileInfo(folder.filePath("taken")).isDir());
        box.setText("");
        QVERIFY(box.document()->begin().charFormat().fontWeight() <= QFont::Normal);
    }

    // Changed settings survive a normal close; "Tamat / End" ends at once and writes nothing.
    void settingsSurviveANormalCloseOnly() {
        for (auto [ending, next] :
             {std::pair{"close", "Label6=3100 Label7=300 Text6=710 Text7=3 dot=100"},
              {"end", kFirstStart}}) {
            QTemporaryDir folder;
            QCOMPARE(runSession(folder.path(), ending,
                                {"Command9", "Command7", "slider=300", "Text7=3"}),
                     QString(kFirstStart));
            QCOMPARE(runSession(folder.path(), "close", {}), QString(next));
        }
        QTemporaryDir folder; // only the changed box is written, the other records stay
        const QString path = folder.filePath("laju.mdb");
        settingsRows(path, {"'3000', '250', '700', '2.8'", "'1', '2', '3', '4'"});
        runSession(folder.path(), "close", {"Command7"});
        QCOMPARE(settingsRows(path), (QStringList{"3000 250 710 2.8", "1 2 3 4"}));
    }

    void storedValuesDriveTheEngine() {
        const std::pair<const char*, const char*> rows[] = {
            {"'2500', '5000', '650', '2.8'", // outside the sensible range: the default dash
             "Label6=2500 Label7=250 Text6=650 Text7=2.8 dot=89.2857"},
            {"'2500', '300', '650', '0'", "Label6=2500 Label7=300 Text6=650 Text7=0 dot=0"},
            {"4000, 120, 800.5, 3", "Label6=4000 Label7=120 Text6=800.5 Text7=3 dot=40"}};
        for (auto [row, started] : rows) {
            QTemporaryDir folder;
            settingsRows(folder.filePath("laju.mdb"), {row});
            QCOMPARE(runSession(folder.path(), "end", {}), QString(started));
        }
        QTemporaryDir folder; // a file that is no settings database is never touched
        QFile file(folder.filePath("laju.mdb"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a database\n") == 15);
        file.close();
        QCOMPARE(runSession(folder.path(), "close", {"Command9", "Text7=3"}),
                 QString("Label6=0 Label7=0 Text6= Text7=2.8 dot=0"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not a database\n"));
    }

    // "Tamat / End" with a handler already queued behind it: the handler never runs.
    void endRunsNoQueuedHandler() {
        QTemporaryDir folder;
        const QString out = runSession(folder.path(), "end", {"queue"});
        QVERIFY2(out.startsWith(kFirstStart) && !out.contains("queued handler ran"),
                 qPrintable(out));
    }
};

// The child process: one run of the trainer's window in argv[2].
static int session(int argc, char** argv) {
    QApplication app(argc, argv);
    KeyingTrace trace;
    TrainerForm form(TrainerSetup{argv[2], &trace, &trace.clock()});
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        return 2;
    const auto box = [&](Control c) { return qs(form.text(c)); };
    puts(qPrintable(
        QString("Label6=%1 Label7=%2 Text6=%3 Text7=%4 dot=%5")
            .arg(box(kDelayLimitLabel), box(kDashLabel), box(kStoredPitch), box(kRatioBox))
            .arg(form.state().dotMillis)));
    fflush(stdout);
    for (int i = 4; i < argc; ++i) {
        const QString action = QString::fromUtf8(argv[i]);
        if (action.startsWith("slider="))
            form.setSliderPosition(action.mid(7).toDouble());
        else if (action.startsWith("Text7="))
            form.setText(kRatioBox, action.mid(6).toStdString());
        else if (action == "queue")
            QMetaObject::invokeMethod(
                &app, [] { puts("queued handler ran"); }, Qt::QueuedConnection);
        else
            QTest::mouseClick(form.findChild<QWidget*>(action), Qt::LeftButton);
    }
    if (QByteArray(argv[3]) == "end")
        QTest::mouseClick(form.widget(Control::Command11), Qt::LeftButton);
    form.close();
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 3 && QByteArray(argv[1]) == "--trainer-run")
        return session(argc, argv);
    QApplication app(argc, argv);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window.moc"
