// The on-screen text font: a Japanese-capable outline font found with fontconfig, rendered with
// FreeType into glyph atlas textures on first use and drawn as textured quads.
#pragma once

#include "gfx/Device.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gfx::gl {

struct FontFile {
    std::string path;
    int index = 0;
    std::string family;
};

// IPA Gothic, else Noto Sans CJK JP, else any font that has kana, else whatever fontconfig offers.
std::optional<FontFile> FindJapaneseFont();

class GlFont {
  public:
    // cellHeight is the height of a text line in pixels (ascent plus descent), as the original
    // font description's positive height means. Needs the device's context current.
    static std::unique_ptr<GlFont> Create(const FontFile& file, int cellHeight, std::string& error);
    ~GlFont(); // needs the device's context current
    GlFont(const GlFont&) = delete;
    GlFont& operator=(const GlFont&) = delete;

    const FontFile& File() const { return file_; }
    int LineHeight() const { return lineHeight_; }
    // See Device::DrawText. targetWidth/Height: the current render target in pixels.
    int Draw(std::string_view text, const Rect& rect, Color color, int targetWidth, int targetHeight);
    // For when the context is already gone: the atlas pages went with it.
    void ForgetTextures() { pages_.clear(); }

  private:
    struct Glyph {
        int page = -1;                           // atlas page, -1 for a glyph with no pixels
        int x = 0, y = 0, width = 0, height = 0; // in the page
        int left = 0, top = 0;                   // bitmap offset from pen position and baseline
        int advance = 0;
    };
    struct Quad {
        int page;
        int x0, y0, x1, y1;
        float u0, v0, u1, v1;
    };

    GlFont() = default;
    const Glyph& GetGlyph(char32_t cp);
    bool Place(int width, int height, int& page, int& x, int& y);

    FontFile file_;
    void* library_ = nullptr; // FT_Library
    void* face_ = nullptr;    // FT_Face
    int lineHeight_ = 16;
    int ascent_ = 13;
    std::unordered_map<char32_t, Glyph> glyphs_;
    std::vector<unsigned> pages_;
    int shelfX_ = 0, shelfY_ = 0, shelfHeight_ = 0;
};

} // namespace gfx::gl
