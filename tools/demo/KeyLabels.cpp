#include "demo/KeyLabels.h"

#include "input/DriveTypeKeys.h"
#include "layout/PlacedObject.h"
#include "layout/TurnoutKeys.h"
#include "platform/VirtualKeys.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>

namespace demo {

namespace {

// What a key of the drive-type table shows: its letter or sign, and its kana on a Japanese
// keyboard (hiragana; the katakana is the same kana one block on).
struct KeyFace {
    int vk;
    const char* latin;
    const char* hiragana;
};

constexpr std::array<KeyFace, 30> kKeyFaces = {{
    {'Q', "Q", "た"},
    {'W', "W", "て"},
    {'E', "E", "い"},
    {'R', "R", "す"},
    {'T', "T", "か"},
    {'Y', "Y", "ん"},
    {'U', "U", "な"},
    {'I', "I", "に"},
    {'O', "O", "ら"},
    {'P', "P", "せ"},
    {'A', "A", "ち"},
    {'S', "S", "と"},
    {'D', "D", "し"},
    {'F', "F", "は"},
    {'G', "G", "き"},
    {'H', "H", "く"},
    {'J', "J", "ま"},
    {'K', "K", "の"},
    {'L', "L", "り"},
    {platform::vk::kOemPlus, ";", "れ"},
    {'Z', "Z", "つ"},
    {'X', "X", "さ"},
    {'C', "C", "そ"},
    {'V', "V", "ひ"},
    {'B', "B", "こ"},
    {'N', "N", "み"},
    {'M', "M", "も"},
    {platform::vk::kOemComma, ",", "ね"},
    {platform::vk::kOemPeriod, ".", "る"},
    {platform::vk::kOem2, "/", "め"},
}};

// Hiragana to katakana: the same kana 0x60 code points further on (3 bytes of UTF-8 each).
std::string Katakana(std::string_view hiragana)
{
    const char32_t c = ((hiragana[0] & 0x0F) << 12) | ((hiragana[1] & 0x3F) << 6) | (hiragana[2] & 0x3F);
    const char32_t k = c + 0x60;
    std::string out;
    out += static_cast<char>(0xE0 | (k >> 12));
    out += static_cast<char>(0x80 | ((k >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (k & 0x3F));
    return out;
}

char32_t FirstCodePoint(const std::string& text)
{
    const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(text[i])); };
    if (text.empty()) return 0;
    if (b(0) < 0x80) return b(0);
    if ((b(0) & 0xE0) == 0xC0 && text.size() >= 2) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if ((b(0) & 0xF0) == 0xE0 && text.size() >= 3)
        return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return 0;
}

struct RoleColour {
    std::uint8_t r, g, b;
};

RoleColour RimColour(KeyLabel::Role role)
{
    switch (role) {
    case KeyLabel::Role::Decelerate:
        return {40, 90, 200};
    case KeyLabel::Role::Accelerate:
        return {30, 150, 60};
    case KeyLabel::Role::Stop:
        return {200, 40, 35};
    default:
        return {225, 170, 20};
    }
}

} // namespace

std::string KeyFaceText(int vk, int style)
{
    for (const KeyFace& face : kKeyFaces) {
        if (face.vk != vk) continue;
        return style == 0 ? face.latin : style == 1 ? face.hiragana : Katakana(face.hiragana);
    }
    return {};
}

std::vector<KeyLabel> KeyLabels(int style)
{
    std::vector<KeyLabel> labels;
    // The ten key columns are the first ten rows of the program's drive-type table.
    for (int k = 0; k < 10; ++k) {
        const input::DriveKeys keys = input::DriveTypeKeys::Keys(k);
        const std::string n = std::to_string(k);
        labels.push_back({"B" + n + ".bmp", KeyFaceText(keys.decelerate, style), KeyLabel::Role::Decelerate});
        labels.push_back({"F" + n + ".bmp", KeyFaceText(keys.accelerate, style), KeyLabel::Role::Accelerate});
        labels.push_back({"S" + n + ".bmp", KeyFaceText(keys.stop, style), KeyLabel::Role::Stop});
    }
    // Turnout keys show what the placed-object list shows for them.
    for (int k = 0; k < layout::kTurnoutKeyCount; ++k) {
        const std::string name = k < 10 ? std::to_string(k) : k == 10 ? "A" : "B";
        labels.push_back({"P" + name + ".bmp", layout::KeyLabel(style, k), KeyLabel::Role::Turnout});
    }
    return labels;
}

platform::Result<LabelPainter> LabelPainter::Create()
{
    LabelPainter painter;
    // Our own fontconfig configuration, released again, rather than the library's global one.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return platform::Fail("fontconfig could not be initialised");
    for (const char* name : {"IPAGothic", "IPAPGothic", "sans-serif:lang=ja"}) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcChar8* file = nullptr;
        FcLangSet* langs = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
            FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang)
            painter.fontFile_ = reinterpret_cast<const char*>(file);
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
        if (!painter.fontFile_.empty()) break;
    }
    FcConfigDestroy(config);
    if (painter.fontFile_.empty())
        return platform::Fail("no Japanese font found (install fonts-ipafont-gothic)");

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library)) return platform::Fail("FreeType could not be initialised");
    painter.library_ = library;
    FT_Face face = nullptr;
    if (FT_New_Face(library, painter.fontFile_.c_str(), 0, &face))
        return platform::Fail("cannot open the font " + painter.fontFile_);
    painter.face_ = face;
    FT_Set_Pixel_Sizes(face, 0, 40);
    return painter;
}

LabelPainter::LabelPainter(LabelPainter&& other) noexcept
    : library_(std::exchange(other.library_, nullptr)), face_(std::exchange(other.face_, nullptr)),
      fontFile_(std::move(other.fontFile_))
{
}

LabelPainter::~LabelPainter()
{
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

platform::Result<Picture> LabelPainter::Paint(const KeyLabel& label) const
{
    constexpr int n = kKeyLabelSize;
    Picture picture(n, n);
    const RoleColour rim = RimColour(label.role);
    // Rim, then a rounded light face inside it.
    const double inner = n / 2.0 - 6, radius = 9;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double dx = std::max(std::abs(x + 0.5 - n / 2.0) - (inner - radius), 0.0);
            const double dy = std::max(std::abs(y + 0.5 - n / 2.0) - (inner - radius), 0.0);
            const double outside = std::clamp(std::sqrt(dx * dx + dy * dy) - radius + 0.5, 0.0, 1.0);
            const double shade = 1.0 - 0.12 * (y / static_cast<double>(n)); // a little light from above
            const auto mix = [&](double face, std::uint8_t edge) {
                return static_cast<std::uint8_t>(std::lround(face * shade * (1 - outside) + edge * outside));
            };
            picture.Set(x, y, mix(250, rim.r), mix(248, rim.g), mix(240, rim.b));
        }
    }
    const auto face = static_cast<FT_Face>(face_);
    const char32_t code = FirstCodePoint(label.text);
    if (FT_Load_Char(face, code, FT_LOAD_RENDER)) return platform::Fail("cannot draw " + label.text);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (FT_Get_Char_Index(face, code) == 0) return platform::Fail("the font has no " + label.text);
    const int left = (n - static_cast<int>(bitmap.width)) / 2;
    const int top = (n - static_cast<int>(bitmap.rows)) / 2;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        for (unsigned col = 0; col < bitmap.width; ++col) {
            const int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= n || y >= n) continue;
            const double a = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col] / 255.0;
            std::uint8_t* p = picture.At(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>(std::lround(p[c] * (1 - a) + 20 * a));
        }
    }
    return picture;
}

} // namespace demo
