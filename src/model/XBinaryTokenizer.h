// Tokenizer for the binary form of .x files ("bin ", or "bzip" once inflated).
#pragma once

#include "model/XTokenizer.h"

#include <string_view>

namespace model {

class XBinaryTokenizer final : public XTokenizer {
  public:
    // body: everything after the 16-byte header; floatSize: 4 or 8 bytes per float-list value,
    // as the header says.
    XBinaryTokenizer(std::string_view body, int floatSize) : data_(body), floatSize_(floatSize) {}

    XToken Next() override;
    bool ReadUInt(std::uint32_t& out) override;
    bool ReadFloat(float& out) override;
    bool ReadString(std::string_view& out) override;
    bool SkipGuid() override;
    std::size_t MaxValuesLeft() const override;
    std::size_t Offset() const override { return pos_; }

  private:
    enum class Scalar { Integer, Float };

    // Reads the next record; a list record makes its values pending. Separators are skipped.
    XToken NextRecord();
    // Takes one pending value (there must be one).
    Scalar TakeScalar(std::uint32_t& integer, double& real);
    bool ReadScalar(Scalar& kind, std::uint32_t& integer, double& real);
    bool Have(std::size_t bytes) const { return data_.size() - pos_ >= bytes; }
    std::uint16_t Word16();
    std::uint32_t Word32();

    std::string_view data_;
    int floatSize_;
    std::size_t pos_ = 0;
    // Values of the current integer or float list still to be read, and a single integer
    // record's value waiting to be read.
    std::uint32_t listLeft_ = 0;
    Scalar listKind_ = Scalar::Integer;
    bool singlePending_ = false;
    std::uint32_t single_ = 0;
};

} // namespace model
