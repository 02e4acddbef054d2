#include "platform/Text.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// UTF-16LE bytes of a string literal, independent of the code under test.
std::string Utf16Le(std::u16string_view text)
{
    std::string out;
    for (char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

} // namespace

TEST(Cp932Text, TrailBytes5CAndAsciiPunctuationSurvive)
{
    // 表 = 95 5C, ソ = 83 5C: the trail byte is '\'; 5C and 7E alone are '\' and '~', not ¥ and ‾.
    const std::string bytes = "C:\\\x95\x5C\\\x83\x5C\x83\x74\x83\x67~\\";
    const std::string text = Cp932ToUtf8(bytes);
    EXPECT_EQ(text, "C:\\表\\ソフト~\\");
    EXPECT_EQ(Utf8ToCp932(text), bytes);
    EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～"); // U+FF5E, not the wave dash of plain Shift-JIS
}

TEST(Cp932Text, BytesTheConverterRejectsStillDecode)
{
    // Single bytes 80, A0, FD; an unassigned pair 85 40; a lead byte cut short before a line end.
    const std::string text = Cp932ToUtf8(std::string("\x80|\xA0|\xFD|\x85\x40|\x81\nend"));
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(text, "\u0080|\uF8F0|\uF8F1|・|・\nend");
    // The single bytes come back unchanged.
    EXPECT_EQ(Utf8ToCp932("\u0080\uF8F0\uF8F1\uF8F3"), "\x80\xA0\xFD\xFF");
}

TEST(Cp932Text, CharactersWithoutACode)
{
    EXPECT_TRUE(FitsCp932("表ソ①ｱ°〜"));
    EXPECT_FALSE(FitsCp932("Müller"));
    EXPECT_EQ(Utf8ToCp932("Müller"), std::nullopt);
    EXPECT_EQ(Utf8ToCp932Lossy("Mü😀"), "M??");
    EXPECT_EQ(Utf8ToCp932Lossy("a\xFFz"), "a?z"); // invalid input byte
}

TEST(Cp932Text, ShiftJisOrderDiffersFromUtf8Order)
{
    // Full-width Ａ is 82 60 and あ is 82 A0 in Shift-JIS, but EF BC A1 and E3 81 82 in UTF-8.
    EXPECT_EQ(ShiftJisBytes("Ａあ"), "\x82\x60\x82\xA0");
    EXPECT_LT(CompareShiftJis("Ａ", "あ"), 0);
    EXPECT_GT(std::string("Ａ").compare("あ"), 0);
    // Bytes compare unsigned: half-width ｱ (B1) sorts after 'z'.
    EXPECT_GT(CompareShiftJis("ｱ", "z"), 0);
    // Two texts without codes still get an order.
    EXPECT_NE(CompareShiftJis("ü", "é"), 0);
    EXPECT_EQ(CompareShiftJis("表", "表"), 0);
}

TEST(Utf8Text, CuttingAndFilteringNeverSplitACharacter)
{
    EXPECT_EQ(CutToChars("表示ソフト", 3), "表示ソ");
    EXPECT_EQ(CutToChars("ab", 5), "ab");
    EXPECT_EQ(CutToCp932Bytes("表示ソフト", 5), "表示"); // ソ would need bytes 5 and 6
    EXPECT_EQ(CutToCp932Bytes("aｱ表x", 4), "aｱ表");      // half-width kana is one byte
    EXPECT_EQ(CutToCp932Bytes("aｱ表x", 3), "aｱ");
    const std::string broken = "ab\xE3\x81"; // a sequence cut short
    EXPECT_TRUE(IsValidUtf8(CutToChars(broken, 10)));
    EXPECT_TRUE(IsValidUtf8(CutToCp932Bytes(broken, 10)));
    EXPECT_EQ(CountChars("表a😀"), 3u);
    const auto digits = [](char32_t c) { return (c >= '0' && c <= '9') || c == '.'; };
    EXPECT_EQ(FilterChars("1２3.4ｘ", digits), "13.4");
}

TEST(Utf8Text, Validity)
{
    EXPECT_TRUE(IsValidUtf8("plain 表 😀"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE3\x81"));         // cut short
    EXPECT_FALSE(IsValidUtf8("\x95\x5C"));         // Shift-JIS 表
    EXPECT_EQ(MakeValidUtf8("a\x95\x5C"), "a\uFFFD\\");
}

TEST(Utf8Text, NamesCompareIgnoringCase)
{
    EXPECT_TRUE(EqualsNoCase("KORVELA", "korvela"));
    EXPECT_TRUE(EqualsNoCase("Äbcａ", "äBCＡ"));
    EXPECT_TRUE(EqualsNoCase("Поезд", "ПОЕЗД"));
    EXPECT_FALSE(EqualsNoCase("透明", "透"));
    EXPECT_FALSE(EqualsNoCase("a\xFE", "a\xFF")); // different invalid bytes stay different
    // Upper-case order, as Windows lists names: '_' after the letters.
    EXPECT_TRUE(NameLess("alpha", "Beta"));
    EXPECT_TRUE(NameLess("Zed", "_z"));
    EXPECT_TRUE(NameLess("Model.X", "model.x")); // equal ignoring case: bytes decide
}

TEST(Utf8Text, JsonQuotedEscapesWhatJsonForbidsAndRepairsBadBytes)
{
    EXPECT_EQ(JsonQuoted("a\"b\\c\n\r\t\b\f"), "\"a\\\"b\\\\c\\n\\r\\t\\b\\f\"");
    EXPECT_EQ(JsonQuoted(std::string_view("\x00\x1f\x7f", 3)), "\"\\u0000\\u001f\\u007f\"");
    EXPECT_EQ(JsonQuoted("駅/\xff"), "\"駅/\xEF\xBF\xBD\"");
}

TEST(TextFiles, EncodingDetection)
{
    EXPECT_EQ(DetectEncoding("\xFF\xFEk\0"), TextEncoding::Utf16LeBom);
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBFkey=1"), TextEncoding::Utf8Bom);
    EXPECT_EQ(DetectEncoding("key=1\r\n"), TextEncoding::Ascii);
    EXPECT_EQ(DetectEncoding("透明=1"), TextEncoding::Utf8);
    EXPECT_EQ(DetectEncoding("\x93\xA7\x96\xBE=1"), TextEncoding::Cp932);
    EXPECT_EQ(DetectEncoding(""), TextEncoding::Ascii);
}

TEST(TextFiles, DecodeKeepsTextAndReportsLineEnds)
{
    const TextFile cp932 = DecodeTextFile("\x93\xA7\x96\xBE\r\nb\r\n");
    EXPECT_EQ(cp932.encoding, TextEncoding::Cp932);
    EXPECT_EQ(cp932.lineEnd, LineEnd::CrLf);
    EXPECT_EQ(cp932.text, "透明\r\nb\r\n");

    const TextFile utf16 = DecodeTextFile("\xFF\xFE" + Utf16Le(u"表\r😀\rx"));
    EXPECT_EQ(utf16.encoding, TextEncoding::Utf16LeBom);
    EXPECT_EQ(utf16.lineEnd, LineEnd::Cr);
    EXPECT_EQ(utf16.text, "表\r😀\rx");

    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF"
                             "a\nb")
                  .text,
              "a\nb");
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF"
                             "a\nb")
                  .lineEnd,
              LineEnd::Lf);
    EXPECT_EQ(DecodeTextFile("no line end").lineEnd, LineEnd::CrLf);
    // An unpaired surrogate and an odd last byte still give valid text.
    EXPECT_TRUE(IsValidUtf8(DecodeTextFile("\xFF\xFE" + Utf16Le(u"a") + std::string("\x00\xD8z", 3)).text));
}

