// The token stream the .x object parser reads, whether the file body is text or binary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace model {

enum class XTokenKind {
    End,        // no more input
    Error,      // malformed input; Error() says why
    Word,       // a name or an unquoted run (in text files numbers are words too)
    Number,     // one scalar of a binary integer or float record
    String,     // a quoted string (text) or string record (binary)
    Guid,       // <........-....-....-....-............>
    OpenBrace,  // {
    CloseBrace, // }
    Template,   // the "template" keyword
    Other,      // punctuation and type keywords that only template declarations use
};

struct XToken {
    XTokenKind kind = XTokenKind::End;
    std::string_view text; // Word and String: the bytes as stored in the file
};

// Both encodings drive the same parser: structure comes token by token through Next(), member
// values through the Read* calls, which skip the ',' and ';' separators of text files (the
// parser is driven by the counts in the data, as exporters disagree on separators).
// Once a call fails the tokenizer stays failed and Error() holds the reason.
class XTokenizer {
  public:
    virtual ~XTokenizer() = default;

    virtual XToken Next() = 0;
    virtual bool ReadUInt(std::uint32_t& out) = 0;
    // Integers are accepted for float members: files write "32;" for a material's power.
    virtual bool ReadFloat(float& out) = 0;
    virtual bool ReadString(std::string_view& out) = 0;
    // Skips a GUID if one comes next (the optional one at the start of a data object).
    virtual bool SkipGuid() = 0;
    // An upper bound on the scalar values the rest of the input can hold, so that a count
    // read from the file can be checked before anything is reserved for it.
    virtual std::size_t MaxValuesLeft() const = 0;
    // Byte offset in the body, for messages.
    virtual std::size_t Offset() const = 0;

    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }

  protected:
    bool Fail(std::string message)
    {
        if (error_.empty()) error_ = std::move(message) + " (at byte " + std::to_string(Offset() + 16) + ")";
        return false;
    }

  private:
    std::string error_;
};

} // namespace model
