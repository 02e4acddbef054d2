// RTF from anywhere (a downloaded help text, an edited copy beside the program): whatever the
// bytes, reading ends with text a styled text control can take, in sizes and colours it can show.
#include "platform/Utf8.h"
#include "ui/RichTextReader.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using ui::RichTextDocument;

// What every document that comes out must be: runs of valid UTF-8 without control characters
// other than tab and line break, and a size the control accepts.
void ExpectShowable(const RichTextDocument& document)
{
    for (const auto& paragraph : document.paragraphs) {
        for (const auto& run : paragraph.runs) {
            EXPECT_FALSE(run.text.empty());
            EXPECT_TRUE(platform::IsValidUtf8(run.text)) << run.text;
            for (const char c : run.text) {
                const auto byte = static_cast<unsigned char>(c);
                EXPECT_TRUE(byte >= 0x20 || c == '\t' || c == '\n') << "control byte " << int(byte);
            }
            EXPECT_GE(run.style.halfPoints, 1);
            EXPECT_LE(run.style.halfPoints, 3276);
        }
    }
}

std::string Nul(std::string_view before, std::string_view after)
{
    return std::string(before) + '\0' + std::string(after);
}

TEST(RtfBadInput, BrokenDocumentsGiveTheirReadableText)
{
    const struct {
        std::string label;
        std::string rtf;
        std::string text; // the plain text that must come out
    } cases[] = {
        // Cut off anywhere.
        {"header only", "{\\rtf1", ""},
        {"inside the font table", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS", ""},
        {"inside the colour table", "{\\rtf1{\\colortbl;\\red255\\gr", ""},
        {"inside a skipped destination", "{\\rtf1 a{\\*\\generator x", "a"},
        {"inside a control word", "{\\rtf1 a\\pa", "a"},
        {"inside a parameter", "{\\rtf1 a\\fs2", "a"},
        {"inside \\bin data", "{\\rtf1 a\\bin5 xy", "a"},
        {"inside a surrogate pair", "{\\rtf1 a\\u-10179?", "a\uFFFD"},
        // Braces that do not pair.
        {"groups never closed", "{\\rtf1 a{{{{\\b b{\\i c", "abc"},
        {"closed before the text", "{\\rtf1 }text after", ""},
        {"stray closing braces inside", "{\\rtf1 a{b}}}c}", "ab"},
        {"escaped braces are text", "{\\rtf1 \\{a\\}}", "{a}"},
        // Numbers far beyond any real document.
        {"huge sizes and colours", "{\\rtf1\\fs99999999999999999999 a\\fs-99999999999 b\\cf4294967296 c}", "abc"},
        {"huge fallback count", "{\\rtf1\\uc99999999999\\u65 bcdefghij}", "A"},
        {"huge and negative \\u", "{\\rtf1\\u99999999999 a\\u-99999999999 b\\u-2147483648 c}",
         "\uFFFD\uFFFD\uFFFD"},
        {"huge font and code page", "{\\rtf1\\ansicpg99999999999\\f99999999999\\deff-4 a\\'e9}", "a\uFFFD"},
        {"huge colour components", "{\\rtf1{\\colortbl;\\red99999999999\\green-9\\blue1;}\\cf1 x}", "x"},
        {"huge \\bin count", "{\\rtf1 a\\bin99999999999999999999 b}", "a"},
        // Escapes that are not two hex digits.
        {"\\' without digits", "{\\rtf1 a\\'zz}", "azz"},
        {"\\' with one digit", "{\\rtf1 a\\'4 b}", "a b"},
        {"\\' at the end", "{\\rtf1 a\\'", "a"},
        {"\\'00 and other control bytes", "{\\rtf1 a\\'00b\\'01c\\'1fd\\'0de\\'7ff\\'09g\\'0ah}", "abcdef\tg\nh"},
        {"control characters as \\u", "{\\rtf1 a\\u1?b\\u127?c\\u9?d}", "abc\td"},
        // Words this reader does not know.
        {"unknown words and parameters", "{\\rtf1\\zz\\qqq-12 a\\x99999999999999 b}", "ab"},
        {"unknown destination", "{\\rtf1 a{\\*\\unknowndest {nested} text}b}", "ab"},
        {"word longer than any known", "{\\rtf1 a\\" + std::string(10000, 'q') + " b}", "ab"},
        // NUL bytes anywhere.
        {"NUL in text", Nul("{\\rtf1 a", "b}"), "ab"},
        {"NUL after a backslash", Nul("{\\rtf1 a\\", "b}"), "ab"},
        {"NUL inside a word", Nul("{\\rtf1 a\\b", "c}"), "ac"},
        // Bytes that are not text in the document's code page.
        {"Shift-JIS lead byte without trail", "{\\rtf1\\ansicpg932 \\'82}", "・"},
        {"Shift-JIS lead byte before ASCII", "{\\rtf1\\ansicpg932 \\'81\\'7fz}", "・z"},
        {"unassigned Shift-JIS code", "{\\rtf1\\ansicpg932 a\\'85\\'40b}", "a・b"},
        {"raw high bytes in a double-byte page", "{\\rtf1\\ansicpg936 a\xB0\xA1z}", "a\uFFFD\uFFFDz"},
        {"invalid UTF-8 in a UTF-8 document", "{\\rtf1\\ansicpg65001 a\xC3(\xED\xA0\x80\xF8z}",
         "a\uFFFD(\uFFFD\uFFFD\uFFFD\uFFFDz"},
        {"lone surrogates", "{\\rtf1\\u-9216?a\\u-10240?\\u-10240?b}", "\uFFFDa\uFFFD\uFFFDb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const auto document = ui::ReadRtf(c.rtf);
        ASSERT_TRUE(document.has_value());
        EXPECT_EQ(document->PlainText(), c.text);
        ExpectShowable(*document);
    }
}

TEST(RtfBadInput, StylesStayWithinWhatTheControlShows)
{
    const auto document = ui::ReadRtf("{\\rtf1{\\colortbl;\\red99999\\green-5\\blue7;}"
                                      "\\fs99999999999 a\\fs0 b\\cf99999999 c\\cf1 d}");
    ASSERT_TRUE(document.has_value());
    ASSERT_EQ(document->paragraphs.size(), 1u);
    const auto& runs = document->paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].style.halfPoints, 3276);
    EXPECT_EQ(runs[1].text, "bc"); // default size, and a colour index past the table is no colour
    EXPECT_EQ(runs[1].style.halfPoints, 24);
    EXPECT_FALSE(runs[1].style.colour.has_value());
    EXPECT_EQ(runs[2].style.colour, (ui::RichTextColour{255, 0, 7}));
}

TEST(RtfBadInput, WhatIsNotRtfIsRefused)
{
    for (const std::string& bytes : {std::string(), std::string("{\\rt"), std::string("\xEF\xBB\xBF{\\rtf1 a}"),
                                    std::string("\xFF\xFE{\0\\\0r\0t\0f\0", 12), Nul("", "{\\rtf1 a}")})
        EXPECT_FALSE(ui::ReadRtf(bytes).has_value()) << bytes;
}

} // namespace
