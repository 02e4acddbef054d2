#include "ui/RichTextReader.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using ui::ReadRtf;
using ui::RichTextColour;
using ui::RichTextDocument;
using ui::RichTextRun;

RichTextDocument Read(std::string_view rtf)
{
    auto document = ReadRtf(rtf);
    EXPECT_TRUE(document.has_value()) << rtf;
    return document.value_or(RichTextDocument{});
}

// The run holding text (whole or in part), or nullptr.
const RichTextRun* RunWith(const RichTextDocument& document, std::string_view text)
{
    for (const auto& paragraph : document.paragraphs) {
        for (const auto& run : paragraph.runs) {
            if (run.text.find(text) != std::string::npos) return &run;
        }
    }
    return nullptr;
}

// Styles of files written by the usual tools. Each keeps the quirks its tool is known for.

TEST(RtfFromTools, WordPadStyleJapaneseInCodePage932)
{
    // Font names and text as \'xx pairs, \uc1, \lang, \viewkind.
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
        "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
        "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs20 "
        "\\'82\\'b1\\'82\\'f1\\'82\\'c9\\'82\\'bf\\'82\\'cd\\par\r\n"
        "\\b \\'91\\'be\\'8e\\'9a\\b0  normal \\'95\\\\\\par\r\n"
        "}\r\n\0";
    const RichTextDocument document = Read(rtf);
    ASSERT_EQ(document.paragraphs.size(), 2u); // the last paragraph mark adds no paragraph
    EXPECT_EQ(document.paragraphs[0].PlainText(), "こんにちは");
    EXPECT_EQ(document.paragraphs[0].runs[0].style.halfPoints, 20);
    // 表 is 95 5C: its trail byte is the escaped backslash.
    EXPECT_EQ(document.paragraphs[1].PlainText(), "太字 normal 表");
    ASSERT_EQ(document.paragraphs[1].runs.size(), 2u);
    EXPECT_TRUE(document.paragraphs[1].runs[0].style.bold);
    EXPECT_FALSE(document.paragraphs[1].runs[1].style.bold);
    EXPECT_EQ(RunWith(document, "ＭＳ"), nullptr); // the font name is not text
}

TEST(RtfFromTools, WordStyleWithDestinationsFieldsAndFallbacks)
{
    const std::string rtf =
        "{\\rtf1\\adeflang1025\\ansi\\ansicpg932\\uc2\\adeff0\\deff0\\stshfdbch11\\deflang1033\\deflangfe1041"
        "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
        "{\\f11\\fbidi \\fmodern\\fcharset128\\fprq1{\\*\\panose 02020609040205080304}\\'82\\'6c\\'82\\'72 "
        "\\'96\\'be\\'92\\'a9{\\*\\falt MS Mincho};}}\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\n"
        "{\\*\\defchp \\fs21\\kerning2\\loch\\af0\\hich\\af0\\dbch\\af11 }"
        "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\wrapdefault\\f0\\fs21 \\snext0 Normal;}"
        "{\\*\\cs10 \\additive Default Paragraph Font;}}\n"
        "{\\*\\rsidtbl \\rsid1195\\rsid5112}{\\*\\generator Microsoft Word 11.0.0000;}"
        "{\\info{\\title Sample}{\\author someone}{\\creatim\\yr2024\\mo1\\dy2}}\n"
        "\\paperw11906\\paperh16838\\margl1701{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang "
        "{\\pntxta .}}{\\*\\pnseclvl2\\pnucltr\\pnstart1\\pnindent720\\pnhang {\\pntxta .}}\n"
        "\\pard\\plain \\ltrpar\\qj \\li0\\ri0\\widctlpar\\rtlch\\fcs1 \\af0\\afs24 \\ltrch\\fcs0 "
        "\\fs21\\lang1024\\langfe1024\\loch\\af0\\hich\\af0\\dbch\\af11\\cf2 "
        "\\u26085\\'93\\'fa\\u26412\\'96\\'7b\\cf0 \\par\n"
        "\\pard\\plain \\loch\\f0\\hich\\af0\\dbch\\af11 \\'82\\'a0 "
        "{\\field{\\*\\fldinst {HYPERLINK \"http://example.org/\"}}{\\fldrslt {\\ul\\cf2 link}}} end\\par\n"
        "}";
    const RichTextDocument document = Read(rtf);
    ASSERT_EQ(document.paragraphs.size(), 2u);
    EXPECT_EQ(document.paragraphs[0].PlainText(), "日本"); // \uc2: both fallback bytes skipped
    const RichTextRun* japanese = RunWith(document, "日本");
    ASSERT_NE(japanese, nullptr);
    EXPECT_EQ(japanese->style.colour, (RichTextColour{255, 0, 0}));
    EXPECT_EQ(japanese->style.halfPoints, 21);
    // Raw \'xx under a Latin font with \dbch naming the Japanese one; the field shows its result.
    EXPECT_EQ(document.paragraphs[1].PlainText(), "あ link end");
    const RichTextRun* link = RunWith(document, "link");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->style.underline);
    for (const char* hidden : {"Times", "Normal", "Sample", "someone", "HYPERLINK", "Word", "."}) {
        EXPECT_EQ(RunWith(document, hidden), nullptr) << hidden;
    }
}

