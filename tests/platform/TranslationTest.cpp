// The English catalogue against the program's texts, and the lookup rules the core's composed
// texts rely on.
#include "platform/Translation.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

using platform::Catalogue;

struct PoEntry {
    std::string msgid;
    std::string msgstr;
    bool fuzzy = false;
    int line = 0;
};

std::string Unquote(const std::string& quoted)
{
    std::string out;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 2 < quoted.size()) {
            const char c = quoted[++i];
            out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            out += quoted[i];
        }
    }
    return out;
}

// A reader for the plain .po files we write: comments, msgid, msgstr and continued strings.
std::vector<PoEntry> ReadPo(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::vector<PoEntry> entries;
    PoEntry current;
    std::string* target = nullptr;
    bool fuzzy = false;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.starts_with("#,") && line.find("fuzzy") != std::string::npos) fuzzy = true;
        if (line.starts_with("msgid ")) {
            if (!current.msgid.empty() || target) entries.push_back(current);
            current = PoEntry{.msgid = "", .msgstr = "", .fuzzy = fuzzy, .line = number};
            fuzzy = false;
            current.msgid = Unquote(line.substr(6));
            target = &current.msgid;
        } else if (line.starts_with("msgstr ")) {
            current.msgstr = Unquote(line.substr(7));
            target = &current.msgstr;
        } else if (line.starts_with("\"") && target) {
            *target += Unquote(line);
        }
    }
    if (target) entries.push_back(current);
    // The header entry has no msgid.
    std::erase_if(entries, [](const PoEntry& entry) { return entry.msgid.empty(); });
    return entries;
}

std::filesystem::path SourceDir()
{
    return KORVELA_SOURCE_DIR;
}

bool HasJapanese(const std::string& text)
{
    // Hiragana, katakana, CJK ideographs, full-width forms: all start with these UTF-8 lead bytes.
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead == 0xE3 || (lead >= 0xE4 && lead <= 0xE9) || lead == 0xEF) return true;
    }
    return false;
}

int Placeholders(const std::string& text)
{
    int count = 0;
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2))
        if (at + 1 < text.size() && text[at + 1] != '%') ++count;
    return count;
}

Catalogue EnglishCatalogue()
{
    Catalogue catalogue;
    for (const PoEntry& entry : ReadPo(SourceDir() / "po" / "en.po"))
        catalogue.Add(entry.msgid, entry.msgstr);
    return catalogue;
}

TEST(EnglishCatalogue, TranslatesEveryEntry)
{
    const std::vector<PoEntry> entries = ReadPo(SourceDir() / "po" / "en.po");
    ASSERT_GT(entries.size(), 100u);
    std::map<std::string, int> seen;
    for (const PoEntry& entry : entries) {
        SCOPED_TRACE("en.po line " + std::to_string(entry.line) + ": " + entry.msgid);
        EXPECT_FALSE(entry.fuzzy);
        EXPECT_FALSE(entry.msgstr.empty()) << "untranslated";
        EXPECT_NE(entry.msgstr, entry.msgid) << "left in Japanese";
        EXPECT_FALSE(HasJapanese(entry.msgstr));
        EXPECT_EQ(Placeholders(entry.msgid), Placeholders(entry.msgstr)) << "parts lost or added";
        EXPECT_EQ(seen[entry.msgid]++, 0) << "entry given twice";
    }
}

