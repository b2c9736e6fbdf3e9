#pragma once

#include "player/next_file_step.h"

#include <functional>
#include <string>

// Stands in for the library at the end of a text: counts how often the player asks for the next
// file, lets a test put that file's text into the box, and reports a text ready for the first
// `readyCalls` calls only, so continuous play ends by itself.
class CountingNextFile : public NextFileStep {
public:
    bool loadNextFile() override {
        ++calls;
        if (calls > readyCalls)
            return false;
        if (load)
            load();
        return true;
    }

    int calls = 0;
    int readyCalls = 0;
    std::function<void()> load;
};

// What the learner hears with the window's default keying, as the keying trace writes it, from
// Morse: a character's elements ("." 89 ms, "-" 250 ms, each followed by a delay unit) and then
// 12 more units; "x" is a character without a code (its 12 units only), "/" a word gap of 24.
inline std::string heard(const std::string& morse) {
    std::string out;
    int units = 0;
    auto add = [&out](const std::string& item) { out += (out.empty() ? "" : " ") + item; };
    auto flushUnits = [&] {
        if (units > 0)
            add(std::to_string(units) + "U");
        units = 0;
    };
    std::size_t start = 0;
    while (start < morse.size()) {
        std::size_t end = morse.find(' ', start);
        if (end == std::string::npos)
            end = morse.size();
        const std::string token = morse.substr(start, end - start);
        start = end + 1;
        if (token == "/") {
            units += 24;
            continue;
        }
        if (token != "x") {
            for (char element : token) {
                flushUnits();
                add(element == '.' ? "700x89" : "700x250");
                units = 1;
            }
        }
        units += 12;
    }
    flushUnits();
    return out;
}
