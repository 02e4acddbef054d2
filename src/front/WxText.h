// UTF-8 text of the core to and from wx strings.
#pragma once

#include <string>
#include <string_view>
#include <wx/string.h>

namespace front {

inline wxString Wx(std::string_view text)
{
    return wxString::FromUTF8(text.data(), text.size());
}

inline std::string Utf8(const wxString& text)
{
    const wxScopedCharBuffer bytes = text.utf8_str();
    return std::string(bytes.data(), bytes.length());
}

} // namespace front
