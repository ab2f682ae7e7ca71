// What counts as a number in a text box, how it is converted, how numbers
// are rounded and how they are written back as text.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace sweepwav {

// True when text is a number: optional blanks, an optional sign directly
// before digits with an optional "." (at least one digit), an optional
// exponent, optional blanks. Independent of the process locale.
bool IsNumber(const std::string& text);

// The value of a text that IsNumber accepts: the correctly rounded double,
// or +/-infinity when it is too large for a double. Empty when not a number.
[[nodiscard]] std::optional<double> ParseNumber(const std::string& text);

// Nearest integer, exact halves to the even neighbour.
double RoundHalfEven(double x);

// Rounds to n decimals: scale by 10^n, round half to even, divide by 10^n.
double RoundDecimals(double x, int decimals);

// Rounds to a 32-bit signed integer; empty when the result does not fit.
[[nodiscard]] std::optional<std::int32_t> RoundToLong(double x);

// Rounds half to even and holds the result at the integer type's limits, so
// that a count too large to store still fails its range check.
template <typename Int>
Int SaturatedRound(double v) {
    const double r = std::nearbyint(v);
    if (r >= static_cast<double>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
    if (r <= static_cast<double>(std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
    return static_cast<Int>(r);
}

// The general number form: up to 15 significant digits, no trailing zeros,
// no decimal point for whole values, "." as separator; negative zero is "0".
std::string NumberText(double x);

}  // namespace sweepwav
