// Binary .x tokens: little-endian 16-bit token codes, some followed by a record. Integer and
// float lists carry no separators and may be split or merged freely, so their values are handed
// out one by one and the parser is driven by the counts in the data.
#include "model/XBinaryTokenizer.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace model {
namespace {

enum Token : std::uint16_t {
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
};

bool IsPlainToken(std::uint16_t token)
{
    // Punctuation (parentheses, brackets, angle brackets, dot) and the type keywords.
    return (token >= 12 && token <= 18) || (token >= 40 && token <= 52);
}

} // namespace

std::uint16_t XBinaryTokenizer::Word16()
{
    std::uint16_t v = static_cast<std::uint16_t>(static_cast<unsigned char>(data_[pos_]) |
                                                 (static_cast<unsigned char>(data_[pos_ + 1]) << 8));
    pos_ += 2;
    return v;
}

std::uint32_t XBinaryTokenizer::Word32()
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(data_[pos_ + static_cast<std::size_t>(i)]);
    pos_ += 4;
    return v;
}

XToken XBinaryTokenizer::NextRecord()
{
    for (;;) {
        if (Failed()) return {XTokenKind::Error, {}};
        if (pos_ >= data_.size()) return {XTokenKind::End, {}};
        if (!Have(2)) {
            Fail("truncated token");
            return {XTokenKind::Error, {}};
        }
        const std::size_t start = pos_;
        const std::uint16_t token = Word16();
        switch (token) {
        case kName:
        case kString: {
            if (!Have(4)) break;
            const std::uint32_t length = Word32();
            if (!Have(length)) break;
            const std::string_view text = data_.substr(pos_, length);
            pos_ += length;
            if (token == kString) {
                // The terminator is documented as a 32-bit separator token; readers and writers
                // in the wild use a 16-bit one. Take either.
                if (Have(2) && (data_[pos_] == kComma || data_[pos_] == kSemicolon) && data_[pos_ + 1] == 0) {
                    pos_ += 2;
                    if (Have(2) && data_[pos_] == 0 && data_[pos_ + 1] == 0) pos_ += 2;
                }
                return {XTokenKind::String, text};
            }
            return {XTokenKind::Word, text};
        }
        case kInteger:
            if (!Have(4)) break;
            single_ = Word32();
            singlePending_ = true;
            return {XTokenKind::Number, {}};
        case kGuid:
            if (!Have(16)) break;
            pos_ += 16;
            return {XTokenKind::Guid, data_.substr(pos_ - 16, 16)};
        case kIntegerList:
        case kFloatList: {
            if (!Have(4)) break;
            const std::uint32_t count = Word32();
            const std::size_t size = token == kIntegerList ? 4 : static_cast<std::size_t>(floatSize_);
            if ((data_.size() - pos_) / size < count) {
                pos_ = start;
                Fail("list of " + std::to_string(count) + " values runs past the end of the file");
                return {XTokenKind::Error, {}};
            }
            if (count == 0) continue;
            listLeft_ = count;
            listKind_ = token == kIntegerList ? Scalar::Integer : Scalar::Float;
            return {XTokenKind::Number, {}};
        }
        case kOpenBrace:
            return {XTokenKind::OpenBrace, {}};
        case kCloseBrace:
            return {XTokenKind::CloseBrace, {}};
        case kComma:
        case kSemicolon:
            continue;
        case kTemplate:
            return {XTokenKind::Template, {}};
        default:
            if (IsPlainToken(token)) return {XTokenKind::Other, {}};
            pos_ = start;
            Fail("unknown binary token " + std::to_string(token));
            return {XTokenKind::Error, {}};
        }
        pos_ = start;
        Fail("truncated record");
        return {XTokenKind::Error, {}};
    }
}

XBinaryTokenizer::Scalar XBinaryTokenizer::TakeScalar(std::uint32_t& integer, double& real)
{
    if (singlePending_) {
        singlePending_ = false;
        integer = single_;
        real = single_;
        return Scalar::Integer;
    }
    --listLeft_;
    if (listKind_ == Scalar::Integer) {
        integer = Word32();
        real = integer;
        return Scalar::Integer;
    }
    if (floatSize_ == 8) {
        const std::uint32_t lo = Word32();
        const std::uint32_t hi = Word32();
        const std::uint64_t bits = (static_cast<std::uint64_t>(hi) << 32) | lo;
        std::memcpy(&real, &bits, sizeof real);
    } else {
        const std::uint32_t bits = Word32();
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        real = f;
    }
    integer = 0;
    return Scalar::Float;
}

XToken XBinaryTokenizer::Next()
{
    if (Failed()) return {XTokenKind::Error, {}};
    if (singlePending_ || listLeft_ > 0) {
        std::uint32_t integer = 0;
        double real = 0;
        TakeScalar(integer, real);
        return {XTokenKind::Number, {}};
    }
    return NextRecord();
}

bool XBinaryTokenizer::ReadScalar(Scalar& kind, std::uint32_t& integer, double& real)
{
    if (Failed()) return false;
    if (!singlePending_ && listLeft_ == 0) {
        const XToken token = NextRecord();
        if (token.kind == XTokenKind::Error) return false;
        if (token.kind != XTokenKind::Number) {
            return Fail(token.kind == XTokenKind::End ? "unexpected end of file" : "expected a number");
        }
    }
    kind = TakeScalar(integer, real);
    return true;
}

bool XBinaryTokenizer::ReadUInt(std::uint32_t& out)
{
    Scalar kind = Scalar::Integer;
    double real = 0;
    if (!ReadScalar(kind, out, real)) return false;
    if (kind != Scalar::Integer) return Fail("expected an integer, found a float");
    return true;
}

bool XBinaryTokenizer::ReadFloat(float& out)
{
    Scalar kind = Scalar::Float;
    std::uint32_t integer = 0;
    double real = 0;
    if (!ReadScalar(kind, integer, real)) return false;
    if (std::fabs(real) > std::numeric_limits<float>::max() && std::isfinite(real)) {
        out = std::copysign(std::numeric_limits<float>::infinity(), static_cast<float>(real > 0 ? 1 : -1));
    } else {
        out = static_cast<float>(real);
    }
    return true;
}

bool XBinaryTokenizer::ReadString(std::string_view& out)
{
    if (Failed()) return false;
    if (singlePending_ || listLeft_ > 0) return Fail("expected a string");
    const XToken token = NextRecord();
    if (token.kind == XTokenKind::Error) return false;
    // Some writers store names where a string belongs.
    if (token.kind != XTokenKind::String && token.kind != XTokenKind::Word) return Fail("expected a string");
    out = token.text;
    return true;
}

bool XBinaryTokenizer::SkipGuid()
{
    if (Failed()) return false;
    if (singlePending_ || listLeft_ > 0) return true;
    // Separators never stand between an opening brace and its GUID, so a look at the next
    // token code is enough.
    if (Have(2) && static_cast<unsigned char>(data_[pos_]) == kGuid && data_[pos_ + 1] == 0) NextRecord();
    return !Failed();
}

std::size_t XBinaryTokenizer::MaxValuesLeft() const
{
    // Every value takes at least four bytes, in a list or as an integer record.
    return (data_.size() - pos_) / 4 + (singlePending_ ? 1 : 0);
}

} // namespace model
