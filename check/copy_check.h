#pragma once

#include <string>
#include <string_view>
#include <vector>

// Scores the learner's copy against what was sent: an edit-distance alignment character by
// character, blanks and letter case ignored, the sent text's group and word ends kept for display.
namespace copycheck {

enum class Mark { Right, Missed, Wrong, Extra };

// One column of the alignment. `sent` is empty for an extra character, `copied` for a missed one.
struct Step {
    Mark mark;
    std::string sent;
    std::string copied;
    bool groupEnd = false; // the sent text has a group or word end after this column
};

// How often one thing went wrong: `sent` read as `copied`; missed when `copied` is empty, extra
// when `sent` is empty.
struct Confusion {
    std::string sent;
    std::string copied;
    int count = 0;
};

// How one sent character fared in this check.
struct Tally {
    std::string symbol;
    int sent = 0;
    int errors = 0; // missed or read wrong
};

struct Result {
    std::vector<Step> steps;
    int sent = 0; // characters sent (blanks not counted)
    int right = 0;
    int missed = 0;
    int wrong = 0;
    int extra = 0;
    // Too long to align in the memory a check may take (see kMaxCells); nothing else is filled.
    bool tooLong = false;

    // Right characters out of those sent plus the extra ones, in percent: a copy padded with
    // guesses scores lower, and the figure stays between 0 and 100. 0 when nothing was sent.
    double accuracy() const;
    // Most frequent first; ties in the order of the sent and copied characters.
    std::vector<Confusion> confusions() const;
    // Per sent character, in character order.
    std::vector<Tally> tallies() const;
};

// The alignment keeps one byte per pair of characters: 40 million is about 6,000 characters of
// copy against as many sent, far more than a learner copies by hand in one sitting.
inline constexpr long long kMaxCells = 40'000'000;

// Aligns with the fewest edits (a miss, a wrong or an extra character cost one each); among
// alignments with equally few, the one with the most right characters, so a swapped pair counts
// as one missed and one extra character around a right one rather than two wrong ones.
Result check(std::string_view sent, std::string_view copy);

} // namespace copycheck
