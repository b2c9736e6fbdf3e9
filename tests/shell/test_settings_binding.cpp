#include "form_fixture.h"

#include "core/number_text.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <sqlite3.h>

namespace {

// One run of the program in a child process: start in `folder`, report what the window shows,
// act, and end as the learner chose ("close" through the window's close control, or "end" with
// "Tamat / End").
QString runSession(const QString& folder, const QString& ending, const QStringList& actions) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{"--trainer-run", folder, ending} + actions);
    if (!child.waitForFinished(20000))
        return "timed out";
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

void writeSettings(const QString& path, const QStringList& rows) {
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "CREATE TABLE laju (LAJ TEXT, PANJAN TEXT, NAD TEXT, DOT TEXT)", nullptr,
                 nullptr, nullptr);
    for (const QString& row : rows)
        sqlite3_exec(db, ("INSERT INTO laju VALUES (" + row + ")").toUtf8().constData(), nullptr,
                     nullptr, nullptr);
    sqlite3_close(db);
}

QString shown(TrainerForm& f) {
    auto box = [&](Control c) { return QString::fromStdString(f.text(c)); };
    return QString("Label6=%1 Label7=%2 Text6=%3 Text7=%4 dot=%5 limit=%6")
        .arg(box(Control::Label6), box(Control::Label7), box(Control::Text6), box(Control::Text7))
        .arg(f.state().dotMillis)
        .arg(f.state().delayLimit);
}

} // namespace

// Settings kept between runs: read at the first activation, written back on a normal close.
class SettingsBindingTest : public QObject {
    Q_OBJECT
private slots:
    void changesSurviveANormalCloseOnly_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("nextStart");
        QTest::newRow("close control keeps them")
            << "close"
            << "Label6=3100 Label7=300 Text6=710 Text7=3 dot=100 limit=3100";
        QTest::newRow("Tamat / End forgets them")
            << "end"
            << "Label6=3000 Label7=250 Text6=700 Text7=2.8 dot=89.2857 limit=3000";
    }
    void changesSurviveANormalCloseOnly() {
        QFETCH(QString, ending);
        QFETCH(QString, nextStart);
        QTemporaryDir folder;
        const QString first =
            runSession(folder.path(), ending, {"Command9", "Command7", "slider=300", "Text7=3"});
        // A first start makes the settings file with values that play real Morse.
        QCOMPARE(first,
                 QString("Label6=3000 Label7=250 Text6=700 Text7=2.8 dot=89.2857 limit=3000"));
        QCOMPARE(runSession(folder.path(), "close", {}), nextStart);
    }

    void storedValuesDriveTheEngine_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("started");
        QTest::newRow("dash beyond the slider reads as the new file's dash")
            << "'2500', '5000', '650', '2.8'"
            << "Label6=2500 Label7=250 Text6=650 Text7=2.8 dot=89.2857 limit=2500";
        QTest::newRow("ratio of zero leaves the dot alone")
            << "'2500', '300', '650', '0'"
            << "Label6=2500 Label7=300 Text6=650 Text7=0 dot=0 limit=2500";
        QTest::newRow("ratio of letters leaves the dot alone")
            << "'2500', '300', '650', 'abc'"
            << "Label6=2500 Label7=300 Text6=650 Text7=abc dot=0 limit=2500";
        QTest::newRow("numbers stored as numbers")
            << "4000, 120, 800.5, 3"
            << "Label6=4000 Label7=120 Text6=800.5 Text7=3 dot=40 limit=4000";
        QTest::newRow("only the first record counts")
            << "'1000', '100', '500', '2'), ('9999', '999', '999', '9'"
            << "Label6=1000 Label7=100 Text6=500 Text7=2 dot=50 limit=1000";
    }
    void storedValuesDriveTheEngine() {
        QFETCH(QString, row);
        QFETCH(QString, started);
        QTemporaryDir folder;
        writeSettings(folder.filePath("laju.mdb"), {row});
        QCOMPARE(runSession(folder.path(), "end", {}), started);
    }

    void unreadableSettingsStartWithEmptyBoxesAndStayUntouched() {
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a database at all\n");
        file.close();
        QCOMPARE(runSession(folder.path(), "close", {"Command9", "Text7=3"}),
                 QString("Label6=0 Label7=0 Text6= Text7=2.8 dot=0 limit=0"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not a database at all\n"));
    }

    void onlyChangedBoxesAreWritten() {
        QTemporaryDir folder;
        const QString path = folder.filePath("laju.mdb");
        writeSettings(path, {"'3000', '250', '700', '2.8'", "'1', '2', '3', '4'"});
        runSession(folder.path(), "close", {"Command7"});
        sqlite3* db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_stmt* rows = nullptr;
        sqlite3_prepare_v2(
            db, "SELECT LAJ || ' ' || PANJAN || ' ' || NAD || ' ' || DOT FROM laju ORDER BY rowid",
            -1, &rows, nullptr);
        QStringList records;
        while (sqlite3_step(rows) == SQLITE_ROW)
            records << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(rows, 0)));
        sqlite3_finalize(rows);
        sqlite3_close(db);
        QCOMPARE(records, QStringList({"3000 250 710 2.8", "1 2 3 4"}));
    }
};

// The child process: one run of the trainer's window in `folder`.
static int session(int argc, char** argv) {
    QApplication app(argc, argv);
    KeyingTrace trace;
    TrainerForm form(TrainerSetup{argv[2], &trace, BusyWait(0)});
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        return 2;
    puts(qPrintable(shown(form)));
    fflush(stdout);
    for (int i = 4; i < argc; ++i) {
        const QString action = QString::fromUtf8(argv[i]);
        if (action.startsWith("slider="))
            form.setSliderPosition(action.mid(7).toDouble());
        else if (action.startsWith("Text7="))
            form.setText(Control::Text7, action.mid(6).toStdString());
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
    SettingsBindingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings_binding.moc"
