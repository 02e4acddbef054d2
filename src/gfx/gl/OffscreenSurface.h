// A surface that is a framebuffer object in the device's context: colour and depth buffers of a
// given size, never shown. Used for headless frames, screenshots, tests and an off-screen preview.
#pragma once

#include "gfx/gl/GlContext.h"

#include <memory>
#include <string>

namespace gfx::gl {

class OffscreenSurface final : public GlSurface {
  public:
    // Nothing, with the reason in error, when the framebuffer cannot be made.
    static std::unique_ptr<OffscreenSurface> Create(std::shared_ptr<GlContext> context, int width, int height,
                                                    std::string& error);
    ~OffscreenSurface() override;
    OffscreenSurface(const OffscreenSurface&) = delete;
    OffscreenSurface& operator=(const OffscreenSurface&) = delete;

    bool MakeCurrent() override { return context_->MakeCurrent(); }
    unsigned Framebuffer() const override { return framebuffer_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Resize(int width, int height) override;
    bool Present() override;
    bool SetSwapInterval(int interval) override;
    // Kept only so that callers can see what a window would have been asked for.
    int RequestedSwapInterval() const { return interval_; }

  private:
    explicit OffscreenSurface(std::shared_ptr<GlContext> context) : context_(std::move(context)) {}
    bool Allocate(int width, int height);

    std::shared_ptr<GlContext> context_;
    unsigned framebuffer_ = 0;
    unsigned color_ = 0;
    unsigned depth_ = 0;
    int width_ = 0;
    int height_ = 0;
    int interval_ = 1;
    void* inFlight_ = nullptr; // the fence (GLsync) of the frame presented last
};

} // namespace gfx::gl
