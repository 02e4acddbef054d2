// Code page 932 (Shift-JIS as Japanese Windows extends it) to and from UTF-8, through iconv's
// "CP932". Never "SHIFT_JIS": that table turns byte 0x5C into the yen sign and breaks every path.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Decodes code page 932 bytes. Never fails: bytes the converter rejects get the characters
// Windows gives them (0x80 → U+0080, 0xA0 → U+F8F0, 0xFD..0xFF → U+F8F1..U+F8F3) and an
// unassigned or broken double-byte code becomes '・' (U+30FB). The result is valid UTF-8.
std::string Cp932ToUtf8(std::string_view bytes);

// Encodes UTF-8 text; nothing when a character has no code page 932 code.
std::optional<std::string> Utf8ToCp932(std::string_view text);

// Encodes UTF-8 text, writing '?' for every character without a code (and for invalid bytes).
std::string Utf8ToCp932Lossy(std::string_view text);

// True when every character of text has a code page 932 code.
bool FitsCp932(std::string_view text);

// The Shift-JIS (code page 932) bytes of text, for the byte-wise orderings the original sorts
// use. Characters without a code count as '?'.
std::string ShiftJisBytes(std::string_view text);

// Orders two texts by their Shift-JIS bytes (compared as unsigned bytes); texts whose Shift-JIS
// forms are equal fall back to their UTF-8 bytes so the order is total. <0, 0 or >0.
int CompareShiftJis(std::string_view a, std::string_view b);

// The longest run of whole characters from the start of text whose code page 932 form is at
// most maxBytes long (the original cut its Shift-JIS texts by bytes). Valid UTF-8.
std::string CutToCp932Bytes(std::string_view text, std::size_t maxBytes);

} // namespace platform
