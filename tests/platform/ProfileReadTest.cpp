#include "common/TestSupport.h"
#include "platform/Profile.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

using platform::Profile;

namespace {

Profile FromText(std::string_view bytes)
{
    return Profile::FromBytes("/nonexistent/x.ini", bytes);
}

std::string Utf16Le(std::u16string_view text)
{
    std::string out = "\xFF\xFE";
    for (char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

TEST(ProfileRead, LookupRules)
{
    const Profile profile = FromText("orphan=before any section\r\n"
                                     "[ Sec ]  trailing text\r\n"
                                     "  Name1  =  value one  \r\n"
                                     "name1=second wins never\r\n"
                                     "\r\n"
                                     "quoted=\"q v\"\r\n"
                                     "single='x'\r\n"
                                     "unbalanced=\"abc\r\n"
                                     "lonequote=\"\r\n"
                                     "equals=a=b ; not a comment\r\n"
                                     "empty=\r\n"
                                     "noequals\r\n"
                                     "wide=\xE3\x80\x80x\xE3\x80\x80\r\n" // U+3000 is not a blank
                                     "[open bracket\r\n"
                                     "after=3\r\n"
                                     "[sec]\r\n"
                                     "second=2\r\n");
    const auto get = [&](std::string_view key) { return profile.GetString(" sEC ", key, "dflt", 256); };
    EXPECT_EQ(get("NAME1"), "value one"); // first of the duplicates, trimmed
    EXPECT_EQ(get("quoted"), "q v");
    EXPECT_EQ(get("single"), "x");
    EXPECT_EQ(get("unbalanced"), "\"abc");
    EXPECT_EQ(get("lonequote"), "\"");
    EXPECT_EQ(get("equals"), "a=b ; not a comment");
    EXPECT_EQ(get("empty"), ""); // present but empty: not the default
    EXPECT_EQ(get("noequals"), "dflt");
    EXPECT_EQ(get("wide"), "\xE3\x80\x80x\xE3\x80\x80");
    EXPECT_EQ(get("after"), "3");     // "[open bracket" has no ']', so it is no header
    EXPECT_EQ(get("second"), "dflt"); // a second [sec] is never searched
    EXPECT_EQ(get("orphan"), "dflt");
    EXPECT_EQ(profile.GetString("missing", "name1", "dflt", 256), "dflt");
}

TEST(ProfileRead, DefaultsLoseTrailingSpacesOnly)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("none.ini");
    EXPECT_EQ(Profile::ReadString(path, "S", "k", "default  ", 256), "default");
    EXPECT_EQ(Profile::ReadString(path, "S", "k", "  x \t ", 256), "  x \t");
    EXPECT_EQ(Profile::ReadString(path, "S", "k", "", 256), "");
    EXPECT_FALSE(Profile(path).Exists());
}

TEST(ProfileRead, ValuesAreCutToTheBuffer)
{
    const std::string kana = "あいうえおかきくけこ"; // 10 characters
    const Profile profile = FromText("[S]\nlong=" + std::string(40, 'v') + "\nval=val1\nkana=" + kana + kana +
                                     kana + kana + "\nquoted=\"abcdef\"\n");
    EXPECT_EQ(profile.GetString("S", "long", "", 32), std::string(31, 'v'));
    EXPECT_EQ(profile.GetString("S", "val", "", 4), "val");
    EXPECT_EQ(profile.GetString("S", "val", "", 5), "val1");
    EXPECT_EQ(profile.GetString("S", "val", "", 1), "");
    EXPECT_EQ(profile.GetString("S", "val", "", 0), "");
    EXPECT_EQ(profile.GetString("S", "quoted", "", 4), "abc");
    const std::string cut = profile.GetString("S", "kana", "", 32);
    EXPECT_TRUE(platform::IsValidUtf8(cut));
    EXPECT_EQ(platform::CountChars(cut), 31u);
    EXPECT_EQ(cut, kana + kana + kana + "あ");
    EXPECT_EQ(profile.GetString("S", "none", "表示ソフト", 4), "表示ソ"); // the default is cut too
}

TEST(ProfileRead, JapaneseKeysInEveryEncodingAndLineEnd)
{
    const std::string cp932 =
        "[KORVELA]\r\n\x93\xA7\x96\xBE=1\r\n\x83\x7C\x83\x43\x83\x93\x83\x67=\x95\x5C\x83\x5C\r\n";
    const std::string utf8 = "[KORVELA]\r\n透明=1\r\nポイント=表ソ\r\n";
    const std::string utf16 = Utf16Le(u"[KORVELA]\r\n透明=1\r\nポイント=表ソ\r\n");
    const std::pair<const char*, std::string> files[] = {
        {"CP932", cp932}, {"UTF-8", utf8}, {"UTF-8 BOM", "\xEF\xBB\xBF" + utf8}, {"UTF-16LE", utf16}};
    for (const auto& [name, crlf] : files) {
        for (const char* end : {"\r\n", "\n", "\r"}) {
            SCOPED_TRACE(std::string(name) + (end[0] == '\n' ? " LF" : (end[1] ? " CR LF" : " CR")));
            std::string bytes = crlf;
            if (std::string_view(name) == "UTF-16LE")
                bytes = ReplaceAll(bytes, std::string("\r\0\n\0", 4),
                                   end[1] ? std::string("\r\0\n\0", 4) : std::string(end) + '\0');
            else
                bytes = ReplaceAll(bytes, "\r\n", end);
            const Profile profile = FromText(bytes);
            EXPECT_EQ(profile.GetString("korvela", "透明", "0", 32), "1");
            EXPECT_EQ(profile.GetString("Korvela", "ポイント", "", 32), "表ソ");
            EXPECT_EQ(profile.GetInt("KORVELA", "透明", 0), 1);
        }
    }
}

TEST(ProfileRead, IntegersAsGetPrivateProfileInt)
{
    const Profile profile =
        FromText("[S]\na=42A9\nb=B42\nc=-7\nd=4294967297\ne=\nf=+5\ng=\"12\"\nh=2147483648\n");
    EXPECT_EQ(profile.GetInt("S", "a", 9), 42);
    EXPECT_EQ(profile.GetInt("S", "b", 9), 0);
    EXPECT_EQ(profile.GetInt("S", "c", 9), -7);
    EXPECT_EQ(profile.GetInt("S", "d", 9), 1); // wraps modulo 2^32
    EXPECT_EQ(profile.GetInt("S", "e", 9), 9);
    EXPECT_EQ(profile.GetInt("S", "f", 9), 5);
    EXPECT_EQ(profile.GetInt("S", "g", 9), 12);
    EXPECT_EQ(profile.GetInt("S", "h", 9), -2147483647 - 1);
    EXPECT_EQ(profile.GetInt("S", "missing", 9), 9);
}

TEST(ProfileRead, FileOnDisk)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("KORVELA.ini");
    testsupport::WriteBytes(path, "[KORVELA]\r\nLight=80\r\nObject=.\\\x95\x5C\\\r\n");
    EXPECT_EQ(Profile::ReadInt(path, "korvela", "light", 100), 80);
    EXPECT_EQ(Profile::ReadString(path, "KORVELA", "Object", "", 256), ".\\表\\");
    EXPECT_EQ(Profile(path).Encoding(), platform::TextEncoding::Cp932);
}
