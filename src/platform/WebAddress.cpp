#include "platform/WebAddress.h"

#include <cstdlib>

namespace platform {
namespace {

constexpr unsigned char kShift = 2;

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

} // namespace

ScrambledAddress::ScrambledAddress(std::string_view plain)
{
    scrambled_.reserve(plain.size());
    for (char c : plain)
        scrambled_ += static_cast<char>(static_cast<unsigned char>(c) + kShift);
}

std::string ScrambledAddress::Unscramble() const
{
    std::string plain;
    plain.reserve(scrambled_.size());
    for (char c : scrambled_)
        plain += static_cast<char>(static_cast<unsigned char>(c) - kShift);
    return plain;
}

std::optional<WebAddresses> WebAddresses::FromBase(std::string_view base)
{
    while (!base.empty() && (base.front() == ' ' || base.front() == '\t'))
        base.remove_prefix(1);
    while (!base.empty() && (base.back() == ' ' || base.back() == '\t'))
        base.remove_suffix(1);
    const bool web = StartsWithNoCase(base, "http://") || StartsWithNoCase(base, "https://");
    if (!web) return std::nullopt;
    const std::size_t schemeEnd = base.find("//") + 2;
    if (base.size() == schemeEnd) return std::nullopt; // no host
    for (char c : base) {
        // Control characters and spaces have no place in an address.
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return std::nullopt;
    }
    std::string folder(base);
    if (folder.back() != '/') folder += '/';
    WebAddresses addresses;
    addresses.help = ScrambledAddress(folder + std::string(kHelpDocumentName));
    addresses.messages = ScrambledAddress(folder + std::string(kMessagesDocumentName));
    addresses.newest = ScrambledAddress(folder + std::string(kNewestExecutableName));
    return addresses;
}

std::optional<WebAddresses> WebAddresses::FromEnvironment()
{
    const char* base = std::getenv(kWebBaseVariable);
    if (base == nullptr) return std::nullopt;
    return FromBase(base);
}

} // namespace platform
