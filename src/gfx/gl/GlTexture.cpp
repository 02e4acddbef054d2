#include "gfx/gl/GlTexture.h"

#include "gfx/gl/GlHeaders.h"

namespace gfx::gl {

namespace {

GLint MinFilter(Filter min, Filter mip)
{
    const bool linear = min == Filter::Linear;
    switch (mip) {
    case Filter::None:
        return linear ? GL_LINEAR : GL_NEAREST;
    case Filter::Point:
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case Filter::Linear:
        return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
    return GL_NEAREST;
}

} // namespace

GlTexture::GlTexture(std::shared_ptr<GlContext> context, std::uint64_t deviceId, std::string path, int w,
                     int h)
    : Texture(deviceId, std::move(path), w, h), context_(std::move(context))
{
}

std::shared_ptr<GlTexture> GlTexture::Create(std::shared_ptr<GlContext> context, std::uint64_t deviceId,
                                             std::string path, const Image& image)
{
    if (image.empty()) return nullptr;
    std::shared_ptr<GlTexture> texture(
        new GlTexture(std::move(context), deviceId, std::move(path), image.width, image.height));
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glGenTextures(1, &texture->name_);
    glBindTexture(GL_TEXTURE_2D, texture->name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // The original keeps a full mip chain; whether it is sampled is the sampler's business.
    // (The texture parameter works on every compatibility context, unlike glGenerateMipmap.)
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    if (glGetError() != GL_NO_ERROR) return nullptr;
    return texture;
}

GlTexture::~GlTexture()
{
    if (name_ && context_->MakeCurrent()) glDeleteTextures(1, &name_);
}

void GlTexture::ApplyFilters(Filter min, Filter mag, Filter mip) const
{
    const GLint glMin = MinFilter(min, mip);
    const GLint glMag = mag == Filter::Linear ? GL_LINEAR : GL_NEAREST;
    if (glMin != appliedMin_) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, glMin);
        appliedMin_ = glMin;
    }
    if (glMag != appliedMag_) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, glMag);
        appliedMag_ = glMag;
    }
}

} // namespace gfx::gl
