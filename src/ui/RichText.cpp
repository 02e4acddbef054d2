#include "ui/RichText.h"

namespace ui {

std::string RichTextParagraph::PlainText() const
{
    std::string text;
    for (const RichTextRun& run : runs)
        text += run.text;
    return text;
}

std::string RichTextDocument::PlainText() const
{
    std::string text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) text += '\n';
        text += paragraphs[i].PlainText();
    }
    return text;
}

bool RichTextDocument::Empty() const
{
    for (const RichTextParagraph& paragraph : paragraphs) {
        for (const RichTextRun& run : paragraph.runs) {
            if (!run.text.empty()) return false;
        }
    }
    return true;
}

RichTextDocument PlainTextDocument(std::string_view text)
{
    RichTextDocument document;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        RichTextParagraph paragraph;
        if (!line.empty()) paragraph.runs.push_back(RichTextRun{std::string(line), RichTextStyle{}});
        document.paragraphs.push_back(std::move(paragraph));
        if (end == text.size()) break;
        start = end + 1;
    }
    return document;
}

} // namespace ui
