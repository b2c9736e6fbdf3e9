#include "ui/box_writer.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {
constexpr int kContinuesParagraph = QTextFormat::UserProperty + 1;

// Where to cut a text that does not fit the `room` left in a paragraph: after a blank in the
// second half of the room if there is one, never between the halves of a surrogate pair.
qsizetype cutPoint(QStringView text, qsizetype room, bool& withinWord) {
    qsizetype cut = room;
    const qsizetype blank = text.first(room).lastIndexOf(u' ');
    withinWord = blank < room / 2;
    if (!withinWord)
        cut = blank + 1;
    if (cut > 1 && text[cut - 1].isHighSurrogate())
        --cut;
    return cut;
}
} // namespace

QChar BoxWriter::unusedLineEnd(QStringView text) {
    for (const char16_t candidate : {u'\u2008', u'\u205F', u'\u2006', u'\u2005'})
        if (!text.contains(QChar(candidate)))
            return QChar(candidate);
    return {};
}

bool BoxWriter::continuesParagraph(const QTextBlock& block) {
    return block.blockFormat().boolProperty(kContinuesParagraph);
}

BoxWriter::BoxWriter(QTextDocument& target, QChar lineEnd) : cursor_(&target), lineEnd_(lineEnd) {
    continuing_.setProperty(kContinuesParagraph, true);
    // One edit block: the cursor does not work out where it stands after every piece.
    cursor_.beginEditBlock();
}

BoxWriter::~BoxWriter() {
    flush();
    cursor_.endEditBlock();
}

void BoxWriter::startParagraph(qsizetype chars) {
    if (first_) {
        first_ = false;
    } else if (!lineEnd_.isNull() && used_ + 1 + chars <= kParagraphChars) {
        pending_ += lineEnd_;
        ++used_;
    } else {
        flush();
        cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
        used_ = 0;
    }
}

void BoxWriter::append(QStringView text, const QTextCharFormat& format) {
    if (format != pendingFormat_) {
        flush();
        pendingFormat_ = format;
    }
    while (used_ + text.size() > kParagraphChars) {
        bool inWord = false;
        const qsizetype cut = cutPoint(text, kParagraphChars - used_, inWord);
        cutWithinWord_ = cutWithinWord_ || inWord;
        pending_ += text.first(cut);
        flush();
        cursor_.insertBlock(continuing_, format);
        used_ = 0;
        text = text.sliced(cut);
    }
    pending_ += text;
    used_ += text.size();
}

void BoxWriter::flush() {
    if (!pending_.isEmpty())
        cursor_.insertText(pending_, pendingFormat_);
    pending_.clear();
}