// Every Japanese text in the source is either an entry, a text an entry's pattern matches, a
// fixed part of a composed entry, or one of the texts below that never reach a user as words.
TEST(EnglishCatalogue, CoversEveryJapaneseTextOfTheSource)
{
    const std::set<std::string> notShown = {
        // Keys of object, train and vehicle .ini files: stored files never change.
        "透明", "拡大率", "回転角度", "運転席x", "運転席y", "運転席z", "後輪位置", "操縦席y", "操縦席z",
        "垂直方向オフセット", "車両間距離", "両目モデル名", "両目回転角度", "運転席座標y", "運転席座標z",
        "判定位置前方", "判定位置後方",
        // File names of the help and messages texts.
        "使い方.rtf", "メッセージ.rtf",
        // The key labels, which stay as they are on the keyboard.
        "\u3000１２３４５６７８９０－＾", "\u3000ぬふあうえおやゆよわほへ", "\u3000ヌフアウエオヤユヨワホヘ",
        // The language menu, which shows each language in its own words.
        "日本語", "言語 / Language", "表示の言語は、次回の起動から切り替わります。\n"};
    const Catalogue catalogue = EnglishCatalogue();
    std::vector<std::string> msgids;
    for (const PoEntry& entry : ReadPo(SourceDir() / "po" / "en.po"))
        msgids.push_back(entry.msgid);

    const std::regex literal(R"re("((?:[^"\\\n]|\\.)*)")re");
    std::vector<std::string> missing;
    for (const auto& file : std::filesystem::recursive_directory_iterator(SourceDir() / "src")) {
        const std::string extension = file.path().extension().string();
        if (extension != ".cpp" && extension != ".h") continue;
        std::ifstream in(file.path());
        std::string line;
        while (std::getline(in, line)) {
            // Comments quote texts of the design; only code counts.
            if (const std::size_t comment = line.find("//"); comment != std::string::npos) {
                if (line.find('"') == std::string::npos || line.find('"') > comment) line.erase(comment);
            }
            for (std::sregex_iterator it(line.begin(), line.end(), literal), end; it != end; ++it) {
                const std::string text = Unquote((*it)[0].str());
                if (!HasJapanese(text) || notShown.contains(text)) continue;
                if (catalogue.Translate(text) != text) continue;
                const bool part = std::any_of(msgids.begin(), msgids.end(), [&text](const std::string& id) {
                    return id.find(text) != std::string::npos;
                });
                if (!part) missing.push_back(file.path().filename().string() + ": " + text);
            }
        }
    }
    EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

TEST(EnglishCatalogue, TranslatesComposedTexts)
{
    const Catalogue catalogue = EnglishCatalogue();
    // Exact entries, and a text the catalogue does not know, which stays as it is.
    EXPECT_EQ(catalogue.Translate("マップデータの読込み"), "Load Map Data");
    EXPECT_EQ(catalogue.Translate("demo.txt"), "demo.txt");
    EXPECT_EQ(catalogue.Translate(""), "");
    // Patterns: a number and a list item put together, the item translated in its turn.
    EXPECT_EQ(catalogue.Translate("位置(F5)：電車－１"), "Pos (F5): Train 1");
    EXPECT_EQ(catalogue.Translate("電車3:-12km/h"), "Train3:-12km/h");
    EXPECT_EQ(catalogue.Translate("逆 IK,"), "Rev. IK,");
    EXPECT_EQ(catalogue.Translate("キー「1」「ぬ」「ヌ」  使用数  3"), "Key 1  turnouts:  3");
    EXPECT_EQ(catalogue.Translate("背景ファイル ground.x がありません。"), "The background file ground.x is missing.");
    EXPECT_EQ(catalogue.Translate("配置できるオブジェクトは、2000個までです。\n\n連絡頂ければ、最大値を変更致します。"),
              "At most 2000 objects can be placed.\n\nContact us if you need the limit raised.");
    // A message with the system's reason on the next line.
    EXPECT_EQ(catalogue.Translate("ヘルプファイルが開けませんでした。\ncannot open /x: Permission denied"),
              "The help file could not be opened.\ncannot open /x: Permission denied");
}

TEST(Catalogue, PatternsTakeTheMostSpecificEntryAndReorderParts)
{
    Catalogue catalogue;
    catalogue.Add("%s:%s", "generic %s %s");
    catalogue.Add("電車%s:%s", "%2$s on train %1$s");
    catalogue.Add("100%%", "a hundred per cent");
    EXPECT_EQ(catalogue.Translate("電車2:5km/h"), "5km/h on train 2");
    EXPECT_EQ(catalogue.Translate("a:b"), "generic a b");
    // A placeholder stands for something: an empty part does not match.
    EXPECT_EQ(catalogue.Translate("電車:5"), "generic 電車 5");
    EXPECT_EQ(catalogue.Translate(":"), ":");
}

// Writes a little-endian .mo file holding the given pairs (sorted, as msgfmt writes them).
std::string MoBytes(const std::vector<std::pair<std::string, std::string>>& pairs)
{
    const auto word = [](std::string& out, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    const auto count = static_cast<std::uint32_t>(pairs.size());
    const std::uint32_t originals = 28;
    const std::uint32_t translations = originals + 8 * count;
    std::uint32_t data = translations + 8 * count;
    std::string header, tables, strings;
    word(header, 0x950412de);
    word(header, 0);
    word(header, count);
    word(header, originals);
    word(header, translations);
    word(header, 0);
    word(header, 0);
    std::string originalTable, translationTable;
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [id, str] : pairs) {
            const std::string& text = pass == 0 ? id : str;
            word(pass == 0 ? originalTable : translationTable, static_cast<std::uint32_t>(text.size()));
            word(pass == 0 ? originalTable : translationTable, data);
            strings += text + '\0';
            data += static_cast<std::uint32_t>(text.size()) + 1;
        }
    }
    return header + originalTable + translationTable + strings;
}

TEST(Catalogue, ReadsCompiledCataloguesAndRejectsDamagedOnes)
{
    testsupport::TempDir dir;
    const std::string good = dir.File("good.mo");
    testsupport::WriteBytes(good, MoBytes({{"", "Content-Type: text/plain; charset=UTF-8\n"},
                                          {"設定", "Settings"},
                                          {"位置(F5)：%s", "Position (F5): %s"}}));
    auto catalogue = Catalogue::ReadMo(good);
    ASSERT_TRUE(catalogue) << catalogue.error();
    EXPECT_EQ(catalogue->Size(), 2u); // the header is no text
    EXPECT_EQ(catalogue->Translate("位置(F5)：設定"), "Position (F5): Settings");

    // Cut short: the tables point past the end. Never read there, never crash.
    std::string bytes = testsupport::ReadBytes(good);
    const std::string cut = dir.File("cut.mo");
    testsupport::WriteBytes(cut, bytes.substr(0, bytes.size() - 12));
    EXPECT_FALSE(Catalogue::ReadMo(cut));
    const std::string notMo = dir.File("text.mo");
    testsupport::WriteBytes(notMo, "msgid \"a\"\nmsgstr \"b\"\n");
    EXPECT_FALSE(Catalogue::ReadMo(notMo));
    EXPECT_FALSE(Catalogue::ReadMo(dir.File("missing.mo")));
}

TEST(ChooseLanguage, OptionThenLanguageListThenLocale)
{
    const auto choose = [](std::string_view override, std::map<std::string, std::string> environment) {
        return platform::ChooseLanguage(override, [&environment](const char* name) -> const char* {
            const auto found = environment.find(name);
            return found == environment.end() ? nullptr : found->second.c_str();
        });
    };
    EXPECT_EQ(choose("", {}), "ja");
    EXPECT_EQ(choose("", {{"LANG", "C.UTF-8"}}), "ja");
    EXPECT_EQ(choose("", {{"LANG", "en_GB.UTF-8"}}), "en");
    EXPECT_EQ(choose("", {{"LANG", "ja_JP.UTF-8"}}), "ja");
    // Any other language: English is the better door.
    EXPECT_EQ(choose("", {{"LANG", "de_DE.UTF-8"}}), "en");
    EXPECT_EQ(choose("", {{"LANG", "en_US.UTF-8"}, {"LC_ALL", "ja_JP.UTF-8"}}), "ja");
    EXPECT_EQ(choose("", {{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}), "ja");
    // LANGUAGE's first language we speak wins, even over a C locale.
    EXPECT_EQ(choose("", {{"LANGUAGE", "en"}}), "en");
    EXPECT_EQ(choose("", {{"LANGUAGE", "fr:ja:en"}, {"LANG", "en_US.UTF-8"}}), "ja");
    EXPECT_EQ(choose("", {{"LANGUAGE", "fr"}, {"LANG", "ja_JP.UTF-8"}}), "ja");
    // The option overrides everything; a language we do not speak is no choice.
    EXPECT_EQ(choose("en", {{"LANGUAGE", "ja"}}), "en");
    EXPECT_EQ(choose("ja", {{"LANG", "en_US.UTF-8"}}), "ja");
    EXPECT_EQ(choose("fr", {{"LANG", "en_US.UTF-8"}}), "en");
}

} // namespace
