// Styled text as the help and messages viewers show it: paragraphs of runs, each run one piece
// of UTF-8 text in one character format. The window front end copies it into a styled text
// control; the core and the tests read it as plain data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct RichTextColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const RichTextColour&) const = default;
};

struct RichTextStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;                  // font size in half-points (24 = 12 pt)
    std::optional<RichTextColour> colour; // nothing: the control's default text colour

    bool operator==(const RichTextStyle&) const = default;
};

struct RichTextRun {
    std::string text; // UTF-8; a tab is '\t', a line break inside the paragraph '\n'
    RichTextStyle style;

    bool operator==(const RichTextRun&) const = default;
};

struct RichTextParagraph {
    std::vector<RichTextRun> runs;

    std::string PlainText() const;
    bool operator==(const RichTextParagraph&) const = default;
};

struct RichTextDocument {
    std::vector<RichTextParagraph> paragraphs;

    // Paragraphs joined with '\n'.
    std::string PlainText() const;
    bool Empty() const;
    bool operator==(const RichTextDocument&) const = default;
};

// A document of plain text: one paragraph per line, default style.
RichTextDocument PlainTextDocument(std::string_view text);

} // namespace ui
