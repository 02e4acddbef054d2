#include "demo/Geometry.h"

#include <algorithm>

namespace demo {

Pose Compose(const Pose& frame, const Pose& p)
{
    const V3 at = frame.At(p.x, p.z);
    return {at.x, at.z, frame.heading + p.heading};
}

Pose Relative(const Pose& frame, const Pose& q)
{
    const double dx = q.x - frame.x;
    const double dz = q.z - frame.z;
    return {dx * frame.RightX() + dz * frame.RightZ(), dx * frame.ForwardX() + dz * frame.ForwardZ(),
            q.heading - frame.heading};
}

V3 TurnAndMove(V3 local, double angle, double x, double z)
{
    const Pose frame{x, z, angle};
    return frame.At(local.x, local.z, local.y);
}

Pose Advance(const Pose& p, const Segment& segment, double s)
{
    if (segment.turn == 0) {
        const V3 at = p.At(0, s);
        return {at.x, at.z, p.heading};
    }
    // The centre of the turn lies radius to the side the line turns to.
    const double side = segment.turn * segment.radius;
    const double cx = p.x + side * p.RightX();
    const double cz = p.z + side * p.RightZ();
    Pose out;
    out.heading = p.heading + segment.turn * s / segment.radius;
    out.x = cx - side * out.RightX();
    out.z = cz - side * out.RightZ();
    return out;
}

double CentreLine::Length() const
{
    double length = 0;
    for (const Segment& segment : segments)
        length += segment.length;
    return length;
}

Pose CentreLine::At(double s) const
{
    Pose p;
    double left = std::max(0.0, s);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Segment& segment = segments[i];
        // The last segment also takes any rest, so a hair beyond the end stays on its curve.
        if (left <= segment.length || i + 1 == segments.size()) return Advance(p, segment, left);
        p = Advance(p, segment, segment.length);
        left -= segment.length;
    }
    return p;
}

} // namespace demo
