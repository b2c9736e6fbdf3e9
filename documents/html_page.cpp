#include "documents/html_page.h"

#include "core/utf8.h"

#include <algorithm>
#include <array>
#include <functional>
#include <unordered_map>

namespace htmlpage {
namespace {

struct Tag {
    std::string name; // lower case
    bool closing = false;
    std::string_view attributes; // between the name and the closing '>'
};

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The box's reader skips any white space after '<', Unicode spaces included; skipping every
// byte beyond ASCII as well can only find more tags than it does, never fewer.
std::size_t skipSpaces(std::string_view html, std::size_t pos) {
    while (pos < html.size() &&
           (isAsciiSpace(html[pos]) || static_cast<unsigned char>(html[pos]) >= 0x80))
        ++pos;
    return pos;
}

bool startsWithAt(std::string_view html, std::size_t pos, std::string_view prefix) {
    if (html.size() - std::min(pos, html.size()) < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower(html[pos + i]) != prefix[i])
            return false;
    return true;
}

std::size_t after(std::string_view html, std::size_t from, std::string_view end) {
    const std::size_t found = html.find(end, from);
    return found == std::string_view::npos ? html.size() : found + end.size();
}

// Splits the page into text and tags, as the box's reader does: comments run to "-->", other
// declarations to the next '>', a tag to its first '>' (quotes are not honoured, so a '>' inside
// an attribute ends the tag early and the rest reads as text: more tags are found, never fewer).
// With `skipScripts`, the content of scripts and style sheets is passed over.
void scan(std::string_view html, bool skipScripts,
          const std::function<void(std::string_view)>& onText,
          const std::function<void(const Tag&, std::string_view raw)>& onTag) {
    std::size_t pos = 0;
    while (pos < html.size()) {
        if (html[pos] != '<') {
            const std::size_t end = std::min(html.find('<', pos), html.size());
            onText(html.substr(pos, end - pos));
            pos = end;
            continue;
        }
        const std::size_t start = pos;
        std::size_t at = skipSpaces(html, pos + 1);
        if (startsWithAt(html, at, "!--")) {
            pos = after(html, at + 3, "-->");
            continue;
        }
        if (at < html.size() && (html[at] == '!' || html[at] == '?')) {
            pos = after(html, at, ">");
            continue;
        }
        Tag tag;
        if (at < html.size() && html[at] == '/') {
            tag.closing = true;
            at = skipSpaces(html, at + 1);
        }
        while (at < html.size() && isAlnum(html[at]))
            tag.name += lower(html[at++]);
        if (tag.name.empty()) {
            onText(html.substr(start, 1));
            pos = start + 1;
            continue;
        }
        pos = after(html, at, ">");
        const std::size_t inner = pos - at - (html[pos - 1] == '>' ? 1 : 0);
        tag.attributes = html.substr(at, inner);
        onTag(tag, html.substr(start, pos - start));
        if (skipScripts && !tag.closing && (tag.name == "script" || tag.name == "style")) {
            std::size_t close = html.find("</", pos);
            while (close != std::string_view::npos && !startsWithAt(html, close + 2, tag.name))
                close = html.find("</", close + 2);
            pos = close == std::string_view::npos ? html.size() : close;
        }
    }
}

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements without content, and those the reader closes by itself when the next one of their
// kind starts (so that a long list of <li> or <p> without end tags is not a deep nesting).
bool neverNests(std::string_view name) {
    return isOneOf(name, {"area",  "base",   "basefont", "br",      "col",    "embed", "frame",
                          "hr",    "img",    "input",    "isindex", "keygen", "link",  "meta",
                          "param", "source", "track",    "wbr",     "p",      "li",    "dt",
                          "dd",    "tr",     "td",       "th",      "option"});
}

// The value of attribute `wanted` in a tag's attribute text, quoted or not; empty when absent.
std::string_view attribute(std::string_view attributes, std::string_view wanted) {
    std::size_t pos = 0;
    while (pos < attributes.size()) {
        while (pos < attributes.size() && !isAlnum(attributes[pos]))
            ++pos;
        const std::size_t nameStart = pos;
        while (pos < attributes.size() && (isAlnum(attributes[pos]) || attributes[pos] == '-'))
            ++pos;
        const std::string_view name = attributes.substr(nameStart, pos - nameStart);
        while (pos < attributes.size() && isAsciiSpace(attributes[pos]))
            ++pos;
        if (pos >= attributes.size() || attributes[pos] != '=')
            continue;
        pos = std::min(attributes.find_first_not_of(" \t\r\n", pos + 1), attributes.size());
        std::size_t end = 0;
        if (pos < attributes.size() && (attributes[pos] == '"' || attributes[pos] == '\'')) {
            end = std::min(attributes.find(attributes[pos], pos + 1), attributes.size());
            ++pos;
        } else {
            end = std::min(attributes.find_first_of(" \t\r\n", pos), attributes.size());
        }
        if (name.size() == wanted.size() && startsWithAt(name, 0, wanted))
            return attributes.substr(pos, end - pos);
        pos = end + 1;
    }
    return {};
}

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
}

// Any '<' that the box's reader could still take for the start of a picture becomes text.
std::string withoutPictureStarts(std::string_view html) {
    std::string result;
    result.reserve(html.size());
    for (std::size_t pos = 0; pos < html.size(); ++pos) {
        const std::size_t name = skipSpaces(html, pos + 1);
        if (html[pos] == '<' && startsWithAt(html, name, "img") &&
            (name + 3 >= html.size() || !isAlnum(html[name + 3])))
            result += "&lt;";
        else
            result += html[pos];
    }
    return result;
}

// clang-format off
constexpr std::array<std::pair<std::string_view, char32_t>, 17> kNamedReferences{{
    {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0},
    {"copy", 0xA9}, {"reg", 0xAE}, {"laquo", 0xAB}, {"raquo", 0xBB}, {"ndash", 0x2013},
    {"mdash", 0x2014}, {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"ldquo", 0x201C},
    {"rdquo", 0x201D}, {"hellip", 0x2026},
}};
// clang-format on

// The character a reference such as "&amp;" or "&#233;" starting at `text[pos]` stands for, and
// its length; length 0 when it is no reference this reader knows (the '&' is then kept).
std::pair<char32_t, std::size_t> reference(std::string_view text, std::size_t pos) {
    const std::size_t end = text.find(';', pos);
    if (end == std::string_view::npos || end - pos > 10)
        return {0, 0};
    const std::string_view body = text.substr(pos + 1, end - pos - 1);
    if (body.size() > 1 && body[0] == '#') {
        const bool hex = body[1] == 'x' || body[1] == 'X';
        char32_t value = 0;
        for (const char c : body.substr(hex ? 2 : 1)) {
            const int digit = c >= '0' && c <= '9'          ? c - '0'
                              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                            : -1;
            if (digit < 0)
                return {0, 0};
            value = std::min<char32_t>(value * (hex ? 16 : 10) + static_cast<char32_t>(digit),
                                       0x110000);
        }
        return {value == 0 ? utf8::kReplacement : value, end - pos + 1};
    }
    for (const auto& [name, character] : kNamedReferences)
        if (body == name)
            return {character, end - pos + 1};
    return {0, 0};
}

// Collects a page's text: white space runs as one blank, none at the start of a line.
class TextCollector {
public:
    void add(std::string_view text) {
        for (std::size_t pos = 0; pos < text.size();) {
            if (isAsciiSpace(text[pos])) {
                blankPending_ = !out_.empty() && out_.back() != '\n';
                ++pos;
                continue;
            }
            flushBlank();
            const auto [character, length] =
                text[pos] == '&' ? reference(text, pos) : std::pair<char32_t, std::size_t>{};
            if (length > 0) {
                utf8::append(out_, character);
                pos += length;
            } else {
                out_ += text[pos++];
            }
        }
    }
    void blank() { blankPending_ = !out_.empty() && out_.back() != '\n'; }
    void lineBreak() {
        blankPending_ = false;
        if (!out_.empty() && out_.back() != '\n')
            out_ += '\n';
    }
    std::string take() { return std::move(out_); }

private:
    void flushBlank() {
        if (blankPending_)
            out_ += ' ';
        blankPending_ = false;
    }
    std::string out_;
    bool blankPending_ = false;
};

bool endsBlock(std::string_view name) {
    return isOneOf(name,
                   {"p",  "div",        "br",  "tr",    "li",    "h1",     "h2",      "h3",
                    "h4", "h5",         "h6",  "table", "ul",    "ol",     "dl",      "dt",
                    "dd", "blockquote", "pre", "hr",    "title", "center", "address", "form"});
}

} // namespace

