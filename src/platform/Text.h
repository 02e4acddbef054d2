// Text handling in one include: UTF-8 helpers, code page 932 conversion and text files.
#pragma once

#include "platform/Cp932.h"    // IWYU pragma: export
#include "platform/TextFile.h" // IWYU pragma: export
#include "platform/Utf8.h"     // IWYU pragma: export
