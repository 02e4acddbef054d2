// The filter of the object dialog's X, Y, Z and θ boxes: only digits, '.' and '-' stay.
#pragma once

#include <string>
#include <string_view>

namespace layout {

// The text with every character other than '0'-'9', '.' and '-' removed, in one pass and by
// whole characters (a full-width digit goes entirely). The result is always valid UTF-8.
std::string FilterNumberText(std::string_view text);

} // namespace layout
