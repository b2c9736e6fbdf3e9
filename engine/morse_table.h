#pragma once

#include <span>
#include <string_view>

namespace morse {

// One character the sender knows and its elements in order: '.' a dot, '-' a dash.
struct Entry {
    std::string_view character;
    std::string_view elements;
};

// The 42 characters of the International Morse code that the trainer keys (letters A to Z,
// digits, and . , / ? = -), in the order the sender tests them.
std::span<const Entry> table();

} // namespace morse
