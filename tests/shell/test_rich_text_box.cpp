#include "ui/rich_text_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Types each character as a key press carrying it, the way a keyboard layout delivers letters
// that have no key code of their own.
void type(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
        QApplication::sendEvent(&widget, &release);
    }
}

bool anyFormatting(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.charFormat().fontWeight() > QFont::Normal || block.charFormat().fontItalic())
            return true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.fontWeight() > QFont::Normal || format.fontItalic() ||
                format.fontUnderline())
                return true;
        }
    }
    return false;
}

const QByteArray kFormatted =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\f0\\fs28{\\b Bold}\\par{\\i\\ul\\cf1 italic red}\\line end}";

bool loadFormatted(RichTextBox& box, const QTemporaryDir& folder) {
    const QString path = folder.filePath(QStringLiteral("formatted.rtf"));
    return writeFile(path, kFormatted) && box.loadFile(path);
}

// What loadFormatted() shows: bold 14 pt Arial in the first paragraph, italic underlined red in
// the second.
void verifyFormatted(RichTextBox& box) {
    QCOMPARE(box.plainText(), QStringLiteral("Bold\r\nitalic red\r\nend"));
    QTextCursor cursor(box.document());
    cursor.setPosition(1);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    QCOMPARE(cursor.charFormat().fontPointSize(), 14.0);
    QCOMPARE(cursor.charFormat().fontFamilies().toStringList(), QStringList{"Arial"});
    cursor.setPosition(box.document()->findBlockByNumber(1).position() + 1);
    QVERIFY(cursor.charFormat().fontItalic());
    QVERIFY(cursor.charFormat().fontUnderline());
    QCOMPARE(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
}

} // namespace

