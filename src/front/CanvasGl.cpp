#include "front/CanvasGl.h"

#include "front/GlxSwap.h"

#include <cmath>

namespace front {

namespace {

bool HasWindow(const wxGLCanvas& canvas)
{
    return canvas.GetXWindow() != 0;
}

int Physical(const wxWindow& window, int logical)
{
    return static_cast<int>(std::lround(logical * window.GetContentScaleFactor()));
}

} // namespace

std::shared_ptr<CanvasGlContext> CanvasGlContext::Create(wxGLCanvas& canvas, std::string& error)
{
    // The fixed-function pipeline needs a compatibility profile; an old-style context is one too.
    wxGLContextAttrs compatibility;
    compatibility.CompatibilityProfile().OGLVersion(2, 1).EndList();
    auto context = std::make_unique<wxGLContext>(&canvas, nullptr, &compatibility);
    if (!context->IsOK()) context = std::make_unique<wxGLContext>(&canvas);
    if (!context->IsOK()) {
        error = "no OpenGL context for the render view";
        return nullptr;
    }
    auto made = std::make_shared<CanvasGlContext>(std::move(context));
    made->AddCanvas(canvas);
    return made;
}

CanvasGlContext::CanvasGlContext(std::unique_ptr<wxGLContext> context) : context_(std::move(context)) {}

CanvasGlContext::~CanvasGlContext() = default;

void CanvasGlContext::AddCanvas(wxGLCanvas& canvas)
{
    canvases_.emplace_back(&canvas);
}

bool CanvasGlContext::MakeCurrentOn(wxGLCanvas& canvas)
{
    if (!HasWindow(canvas)) return false;
    if (current_ == &canvas && glx::CurrentDrawable() == canvas.GetXWindow()) return true;
    if (!context_->SetCurrent(canvas)) return false;
    current_ = &canvas;
    return true;
}

bool CanvasGlContext::MakeCurrent()
{
    if (current_ && MakeCurrentOn(*current_)) return true;
    for (const auto& canvas : canvases_) {
        if (canvas && MakeCurrentOn(*canvas)) return true;
    }
    return false;
}

CanvasSurface::CanvasSurface(std::shared_ptr<CanvasGlContext> context, wxGLCanvas& canvas)
    : context_(std::move(context)), canvas_(&canvas)
{
    context_->AddCanvas(canvas);
}

bool CanvasSurface::MakeCurrent()
{
    return canvas_ && context_->MakeCurrentOn(*canvas_);
}

int CanvasSurface::Width() const
{
    return canvas_ ? Physical(*canvas_, canvas_->GetClientSize().x) : 0;
}

int CanvasSurface::Height() const
{
    return canvas_ ? Physical(*canvas_, canvas_->GetClientSize().y) : 0;
}

bool CanvasSurface::Present()
{
    return canvas_ && HasWindow(*canvas_) && canvas_->SwapBuffers();
}

bool CanvasSurface::SetSwapInterval(int interval)
{
    return MakeCurrent() && glx::SetSwapInterval(interval);
}

} // namespace front
