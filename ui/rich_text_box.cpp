#include "ui/rich_text_box.h"

#include "documents/rtf_writer.h"
#include "documents/text_decoder.h"

#include <QFile>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdint>

namespace {

Q_LOGGING_CATEGORY(richTextLog, "vornik.richtext")

QTextCharFormat toQt(const rich::CharFormat& format) {
    QTextCharFormat result;
    result.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    result.setFontItalic(format.italic);
    result.setFontUnderline(format.underline);
    if (!format.fontFamily.empty())
        result.setFontFamilies({QString::fromStdString(format.fontFamily)});
    if (format.pointSize > 0)
        result.setFontPointSize(format.pointSize);
    if (!format.colour.automatic)
        result.setForeground(QColor(format.colour.red, format.colour.green, format.colour.blue));
    return result;
}

// What the box shows, spelled out: properties the text leaves to the box come from its font.
rich::CharFormat fromQt(const QTextCharFormat& format, const QFont& boxFont) {
    const QFont font = format.font().resolve(boxFont);
    rich::CharFormat result;
    result.bold = font.bold();
    result.italic = font.italic();
    result.underline = font.underline();
    result.fontFamily = font.family().toStdString();
    result.pointSize = std::max(font.pointSizeF(), 0.0);
    if (format.foreground().style() != Qt::NoBrush) {
        const QColor colour = format.foreground().color();
        result.colour = rich::Colour::rgb(static_cast<std::uint8_t>(colour.red()),
                                          static_cast<std::uint8_t>(colour.green()),
                                          static_cast<std::uint8_t>(colour.blue()));
    }
    return result;
}

void fill(QTextDocument& target, const rich::RichDocument& source) {
    target.clear();
    QTextCursor cursor(&target);
    // One edit block: the box lays the text out once instead of after every run.
    cursor.beginEditBlock();
    for (std::size_t i = 0; i < source.paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        for (const rich::Run& run : source.paragraphs[i].runs)
            cursor.insertText(QString::fromStdString(run.text), toQt(run.format));
    }
    cursor.endEditBlock();
}

rich::RichDocument toRich(const QTextDocument& source) {
    rich::RichDocument result;
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        result.startParagraph();
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            QString text = fragment.fragment().text();
            text.remove(QChar::ObjectReplacementCharacter); // pictures have no text to keep
            result.append(text.toStdString(),
                          fromQt(fragment.fragment().charFormat(), source.defaultFont()));
        }
    }
    return result;
}

} // namespace

QString RichTextBox::plainText() const {
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void RichTextBox::setText(const QString& text) {
    // setPlainText() gives the new text the format at the insertion point, so that goes first;
    // moving to the start drops a selection, which would otherwise take the format instead.
    moveCursor(QTextCursor::Start);
    setCurrentCharFormat(QTextCharFormat());
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n')); // a lone CR would end a paragraph too
    setPlainText(lines);
}

bool RichTextBox::loadFile(const QString& path) {
    const textfile::LoadResult loaded = textfile::load(QFile::encodeName(path).toStdString());
    if (!loaded.ok) {
        qCWarning(richTextLog).noquote() << "not loaded:" << QString::fromStdString(loaded.error);
        return false;
    }
    switch (loaded.kind) {
    case textfile::LoadResult::Kind::Rich:
        moveCursor(QTextCursor::Start);
        setCurrentCharFormat(QTextCharFormat());
        document()->setUndoRedoEnabled(false); // a loaded file starts a fresh undo history
        fill(*document(), loaded.document);
        document()->setUndoRedoEnabled(true);
        moveCursor(QTextCursor::Start);
        break;
    case textfile::LoadResult::Kind::Html:
        setHtml(QString::fromStdString(loaded.text));
        break;
    case textfile::LoadResult::Kind::Plain:
        setText(QString::fromStdString(loaded.text));
        break;
    }
    return true;
}

bool RichTextBox::saveFile(const QString& path) const {
    const rtf::SaveResult saved =
        rtf::save(toRich(*document()), QFile::encodeName(path).toStdString());
    if (!saved.ok)
        qCWarning(richTextLog).noquote() << "not saved:" << QString::fromStdString(saved.error);
    return saved.ok;
}

void RichTextBox::keyPressEvent(QKeyEvent* event) {
    // The handler may process events, and with them the window's closing.
    const QPointer<RichTextBox> alive(this);
    for (const char32_t code : event->text().toUcs4()) {
        emit keyTyped(static_cast<int>(code));
        if (!alive)
            return;
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QTextEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}