TEST(RtfFromTools, TextEditStyleWithCocoaWordsAndBackslashLineEnds)
{
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639\n"
        "\\cocoatextscaling0\\cocoaplatform0{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;"
        "\\f1\\fnil\\fcharset128 HiraginoSans-W3;}\n"
        "{\\colortbl;\\red255\\green255\\blue255;\\red0\\green0\\blue255;}\n"
        "{\\*\\expandedcolortbl;;\\cssrgb\\c0\\c0\\c100000;}\n"
        "\\paperw11900\\paperh16840\\margl1440\\margr1440\\vieww11520\\viewh8400\\viewkind0\n"
        "\\pard\\tx566\\tx1133\\tx1700\\pardirnatural\\partightenfactor0\n\n"
        "\\f0\\fs24 \\cf0 Caf\\'e9 \\'93quoted\\'94\\\n"
        "\\f1 \\uc0\\u12354 \\u12356 \\cf2 blue\\\n"
        "\\f0\\i tail}";
    const RichTextDocument document = Read(rtf);
    ASSERT_EQ(document.paragraphs.size(), 3u);
    EXPECT_EQ(document.paragraphs[0].PlainText(), "Café “quoted”");
    EXPECT_EQ(document.paragraphs[1].PlainText(), "あいblue");
    EXPECT_FALSE(document.paragraphs[0].runs[0].style.colour.has_value()); // \cf0: the auto entry
    const RichTextRun* blue = RunWith(document, "blue");
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(blue->style.colour, (RichTextColour{0, 0, 255}));
    EXPECT_EQ(document.paragraphs[2].PlainText(), "tail");
    EXPECT_TRUE(document.paragraphs[2].runs[0].style.italic);
}

