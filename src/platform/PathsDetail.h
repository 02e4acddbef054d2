// Pieces of the path code that tests reach directly.
#pragma once

#include "platform/Result.h"

#include <string>

namespace platform::detail {

// The text of a symbolic link, however long it is.
Result<std::string> ReadLink(const std::string& link);

} // namespace platform::detail
