// Feeds arbitrary text to the number reader, and the number read to the writer, and checks what
// the trainer relies on when it reads a box, writes a number back into it and reads it again at
// the next start.
#include "core/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

bool startsWithBlankOrSign(std::string_view text) {
    return !text.empty() && std::string_view(" \t+-").find(text.front()) != std::string_view::npos;
}

// Only what a box may show: an optional minus, digits, and a fraction without trailing zeros.
bool isPlainDecimal(const std::string& text) {
    const std::size_t i = text.starts_with('-') ? 1 : 0;
    const std::size_t digits = text.find_first_not_of("0123456789", i);
    if (digits == std::string::npos)
        return digits > i;
    return digits > i && text[digits] == '.' && digits + 1 < text.size() && text.back() != '0' &&
           text.find_first_not_of("0123456789", digits + 1) == std::string::npos;
}

void checkReading(std::string_view text) {
    const double value = numtext::leadingNumber(text);
    require(std::isfinite(value));
    // Whatever follows the number is ignored: letters, an exponent, a second point.
    for (const char* tail : {"x", "e5", "."})
        require(numtext::leadingNumber(std::string(text) + tail) == value);
    require(numtext::leadingNumber(" \t" + std::string(text)) == value);
    if (!startsWithBlankOrSign(text))
        require(numtext::leadingNumber("-" + std::string(text)) == -value);
}

// A number written into a box or the settings reads back as the same number (to the 15
// significant digits it is written with).
void checkWriting(double value) {
    if (!std::isfinite(value))
        return;
    const std::string text = numtext::plain(value);
    require(isPlainDecimal(text));
    const double back = numtext::leadingNumber(text);
    require(value == std::trunc(value) ? back == value
                                       : std::fabs(back - value) <= std::fabs(value) * 1e-14);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkReading(text);
    const double read = numtext::leadingNumber(text);
    checkWriting(read);
    return 0;
}
