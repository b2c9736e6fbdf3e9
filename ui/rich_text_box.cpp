#include "ui/rich_text_box.h"

#include "documents/html_page.h"
#include "documents/rtf_writer.h"
#include "documents/text_decoder.h"
#include "ui/box_writer.h"

#include <QFile>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

Q_LOGGING_CATEGORY(richTextLog, "vornik.richtext")

// A document that never loads a resource: a page may name any file or address (a picture of
// /dev/zero once read without end), and the box reads none of them. Pictures show as nothing.
class InertDocument : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

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

// Fills `target` with `source`; returns the character that stands for a paragraph end within a
// paragraph of the box, or null when every paragraph has one of its own.
QChar fill(QTextDocument& target, const rich::RichDocument& source, bool& cutWithinWord) {
    QChar lineEnd;
    if (source.paragraphs.size() >= BoxWriter::kMostParagraphs) {
        QString all;
        for (const rich::Paragraph& paragraph : source.paragraphs)
            for (const rich::Run& run : paragraph.runs)
                all += QString::fromStdString(run.text);
        lineEnd = BoxWriter::unusedLineEnd(all);
    }
    target.clear();
    BoxWriter writer(target, lineEnd);
    for (const rich::Paragraph& paragraph : source.paragraphs) {
        qsizetype chars = 0;
        for (const rich::Run& run : paragraph.runs)
            chars += static_cast<qsizetype>(run.text.size());
        writer.startParagraph(chars);
        for (const rich::Run& run : paragraph.runs)
            writer.append(QString::fromStdString(run.text), toQt(run.format));
    }
    cutWithinWord = writer.cutWithinWord();
    return lineEnd;
}

// `lineEnd`: the character that stands for a line end in the box, if any.
rich::RichDocument toRich(const QTextDocument& source, QChar lineEnd) {
    rich::RichDocument result;
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        if (!BoxWriter::continuesParagraph(block) || result.paragraphs.empty())
            result.startParagraph();
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            QString text = fragment.fragment().text();
            text.remove(QChar::ObjectReplacementCharacter); // pictures have no text to keep
            const rich::CharFormat format =
                fromQt(fragment.fragment().charFormat(), source.defaultFont());
            // Line ends shown as narrow spaces are saved as the paragraph ends they were.
            const QStringList lines = lineEnd.isNull() ? QStringList{text} : text.split(lineEnd);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    result.startParagraph();
                result.append(lines[i].toStdString(), format);
            }
        }
    }
    return result;
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    replaceDocument(new InertDocument(this));
}

QString RichTextBox::plainText() const {
    // Every paragraph ends in one character of the plain text, so a paragraph's position is just
    // past the end of the one before; the ends of paragraphs cut from one line are left out.
    QString all = toPlainText();
    if (!lineEnd_.isNull())
        all.replace(lineEnd_, u'\n');
    QString text;
    qsizetype from = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (BoxWriter::continuesParagraph(block) && block.position() > from) {
            text += QStringView(all).sliced(from, block.position() - 1 - from);
            from = block.position();
        }
    }
    text += QStringView(all).sliced(std::min(from, all.size()));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

// A new document, made before the box sees it: filling the box's own document would lay it out
// after every paragraph. The box then lays it out a few paragraphs at a time.
void RichTextBox::replaceDocument(QTextDocument* fresh, QChar lineEnd, bool cutWithinWord) {
    lineEnd_ = lineEnd;
    setWordWrapMode(cutWithinWord ? QTextOption::WrapAnywhere
                                  : QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The box hands the format at its insertion point on to the new document; text typed into
    // a replaced content starts plain. Moving to the start drops a selection, whose format
    // would be handed on instead.
    moveCursor(QTextCursor::Start);
    setCurrentCharFormat(QTextCharFormat());
    fresh->setDefaultFont(font());
    fresh->setUndoRedoEnabled(false);
    // The box deletes only the document it made itself; the ones given to it are ours to delete,
    // at once rather than later: continuous play runs inside one click for hours.
    std::unique_ptr<QTextDocument> old(document()->parent() == this ? document() : nullptr);
    setDocument(fresh);
    fresh->setUndoRedoEnabled(true); // a new content starts a fresh undo history
}

void RichTextBox::setText(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n')); // a lone CR would end a paragraph too
    const QList<QStringView> paragraphs = QStringView(lines).split(u'\n');
    const QChar lineEnd = std::size_t(paragraphs.size()) >= BoxWriter::kMostParagraphs
                              ? BoxWriter::unusedLineEnd(lines)
                              : QChar();
    auto* fresh = new InertDocument(this);
    bool cutWithinWord = false;
    {
        BoxWriter writer(*fresh, lineEnd);
        for (QStringView paragraph : paragraphs) {
            writer.startParagraph(paragraph.size());
            writer.append(paragraph, QTextCharFormat());
        }
        cutWithinWord = writer.cutWithinWord();
    }
    replaceDocument(fresh, lineEnd, cutWithinWord);
}

bool RichTextBox::loadFile(const QString& path) {
    return loadFile(QFile::encodeName(path).toStdString());
}

bool RichTextBox::loadFile(const std::string& nativePath) {
    const textfile::LoadResult loaded = textfile::load(nativePath);
    if (!loaded.ok) {
        qCWarning(richTextLog).noquote() << "not loaded:" << QString::fromStdString(loaded.error);
        return false;
    }
    switch (loaded.kind) {
    case textfile::LoadResult::Kind::Rich: {
        auto* fresh = new InertDocument(this);
        bool cutWithinWord = false;
        const QChar lineEnd = fill(*fresh, loaded.document, cutWithinWord);
        replaceDocument(fresh, lineEnd, cutWithinWord);
        break;
    }
    case textfile::LoadResult::Kind::Html: {
        const htmlpage::Prepared page = htmlpage::prepare(loaded.text);
        if (!page.rendered) {
            setText(QString::fromStdString(page.content));
            break;
        }
        auto* fresh = new InertDocument(this);
        fresh->setHtml(QString::fromStdString(page.content));
        replaceDocument(fresh);
        break;
    }
    case textfile::LoadResult::Kind::Plain:
        setText(QString::fromStdString(loaded.text));
        break;
    }
    return true;
}

bool RichTextBox::saveFile(const QString& path) const {
    return saveFile(QFile::encodeName(path).toStdString());
}

bool RichTextBox::saveFile(const std::string& nativePath) const {
    const rtf::SaveResult saved = rtf::save(toRich(*document(), lineEnd_), nativePath);
    if (!saved.ok)
        qCWarning(richTextLog).noquote() << "not saved:" << QString::fromStdString(saved.error);
    return saved.ok;
}

void RichTextBox::keyPressEvent(QKeyEvent* event) {
    // A handler that processes events gets the keys typed meanwhile here, one level deeper; they
    // wait their turn instead of nesting one handler in another for every key.
    if (handlingKeys_) {
        pendingKeys_.emplace_back(static_cast<QKeyEvent*>(event->clone()));
        return;
    }
    handlingKeys_ = true;
    // The handler may process events, and with them the window's closing.
    const QPointer<RichTextBox> alive(this);
    QKeyEvent* key = event;
    std::unique_ptr<QKeyEvent> waited;
    for (;;) {
        for (const char32_t code : key->text().toUcs4()) {
            emit keyTyped(static_cast<int>(code));
            if (!alive)
                return;
        }
        QTextEdit::keyPressEvent(key);
        if (pendingKeys_.empty())
            break;
        waited = std::move(pendingKeys_.front());
        pendingKeys_.pop_front();
        key = waited.get();
    }
    handlingKeys_ = false;
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QTextEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}
