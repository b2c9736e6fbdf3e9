#pragma once

#include <QKeyEvent>
#include <QString>
#include <QTextEdit>
#include <deque>
#include <memory>
#include <string>

// The window's rich text box (the control rtf): a QTextEdit that loads and saves the library's
// documents through the core's decoders and writer, reads its text as the trainer plays it, and
// tells the window about typed keys before they land and about double-clicks.
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // The whole content without formatting; paragraphs and line breaks end in CR LF, no-break
    // spaces read as blanks.
    QString plainText() const;

    // Replaces the content with plain text. The empty string also drops the formatting of the
    // insertion point, so text typed afterwards starts plain.
    void setText(const QString& text);

    // Replaces the content with the file's: RTF with its formatting, web pages rendered, anything
    // else as plain text. A file that cannot be loaded leaves the content as it was; the reason
    // goes to the log.
    bool loadFile(const QString& path);
    // The same, for a path in the bytes the system has it in (any name a folder lists opens).
    bool loadFile(const std::string& nativePath);

    // Writes the whole content as an RTF document, replacing a file of that name; a failed save
    // leaves the old file untouched and its reason goes to the log.
    bool saveFile(const QString& path) const;
    bool saveFile(const std::string& nativePath) const;

    // Forgets the typed keys that wait for their turn; for a window that closes.
    void dropPendingKeys() { pendingKeys_.clear(); }

signals:
    // A typed character, by its Unicode code, before it is inserted. Handlers may take long and
    // process events (they key the character in Morse); the key is inserted unchanged afterwards.
    // Keys that arrive while a handler runs wait their turn and are handled in order after it.
    void keyTyped(int code);
    void doubleClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Gives the box `fresh` (a child of the box) in place of its document, as BoxWriter made it:
    // `lineEnd` stands for a paragraph end in it when not null, and `cutWithinWord` wraps lines
    // anywhere.
    void replaceDocument(QTextDocument* fresh, QChar lineEnd = {}, bool cutWithinWord = false);

    std::deque<std::unique_ptr<QKeyEvent>> pendingKeys_;
    bool handlingKeys_ = false;
    QChar lineEnd_;
};
