#pragma once

#include <string>
#include <string_view>

// Numbers as the trainer reads them from, and writes them into, text boxes and captions.
namespace numtext {

// The longest leading decimal number of `text`: leading blanks and tabs are skipped, an optional
// sign may follow, then digits with at most one "." as the decimal point. Anything after that is
// ignored ("440 Hz" is 440, "2,8" is 2, "1e3" is 1: an exponent is not part of a decimal number).
// A text that does not start with a number gives 0, and so does a number too large for a double:
// an overflowing value never reaches the engine, as if reading it had failed.
double leadingNumber(std::string_view text);

// Plain decimal text for captions and boxes: whole values without a point ("250", not "250.0"),
// fractions with up to 15 significant digits and no trailing zeros, never "-0", never an
// exponent (a tiny or huge value is written out in full, so that it reads back as itself).
std::string plain(double value);

// Rounding to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

} // namespace numtext
