#pragma once

#include "core/control.h"

#include <string>
#include <string_view>

// What the trainer's procedures may do to its window. The keying engine, the drills, the player
// and the library see the window only through this interface, so they build without widgets.
// Texts are UTF-8. Every call is made on the window's thread.
class TrainerView {
public:
    virtual ~TrainerView() = default;

    // The caption of a button, label, frame or check box; the text of a text box. For `rtf` this
    // is its plain text, every line break as a carriage return and a line feed.
    virtual std::string text(Control control) const = 0;
    // Sets a caption or a text. Setting a box's text runs its change handler when the text
    // differs, as typing would; setting `rtf` to "" removes its formatting too.
    virtual void setText(Control control, std::string_view text) = 0;
    // Adds to the end of a display line or box, as the drills and the player write what they send.
    void appendText(Control control, std::string_view more) {
        setText(control, text(control).append(more));
    }

    virtual bool isVisible(Control control) const = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    virtual bool isEnabled(Control control) const = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;
    // A check box counts as ticked only when it is fully checked.
    virtual bool isChecked(Control control) const = 0;

    // The slider HScroll1. Setting a position outside its range is refused (returns false and
    // leaves it where it was); a position that changes runs the slider's change handler.
    virtual int sliderPosition() const = 0;
    virtual bool setSliderPosition(double position) = 0;

    // Puts the insertion point of a text box at the end of its text.
    virtual void moveCaretToEnd(Control control) = 0;
    // Shows the control's new content at once, before the caller goes on.
    virtual void repaint(Control control) = 0;
    virtual void setFocus(Control control) = 0;

    // The rich text box `rtf`: replaces its content with a file's (rich text keeps its
    // formatting), or saves its whole content as a Rich Text Format document. Both return false
    // on failure, and a failed load leaves the content as it was.
    virtual bool loadDocument(const std::string& path) = 0;
    virtual bool saveDocument(const std::string& path) = 0;

    // The file list `File1`: the names (without folder) of the files of one folder that match
    // its pattern, in display order, numbered from 0.
    virtual void setFilePattern(std::string_view pattern) = 0;
    virtual int fileCount() const = 0;
    virtual std::string fileName(int index) const = 0;
    virtual int selectedFile() const = 0; // -1 when none is selected
    virtual void selectFile(int index) = 0;
    virtual void refreshFiles() = 0; // reads the folder again

    // Lets the window handle every pending event (clicks, keys, repaints); handlers run inside
    // this call. Returns false once the window has been closed.
    virtual bool yield() = 0;
};
