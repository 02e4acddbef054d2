#include "front/RenderCanvas.h"

#include <wx/dcclient.h>

namespace front {

wxGLAttributes RenderCanvas::Attributes()
{
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(24).EndList();
    if (wxGLCanvas::IsDisplaySupported(attributes)) return attributes;
    wxGLAttributes fallback;
    fallback.PlatformDefaults().Defaults().EndList();
    return fallback;
}

RenderCanvas::RenderCanvas(wxWindow* parent, wxWindowID id)
    : wxGLCanvas(parent, Attributes(), id, wxDefaultPosition, wxDefaultSize,
                 wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS)
{
    // GL draws every pixel; a background erase would only flicker.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &RenderCanvas::OnPaint, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &RenderCanvas::OnCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        if (!key_ || !key_(event)) event.Skip();
    });
    for (const auto& type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP,
          wxEVT_RIGHT_DCLICK, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP, wxEVT_MIDDLE_DCLICK, wxEVT_MOTION,
          wxEVT_MOUSEWHEEL, wxEVT_ENTER_WINDOW, wxEVT_LEAVE_WINDOW})
        Bind(type, &RenderCanvas::OnMouse, this);
}

void RenderCanvas::OnPaint(wxPaintEvent&)
{
    // The paint DC validates the damaged region even though GL does the drawing.
    wxPaintDC dc(this);
    if (paint_) paint_();
}

void RenderCanvas::OnMouse(wxMouseEvent& event)
{
    if (event.ButtonDown() || event.ButtonDClick()) {
        if (!HasCapture()) CaptureMouse();
        // Clicking the view gives it the keyboard, as clicking any control would.
        SetFocus();
    }
    if (mouse_) mouse_(event);
    if (event.ButtonUp() && HasCapture()) {
        // The button being released may still read as down in its own event.
        const int released = event.GetButton();
        const bool otherDown = (released != wxMOUSE_BTN_LEFT && event.LeftIsDown()) ||
                               (released != wxMOUSE_BTN_RIGHT && event.RightIsDown()) ||
                               (released != wxMOUSE_BTN_MIDDLE && event.MiddleIsDown());
        if (!otherDown) ReleaseMouse();
    }
    event.Skip();
}

void RenderCanvas::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    if (captureLost_) captureLost_();
}

} // namespace front
