#include "numbers/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace sweepwav {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Finds the number inside the blanks. Returns false when the text is not a
// number; otherwise [begin, end) is the unsigned part and negative the sign.
bool Scan(const std::string& text, std::size_t& begin, std::size_t& end, bool& negative) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    begin = i;
    std::size_t digits = 0;
    while (i < n && IsDigit(text[i])) { ++i; ++digits; }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) { ++i; ++expDigits; }
        if (expDigits == 0) return false;
    }
    end = i;
    while (i < n && text[i] == ' ') ++i;
    return i == n;
}

// Decimal exponent of the leading significant digit, used only to tell an
// overflow from an underflow when the value does not fit a double.
bool TooLargeForDouble(std::string_view s) {
    long exp10 = 0;
    std::size_t i = 0;
    long intDigits = 0;
    bool seenNonZero = false;
    long leadingFractionZeros = 0;
    while (i < s.size() && IsDigit(s[i])) {
        if (s[i] != '0' || seenNonZero) { seenNonZero = true; ++intDigits; }
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            if (!seenNonZero) {
                if (s[i] == '0') ++leadingFractionZeros; else seenNonZero = true;
            }
            ++i;
        }
    }
    if (!seenNonZero) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool neg = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) { neg = s[i] == '-'; ++i; }
        while (i < s.size() && IsDigit(s[i])) {
            if (exp10 < 100000000) exp10 = exp10 * 10 + (s[i] - '0');
            ++i;
        }
        if (neg) exp10 = -exp10;
    }
    const long lead = intDigits > 0 ? intDigits - 1 : -(leadingFractionZeros + 1);
    return lead + exp10 > 0;
}

}  // namespace

bool IsNumber(const std::string& text) {
    std::size_t b = 0, e = 0;
    bool neg = false;
    return Scan(text, b, e, neg);
}

std::optional<double> ParseNumber(const std::string& text) {
    std::size_t b = 0, e = 0;
    bool neg = false;
    if (!Scan(text, b, e, neg)) return std::nullopt;
    double value = 0;
    const char* first = text.data() + b;
    const char* last = text.data() + e;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        value = TooLargeForDouble(std::string_view(first, static_cast<std::size_t>(last - first))) ? std::numeric_limits<double>::infinity()
                                                            : 0.0;
    } else if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return neg ? -value : value;
}

double RoundHalfEven(double x) { return std::nearbyint(x); }

double RoundDecimals(double x, int decimals) {
    double scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const double r = std::nearbyint(x * scale) / scale;
    // A finite value too large to scale is already whole to any decimal.
    return std::isfinite(x) && !std::isfinite(r) ? x : r;
}

std::optional<std::int32_t> RoundToLong(double x) {
    const double r = std::nearbyint(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

std::string NumberText(double x) {
    if (x == 0) return "0";
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
    if (ec != std::errc()) return "0";
    return std::string(buf, ptr);
}

}  // namespace sweepwav
