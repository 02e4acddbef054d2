// Tokenizer for the text form of .x files ("txt ", or "tzip" once inflated).
#pragma once

#include "model/XTokenizer.h"

#include <string_view>

namespace model {

class XTextTokenizer final : public XTokenizer {
  public:
    // body: everything after the 16-byte header. The tokenizer keeps views into it.
    explicit XTextTokenizer(std::string_view body) : data_(body) {}

    XToken Next() override;
    bool ReadUInt(std::uint32_t& out) override;
    bool ReadFloat(float& out) override;
    bool ReadString(std::string_view& out) override;
    bool SkipGuid() override;
    std::size_t MaxValuesLeft() const override;
    std::size_t Offset() const override { return pos_; }

  private:
    // Skips white space, comments and (when separators is set) ',' and ';'.
    void SkipBlank(bool separators);
    // The run of bytes up to the next separator, white space or punctuation.
    std::string_view TakeRun();

    std::string_view data_;
    std::size_t pos_ = 0;
};

// Parses a number as written in text .x files: optional sign, digits, fraction, exponent, and
// the Windows C runtime's spellings of infinity and NaN ("1.#INF00", "-1.#IND00", "1.#QNAN0").
bool ParseXFloat(std::string_view text, float& out);

} // namespace model
