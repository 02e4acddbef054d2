// The help and messages texts that ship with the program. The same RTF files are copied beside
// the executable by the build; these built-in copies stand in when those files are missing.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kHelpFileName = "使い方.rtf";
inline constexpr std::string_view kMessagesFileName = "メッセージ.rtf";

std::string_view BundledHelpRtf();
std::string_view BundledMessagesRtf();

} // namespace app
