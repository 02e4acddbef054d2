// The key-label bitmaps drawn over trains and turnouts: res/SP<style>/B<k>.bmp, F<k>.bmp,
// S<k>.bmp for the decelerate, accelerate and stop key of key column k, P<k>.bmp for turnout
// keys 0 to 9 and PA.bmp, PB.bmp for keys 10 and 11, in three styles: 0 the letters on the
// keys, 1 their hiragana, 2 their katakana (a Japanese keyboard's kana).
#pragma once

#include "demo/Images.h"
#include "platform/Result.h"

#include <string>
#include <vector>

namespace demo {

struct KeyLabel {
    std::string file; // e.g. "B0.bmp"
    std::string text; // UTF-8, one character
    enum class Role { Decelerate, Accelerate, Stop, Turnout } role;
};

// The 42 labels of one style (0, 1 or 2).
std::vector<KeyLabel> KeyLabels(int style);
// What the key with that virtual-key code shows in a style; "" for a key no train uses.
std::string KeyFaceText(int vk, int style);

inline constexpr int kKeyLabelStyles = 3;
inline constexpr int kKeyLabelSize = 64;

// Draws labels with a Japanese font found through fontconfig (IPA Gothic, or another font
// that covers Japanese).
class LabelPainter {
  public:
    // Fails when FreeType or a Japanese font cannot be found.
    static platform::Result<LabelPainter> Create();
    ~LabelPainter();
    LabelPainter(LabelPainter&& other) noexcept;
    LabelPainter& operator=(LabelPainter&&) = delete;
    LabelPainter(const LabelPainter&) = delete;

    const std::string& FontFile() const { return fontFile_; }
    // A key cap: a coloured rim by role, a light face and the character in the middle.
    platform::Result<Picture> Paint(const KeyLabel& label) const;

  private:
    LabelPainter() = default;
    void* library_ = nullptr; // FT_Library
    void* face_ = nullptr;    // FT_Face
    std::string fontFile_;
};

} // namespace demo
