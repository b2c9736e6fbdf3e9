#pragma once

#include "storage/progress_store.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Lessons in the Koch order: a learner starts with two characters at full character speed and
// adds the next one whenever the copy of the characters so far is good enough. Lesson N drills
// the first N characters of the order.
namespace koch {

// The order of the well-known Koch courses, restricted to the trainer's 42 symbols (the courses'
// prosigns and marks the trainer cannot key are left out; the rest keep their places).
// clang-format off
inline constexpr std::string_view kOrder =
    "KMRSUAPTLO"
    "WI.NJEF0Y,"
    "VG5/Q9ZH38"
    "B?427C1D6X"
    "=-";
// clang-format on
inline constexpr int kFirstLesson = 2;
inline constexpr int kLastLesson = static_cast<int>(kOrder.size());

// Copy that reaches this accuracy over at least this many characters of the lesson's latest
// checks moves the learner on to the next lesson.
inline constexpr double kPassingAccuracy = 0.9;
inline constexpr int kCharactersJudged = 100;

// The characters of lesson `lesson`, held within the first and last lesson.
std::string_view characters(int lesson);
// The lesson whose characters `set` is (as a group run records its character set), or 0.
int lessonOf(std::string_view set);

// Where the learner stands, read from the progress history: the lesson of the latest check of
// a Koch lesson's groups, and how its latest checks went.
struct Standing {
    int lesson = 0;
    int characters = 0; // sent in the latest checks of the lesson, up to the first reaching 100
    double scored = 0;  // those characters weighted by their check's accuracy (extras count)
    double accuracy() const { return characters > 0 ? scored / characters : 0; }
    bool passed() const;
    // The lesson to take next: the following one once this one is passed.
    int nextLesson() const;
};
// Nothing when no Koch lesson has been checked yet. `checks` in time order, as the store gives
// them.
std::optional<Standing> standing(const std::vector<ProgressEntry>& checks);

} // namespace koch
