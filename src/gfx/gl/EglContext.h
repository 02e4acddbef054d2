// An OpenGL context that needs no display: Mesa's surfaceless platform (or an EGL device, or the
// default display with a tiny pbuffer as a last resort). Off-screen pictures and tests use it.
#pragma once

#include "gfx/gl/GlContext.h"

#include <memory>
#include <string>

namespace gfx::gl {

class EglContext final : public GlContext {
  public:
    // Nothing, with the reason in error, when no context can be made on this machine.
    static std::shared_ptr<EglContext> Create(std::string& error);
    ~EglContext() override;
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

    bool MakeCurrent() override;

  private:
    EglContext() = default;

    // EGL handles, kept as plain pointers so that this header needs no EGL headers.
    void* display_ = nullptr;
    void* context_ = nullptr;
    void* pbuffer_ = nullptr;
};

} // namespace gfx::gl
