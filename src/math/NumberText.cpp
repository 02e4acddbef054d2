// Locale-free number formatting and parsing with the C runtime's semantics.
#include "math/NumberText.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>

namespace math {
namespace {

constexpr int kMaxDecimals = 100;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view SkipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return text.substr(i);
}

// For a decimal number that does not fit a double: true when it is too large (the C runtime
// then gives infinity), false when it is too small (the C runtime gives 0).
bool TooLarge(std::string_view number)
{
    std::size_t i = 0;
    long long magnitude = 0; // decimal exponent of the leading significant digit
    bool seenDigit = false;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
        if (seenDigit)
            ++magnitude;
        else if (number[i] != '0')
            seenDigit = true;
    }
    if (i < number.size() && number[i] == '.') {
        ++i;
        for (; i < number.size() && IsDigit(number[i]); ++i) {
            if (seenDigit) continue;
            --magnitude;
            if (number[i] != '0') seenDigit = true;
        }
    }
    long long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) negative = number[i++] == '-';
        for (; i < number.size() && IsDigit(number[i]); ++i)
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
        if (negative) exponent = -exponent;
    }
    return magnitude + exponent > 0;
}

} // namespace

std::string FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value)) value = 0.0;
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    // Sign, up to 309 integer digits, the point and the decimals.
    std::array<char, 1 + 309 + 1 + kMaxDecimals + 8> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    if (decimals == 0) text += '.';
    return text;
}

std::string FormatFixedShown(double value, int decimals)
{
    std::string text = FormatFixed(value, decimals);
    if (text.starts_with('-') && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
    return text;
}

std::string FormatShortest(float value)
{
    if (!std::isfinite(value)) value = 0.0f;
    std::array<char, 32> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

double ParseDouble(std::string_view text)
{
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars takes a '-' of its own; a second sign is not a number for atof.
    if (text.empty() || text.front() == '+' || text.front() == '-') return 0.0;

    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error == std::errc::invalid_argument) return 0.0;
    if (error == std::errc::result_out_of_range)
        value = TooLarge(text.substr(0, static_cast<std::size_t>(end - text.data())))
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    return negative ? -value : value;
}

float ParseFloat(std::string_view text)
{
    const double value = ParseDouble(text);
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    // Converting a double beyond the float range is undefined in C++; do what the FPU does:
    // round to nearest, so anything from FLT_MAX + half an ulp up becomes infinity.
    constexpr double kOverflow = static_cast<double>(FLT_MAX) + 0x1p103;
    if (std::fabs(value) >= kOverflow)
        return value < 0 ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    if (std::fabs(value) > static_cast<double>(FLT_MAX)) return value < 0 ? -FLT_MAX : FLT_MAX;
    return static_cast<float>(value);
}

int ParseInt(std::string_view text)
{
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (!IsDigit(c)) break;
        value = std::min(value * 10 + (c - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<int> ParseWholeNumber(std::string_view text)
{
    int value = 0;
    if (text.empty()) return std::nullopt;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

} // namespace math
