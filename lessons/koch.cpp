#include "lessons/koch.h"

#include <algorithm>

namespace koch {

namespace {
// As the check window names a run of random groups in the progress file.
constexpr std::string_view kGroupsKind = "random groups";
} // namespace

std::string_view characters(int lesson) {
    return kOrder.substr(0,
                         static_cast<std::size_t>(std::clamp(lesson, kFirstLesson, kLastLesson)));
}

int lessonOf(std::string_view set) {
    const bool isLesson = set.size() >= static_cast<std::size_t>(kFirstLesson) &&
                          set.size() <= kOrder.size() && kOrder.starts_with(set);
    return isLesson ? static_cast<int>(set.size()) : 0;
}

bool Standing::passed() const {
    return characters >= kCharactersJudged && accuracy() >= kPassingAccuracy;
}

int Standing::nextLesson() const {
    return passed() ? std::min(lesson + 1, kLastLesson) : lesson;
}

// The latest checks count, not the whole history of the lesson: a learner who struggled at first
// and copies well now moves on, and one whose copy has slipped does not.
std::optional<Standing> standing(const std::vector<ProgressEntry>& checks) {
    const auto lessonOfCheck = [](const ProgressEntry& check) {
        return check.kind == kGroupsKind ? lessonOf(check.source) : 0;
    };
    const auto latest = std::find_if(checks.rbegin(), checks.rend(), lessonOfCheck);
    if (latest == checks.rend())
        return std::nullopt;
    Standing standing{lessonOfCheck(*latest)};
    for (auto check = latest; check != checks.rend() && standing.characters < kCharactersJudged;
         ++check) {
        if (lessonOfCheck(*check) != standing.lesson)
            continue;
        standing.characters += check->sent;
        standing.scored += check->accuracy / 100 * check->sent;
    }
    return standing;
}

} // namespace koch
