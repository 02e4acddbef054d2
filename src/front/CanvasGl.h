// The OpenGL device's context and surfaces over wx canvases: one wxGLContext, made current on
// the canvas being drawn, shared by the render view and the object preview.
#pragma once

#include "gfx/gl/GlContext.h"

#include <memory>
#include <string>
#include <vector>
#include <wx/glcanvas.h>
#include <wx/weakref.h>

namespace front {

class CanvasGlContext final : public gfx::gl::GlContext {
  public:
    // A compatibility-profile context for canvas and every canvas made with the same attributes;
    // nothing, with the reason in error, when the display offers none.
    static std::shared_ptr<CanvasGlContext> Create(wxGLCanvas& canvas, std::string& error);
    explicit CanvasGlContext(std::unique_ptr<wxGLContext> context);
    ~CanvasGlContext() override;

    // Makes the context current on canvas; false while the canvas has no window yet.
    bool MakeCurrentOn(wxGLCanvas& canvas);
    // Current on the canvas it was last used with, or the first canvas that can take it.
    bool MakeCurrent() override;
    // Canvases MakeCurrent may fall back to, in order.
    void AddCanvas(wxGLCanvas& canvas);

  private:
    std::unique_ptr<wxGLContext> context_;
    std::vector<wxWeakRef<wxGLCanvas>> canvases_;
    wxWeakRef<wxGLCanvas> current_;
};

class CanvasSurface final : public gfx::gl::GlSurface {
  public:
    CanvasSurface(std::shared_ptr<CanvasGlContext> context, wxGLCanvas& canvas);

    bool MakeCurrent() override;
    int Width() const override;
    int Height() const override;
    // The canvas already has its size when the device is reset.
    bool Resize(int, int) override { return canvas_ != nullptr; }
    bool Present() override;
    bool SetSwapInterval(int interval) override;

  private:
    std::shared_ptr<CanvasGlContext> context_;
    wxWeakRef<wxGLCanvas> canvas_;
};

} // namespace front