Shape measure(std::string_view html) {
    Shape shape;
    shape.bytes = html.size();
    std::unordered_map<std::string, int> open; // per name, so a stray end tag closes nothing
    int depth = 0;
    std::size_t word = 0;
    for (const char c : html) {
        word = isAsciiSpace(c) ? 0 : word + 1;
        shape.longestWord = std::max(shape.longestWord, word);
    }
    scan(
        html, false, [](std::string_view) {},
        [&](const Tag& tag, std::string_view) {
            if (tag.name == "td" || tag.name == "th")
                shape.tableCells += tag.closing ? 0 : 1;
            // "<div/>" counts as open: the reader's idea of a closed tag is not this scan's.
            if (neverNests(tag.name))
                return;
            int& count = open[tag.name];
            if (tag.closing) {
                depth -= count > 0 ? 1 : 0;
                count -= count > 0 ? 1 : 0;
                return;
            }
            ++count;
            shape.nesting = std::max(shape.nesting, ++depth);
            if (tag.name == "table")
                shape.tableNesting = std::max(shape.tableNesting, count);
        });
    return shape;
}

bool renderable(const Shape& shape) {
    return shape.bytes <= kMaxRenderedBytes && shape.tableNesting <= kMaxTableNesting &&
           shape.tableCells <= kMaxTableCells && shape.nesting <= kMaxNesting &&
           shape.longestWord <= kMaxWordBytes;
}

std::string withoutPictures(std::string_view html) {
    std::string result;
    result.reserve(html.size());
    scan(
        html, false, [&](std::string_view text) { result += text; },
        [&](const Tag& tag, std::string_view raw) {
            if (tag.name == "img")
                appendEscaped(result, attribute(tag.attributes, "alt"));
            else
                result += raw;
        });
    return withoutPictureStarts(result);
}

std::string text(std::string_view html) {
    TextCollector collector;
    bool inTitle = false;
    scan(
        html, true,
        [&](std::string_view text) {
            if (!inTitle)
                collector.add(text);
        },
        [&](const Tag& tag, std::string_view) {
            if (tag.name == "title")
                inTitle = !tag.closing;
            if (tag.name == "img" && !tag.closing)
                collector.add(attribute(tag.attributes, "alt"));
            else if (endsBlock(tag.name))
                collector.lineBreak();
            else if (tag.name == "td" || tag.name == "th")
                collector.blank();
        });
    return collector.take();
}

Prepared prepare(std::string_view html) {
    if (renderable(measure(html)))
        return {true, withoutPictures(html)};
    return {false, text(html)};
}

} // namespace htmlpage
