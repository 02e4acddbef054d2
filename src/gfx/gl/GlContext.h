// What the OpenGL device needs from the windowing side: one GL context, and the surfaces it draws
// into (a window's drawable, or a framebuffer object off screen).
//
// All surfaces of one device share its single context, so that state, textures and mesh buffers
// serve every window. A window system plugs in by implementing both classes (for wx: one
// wxGLContext made current on each canvas).
#pragma once

namespace gfx::gl {

class GlContext {
  public:
    virtual ~GlContext() = default;
    // Makes the context current (on any drawable of its choosing); used to delete resources,
    // which may happen in the middle of a frame: when the context is already current on one of
    // the device's drawables, leave it so. False when that is impossible, e.g. after the windows
    // are gone (the resource is then left to the context's end).
    virtual bool MakeCurrent() = 0;
};

class GlSurface {
  public:
    virtual ~GlSurface() = default;
    // Makes the device's context current with this surface's drawable. Should be cheap when it
    // already is.
    virtual bool MakeCurrent() = 0;
    // The framebuffer object to draw into; 0 for the drawable's own back buffer.
    virtual unsigned Framebuffer() const { return 0; }
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Called by a resize reset. A window already has its new size and may ignore the numbers.
    virtual bool Resize(int width, int height) = 0;
    // Shows the frame drawn since the last one (swaps a window's buffers).
    virtual bool Present() = 0;
    // 1 waits for the display, 0 does not.
    virtual bool SetSwapInterval(int interval) = 0;
};

} // namespace gfx::gl
