#include "gfx/gl/GlFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "gfx/gl/GlHeaders.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace gfx::gl {

namespace {

constexpr int kPageSize = 512;
constexpr char32_t kReplacement = 0xFFFD;

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// One match for a fontconfig pattern; wanted names the family that must come back (empty: any
// font with kana).
std::optional<FontFile> Match(const char* pattern, const std::string& wanted)
{
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!pat) return std::nullopt;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (!match) return std::nullopt;
    std::optional<FontFile> out;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0;
    FcCharSet* charset = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        std::string familyName;
        // A font lists several family names (Latin and Japanese); any may be the one asked for.
        bool familyOk = wanted.empty();
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
            const std::string name = reinterpret_cast<const char*>(family);
            if (i == 0) familyName = name;
            if (!wanted.empty() && Lower(name) == Lower(wanted)) familyOk = true;
        }
        const bool hasKana = FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch &&
                             FcCharSetHasChar(charset, 0x3042);
        if (familyOk && (hasKana || pattern == std::string("sans-serif")))
            out = FontFile{reinterpret_cast<const char*>(file), index, familyName};
    }
    FcPatternDestroy(match);
    return out;
}

char32_t NextCodePoint(std::string_view s, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    // A stray continuation byte, an invalid lead byte or a sequence cut off by the end.
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return kReplacement;
    }
    char32_t cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned char d = byte(i + static_cast<std::size_t>(k));
        if ((d & 0xC0) != 0x80) {
            i += static_cast<std::size_t>(k);
            return kReplacement;
        }
        cp = (cp << 6) | (d & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp < 0xE000))
        return kReplacement;
    return cp;
}

} // namespace

std::optional<FontFile> FindJapaneseFont()
{
    if (!FcInit()) return std::nullopt;
    static const char* const kFamilies[] = {"IPAGothic", "Noto Sans CJK JP"};
    for (const char* family : kFamilies)
        if (auto f = Match(family, family)) return f;
    if (auto f = Match(":lang=ja", "")) return f;
    return Match("sans-serif", "");
}

std::unique_ptr<GlFont> GlFont::Create(const FontFile& file, int cellHeight, std::string& error)
{
    std::unique_ptr<GlFont> font(new GlFont());
    font->file_ = file;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "FreeType could not be started";
        return nullptr;
    }
    font->library_ = library;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) {
        error = "the font file " + file.path + " cannot be read";
        return nullptr;
    }
    font->face_ = face;
    // A positive height in the original font description is the cell height (ascent + descent).
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = cellHeight * 64;
    if (FT_Request_Size(face, &request) != 0 &&
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(cellHeight)) != 0) {
        error = "the font " + file.path + " cannot be scaled to " + std::to_string(cellHeight) + " pixels";
        return nullptr;
    }
    font->lineHeight_ = cellHeight;
    font->ascent_ = static_cast<int>(std::lround(face->size->metrics.ascender / 64.0));
    return font;
}

