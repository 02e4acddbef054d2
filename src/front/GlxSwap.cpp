#include "front/GlxSwap.h"

#include <GL/glx.h>
#include <cstring>
#include <wx/utils.h>

namespace front::glx {

namespace {

bool HasExtension(Display* display, const char* name)
{
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (!extensions) return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
        const bool starts = at == extensions || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

template <class Function> Function Lookup(const char* name)
{
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace

bool SetSwapInterval(int interval)
{
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable) return false;

    // The lookup answers for any name, so the extension list decides what may be called.
    if (HasExtension(display, "GLX_EXT_swap_control")) {
        using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
        if (auto set = Lookup<SwapIntervalExt>("glXSwapIntervalEXT")) {
            set(display, drawable, interval);
            return true;
        }
    }
    if (HasExtension(display, "GLX_MESA_swap_control")) {
        using SwapIntervalMesa = int (*)(unsigned);
        if (auto set = Lookup<SwapIntervalMesa>("glXSwapIntervalMESA"))
            return set(static_cast<unsigned>(interval < 0 ? 0 : interval)) == 0;
    }
    // The oldest extension cannot switch waiting off.
    if (interval > 0 && HasExtension(display, "GLX_SGI_swap_control")) {
        using SwapIntervalSgi = int (*)(int);
        if (auto set = Lookup<SwapIntervalSgi>("glXSwapIntervalSGI")) return set(interval) == 0;
    }
    return false;
}

unsigned long CurrentDrawable()
{
    return static_cast<unsigned long>(glXGetCurrentDrawable());
}

bool WindowViewable(unsigned long window)
{
    Display* display = wxGetX11Display();
    if (!display || window == 0) return false;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, static_cast<Window>(window), &attributes)) return false;
    return attributes.map_state == IsViewable;
}

} // namespace front::glx