class RichTextBoxTest : public QObject {
    Q_OBJECT
private slots:
    void keyTypedBeforeInsertion_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("ASCII") << "cK7? b" << QList<int>{'c', 'K', '7', '?', ' ', 'b'};
        QTest::newRow("non-ASCII") << "éЖ" << QList<int>{0xE9, 0x416};
    }
    void keyTypedBeforeInsertion() {
        QFETCH(QString, typed);
        QFETCH(QList<int>, codes);
        RichTextBox box;
        QList<int> seen;
        QStringList textWhenSeen;
        connect(&box, &RichTextBox::keyTyped, &box, [&](int code) {
            seen << code;
            textWhenSeen << box.toPlainText();
            QCoreApplication::processEvents(); // a long handler that lets the window breathe
        });
        type(box, typed);
        QCOMPARE(seen, codes);
        QCOMPARE(box.toPlainText(), typed);
        for (qsizetype i = 0; i < textWhenSeen.size(); ++i)
            QCOMPARE(textWhenSeen[i], typed.left(i));
    }

    // Keys without text (arrows, Shift) are not reported; Enter is, and still breaks the line.
    void enterIsTheOnlyKeyWithoutTextReported() {
        RichTextBox box;
        QSignalSpy typed(&box, &RichTextBox::keyTyped);
        QTest::keyClicks(&box, QStringLiteral("a"));
        QTest::keyClick(&box, Qt::Key_Right);
        QTest::keyClick(&box, Qt::Key_Shift);
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClicks(&box, QStringLiteral("b"));
        QCOMPARE(typed.count(), 3);
        QCOMPARE(typed.at(1).at(0).toInt(), 13);
        QCOMPARE(box.plainText(), QStringLiteral("a\r\nb"));
    }

    void doubleClickIsReported() {
        RichTextBox box;
        box.resize(200, 100);
        QSignalSpy clicked(&box, &RichTextBox::doubleClicked);
        QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicked.count(), 1);
    }

    void loadFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("RTF: paragraphs, line break, tab, no-break space, non-ASCII")
            << "a.txt"
            << QByteArray("{\\rtf1 one\\par\\par two\\line three\\tab 20\\~WPM "
                          "\\u1046?\\u-10179?\\u-8704?}")
            << "one\r\n\r\ntwo\r\nthree\t20 WPM Ж😀";
        QTest::newRow("empty RTF document") << "a.txt" << QByteArray("{\\rtf1}") << "";
        QTest::newRow("UTF-8 text")
            << "a.txt" << QByteArray("caf\xC3\xA9\r\nline two") << "café\r\nline two";
        QTest::newRow("web page rendered")
            << "a.html" << QByteArray("<html><body><p>one <b>two</b></p><p>three</p></body></html>")
            << "one two\r\nthree";
        QTest::newRow("markup in a .txt stays text")
            << "a.txt" << QByteArray("<b>x</b>") << "<b>x</b>";
    }
    void loadFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        QVERIFY(writeFile(path, bytes));
        RichTextBox box;
        QVERIFY(box.loadFile(path));
        QCOMPARE(box.plainText(), expected);
    }

    void loadAndSaveKeepFormatting() {
        QTemporaryDir folder;
        const QString saved = folder.filePath(QStringLiteral("saved.rtf"));
        RichTextBox box;
        QVERIFY(loadFormatted(box, folder));
        verifyFormatted(box);
        QVERIFY(box.saveFile(saved));
        RichTextBox other;
        QVERIFY(other.loadFile(saved));
        verifyFormatted(other);
    }

    void failedLoadKeepsContent() {
        QTemporaryDir folder;
        RichTextBox box;
        QVERIFY(loadFormatted(box, folder));
        const QString html = box.toHtml();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^not loaded: .+")));
        QVERIFY(!box.loadFile(folder.filePath(QStringLiteral("missing.txt"))));
        QCOMPARE(box.toHtml(), html);
    }

    void settingEmptyTextClearsFormatting_data() {
        QTest::addColumn<bool>("withSelection");
        QTest::newRow("caret in bold text") << false;
        QTest::newRow("bold text selected") << true;
    }
    void settingEmptyTextClearsFormatting() {
        QFETCH(bool, withSelection);
        QTemporaryDir folder;
        RichTextBox box;
        QVERIFY(loadFormatted(box, folder));
        QTextCursor cursor(box.document());
        cursor.setPosition(2);
        if (withSelection)
            cursor.setPosition(3, QTextCursor::KeepAnchor);
        box.setTextCursor(cursor);
        QVERIFY(box.currentCharFormat().fontWeight() > QFont::Normal);

        box.setText(QString());
        QVERIFY(box.document()->isEmpty());
        QCOMPARE(box.plainText(), QString());
        QVERIFY(!anyFormatting(*box.document()));
        QTest::keyClicks(&box, QStringLiteral("typed"));
        QCOMPARE(box.plainText(), QStringLiteral("typed"));
        QVERIFY(!anyFormatting(*box.document()));
    }

    // Text set in the box, every kind of line end taken, then saved and loaded again.
    void setSaveAndLoadGiveTheSameText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::newRow("line ends and mixed scripts")
            << "CQ\r\nDE\nK\r\rCafé Ж Ω 摩尔斯 😀 {braces} back\\slash\ttab"
            << "CQ\r\nDE\r\nK\r\n\r\nCafé Ж Ω 摩尔斯 😀 {braces} back\\slash\ttab";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("trailing empty line") << "a\n"
                                             << "a\r\n";
    }
    void setSaveAndLoadGiveTheSameText() {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("saved.txt"));
        RichTextBox box;
        box.setText(text);
        QCOMPARE(box.plainText(), plain);
        QVERIFY(box.saveFile(path));
        QVERIFY(fileContents(path).startsWith("{\\rtf1"));
        RichTextBox other;
        QVERIFY(other.loadFile(path));
        QCOMPARE(other.plainText(), box.plainText());
    }

    void failedSaveReportsAndKeepsTheFile() {
        QTemporaryDir folder;
        RichTextBox box;
        box.setText(QStringLiteral("text"));
        const QRegularExpression logged(QStringLiteral("^not saved: .+"));
        QTest::ignoreMessage(QtWarningMsg, logged);
        QVERIFY(!box.saveFile(folder.filePath(QStringLiteral("missing/saved.txt"))));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("taken")));
        QTest::ignoreMessage(QtWarningMsg, logged);
        QVERIFY(!box.saveFile(folder.filePath(QStringLiteral("taken"))));
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("taken"))).isDir());
    }
};

QTEST_MAIN(RichTextBoxTest)
#include "test_rich_text_box.moc"
