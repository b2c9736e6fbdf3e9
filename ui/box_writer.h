#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <cstddef>

class QTextBlock;
class QTextDocument;

// Writes a text into a new document of the text box, paragraph by paragraph, in a shape the box
// can always lay out, however long the lines or however many of them:
//
// - The box lays out a paragraph as a whole, at a cost that grows faster than its length (a line
//   of 5 MB took minutes). No paragraph of the box is longer than kParagraphChars: a longer one
//   is cut into paragraphs marked as continuing it, which read back as the one they came from.
// - The box cannot lay out a document much taller than eight million pixels (half a million lines
//   at an ordinary font froze it for minutes). A text of kMostParagraphs paragraphs or more is
//   shown as flowing text, as many paragraphs to one of the box as fit, each paragraph end shown
//   as a narrow space the text does not use (`lineEnd`), which reads back and saves as the
//   paragraph end it stands for.
class BoxWriter {
public:
    static constexpr qsizetype kParagraphChars = 4096;
    static constexpr std::size_t kMostParagraphs = 100000;

    // The first of some narrow spaces (all of them places to wrap) that `text` does not hold;
    // null when it holds every one, and then each paragraph has one of the box after all.
    static QChar unusedLineEnd(QStringView text);
    // Whether `block` continues the paragraph of the block before it.
    static bool continuesParagraph(const QTextBlock& block);

    // `lineEnd`: null, or the character that parts paragraphs sharing one of the box.
    BoxWriter(QTextDocument& target, QChar lineEnd);
    ~BoxWriter();
    BoxWriter(const BoxWriter&) = delete;
    BoxWriter& operator=(const BoxWriter&) = delete;

    // Starts a paragraph of about `chars` characters.
    void startParagraph(qsizetype chars);
    void append(QStringView text, const QTextCharFormat& format);
    // Whether a paragraph had to be cut inside a word: the box then wraps anywhere, since looking
    // for a word boundary in a "word" of thousands of characters again for every line costs as
    // much as laying out the whole paragraph.
    bool cutWithinWord() const { return cutWithinWord_; }

private:
    // Text is handed to the document a run at a time, not a piece at a time.
    void flush();

    QTextCursor cursor_;
    QChar lineEnd_;
    QTextBlockFormat continuing_;
    QString pending_;
    QTextCharFormat pendingFormat_;
    qsizetype used_ = 0; // characters in the box's current paragraph
    bool first_ = true;
    bool cutWithinWord_ = false;
};
