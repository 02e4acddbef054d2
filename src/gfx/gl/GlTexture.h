// A texture object in the device's context, freed in that context when the last handle goes.
#pragma once

#include "gfx/DeviceState.h"
#include "gfx/Image.h"
#include "gfx/Texture.h"
#include "gfx/gl/GlContext.h"

#include <memory>

namespace gfx::gl {

class GlTexture final : public Texture {
  public:
    // Uploads the picture (with a full mip chain) into the current context; nothing on failure.
    static std::shared_ptr<GlTexture> Create(std::shared_ptr<GlContext> context, std::uint64_t deviceId,
                                             std::string path, const Image& image);
    ~GlTexture() override;

    unsigned Name() const { return name_; }
    // Sets the texture's own filters to the sampler state when they differ (the texture must be bound).
    void ApplyFilters(Filter min, Filter mag, Filter mip) const;

  private:
    GlTexture(std::shared_ptr<GlContext> context, std::uint64_t deviceId, std::string path, int w, int h);

    std::shared_ptr<GlContext> context_;
    unsigned name_ = 0;
    mutable int appliedMin_ = -1;
    mutable int appliedMag_ = -1;
};

} // namespace gfx::gl
