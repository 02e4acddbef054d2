// UTF-8 text helpers: validity, walking code points, cutting and filtering by characters, and
// the letter-case rules used for names (profile sections and keys, file names).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Stands in for bytes that are not valid UTF-8.
inline constexpr char32_t kReplacementChar = 0xFFFD;

bool IsValidUtf8(std::string_view text);

// Reads the code point that starts at pos and moves pos past it. A byte that does not start a
// valid sequence (overlong, surrogate, cut short, stray continuation) gives kReplacementChar and
// advances by one byte, so walking never stalls and never splits a valid sequence.
// Returns false only at the end of the text.
bool NextCodePoint(std::string_view text, std::size_t& pos, char32_t& cp);

// Appends cp as UTF-8; surrogates and values above U+10FFFF become kReplacementChar.
void AppendUtf8(std::string& out, char32_t cp);

// The text with every invalid byte replaced by U+FFFD (valid text comes back unchanged).
std::string MakeValidUtf8(std::string_view text);

// text as a quoted JSON string: quotes, backslashes and control characters escaped, invalid
// bytes replaced by U+FFFD, everything else kept as UTF-8.
std::string JsonQuoted(std::string_view text);

// Number of characters (code points; an invalid byte counts as one).
std::size_t CountChars(std::string_view text);

// The first maxChars characters. The result is always valid UTF-8.
std::string CutToChars(std::string_view text, std::size_t maxChars);

// The characters for which keep returns true, in order. The result is always valid UTF-8.
std::string FilterChars(std::string_view text, const std::function<bool(char32_t)>& keep);

// Simple upper-case mapping for ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and the
// full-width Latin letters; other characters map to themselves.
char32_t ToUpperSimple(char32_t cp);

// Equality and ordering ignoring letter case, compared code point by code point on the
// upper-case forms (as the Windows file system orders names: '_' sorts after the letters).
bool EqualsNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);

// Name order for listings: ignoring case first, then by bytes so that names differing only in
// case still come out in a fixed order.
bool NameLess(std::string_view a, std::string_view b);

} // namespace platform
