#include "check/copy_report.h"

#include <cmath>

namespace copycheck {

namespace {

char markOf(Mark mark) {
    switch (mark) {
    case Mark::Right:
        return ' ';
    case Mark::Missed:
        return 'm';
    case Mark::Wrong:
        return 'w';
    case Mark::Extra:
        return 'x';
    }
    return ' ';
}

struct Rows {
    std::string sent = "Sent:  ";
    std::string copy = "Copy:  ";
    std::string marks = "Marks: ";
    std::size_t columns = 0;

    void add(const Step& step) {
        sent += step.sent.empty() ? "_" : step.sent;
        copy += step.copied.empty() ? "_" : step.copied;
        marks += markOf(step.mark);
        ++columns;
    }
    void space() {
        sent += ' ';
        copy += ' ';
        marks += ' ';
    }
    std::string text() const { return sent + "\n" + copy + "\n" + marks + "\n"; }
};

} // namespace

std::string summary(const Result& result) {
    return std::to_string(static_cast<int>(std::lround(result.accuracy()))) + "% (" +
           std::to_string(result.right) + " of " + std::to_string(result.sent) +
           " sent characters right; " + std::to_string(result.missed) + " missed, " +
           std::to_string(result.wrong) + " wrong, " + std::to_string(result.extra) + " extra)";
}

std::string comparison(const Result& result, std::size_t width) {
    std::string text;
    Rows rows;
    for (const Step& step : result.steps) {
        rows.add(step);
        if (!step.groupEnd)
            continue;
        if (rows.columns >= width) {
            text += rows.text() + "\n";
            rows = Rows{};
        } else {
            rows.space();
        }
    }
    if (rows.columns > 0)
        text += rows.text();
    return text;
}

std::string confusionList(const Result& result, std::size_t limit) {
    std::string text;
    const auto confusions = result.confusions();
    for (std::size_t i = 0; i < confusions.size() && i < limit; ++i) {
        const Confusion& c = confusions[i];
        if (c.copied.empty())
            text += c.sent + " missed";
        else if (c.sent.empty())
            text += "extra " + c.copied;
        else
            text += c.sent + " read as " + c.copied;
        text += ": " + std::to_string(c.count) + "\n";
    }
    return text.empty() ? "none\n" : text;
}

} // namespace copycheck
