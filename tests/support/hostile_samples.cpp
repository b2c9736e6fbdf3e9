#include "hostile_samples.h"

namespace {

std::string repeated(const std::string& piece, int times) {
    std::string result;
    result.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i)
        result += piece;
    return result;
}

std::string nestedTables(int depth) {
    return "<html><body>" + repeated("<table><tr><td>", depth) + "deep" +
           repeated("</td></tr></table>", depth) + "</body></html>";
}

} // namespace

std::vector<std::string> hostileSampleNames() {
    return {"nested-3000", "nested-300", "table-20000x50", "picture-dev-zero",
            "word-5mb",    "line-5mb",   "lines-1m"};
}

HostileSample hostileSample(const std::string& name) {
    constexpr int kFiveMb = 5 * 1024 * 1024;
    if (name == "nested-3000")
        return {name + ".htm", nestedTables(3000), "deep"};
    if (name == "nested-300")
        return {name + ".htm", nestedTables(300), "deep"};
    if (name == "table-20000x50")
        return {name + ".html",
                "<table>" +
                    repeated("<tr>" + repeated("<td>ab</td>", 49) + "<td>cd</td></tr>", 20000) +
                    "</table>",
                "cd"};
    if (name == "picture-dev-zero")
        return {name + ".html", "<p>one <img src=\"file:///dev/zero\" alt=\"zero\"> two</p>",
                "two"};
    if (name == "word-5mb")
        return {name + ".txt", std::string(kFiveMb, 'e'), "eee"};
    if (name == "line-5mb")
        return {name + ".txt", repeated("tes ", kFiveMb / 4), "tes"};
    return {name + ".txt", repeated("ab\n", 1000000), "ab"};
}
