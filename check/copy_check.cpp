#include "check/copy_check.h"

#include "core/utf8.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace copycheck {

namespace {

struct Token {
    std::string text;
    bool groupEnd = false;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The characters of a text without its blanks, letters a to z made upper case; a blank marks the
// end of the group before it.
std::vector<Token> tokensOf(std::string_view text) {
    std::vector<Token> tokens;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = utf8::decode(text, pos).length;
        if (isBlank(text[pos])) {
            if (!tokens.empty())
                tokens.back().groupEnd = true;
        } else {
            std::string character(text.substr(pos, length));
            if (length == 1 && character[0] >= 'a' && character[0] <= 'z')
                character[0] = static_cast<char>(character[0] - 'a' + 'A');
            tokens.push_back({std::move(character), false});
        }
        pos += length;
    }
    return tokens;
}

enum Move : std::uint8_t { kDiagonal, kSentOnly, kCopyOnly };

} // namespace

Result check(std::string_view sentText, std::string_view copyText) {
    const std::vector<Token> sent = tokensOf(sentText);
    const std::vector<Token> copy = tokensOf(copyText);
    const std::size_t n = sent.size();
    const std::size_t m = copy.size();
    Result result;
    result.sent = static_cast<int>(n);
    if (static_cast<long long>(n + 1) * static_cast<long long>(m + 1) > kMaxCells) {
        result.tooLong = true;
        return result;
    }
    // One edit costs more than all right characters together can win back, so the score orders
    // alignments by edits first and right characters second.
    const auto edit = static_cast<std::int64_t>(n + m + 1);
    std::vector<std::int64_t> previous(m + 1);
    std::vector<std::int64_t> current(m + 1);
    std::vector<Move> moves((n + 1) * (m + 1));
    for (std::size_t j = 0; j <= m; ++j) {
        previous[j] = static_cast<std::int64_t>(j) * edit;
        moves[j] = kCopyOnly;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = static_cast<std::int64_t>(i) * edit;
        moves[i * (m + 1)] = kSentOnly;
        for (std::size_t j = 1; j <= m; ++j) {
            const bool same = sent[i - 1].text == copy[j - 1].text;
            std::int64_t best = previous[j - 1] + (same ? -1 : edit);
            Move move = kDiagonal;
            // On a tie a miss or an extra wins over a wrong character: the alignment is traced
            // back from the end, so the wrong one then stands before the miss or the extra, as
            // when a learner writes a wrong character and then one too many.
            if (previous[j] + edit <= best) {
                best = previous[j] + edit;
                move = kSentOnly;
            }
            if (current[j - 1] + edit <= best) {
                best = current[j - 1] + edit;
                move = kCopyOnly;
            }
            current[j] = best;
            moves[i * (m + 1) + j] = move;
        }
        std::swap(previous, current);
    }
    for (std::size_t i = n, j = m; i > 0 || j > 0;) {
        const Move move = moves[i * (m + 1) + j];
        Step step{Mark::Right, {}, {}, false};
        if (move != kCopyOnly) {
            step.sent = sent[i - 1].text;
            step.groupEnd = sent[i - 1].groupEnd;
        }
        if (move != kSentOnly)
            step.copied = copy[j - 1].text;
        if (move == kSentOnly) {
            step.mark = Mark::Missed;
            ++result.missed;
        } else if (move == kCopyOnly) {
            step.mark = Mark::Extra;
            ++result.extra;
        } else if (step.sent != step.copied) {
            step.mark = Mark::Wrong;
            ++result.wrong;
        } else {
            ++result.right;
        }
        i -= move != kCopyOnly ? 1 : 0;
        j -= move != kSentOnly ? 1 : 0;
        result.steps.push_back(std::move(step));
    }
    std::reverse(result.steps.begin(), result.steps.end());
    return result;
}

double Result::accuracy() const {
    const int counted = sent + extra;
    return counted == 0 ? 0.0 : 100.0 * right / counted;
}

std::vector<Confusion> Result::confusions() const {
    std::map<std::pair<std::string, std::string>, int> counts;
    for (const Step& step : steps)
        if (step.mark != Mark::Right)
            ++counts[{step.sent, step.copied}];
    std::vector<Confusion> list;
    for (const auto& [pair, count] : counts)
        list.push_back({pair.first, pair.second, count});
    std::stable_sort(list.begin(), list.end(),
                     [](const Confusion& a, const Confusion& b) { return a.count > b.count; });
    return list;
}

std::vector<Tally> Result::tallies() const {
    std::map<std::string, Tally> bySymbol;
    for (const Step& step : steps) {
        if (step.sent.empty())
            continue;
        Tally& tally = bySymbol[step.sent];
        tally.symbol = step.sent;
        ++tally.sent;
        tally.errors += step.mark == Mark::Right ? 0 : 1;
    }
    std::vector<Tally> list;
    for (auto& [symbol, tally] : bySymbol)
        list.push_back(std::move(tally));
    return list;
}

} // namespace copycheck
