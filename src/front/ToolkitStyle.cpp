#include "front/ToolkitStyle.h"

#if defined(__WXGTK__)
#include <gtk/gtk.h>
#endif

namespace front {

void NarrowToolButtons()
{
#if defined(__WXGTK__)
    GdkScreen* screen = gdk_screen_get_default();
    if (!screen) return;
    // Themes pad each tool button by 6 to 8 pixels on every side: with our 30 tools that is
    // wider than the window.
    static const char kCss[] = "toolbar { padding: 1px; }\n"
                               "toolbar toolbutton > button { padding: 2px 3px; min-width: 0; min-height: 0; }\n"
                               "toolbar separator { margin: 0 3px; }\n";
    GtkCssProvider* provider = gtk_css_provider_new();
    if (gtk_css_provider_load_from_data(provider, kCss, -1, nullptr))
        gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
#endif
}

} // namespace front
