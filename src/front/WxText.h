// UTF-8 text of the core to and from wx strings.
#pragma once

#include "platform/Translation.h"

#include <string>
#include <string_view>
#include <wx/string.h>

namespace front {

inline wxString Wx(std::string_view text)
{
    return wxString::FromUTF8(text.data(), text.size());
}

// A user-visible text of the core, in the user-interface language.
inline wxString Tx(std::string_view text)
{
    return Wx(platform::Tr(text));
}

inline std::string Utf8(const wxString& text)
{
    const wxScopedCharBuffer bytes = text.utf8_str();
    return std::string(bytes.data(), bytes.length());
}

} // namespace front