GlFont::~GlFont()
{
    if (!pages_.empty()) glDeleteTextures(static_cast<GLsizei>(pages_.size()), pages_.data());
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool GlFont::Place(int width, int height, int& page, int& x, int& y)
{
    if (width > kPageSize || height > kPageSize) return false;
    if (pages_.empty() || shelfX_ + width > kPageSize) {
        if (!pages_.empty()) {
            shelfY_ += shelfHeight_ + 1;
            shelfX_ = 0;
            shelfHeight_ = 0;
        }
    }
    if (pages_.empty() || shelfY_ + height > kPageSize) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        std::vector<unsigned char> zeros(static_cast<std::size_t>(kPageSize) * kPageSize, 0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, kPageSize, kPageSize, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                     zeros.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        pages_.push_back(name);
        shelfX_ = shelfY_ = shelfHeight_ = 0;
    }
    page = static_cast<int>(pages_.size()) - 1;
    x = shelfX_;
    y = shelfY_;
    shelfX_ += width + 1;
    shelfHeight_ = std::max(shelfHeight_, height);
    return true;
}

const GlFont::Glyph& GlFont::GetGlyph(char32_t cp)
{
    auto it = glyphs_.find(cp);
    if (it != glyphs_.end()) return it->second;
    Glyph glyph;
    FT_Face face = static_cast<FT_Face>(face_);
    if (FT_Load_Char(face, cp, FT_LOAD_RENDER) == 0) {
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        glyph.advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        const int w = static_cast<int>(bm.width), h = static_cast<int>(bm.rows);
        if (w > 0 && h > 0 && (bm.pixel_mode == FT_PIXEL_MODE_GRAY || bm.pixel_mode == FT_PIXEL_MODE_MONO) &&
            Place(w, h, glyph.page, glyph.x, glyph.y)) {
            std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
            for (int row = 0; row < h; ++row) {
                const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
                for (int col = 0; col < w; ++col) {
                    unsigned char v = bm.pixel_mode == FT_PIXEL_MODE_GRAY
                                          ? src[col]
                                          : ((src[col / 8] >> (7 - col % 8)) & 1 ? 255 : 0);
                    pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(w) +
                           static_cast<std::size_t>(col)] = v;
                }
            }
            glBindTexture(GL_TEXTURE_2D, pages_[static_cast<std::size_t>(glyph.page)]);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexSubImage2D(GL_TEXTURE_2D, 0, glyph.x, glyph.y, w, h, GL_ALPHA, GL_UNSIGNED_BYTE,
                            pixels.data());
            glyph.width = w;
            glyph.height = h;
        }
    }
    return glyphs_.emplace(cp, glyph).first->second;
}

int GlFont::Draw(std::string_view text, const Rect& rect, Color color, int targetWidth, int targetHeight)
{
    if (text.empty() || targetWidth <= 0 || targetHeight <= 0) return 0;

    // Our own states for the glyph quads; everything is put back afterwards, as the original's
    // text sprite saved and restored the device state around itself.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);

    // Glyphs are rasterised (and may bind atlas pages) before any drawing starts.
    std::vector<Quad> quads;
    int lineTop = rect.top;
    int lines = 0;
    std::size_t i = 0;
    while (i <= text.size()) {
        ++lines;
        const int baseline = lineTop + ascent_;
        int penX = rect.left;
        while (i < text.size() && text[i] != '\n') {
            const char32_t cp = NextCodePoint(text, i);
            if (cp == U'\r') continue;
            if (penX >= rect.right) continue; // past the right edge: skipped, as the original does
            const Glyph& g = GetGlyph(cp);
            if (g.page >= 0) {
                const int x0 = penX + g.left, y0 = baseline - g.top;
                constexpr float s = 1.0f / kPageSize;
                quads.push_back({g.page, x0, y0, x0 + g.width, y0 + g.height, g.x * s, g.y * s,
                                 (g.x + g.width) * s, (g.y + g.height) * s});
            }
            penX += g.advance;
        }
        lineTop += lineHeight_;
        ++i; // past the '\n' (or the end)
        // The line that crosses the bottom edge is the last one drawn.
        if (lineTop > rect.bottom) break;
    }

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, targetWidth, targetHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, targetWidth, targetHeight);
    glDepthRange(0, 1);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_POINT_SPRITE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Clipped at the right and bottom edges only.
    const int clipRight = std::max(0, rect.right), clipBottom = std::max(0, rect.bottom);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, targetHeight - clipBottom, clipRight, clipBottom);
    glColor4f(color.r, color.g, color.b, color.a);

    int bound = -1;
    for (const Quad& q : quads) {
        if (q.page != bound) {
            if (bound >= 0) glEnd();
            glBindTexture(GL_TEXTURE_2D, pages_[static_cast<std::size_t>(q.page)]);
            bound = q.page;
            glBegin(GL_QUADS);
        }
        glTexCoord2f(q.u0, q.v0);
        glVertex2i(q.x0, q.y0);
        glTexCoord2f(q.u1, q.v0);
        glVertex2i(q.x1, q.y0);
        glTexCoord2f(q.u1, q.v1);
        glVertex2i(q.x1, q.y1);
        glTexCoord2f(q.u0, q.v1);
        glVertex2i(q.x0, q.y1);
    }
    if (bound >= 0) glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
    return lines * lineHeight_;
}

} // namespace gfx::gl
