#include "file_bytes.h"
#include "form_fixture.h"
#include "ui/rich_text_box.h"

#include "test_classes.h"
#include <QApplication>
#include <QMenuBar>
#include <QTextBlock>

// The window as the learner meets it: its controls, the picture, the help and the text box. (The
// settings kept between runs are checked on the installed program: tests/install.)
class WindowTest : public QObject {
    Q_OBJECT
private slots:
    // Every control is there once, found by its name and announced to a screen reader.
    void everyControlOnceByNameAndAnnounced() {
        FormFixture f;
        for (int i = 0; i < kControlCount; ++i) {
            const QString name = QString::fromUtf8(controlName(Control(i)));
            const auto found = f.form().findChildren<QWidget*>(name);
            QCOMPARE(found.size(), 1);
            QVERIFY2(found[0]->accessibleDescription().endsWith("(" + name + ")"),
                     qPrintable(name));
        }
        QVERIFY(!f.form().widget(kTextBox)->accessibleName().isEmpty());
        QVERIFY(!f.form().widget(Control::HScroll1)->accessibleName().isEmpty());
    }

    void infoAndBackground() {
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

    // A key typed while echo is off is silent; an echoed key sounds, folded to the Morse table,
    // before it lands in the box, and lands unchanged.
    void typedKeySoundsBeforeItLands() {
        FormFixture f;
        f.setDefaultKeying();
        f.form().setVisible(kTextPanel, true);
        auto* box = static_cast<RichTextBox*>(f.form().widget(kTextBox));
        QTest::keyClick(box, Qt::Key_A);
        QVERIFY(f.trace().tones().empty());
        f.click(kEchoKeysBox);
        QStringList boxAtTone;
        connect(box, &RichTextBox::keyTyped, box, [&] { boxAtTone << box->toPlainText(); });
        QTest::keyClicks(box, "e]_t");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(boxAtTone, (QStringList{"a", "ae", "ae]", "ae]_", "ae]_t"}));
        QCOMPARE(f.text(kTextBox), std::string("ae]_t\r\n"));
        QCOMPARE(f.trace().heard(), std::string("E=?T "));
    }

    // Rich text keeps its formatting through loading and saving; a failed load or save changes
    // nothing.
    void formattedTextThroughTheBox() {
        QTemporaryDir folder;
        QVERIFY(writeBytes(
            folder.filePath("in.rtf"),
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs28{\\b Bold}\\par{\\i italic}}"));
        RichTextBox box, reloaded;
        QVERIFY(box.loadFile(folder.filePath("in.rtf")));
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
};

VORNIK_TEST(WindowTest)
#include "test_window.moc"
