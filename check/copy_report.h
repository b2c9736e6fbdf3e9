#pragma once

#include "check/copy_check.h"

#include <string>

// A check's result as plain text, for the eye and for a screen reader alike.
namespace copycheck {

// "90% (18 of 20 sent characters right; 1 missed, 1 wrong, 0 extra)"
std::string summary(const Result& result);

// The sent text above the copy, column by column, with a row of marks under each pair (m missed,
// w wrong, x extra; _ fills the empty side), broken into lines of about `width` columns at group
// ends, and the group ends shown as blanks.
std::string comparison(const Result& result, std::size_t width = 60);

// The characters most often missed or confused, one to a line ("H read as S: 3", "I missed: 2",
// "extra E: 1"), at most `limit` of them; "none" when the copy is right.
std::string confusionList(const Result& result, std::size_t limit = 10);

} // namespace copycheck
