// The program's on-line addresses. They are kept scrambled in memory (every byte shifted by
// two) and unscrambled only at the moment of use, so they do not sit in memory as plain text.
// This is obfuscation, nothing more.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Name of the environment variable that holds the base address of the help text, the
// messages text and the newest executable.
inline constexpr const char* kWebBaseVariable = "KORVELA_WEB_BASE";

class ScrambledAddress {
  public:
    ScrambledAddress() = default;
    explicit ScrambledAddress(std::string_view plain);

    std::string Unscramble() const;
    bool Empty() const { return scrambled_.empty(); }

  private:
    std::string scrambled_;
};

struct WebAddresses {
    ScrambledAddress help;     // the help text (RTF)
    ScrambledAddress messages; // the messages text (RTF)
    ScrambledAddress newest;   // the newest executable

    // The three addresses below base ("http://host/path", a '/' is added when missing).
    // Nothing when base is empty or not an http:// or https:// address.
    static std::optional<WebAddresses> FromBase(std::string_view base);
    // FromBase of the environment variable; nothing when it is not set.
    static std::optional<WebAddresses> FromEnvironment();
};

// File names of the three documents below the base address.
inline constexpr std::string_view kHelpDocumentName = "help.rtf";
inline constexpr std::string_view kMessagesDocumentName = "messages.rtf";
inline constexpr std::string_view kNewestExecutableName = "korvela";

} // namespace platform