TEST(TextFiles, EncodingChosenForWriting)
{
    EXPECT_EQ(EncodingForNewFile("透明=1"), TextEncoding::Cp932);
    EXPECT_EQ(EncodingForNewFile("Müller"), TextEncoding::Utf8Bom);
    EXPECT_EQ(EncodingForRewrite(TextEncoding::Cp932, "表"), TextEncoding::Cp932);
    EXPECT_EQ(EncodingForRewrite(TextEncoding::Cp932, "ü"), TextEncoding::Utf8Bom);
    EXPECT_EQ(EncodingForRewrite(TextEncoding::Ascii, "abc"), TextEncoding::Ascii);
    EXPECT_EQ(EncodingForRewrite(TextEncoding::Ascii, "表"), TextEncoding::Cp932);
    EXPECT_EQ(EncodingForRewrite(TextEncoding::Utf8, "表"), TextEncoding::Utf8);
    EXPECT_EQ(EncodingForRewrite(TextEncoding::Utf16LeBom, "ü"), TextEncoding::Utf16LeBom);
}

TEST(TextFiles, WrittenFilesReadBackInEveryEncoding)
{
    testsupport::TempDir dir;
    const std::string text = "[表]\r\nソ=\\x\r\n";
    for (TextEncoding encoding :
         {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16LeBom}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        const std::string path = dir.File("t.txt");
        ASSERT_TRUE(WriteTextFile(path, text, encoding));
        const auto read = ReadTextFile(path);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->text, text);
        EXPECT_EQ(read->encoding, encoding);
    }
    EXPECT_EQ(testsupport::ReadBytes(dir.File("t.txt")).substr(0, 4), std::string("\xFF\xFE[\0", 4));
    EXPECT_FALSE(ReadTextFile(dir.File("missing.txt")));
}

TEST(TextFiles, SplitLines)
{
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitLines("\r\r"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(SplitLines("").empty());
}
