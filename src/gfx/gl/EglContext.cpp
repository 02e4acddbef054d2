#include "gfx/gl/EglContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <cstring>
#include <vector>

namespace gfx::gl {

namespace {

bool HasExtension(const char* list, const char* name)
{
    if (!list) return false;
    const std::size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n)
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

// Candidate displays, most suitable first.
std::vector<EGLDisplay> CandidateDisplays()
{
    std::vector<EGLDisplay> out;
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (HasExtension(client, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay d = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d != EGL_NO_DISPLAY) out.push_back(d);
    }
    if (HasExtension(client, "EGL_EXT_platform_device")) {
        auto queryDevices =
            reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
        if (queryDevices) {
            EGLDeviceEXT devices[8];
            EGLint count = 0;
            if (queryDevices(8, devices, &count))
                for (EGLint i = 0; i < count; ++i) {
                    EGLDisplay d = eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
                    if (d != EGL_NO_DISPLAY) out.push_back(d);
                }
        }
    }
    EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (d != EGL_NO_DISPLAY) out.push_back(d);
    return out;
}

} // namespace

std::shared_ptr<EglContext> EglContext::Create(std::string& error)
{
    error = "no EGL display is available";
    for (EGLDisplay display : CandidateDisplays()) {
        EGLint major = 0, minor = 0;
        if (!eglInitialize(display, &major, &minor)) continue;
        if (!eglBindAPI(EGL_OPENGL_API)) {
            error = "EGL offers no desktop OpenGL";
            continue;
        }
        const bool surfaceless =
            HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context");
        const EGLint pbufferAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE,
                                         EGL_PBUFFER_BIT, EGL_NONE};
        const EGLint anyAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        bool pbufferConfig = eglChooseConfig(display, pbufferAttribs, &config, 1, &count) && count > 0;
        if (!pbufferConfig &&
            !(surfaceless && eglChooseConfig(display, anyAttribs, &config, 1, &count) && count > 0)) {
            error = "EGL has no OpenGL configuration";
            continue;
        }
        // The fixed-function pipeline needs a compatibility context.
        const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
        EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
        if (context == EGL_NO_CONTEXT) context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
        if (context == EGL_NO_CONTEXT) {
            error = "EGL could not create an OpenGL context";
            continue;
        }
        EGLSurface pbuffer = EGL_NO_SURFACE;
        if (!surfaceless) {
            const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
            pbuffer = pbufferConfig ? eglCreatePbufferSurface(display, config, size) : EGL_NO_SURFACE;
            if (pbuffer == EGL_NO_SURFACE) {
                eglDestroyContext(display, context);
                error = "EGL could neither draw without a surface nor make a pbuffer";
                continue;
            }
        }
        if (!eglMakeCurrent(display, pbuffer, pbuffer, context)) {
            if (pbuffer != EGL_NO_SURFACE) eglDestroySurface(display, pbuffer);
            eglDestroyContext(display, context);
            error = "EGL could not make its OpenGL context current";
            continue;
        }
        std::shared_ptr<EglContext> out(new EglContext());
        out->display_ = display;
        out->context_ = context;
        out->pbuffer_ = pbuffer;
        error.clear();
        return out;
    }
    return nullptr;
}

EglContext::~EglContext()
{
    if (eglGetCurrentContext() == context_)
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (pbuffer_) eglDestroySurface(display_, pbuffer_);
    eglDestroyContext(display_, context_);
    // The display is shared by every context of the process, so it is not terminated here.
}

bool EglContext::MakeCurrent()
{
    if (eglGetCurrentContext() == context_) return true;
    return eglMakeCurrent(display_, pbuffer_, pbuffer_, context_) == EGL_TRUE;
}

} // namespace gfx::gl
