// Text files as the program meets them: Shift-JIS files from Windows, UTF-8 files edited on
// Linux, the odd UTF-16LE profile. Reading gives UTF-8 plus what is needed to write the file
// back the way it was (encoding and line-end style).
#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class TextEncoding {
    Ascii,      // no byte order mark and only bytes below 0x80: any of the others reads it
    Utf8,       // valid UTF-8 without a byte order mark
    Utf8Bom,    // UTF-8 after EF BB BF
    Utf16LeBom, // UTF-16 little-endian after FF FE
    Cp932,      // anything else: code page 932 (Shift-JIS)
};

enum class LineEnd { CrLf, Lf, Cr };

// UTF-16LE byte order mark, else UTF-8 byte order mark, else valid UTF-8 (Ascii when it is
// plain ASCII), else code page 932.
TextEncoding DetectEncoding(std::string_view bytes);

// The style of the first line end in text; CR LF (the Windows default) when there is none.
LineEnd DetectLineEnd(std::string_view text);
std::string_view LineEndChars(LineEnd lineEnd);

// Bytes in the given encoding to UTF-8, dropping the byte order mark when there is one.
// Never fails; whatever cannot be decoded becomes a replacement character.
std::string DecodeText(std::string_view bytes, TextEncoding encoding);

// The same for text that carries no byte order mark (a piece from the middle of a file).
std::string DecodeBody(std::string_view bytes, TextEncoding encoding);

// UTF-8 text to bytes of the given encoding, byte order mark included. Characters that
// code page 932 lacks become '?' for Cp932 and Ascii (which is written as code page 932);
// choose the encoding with EncodingForNewFile or EncodingForRewrite so that never happens.
std::string EncodeText(std::string_view text, TextEncoding encoding);

// The byte order mark of an encoding ("" for those without one) and text encoded without it.
std::string_view ByteOrderMark(TextEncoding encoding);
std::string EncodeBody(std::string_view text, TextEncoding encoding);

// A new file is written in code page 932 when every character has a code there (what the
// original program and its Windows peers read), otherwise as UTF-8 with a byte order mark.
TextEncoding EncodingForNewFile(std::string_view text);

// A rewritten file keeps its encoding, except that a plain ASCII file is treated like a new
// one and a code page 932 file that would lose characters becomes UTF-8 with a byte order mark.
TextEncoding EncodingForRewrite(TextEncoding original, std::string_view newText);

struct TextFile {
    std::string text; // UTF-8, line ends exactly as in the file
    TextEncoding encoding = TextEncoding::Ascii;
    LineEnd lineEnd = LineEnd::CrLf;
};

TextFile DecodeTextFile(std::string_view bytes);

// Reads and decodes a whole file; the reason when it cannot be read.
Result<TextFile> ReadTextFile(const std::string& path);

// Encodes text and replaces the file safely (see SafeFile.h).
Status WriteTextFile(const std::string& path, std::string_view text, TextEncoding encoding);

// The lines of text without their ends; CR LF, LF and CR alone all end a line. A last line
// without an end counts; an end at the very end of the text does not start another line.
std::vector<std::string> SplitLines(std::string_view text);

// The most the program reads of a file of each kind; a longer file is refused unread.
inline constexpr std::size_t kMaxMapFileBytes = std::size_t{64} << 20;
inline constexpr std::size_t kMaxProfileBytes = std::size_t{1} << 20; // .ini, train and settings files
inline constexpr std::size_t kMaxRtfBytes = std::size_t{16} << 20;

// Reads the whole file as bytes; the reason when it cannot be read, is not a plain file or holds
// more than maxBytes (checked before anything is read, and again while reading).
Result<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes = static_cast<std::size_t>(-1));

// At most count bytes from the start of the file (fewer when it is shorter).
Result<std::string> ReadFileStart(const std::string& path, std::size_t count);

} // namespace platform
