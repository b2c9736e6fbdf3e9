#include "shell/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace numtext {

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t digitsStart = i;
    bool point = false;
    bool digit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digit)
        return 0.0;
    // from_chars accepts no leading '+', so hand it the digits and apply the sign ourselves.
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + digitsStart, text.data() + i, value,
                                              std::chars_format::fixed);
    if (error != std::errc() || !std::isfinite(value))
        return 0.0;
    return text[start] == '-' ? -value : value;
}

std::string plain(double value) {
    if (value == 0.0 || std::isnan(value))
        return "0";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        return buffer;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

double roundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-even unless
    // somebody changed it; the trainer never does.
    return std::nearbyint(value);
}

} // namespace numtext
