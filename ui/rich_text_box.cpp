#include "ui/rich_text_box.h"

#include "documents/html_page.h"
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

// The box lays out a paragraph as a whole, at a cost that grows faster than its length (a line of
// 5 MB took minutes), and a long document a few paragraphs at a time between events. So no
// paragraph the box is given is longer than this: a longer line is cut into paragraphs marked as
// continuing it, which read back as the one line they came from.
constexpr qsizetype kParagraphChars = 4096;
constexpr int kContinuesLine = QTextFormat::UserProperty + 1;

bool continuesLine(const QTextBlock& block) {
    return block.blockFormat().boolProperty(kContinuesLine);
}

struct Paragraph {
    QString text;
    bool continuesLine = false;
};

// Where to cut a line that does not fit the rest of a paragraph: after a blank in the second
// half of the room if there is one, never between the halves of a surrogate pair.
qsizetype cutPoint(QStringView line, qsizetype room, bool& withinWord) {
    qsizetype cut = room;
    const qsizetype blank = line.first(room).lastIndexOf(u' ');
    withinWord = blank < room / 2;
    if (!withinWord)
        cut = blank + 1;
    if (cut > 1 && line[cut - 1].isHighSurrogate())
        --cut;
    return cut;
}

// Lines of `text` (ended by '\n') as the paragraphs the box is given; `withinWord` tells whether a
// line had to be cut inside a word.
std::vector<Paragraph> paragraphsOf(QStringView text, bool& withinWord) {
    std::vector<Paragraph> result(1);
    withinWord = false;
    bool firstLine = true;
    for (QStringView line : text.split(u'\n')) {
        if (!firstLine)
            result.emplace_back();
        firstLine = false;
        while (result.back().text.size() + line.size() > kParagraphChars) {
            bool cutInWord = false;
            const qsizetype cut =
                cutPoint(line, kParagraphChars - result.back().text.size(), cutInWord);
            withinWord = withinWord || cutInWord;
            result.back().text += line.first(cut);
            result.push_back({QString(), true});
            line = line.sliced(cut);
        }
        result.back().text += line;
    }
    return result;
}

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
        if (!continuesLine(block) || result.paragraphs.empty())
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

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    replaceDocument(new InertDocument(this));
}

QString RichTextBox::plainText() const {
    // Every paragraph ends in one character of the plain text, so a paragraph's position is just
    // past the end of the one before; the ends of paragraphs cut from one line are left out.
    const QString all = toPlainText();
    QString text;
    qsizetype from = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (continuesLine(block) && block.position() > from) {
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
void RichTextBox::replaceDocument(QTextDocument* fresh) {
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
    bool cutWithinWord = false;
    const std::vector<Paragraph> paragraphs = paragraphsOf(lines, cutWithinWord);
    if (std::none_of(paragraphs.begin(), paragraphs.end(),
                     [](const Paragraph& paragraph) { return paragraph.continuesLine; })) {
        // Lines that all fit a paragraph go straight into the box, which lays them out at once:
        // a million of them in a new document would be laid out a few at a time for minutes.
        // setPlainText() gives the new text the format at the insertion point, so that goes
        // first; moving to the start drops a selection, which would otherwise take the format.
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        moveCursor(QTextCursor::Start);
        setCurrentCharFormat(QTextCharFormat());
        setPlainText(lines);
        return;
    }
    auto* fresh = new InertDocument(this);
    QTextCursor cursor(fresh);
    QTextBlockFormat continuing;
    continuing.setProperty(kContinuesLine, true);
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(paragraphs[i].continuesLine ? continuing : QTextBlockFormat());
        cursor.insertText(paragraphs[i].text);
    }
    // A "word" of thousands of characters is wrapped anywhere: looking for a word boundary in it
    // again for every line costs as much as laying out the whole paragraph.
    setWordWrapMode(cutWithinWord ? QTextOption::WrapAnywhere
                                  : QTextOption::WrapAtWordBoundaryOrAnywhere);
    replaceDocument(fresh);
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
        fill(*fresh, loaded.document);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        replaceDocument(fresh);
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
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
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
    const rtf::SaveResult saved = rtf::save(toRich(*document()), nativePath);
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
