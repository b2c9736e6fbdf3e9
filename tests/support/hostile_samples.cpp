#include "hostile_samples.h"

namespace {
std::string repeated(const std::string& piece, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += piece;
    return result;
}
std::string nested(int depth) {
    return repeated("<table><tr><td>", depth) + "deep" + repeated("</td></tr></table>", depth);
}
} // namespace

std::vector<HostileSample> hostileSamples() {
    const int fiveMb = 5 << 20;
    const std::string row = "<tr>" + repeated("<td>ab</td>", 49) + "<td>cd</td></tr>";
    return {
        {"nested-3000", "n3000.htm", nested(3000), "deep"},
        {"nested-300", "n300.htm", nested(300), "deep"},
        {"table-20000x50", "table.html", "<table>" + repeated(row, 20000) + "</table>", "cd"},
        {"picture-dev-zero", "zero.html", "<img src=\"file:///dev/zero\" alt=\"zero\">", "zero"},
        {"word-5mb", "word.txt", std::string(fiveMb, 'e'), "eee"},
        {"line-5mb", "line.txt", repeated("tes ", fiveMb / 4), "tes"},
        {"lines-1m", "lines.txt", repeated("ab\n", 1000000), "ab"}};
}
