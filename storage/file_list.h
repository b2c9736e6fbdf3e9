#pragma once

#include <string>
#include <string_view>
#include <vector>

// The library's list of files: the names of the regular files in one folder that match a list of
// wildcard patterns such as "*.txt;*.text;*.htm;*.html;*.doc;*. ".
//
// Patterns are separated by ';' and trimmed of blanks; '*' stands for any run of characters, '?'
// for one. A pattern ending in '.' ("*." and "*. ") matches names without an extension, one ending
// in ".*" also names without one, as the patterns have always meant on the system they come from.
// Matching ignores the case of ASCII letters: the patterns were written where NOTES.TXT and
// notes.txt are the same name, and a learner expects both listed.
//
// Hidden files (names starting with '.') are never listed; neither are folders, broken links and
// entries that cannot be examined. The list is sorted by name ignoring case, so it reads like an
// alphabetical index; the order is also the order continuous play follows.
class FileList {
public:
    explicit FileList(std::string folder, std::string_view patterns = "*");

    const std::string& folder() const { return folder_; }

    // Sets the patterns and reads the folder again.
    void setPattern(std::string_view patterns);

    // Reads the folder again. The selected name stays selected if it is still listed.
    void refresh();

    int count() const { return static_cast<int>(names_.size()); }

    // The file name without folder; empty for an index outside the list.
    std::string name(int index) const;

    // -1 when nothing is selected.
    int selectedIndex() const { return selected_; }

    // Selects entry `index`; an index outside the list clears the selection.
    void select(int index);

private:
    std::string folder_;
    std::vector<std::string> patterns_;
    std::vector<std::string> names_;
    int selected_ = -1;
};

// Whether `name` matches any pattern of `patterns`, by the rules above.
bool matchesPatterns(std::string_view name, std::string_view patterns);
