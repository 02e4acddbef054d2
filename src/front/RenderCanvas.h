// An OpenGL canvas that only holds: it paints and forwards its mouse to whoever owns it, and
// keeps the mouse captured while a button is down so that a release outside is not lost. The
// main window's render view and the object dialog's preview are both one of these.
#pragma once

#include <functional>
#include <wx/glcanvas.h>

namespace front {

class RenderCanvas final : public wxGLCanvas {
  public:
    using PaintHandler = std::function<void()>;
    using MouseHandler = std::function<void(wxMouseEvent& event)>;
    using CaptureLostHandler = std::function<void()>;
    // A key pressed while the view has the focus; true when it was used (nothing else sees it).
    using KeyHandler = std::function<bool(wxKeyEvent& event)>;

    // The attributes every canvas of the program uses, so that one context fits them all.
    static wxGLAttributes Attributes();

    RenderCanvas(wxWindow* parent, wxWindowID id = wxID_ANY);

    void SetPaintHandler(PaintHandler handler) { paint_ = std::move(handler); }
    void SetMouseHandler(MouseHandler handler) { mouse_ = std::move(handler); }
    // The capture went elsewhere while a button was down: the release will not arrive here.
    void SetCaptureLostHandler(CaptureLostHandler handler) { captureLost_ = std::move(handler); }
    void SetKeyHandler(KeyHandler handler) { key_ = std::move(handler); }

  private:
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

    PaintHandler paint_;
    MouseHandler mouse_;
    CaptureLostHandler captureLost_;
    KeyHandler key_;
};

} // namespace front
