#include "layout/TurnoutKeys.h"

#include "platform/Utf8.h"

#include <string_view>

namespace layout {

namespace {

// Position 0 is the label for no key, positions 1 to 12 those of keys 0 to 11.
constexpr std::string_view kLabelStrings[kKeyLabelStyleCount] = {
    "　１２３４５６７８９０－＾",
    "　ぬふあうえおやゆよわほへ",
    "　ヌフアウエオヤユヨワホヘ",
};

std::string CharacterAt(std::string_view text, int position)
{
    std::size_t pos = 0;
    char32_t cp = 0;
    for (int i = 0; platform::NextCodePoint(text, pos, cp); ++i) {
        if (i == position) {
            std::string out;
            platform::AppendUtf8(out, cp);
            return out;
        }
    }
    return {};
}

} // namespace

std::string KeyLabel(int style, int key)
{
    const bool valid = style >= 0 && style < kKeyLabelStyleCount && key >= 0 && key < 12;
    // Every style's position 0 is the same full-width space.
    return valid ? CharacterAt(kLabelStrings[style], key + 1) : CharacterAt(kLabelStrings[0], 0);
}

std::string KeyUsageSuffix(int count)
{
    if (count <= 0) return {};
    const std::string padded = "   " + std::to_string(count);
    return "  使用数" + padded.substr(padded.size() - 3);
}

} // namespace layout
