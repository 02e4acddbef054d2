#include "front/MouseTracker.h"

namespace front {

void MouseTracker::Moved(MouseView view, int x, int y, bool active)
{
    Reader& reader = Of(view);
    if (reader.tracking && reader.acquired && active) {
        reader.pending.dx += x - reader.lastX;
        reader.pending.dy += y - reader.lastY;
    }
    reader.tracking = true;
    reader.lastX = x;
    reader.lastY = y;
}

void MouseTracker::Wheel(MouseView view, int delta, bool active)
{
    Reader& reader = Of(view);
    if (reader.acquired && active) reader.pending.wheel += delta;
}

void MouseTracker::LostTrack(MouseView view)
{
    Of(view).tracking = false;
}

app::MouseMotion MouseTracker::Read(MouseView view)
{
    Reader& reader = Of(view);
    // The first read starts the device: what happened before it is not reported.
    if (!reader.acquired) {
        reader.acquired = true;
        reader.pending = {};
    }
    const app::MouseMotion motion = reader.pending;
    reader.pending = {};
    return motion;
}

void MouseTracker::Unacquire()
{
    for (Reader& reader : readers_) {
        reader.acquired = false;
        reader.pending = {};
    }
}

} // namespace front
