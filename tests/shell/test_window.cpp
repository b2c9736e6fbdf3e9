#include "form_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

namespace {
QWidget* find(TrainerForm& form, const char* name) {
    auto* widget = form.findChild<QWidget*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control named %s", name);
    return widget;
}

QRect windowRect(TrainerForm& form, const char* name) {
    QWidget* widget = find(form, name);
    return QRect(widget->mapTo(form.centralWidget(), QPoint(0, 0)), widget->size());
}
} // namespace

// The window as the learner first sees it, checked against the design, and its start-up.
class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void placesAndCaptions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("caption");
        // Window-relative rectangles, panel offsets added by hand.
        QTest::newRow("credit") << "Label3" << QRect(64, 8, 369, 49) << "Vornik oleh 0Q0QQ Veldran";
        QTest::newRow("end") << "Command11" << QRect(328, 248, 105, 25) << "Tamat / End";
        QTest::newRow("ratio") << "Text7" << QRect(408, 368, 33, 19) << "2.8";
        QTest::newRow("slider") << "HScroll1" << QRect(64, 352, 185, 9) << "200";
        QTest::newRow("word total") << "Label4" << QRect(48, 368, 225, 17) << "Label4";
        QTest::newRow("help") << "Text8" << QRect(0, 0, 209, 97)
                              << "Look at the white and yellow number at the \r\n"
                                 "bottom. You can change these numbers \r\n"
                                 "and the speed will change by moving he \r\n"
                                 "slider on it's left and the button Laju - or laju \r\n"
                                 "+." +
                                     QString(66, ' ') +
                                     "\r\n"
                                     "Click Info to toggle this box.\r\n";
        QTest::newRow("groups stop, in Frame1") << "Command21" << QRect(24, 320, 281, 23) << "Stop";
        QTest::newRow("v to z, in Frame1") << "Option9" << QRect(192, 104, 49, 17) << "v to z";
        QTest::newRow("groups box, in Frame1") << "Text3" << QRect(200, 72, 41, 25) << "20";
        QTest::newRow("go morse, in Frame2") << "Command5" << QRect(24, 304, 73, 25) << "Go morse";
        QTest::newRow("display line, in Frame2") << "Command6" << QRect(24, 232, 289, 67) << "";
        QTest::newRow("name box, in Frame4 in Frame2") << "Text1" << QRect(88, 168, 177, 25) << "";
        QTest::newRow("save, in Frame4 in Frame2")
            << "Command16" << QRect(112, 200, 129, 25) << "OK Simpan";
        QTest::newRow("file list, in Frame3") << "File1" << QRect(64, 128, 209, 123) << "";
        QTest::newRow("pitch setting, in Frame3") << "Text6" << QRect(232, 104, 41, 19) << "";
        QTest::newRow("cancel, in Frame3") << "Command14" << QRect(200, 264, 65, 25) << "BATAL";
    }
    void placesAndCaptions() {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QString, caption);
        FormFixture f;
        QCOMPARE(windowRect(f.form(), qPrintable(name)), rect);
        const Control control = [&] {
            for (int i = 0; i < kControlCount; ++i)
                if (controlName(Control(i)) == name.toStdString())
                    return Control(i);
            qFatal("unknown control");
        }();
        QCOMPARE(QString::fromStdString(f.text(control)), caption);
    }

    void everyControlIsBuiltInItsDesignState_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("enabled");
        const struct {
            const char* name;
            const char* className;
            bool shown;
            bool enabled;
        } rows[] = {
            {"Frame1", "PanelBox", false, true},       {"Frame2", "PanelBox", false, true},
            {"Frame3", "PanelBox", false, true},       {"Frame4", "PanelBox", false, true},
            {"Text8", "QPlainTextEdit", false, true},  {"Image1", "QLabel", true, true},
            {"Check2", "QCheckBox", true, true},       {"Check1", "QCheckBox", true, true},
            {"Command19", "QPushButton", true, false}, {"Command20", "QPushButton", true, false},
            {"Command5", "QPushButton", true, true},   {"HScroll1", "QScrollBar", true, true},
            {"Option4", "QRadioButton", false, true},  {"Option5", "QRadioButton", false, true},
            {"Data1", "QLabel", false, true},          {"Text4", "QLineEdit", false, true},
            {"Text5", "QLineEdit", false, true},       {"Text6", "QLineEdit", false, true},
            {"File1", "QListWidget", true, true},      {"command1", "QPlainTextEdit", true, true},
            {"rtf", "QTextEdit", true, true},          {"Label5", "QLabel", true, true},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.name << row.className << row.shown << row.enabled;
    }
    void everyControlIsBuiltInItsDesignState() {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(bool, shown);
        QFETCH(bool, enabled);
        FormFixture f;
        QWidget* widget = find(f.form(), qPrintable(name));
        QVERIFY2(widget->inherits(qPrintable(className)), widget->metaObject()->className());
        QCOMPARE(!widget->isHidden(), shown);
        QCOMPARE(widget->isEnabled(), enabled);
    }

    void everyNamedControlExistsOnce() {
        FormFixture f;
        for (int i = 0; i < kControlCount; ++i) {
            const QString name = QString::fromStdString(std::string(controlName(Control(i))));
            const auto found = f.form().findChildren<QWidget*>(name);
            QVERIFY2(found.size() == 1, qPrintable(name));
        }
        QCOMPARE(f.form().windowTitle(), QString("VORNIK - VELDRAN (0Q0QQ)"));
        QCOMPARE(f.form().centralWidget()->size(), QSize(445, 387));
    }

    void colours_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("credit red") << "Label3" << int(QPalette::WindowText) << QColor("#FF0000");
        QTest::newRow("delay limit white")
            << "Label6" << int(QPalette::WindowText) << QColor("#FFFFFF");
        QTest::newRow("dash yellow") << "Label7" << int(QPalette::WindowText) << QColor("#FFFF00");
        QTest::newRow("words played cyan")
            << "Label5" << int(QPalette::WindowText) << QColor("#00FFFF");
        QTest::newRow("fun tone orange")
            << "Label9" << int(QPalette::WindowText) << QColor("#FF8000");
        QTest::newRow("end button orange")
            << "Command11" << int(QPalette::Button) << QColor("#FF8000");
        QTest::newRow("ratio cyan on black") << "Text7" << int(QPalette::Text) << QColor("#00FFFF");
        QTest::newRow("ratio background") << "Text7" << int(QPalette::Base) << QColor("#000000");
        QTest::newRow("help yellow") << "Text8" << int(QPalette::Base) << QColor("#FFFF00");
        QTest::newRow("groups box") << "command1" << int(QPalette::Base) << QColor("#FFFFC0");
        QTest::newRow("text box") << "rtf" << int(QPalette::Base) << QColor("#FFFFC0");
        QTest::newRow("random panel caption")
            << "Frame1" << int(QPalette::WindowText) << QColor("#00FFFF");
        QTest::newRow("option cyan") << "Option2" << int(QPalette::WindowText) << QColor("#00FFFF");
    }
    void colours() {
        QFETCH(QString, name);
        QFETCH(int, role);
        QFETCH(QColor, colour);
        FormFixture f;
        QCOMPARE(find(f.form(), qPrintable(name))->palette().color(QPalette::ColorRole(role)),
                 colour);
    }

    void fontsAndLimits() {
        FormFixture f;
        const QFont credit = find(f.form(), "Label3")->font();
        QCOMPARE(credit.family(), QString("Georgia"));
        QCOMPARE(credit.pointSizeF(), 15.75);
        QVERIFY(credit.bold() && credit.italic());
        QVERIFY(find(f.form(), "Label4")->font().bold());
        QCOMPARE(find(f.form(), "Command5")->font().family(), QString("MS Sans Serif"));
        QCOMPARE(find(f.form(), "Command5")->font().pointSizeF(), 8.25);
        QCOMPARE(static_cast<QLineEdit*>(find(f.form(), "Text7"))->maxLength(), 4);
        QCOMPARE(find(f.form(), "rtf")->toolTip(), QString("Dbl-click akan padam teks"));
        QVERIFY(static_cast<QRadioButton*>(find(f.form(), "Option1"))->isChecked());
        QCOMPARE(static_cast<QScrollBar*>(find(f.form(), "HScroll1"))->maximum(), 1000);
    }

    void accessibility() {
        FormFixture f;
        // Captioned controls are announced by their caption; captionless ones by their role.
        QVERIFY(find(f.form(), "Command5")->accessibleName().isEmpty());
        QVERIFY(find(f.form(), "Command6")->accessibleName().isEmpty());
        QVERIFY(!find(f.form(), "rtf")->accessibleName().isEmpty());
        QVERIFY(!find(f.form(), "HScroll1")->accessibleName().isEmpty());
        QVERIFY(!find(f.form(), "Check1")->accessibleName().isEmpty());
        for (int i = 0; i < kControlCount; ++i) {
            const QString name = QString::fromStdString(std::string(controlName(Control(i))));
            QVERIFY2(find(f.form(), qPrintable(name))
                         ->accessibleDescription()
                         .endsWith("(" + name + ")"),
                     qPrintable(name));
        }
    }

    void tabOrder() {
        FormFixture f;
        const QStringList expected = {
            "Command2",  "Command3",  "Text3",    "Text2",     "Command4",  "Option1",  "Option2",
            "Option3",   "Command5",  "Command6", "Command7",  "Command8",  "Command9", "Command10",
            "Command11", "Command12", "rtf",      "Command13", "Option4",   "Option5",  "File1",
            "Command14", "Command15", "Text1",    "Command16", "Command17", "HScroll1", "Text4",
            "Text5",     "Text6",     "Text7",    "Command18", "Check1",    "Check2",   "Command21",
            "Command19", "Command20", "Option6",  "Option7",   "Option8",   "Option9",  "command1",
            "Text8"};
        QStringList chain;
        QWidget* w = find(f.form(), "Command2");
        do {
            if (w->focusPolicy() != Qt::NoFocus && !w->objectName().isEmpty() &&
                expected.contains(w->objectName()) && !chain.contains(w->objectName()))
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != find(f.form(), "Command2"));
        QCOMPARE(chain.join(" "), expected.join(" "));
    }

    void startPicture_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("beside the program") << true;
        QTest::newRow("missing") << false;
    }
    void startPicture() {
        QFETCH(bool, present);
        QTemporaryDir folder;
        if (present)
            QVERIFY(QFile::copy(QString(VORNIK_SOURCE_DIR) + "/assets/key22.jpg",
                                folder.filePath("key22.jpg")));
        KeyingTrace trace;
        TrainerSetup setup{folder.path().toStdString(), &trace, &trace.clock()};
        TrainerForm form(std::move(setup));
        const auto* picture = static_cast<QLabel*>(find(form, "Image1"));
        QCOMPARE(!picture->pixmap().isNull(), present);
        QVERIFY(!static_cast<QLabel*>(find(form, "Image2"))->pixmap().isNull());
    }

    void infoTogglesTheHelp() {
        FormFixture f;
        QAction* info = f.form().menuBar()->actions().at(0);
        QCOMPARE(info->text(), QString("Info"));
        info->trigger();
        QVERIFY(f.form().isVisible(Control::Text8));
        info->trigger();
        QVERIFY(!f.form().isVisible(Control::Text8));
    }

    void backgroundClickHidesOnlyTheTwoLargePanels() {
        FormFixture f;
        f.form().show();
        for (Control panel : {Control::Frame1, Control::Frame2, Control::Frame3, Control::Text8})
            f.form().setVisible(panel, true);
        QTest::mouseClick(f.form().centralWidget(), Qt::LeftButton, {}, QPoint(5, 200));
        QVERIFY(!f.form().isVisible(Control::Frame1));
        QVERIFY(!f.form().isVisible(Control::Frame2));
        QVERIFY(f.form().isVisible(Control::Frame3));
        QVERIFY(f.form().isVisible(Control::Text8));
        // A click on a label is the label's, not the background's.
        f.form().setVisible(Control::Frame1, true);
        QTest::mouseClick(find(f.form(), "Label6"), Qt::LeftButton);
        QVERIFY(f.form().isVisible(Control::Frame1));
    }

    void windowIsCentred() {
        FormFixture f;
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect frame = f.form().frameGeometry();
        QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(frame.center().y() - screen.center().y()) <= 1);
    }

    void endStopsTheProcessAtOnce() {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--end-child"});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QByteArray out = child.readAllStandardOutput();
        QVERIFY2(out.contains("clicking End"), out.constData());
        QVERIFY2(!out.contains("still running"), out.constData());
    }
};

// Runs in a child process: clicks "Tamat / End" with a handler already queued behind it; the
// handler must never run.
static int endChild(int argc, char** argv) {
    QApplication app(argc, argv);
    FormFixture f;
    f.form().show();
    QMetaObject::invokeMethod(
        &app,
        [] {
            puts("still running");
            fflush(stdout);
        },
        Qt::QueuedConnection);
    puts("clicking End");
    fflush(stdout);
    f.click(Control::Command11);
    puts("still running");
    return 1;
}

int main(int argc, char** argv) {
    if (argc > 1 && QByteArray(argv[1]) == "--end-child")
        return endChild(argc, argv);
    QApplication app(argc, argv);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window.moc"
