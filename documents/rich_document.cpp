#include "documents/rich_document.h"

namespace rich {

namespace {

constexpr std::string_view kNoBreakSpace = "\u00A0";

void appendPlain(std::string& out, std::string_view text, std::string_view lineEnd) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::string_view rest = text.substr(pos);
        if (rest.starts_with(kLineBreak)) {
            out += lineEnd;
            pos += kLineBreak.size();
        } else if (rest.starts_with(kNoBreakSpace)) {
            out += ' ';
            pos += kNoBreakSpace.size();
        } else {
            out += text[pos++];
        }
    }
}

} // namespace

void RichDocument::append(std::string_view text, const CharFormat& format) {
    if (text.empty())
        return;
    if (paragraphs.empty())
        startParagraph();
    std::vector<Run>& runs = paragraphs.back().runs;
    if (!runs.empty() && runs.back().format == format)
        runs.back().text += text;
    else
        runs.push_back({std::string(text), format});
}

std::string RichDocument::plainText(std::string_view lineEnd) const {
    std::string out;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            out += lineEnd;
        for (const Run& run : paragraphs[i].runs)
            appendPlain(out, run.text, lineEnd);
    }
    return out;
}

} // namespace rich
