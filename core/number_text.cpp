#include "core/number_text.h"

#include <algorithm>
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
    // Fixed notation always, never an exponent: the reader stops at an "e", so "1e-07" or
    // "1e+15" written into a settings field would come back as 1 at the next start.
    constexpr int kSignificantDigits = 15;
    const int wholeDigits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
    const int decimals =
        value == std::trunc(value) ? 0 : std::max(0, kSignificantDigits - wholeDigits);
    std::string text(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%.*f", decimals, value)),
                     '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
    if (decimals > 0) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

double roundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-even unless
    // somebody changed it; the trainer never does.
    return std::nearbyint(value);
}

} // namespace numtext
