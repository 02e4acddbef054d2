// Reads the RTF the help and messages texts are written in into a RichTextDocument.
#pragma once

#include "ui/RichText.h"

#include <optional>
#include <string_view>

namespace ui {

// Nothing when the text does not start with "{\rtf" (the rich-edit control rejects such text
// too). Anything else is read as far as it makes sense: unknown control words and destinations
// are skipped, and broken input gives what could be read, never a crash, a hang or deep
// recursion.
std::optional<RichTextDocument> ReadRtf(std::string_view rtf);

// True when bytes start the way an RTF document must ("{\rtf").
bool LooksLikeRtf(std::string_view bytes);

} // namespace ui
