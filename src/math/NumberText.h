// Numbers as text without the process locale: files written here must read back anywhere, and
// a decimal-comma desktop must never turn "1.500" into "1,500".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace math {

// printf("%.*f") in the C locale: rounded to `decimals` places, "-0.000" for a negative value
// that rounds to zero, a leading "0" below 1. With no decimals the text keeps its point ("3.").
// A NaN or infinity is written as 0 so that a saved file stays readable; callers reject such
// values before they get here. Decimals are limited to 0..100.
std::string FormatFixed(double value, int decimals);
// As FormatFixed, for a text the user reads: a value that rounds to zero has no sign ("0.000").
std::string FormatFixedShown(double value, int decimals);

// The shortest text that reads back as the same float ("4", "3.25", "1e+20"); a NaN or
// infinity is written as 0, as FormatFixed does.
std::string FormatShortest(float value);

// atof: leading blanks skipped, the longest valid prefix read, anything else gives 0.
// "nan", "inf" and out-of-range exponents come back as atof gives them (NaN, ±inf, ±0), so
// callers can reject them with FiniteOr. Only decimal notation is read.
double ParseDouble(std::string_view text);

// atof assigned to a float: as ParseDouble, then rounded to float; beyond the float range
// gives ±inf as the hardware conversion does.
float ParseFloat(std::string_view text);

// atoi: leading blanks, an optional sign, then decimal digits; anything else gives 0.
// Values beyond the int range give the nearest int limit.
int ParseInt(std::string_view text);

// A decimal number with an optional '+', and nothing else (no blanks); out of the int range
// or anything else gives nothing.
std::optional<int> ParseWholeNumber(std::string_view text);

} // namespace math
