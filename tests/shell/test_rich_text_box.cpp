#include "shell/ui/rich_text_box.h"

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

} // namespace

class RichTextBoxTest : public QObject {
    Q_OBJECT
private slots:
    void keyTypedBeforeInsertion_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("letters") << "cq" << QList<int>{'c', 'q'};
        QTest::newRow("capital") << "K" << QList<int>{'K'};
        QTest::newRow("digit and punctuation") << "7?" << QList<int>{'7', '?'};
        QTest::newRow("blank") << "a b" << QList<int>{'a', ' ', 'b'};
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

    void keysWithoutTextAreNotReported() {
        RichTextBox box;
        QSignalSpy typed(&box, &RichTextBox::keyTyped);
        QTest::keyClick(&box, Qt::Key_Left);
        QTest::keyClick(&box, Qt::Key_Shift);
        QCOMPARE(typed.count(), 0);
    }

    void enterIsReportedAndStillBreaksTheLine() {
        RichTextBox box;
        QSignalSpy typed(&box, &RichTextBox::keyTyped);
        QTest::keyClicks(&box, QStringLiteral("a"));
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

    void plainText_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("paragraphs") << QByteArray("{\\rtf1 one\\par two}") << "one\r\ntwo";
        QTest::newRow("line break") << QByteArray("{\\rtf1 one\\line two}") << "one\r\ntwo";
        QTest::newRow("empty paragraphs") << QByteArray("{\\rtf1 a\\par\\par b}") << "a\r\n\r\nb";
        QTest::newRow("tab kept") << QByteArray("{\\rtf1 a\\tab b}") << "a\tb";
        QTest::newRow("no-break space is a blank") << QByteArray("{\\rtf1 20\\~WPM}") << "20 WPM";
        QTest::newRow("empty document") << QByteArray("{\\rtf1}") << "";
        QTest::newRow("non-ASCII") << QByteArray("{\\rtf1 \\u1046?\\u-10179?\\u-8704?}") << "Ж😀";
    }
    void plainText() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("doc.txt"));
        QVERIFY(writeFile(path, rtf));
        RichTextBox box;
        QVERIFY(box.loadFile(path));
        QCOMPARE(box.plainText(), expected);
    }

    void loadKeepsFormatting() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("formatted.rtf"));
        QVERIFY(writeFile(path, kFormatted));
        RichTextBox box;
        QVERIFY(box.loadFile(path));
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

    void loadPlainAndHtml_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UTF-8 text")
            << "a.txt" << QByteArray("caf\xC3\xA9\r\nline two") << "café\r\nline two";
        QTest::newRow("1252 text") << "a.txt" << QByteArray("caf\xE9\rx") << "café\r\nx";
        QTest::newRow("web page rendered")
            << "a.html" << QByteArray("<html><body><p>one <b>two</b></p><p>three</p></body></html>")
            << "one two\r\nthree";
        QTest::newRow("markup in a .txt stays text")
            << "a.txt" << QByteArray("<b>x</b>") << "<b>x</b>";
    }
    void loadPlainAndHtml() {
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

    void failedLoadKeepsContent_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("missing file") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("Word 97 document") << "ole2";
        QTest::newRow("binary") << "binary";
    }
    void failedLoadKeepsContent() {
        QFETCH(QString, what);
        QTemporaryDir folder;
        const QString path = folder.filePath(what);
        if (what == QLatin1String("folder"))
            QVERIFY(QDir(folder.path()).mkdir(what));
        else if (what == QLatin1String("ole2"))
            QVERIFY(writeFile(path, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 body")));
        else if (what == QLatin1String("binary"))
            QVERIFY(writeFile(path, QByteArray("a\0b", 3)));
        const QString formattedPath = folder.filePath(QStringLiteral("formatted.rtf"));
        QVERIFY(writeFile(formattedPath, kFormatted));
        RichTextBox box;
        QVERIFY(box.loadFile(formattedPath));
        const QString html = box.toHtml();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^not loaded: .+")));
        QVERIFY(!box.loadFile(path));
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
        const QString path = folder.filePath(QStringLiteral("formatted.rtf"));
        QVERIFY(writeFile(path, kFormatted));
        RichTextBox box;
        QVERIFY(box.loadFile(path));
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

    void setTextTakesEveryLineEnd() {
        RichTextBox box;
        box.setText(QStringLiteral("a\r\nb\nc\rd"));
        QCOMPARE(box.plainText(), QStringLiteral("a\r\nb\r\nc\r\nd"));
    }

    void saveThenLoadGivesTheSameText_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain lines") << "CQ CQ\nDE DL0XYZ\n\nK";
        QTest::newRow("mixed scripts") << "Café Ж Ω 摩尔斯 😀 {braces} back\\slash\ttab";
        QTest::newRow("empty") << "";
        QTest::newRow("trailing empty line") << "a\n";
    }
    void saveThenLoadGivesTheSameText() {
        QFETCH(QString, text);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("saved.txt"));
        RichTextBox box;
        box.setText(text);
        QVERIFY(box.saveFile(path));
        QVERIFY(fileContents(path).startsWith("{\\rtf1"));
        RichTextBox other;
        QVERIFY(other.loadFile(path));
        QCOMPARE(other.plainText(), box.plainText());
    }

    void saveThenLoadKeepsFormatting() {
        QTemporaryDir folder;
        const QString source = folder.filePath(QStringLiteral("formatted.rtf"));
        const QString saved = folder.filePath(QStringLiteral("saved.rtf"));
        QVERIFY(writeFile(source, kFormatted));
        RichTextBox box;
        QVERIFY(box.loadFile(source));
        QVERIFY(box.saveFile(saved));
        RichTextBox other;
        QVERIFY(other.loadFile(saved));
        QCOMPARE(other.plainText(), box.plainText());
        QTextCursor cursor(other.document());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        cursor.setPosition(other.document()->findBlockByNumber(1).position() + 1);
        QVERIFY(cursor.charFormat().fontItalic());
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
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
