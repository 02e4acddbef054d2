#include "gfx/gl/OffscreenSurface.h"

#include "gfx/gl/GlHeaders.h"

namespace gfx::gl {

namespace {
// Far beyond any window, small enough that a bad size can never ask for gigabytes.
constexpr int kMaxSide = 16384;
// How long Present waits for the frame before: far longer than any frame takes.
constexpr GLuint64 kFrameWaitNs = 5'000'000'000;
} // namespace

std::unique_ptr<OffscreenSurface> OffscreenSurface::Create(std::shared_ptr<GlContext> context, int width,
                                                           int height, std::string& error)
{
    if (!context || !context->MakeCurrent()) {
        error = "the OpenGL context cannot be made current";
        return nullptr;
    }
    std::unique_ptr<OffscreenSurface> surface(new OffscreenSurface(std::move(context)));
    if (!surface->Allocate(width, height)) {
        error = "an off-screen framebuffer of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels cannot be made";
        return nullptr;
    }
    return surface;
}

OffscreenSurface::~OffscreenSurface()
{
    if (!context_->MakeCurrent()) return;
    if (inFlight_) glDeleteSync(static_cast<GLsync>(inFlight_));
    if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
    if (color_) glDeleteRenderbuffers(1, &color_);
    if (depth_) glDeleteRenderbuffers(1, &depth_);
}

bool OffscreenSurface::Allocate(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    if (!framebuffer_) glGenFramebuffers(1, &framebuffer_);
    if (!color_) glGenRenderbuffers(1, &color_);
    if (!depth_) glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, color_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (!complete || glGetError() != GL_NO_ERROR) return false;
    width_ = width;
    height_ = height;
    return true;
}

bool OffscreenSurface::Resize(int width, int height)
{
    if (!context_->MakeCurrent()) return false;
    if (width == width_ && height == height_) return true;
    const int oldWidth = width_, oldHeight = height_;
    if (Allocate(width, height)) return true;
    Allocate(oldWidth, oldHeight); // keep a usable target at the old size
    return false;
}

bool OffscreenSurface::Present()
{
    if (!context_->MakeCurrent()) return false;
    // A window's swap chain holds back a program that draws faster than the driver finishes
    // frames; a framebuffer object has none, and a threaded software driver would queue every
    // frame drawn, with its memory. As with double buffering, one frame stays in flight: this
    // one is sent, then the one before is waited for.
    const GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    if (inFlight_) {
        const auto previous = static_cast<GLsync>(inFlight_);
        glClientWaitSync(previous, 0, kFrameWaitNs);
        glDeleteSync(previous);
    }
    inFlight_ = fence;
    if (!fence) glFinish(); // a context without fences: wait for this frame instead
    return true;
}

bool OffscreenSurface::SetSwapInterval(int interval)
{
    interval_ = interval;
    return true;
}

} // namespace gfx::gl
