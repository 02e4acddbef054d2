#include "layout/NumberFilter.h"

#include "platform/Utf8.h"

namespace layout {

std::string FilterNumberText(std::string_view text)
{
    return platform::FilterChars(
        text, [](char32_t c) { return (c >= U'0' && c <= U'9') || c == U'.' || c == U'-'; });
}

} // namespace layout
