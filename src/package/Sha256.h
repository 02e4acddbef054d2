// SHA-256 of a byte stream, for the file list of a layout package.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace package {

class Sha256 {
  public:
    Sha256();
    void Add(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is used up.
    std::string HexDigest();

  private:
    void Block(const unsigned char* block);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

std::string Sha256Hex(std::string_view bytes);

} // namespace package
