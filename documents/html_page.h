#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Web pages from the library, made safe for the rich text box before it sees them.
//
// The box's page layout costs time that grows steeply with the nesting of tables and with the
// number of table cells, and its page reader costs time that grows with the square of the
// nesting of elements: 300 nested tables kept it busy for minutes, 3000 overflowed the stack.
// A page is therefore measured first, by a quick scan of its tags, and rendered only within the
// limits below; a page beyond them is shown as its text alone (tags dropped, block ends as line
// breaks, cells as blanks), which keeps every word the player needs. The scan errs on the side
// of counting too much: a tag inside a script still counts, an unclosed one stays open.
//
// No page may make the box read a file or an address: pictures are replaced by their
// alternative text before the page reaches the box.
namespace htmlpage {

// Limits of a page that is rendered. Each was chosen so that a page right at it lays out in well
// under a second, while ordinary pages (a few tables, a few nested lists) stay far below it.
inline constexpr int kMaxTableNesting = 8;
inline constexpr long kMaxTableCells = 2000;
inline constexpr int kMaxNesting = 64; // elements open inside each other
inline constexpr std::size_t kMaxRenderedBytes = 256 * 1024;
inline constexpr std::size_t kMaxWordBytes = 2000; // a run without white space, tags included

struct Shape {
    std::size_t bytes = 0;
    int tableNesting = 0; // the deepest table inside tables
    long tableCells = 0;
    int nesting = 0; // the deepest element inside elements, not counting those that close alone
    std::size_t longestWord = 0;
};

// Measures the page by its tags.
Shape measure(std::string_view html);

bool renderable(const Shape& shape);

struct Prepared {
    bool rendered = false; // true: `content` is a page for the box; false: its text, lines by '\n'
    std::string content;
};

// What the box is given for `html` (UTF-8): the page without pictures, or the page's text.
Prepared prepare(std::string_view html);

// The page with every picture replaced by its alternative text; whatever still looks like the
// start of a picture tag is written as text.
std::string withoutPictures(std::string_view html);

// The page's text: tags, comments, scripts and style sheets dropped, character references
// decoded, runs of white space read as one blank, line breaks at the ends of blocks.
std::string text(std::string_view html);

} // namespace htmlpage