TEST(RtfFromTools, LibreOfficeStyleUnicodeEscapesAndSurrogatePairs)
{
    const std::string rtf =
        "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
        "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f4\\fswiss\\fprq2\\fcharset0 "
        "Liberation Sans;}{\\f5\\fnil\\fprq2\\fcharset0 Noto Sans CJK JP;}}\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\n"
        "{\\stylesheet{\\s0\\snext0\\dbch\\af5\\langfe1041\\dbch\\af6\\afs24\\loch\\f4\\fs24 Default "
        "Paragraph Style;}}\n"
        "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
        "{\\info{\\creatim\\yr2024\\mo3\\dy1\\hr10\\min2}{\\revtim\\yr0\\mo0\\dy0\\hr0\\min0}}\n"
        "{\\*\\userprops{\\propname x}\\proptype30{\\staticval y}}\\deftab709\n"
        "\\hyphauto1\\viewscale100\n{\\*\\pgdsctbl\n{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pgdscnxt0 Default "
        "Page Style;}}\n"
        "\\formshade\\paperh16838\\paperw11906\\margl1134\\sectd\\sbknone\\pgndec\\pard\\plain \\s0\\rtlch"
        "\\af5\\langfe1041\\ltrch\\loch\\fs24\\lang1041\\f4 {\\rtlch \\ltrch\\loch "
        "\\u12371\\'3f\\u12435\\'3f\\u-10179\\'3f\\u-8704\\'3f}\n"
        "\\par \\pard\\plain \\s0 {\\b\\i\\ul\\fs32 big}{\\ulnone  plain\\tab x\\line y}\n"
        "\\par }";
    const RichTextDocument document = Read(rtf);
    ASSERT_EQ(document.paragraphs.size(), 2u);
    EXPECT_EQ(document.paragraphs[0].PlainText(), "こん\xF0\x9F\x98\x80"); // U+1F600 from two \u
    EXPECT_EQ(document.paragraphs[1].PlainText(), "big plain\tx\ny");
    const RichTextRun* big = RunWith(document, "big");
    ASSERT_NE(big, nullptr);
    EXPECT_TRUE(big->style.bold && big->style.italic && big->style.underline);
    EXPECT_EQ(big->style.halfPoints, 32);
    const RichTextRun* plain = RunWith(document, "plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->style.bold || plain->style.italic || plain->style.underline); // group ended
    EXPECT_EQ(RunWith(document, "Page Style"), nullptr);
    EXPECT_EQ(RunWith(document, "LibreOffice"), nullptr);
}

TEST(RtfFormatting, SwitchesResetsAndEscapes)
{
    const RichTextDocument document = Read(
        "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\b\\i\\ul\\cf1\\fs40 a\\b0\\i0\\ulnone b\\ul c\\ul0 d"
        "\\plain e \\\\\\{\\}\\~f\\-g\\_h\\bullet\\emdash\\cf9 i}");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const auto& runs = document.paragraphs[0].runs;
    EXPECT_EQ(document.PlainText(), "abcde \\{}\u00A0fg\u2011h\u2022\u2014i");
    ASSERT_GE(runs.size(), 5u);
    EXPECT_EQ(runs[0].text, "a");
    EXPECT_TRUE(runs[0].style.bold && runs[0].style.italic && runs[0].style.underline);
    EXPECT_EQ(runs[0].style.colour, (RichTextColour{1, 2, 3}));
    EXPECT_EQ(runs[0].style.halfPoints, 40);
    EXPECT_EQ(runs[1].text, "b");
    EXPECT_FALSE(runs[1].style.bold || runs[1].style.italic || runs[1].style.underline);
    EXPECT_TRUE(runs[2].style.underline);
    EXPECT_EQ(runs[3].text, "d");
    EXPECT_FALSE(runs[3].style.underline);
    // \plain: default size, no colour; an index past the colour table means no colour either.
    EXPECT_EQ(runs[4].style, ui::RichTextStyle{});
    EXPECT_EQ(runs.back().style, ui::RichTextStyle{});
}

TEST(RtfFormatting, UnicodeFallbackCounts)
{
    // \uc2 skips two \'xx bytes, \uc0 nothing; a control word ends a fallback early.
    EXPECT_EQ(Read("{\\rtf1\\uc2\\u26085\\'93\\'fa!}").PlainText(), "日!");
    EXPECT_EQ(Read("{\\rtf1\\uc0\\u26085 !}").PlainText(), "日!");
    EXPECT_EQ(Read("{\\rtf1\\u26085?!}").PlainText(), "日!");
    EXPECT_EQ(Read("{\\rtf1\\u26085\\par x}").PlainText(), "日\nx");
    EXPECT_EQ(Read("{\\rtf1\\u8220\\ldblquote x\\u8221\\rdblquote}").PlainText(), "\u201Cx\u201D");
    // \uc is per group.
    EXPECT_EQ(Read("{\\rtf1{\\uc3\\u26085 abc}\\u26412?d}").PlainText(), "日本d");
    // Negative values are 16-bit units; a lone surrogate becomes U+FFFD.
    EXPECT_EQ(Read("{\\rtf1\\u-3?}").PlainText(), "\uFFFD");
    EXPECT_EQ(Read("{\\rtf1\\u-10179?x}").PlainText(), "\uFFFDx");
    EXPECT_EQ(Read("{\\rtf1\\u-8704?}").PlainText(), "\uFFFD");
    EXPECT_EQ(Read("{\\rtf1\\u99999?z}").PlainText(), "\uFFFDz");
}

TEST(RtfReading, RefusesTextThatIsNotRtf)
{
    EXPECT_FALSE(ReadRtf("").has_value());
    EXPECT_FALSE(ReadRtf("<html><body>Not Found</body></html>").has_value());
    EXPECT_FALSE(ReadRtf(" {\\rtf1 x}").has_value());
    EXPECT_TRUE(ReadRtf("{\\urtf1 x}").has_value());
    EXPECT_TRUE(ui::ReadRtf("{\\rtf").has_value());
}

TEST(RtfReading, BrokenInputGivesWhatCouldBeRead)
{
    // Groups never closed, closed too often, escapes cut short.
    EXPECT_EQ(Read("{\\rtf1 open {\\b bold {\\i").PlainText(), "open bold ");
    EXPECT_EQ(Read("{\\rtf1 a}} b}").PlainText(), "a");
    EXPECT_EQ(Read("{\\rtf1\\ansicpg932 x\\'8").PlainText(), "x");
    EXPECT_EQ(Read("{\\rtf1\\ansicpg932 x\\'zz y").PlainText(), "xzz y");
    EXPECT_EQ(Read("{\\rtf1\\ansicpg932 \\'82}").PlainText(), "・"); // lead byte without trail byte
    EXPECT_EQ(Read("{\\rtf1 x\\").PlainText(), "x");
    EXPECT_EQ(Read("{\\rtf1 x\\u").PlainText(), "x");
    EXPECT_EQ(Read("{\\rtf1 x\\u-").PlainText(), "x-"); // a minus without digits is text
    EXPECT_EQ(Read("{\\rtf1\\fs99999999999999 x\\cf-5 y\\uc-3\\u65 z}").PlainText(), "xyAz");
    // \bin data is skipped whole, braces included, even when it claims more than there is.
    EXPECT_EQ(Read("{\\rtf1 a{\\*\\blob\\bin3 }{}b}c}").PlainText(), "ac");
    EXPECT_EQ(Read("{\\rtf1 a\\bin999999999 }}}").PlainText(), "a");
    EXPECT_EQ(Read("{\\rtf1 a\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnop b}").PlainText(), "ab");
}

TEST(RtfReading, DeepNestingNeitherRecursesNorLosesTheRest)
{
    const std::size_t depth = 200000;
    std::string rtf = "{\\rtf1 ";
    rtf += std::string(depth, '{') + "\\b deep" + std::string(depth, '}');
    rtf += " after}";
    const RichTextDocument document = Read(rtf);
    EXPECT_EQ(document.PlainText(), "deep after");
    const RichTextRun* after = RunWith(document, "after");
    ASSERT_NE(after, nullptr);
    EXPECT_FALSE(after->style.bold);

    // Unclosed groups to the end of the input.
    EXPECT_EQ(Read("{\\rtf1 " + std::string(depth, '{') + "x").PlainText(), "x");
}

TEST(RtfReading, RandomDamageNeverCrashes)
{
    const std::string pieces[] = {"{",
                                  "}",
                                  "\\",
                                  "\\'",
                                  "\\'8",
                                  "\\'82",
                                  "\\u",
                                  "\\u-",
                                  "\\uc",
                                  "\\bin",
                                  "\\*",
                                  "\\par",
                                  "\\b",
                                  "0",
                                  "9",
                                  "-",
                                  " ",
                                  "x",
                                  "\xE3",
                                  ";",
                                  "\\fonttbl",
                                  "\\colortbl",
                                  "\\red",
                                  "\\f",
                                  "\\fcharset128",
                                  "\\ansicpg932",
                                  "\\cf",
                                  "\\fs",
                                  "\n",
                                  "\\pict"};
    std::mt19937 random(1234);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(1, 300);
    for (int round = 0; round < 3000; ++round) {
        std::string rtf = "{\\rtf1";
        const int count = length(random);
        for (int i = 0; i < count; ++i)
            rtf += pieces[pick(random)];
        auto document = ReadRtf(rtf);
        ASSERT_TRUE(document.has_value());
        for (const auto& paragraph : document->paragraphs) {
            for (const auto& run : paragraph.runs)
                ASSERT_FALSE(run.text.empty());
        }
    }
}

TEST(RtfReading, TheLastParagraphMarkEndsTheText)
{
    EXPECT_EQ(Read("{\\rtf1 a\\par}").paragraphs.size(), 1u);
    EXPECT_EQ(Read("{\\rtf1 a\\par\\par}").paragraphs.size(), 2u);
    EXPECT_TRUE(Read("{\\rtf1 }").Empty());
    EXPECT_EQ(Read("{\\rtf1 a\\par\\par b}").PlainText(), "a\n\nb");
}

} // namespace
