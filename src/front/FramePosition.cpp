#include "front/FramePosition.h"

#include <wx/toplevel.h>

#if defined(__WXGTK__)
#include <gtk/gtk.h>
#endif

namespace front {

wxPoint FramePosition(const wxTopLevelWindow& window)
{
#if defined(__WXGTK__)
    if (GdkWindow* native = gtk_widget_get_window(window.GetHandle())) {
        int x = 0;
        int y = 0;
        gdk_window_get_root_origin(native, &x, &y);
        return {x, y};
    }
#endif
    return window.GetPosition();
}

wxRect FrameRect(const wxTopLevelWindow& window)
{
#if defined(__WXGTK__)
    if (GdkWindow* native = gtk_widget_get_window(window.GetHandle())) {
        GdkRectangle frame{};
        gdk_window_get_frame_extents(native, &frame);
        return {frame.x, frame.y, frame.width, frame.height};
    }
#endif
    return window.GetRect();
}

bool FrameMapped(const wxTopLevelWindow& window)
{
#if defined(__WXGTK__)
    GdkWindow* native = gtk_widget_get_window(window.GetHandle());
    return native && gdk_window_is_viewable(native);
#else
    return window.IsShownOnScreen();
#endif
}

void MoveFrame(wxTopLevelWindow& window, wxPoint at)
{
#if defined(__WXGTK__)
    // The toolkit skips a move to where it believes the window is already.
    gtk_window_move(GTK_WINDOW(window.GetHandle()), at.x, at.y);
#else
    window.Move(at);
#endif
}

} // namespace front
