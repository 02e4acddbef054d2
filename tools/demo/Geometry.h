// Plane and space geometry of the content generator, in double precision: points, poses on the
// ground plane and track centre lines made of straights and circular arcs.
//
// Conventions are the program's: x to the right, y up, z forward (left-handed). A heading is in
// radians about y; heading 0 faces +z and the forward direction is (sin h, 0, cos h), so the
// right of a heading is (cos h, 0, -sin h). A placed object's angle turns its local +z onto the
// heading of the same number of degrees.
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

namespace demo {

inline constexpr double kPi = std::numbers::pi;
inline double Radians(double degrees)
{
    return degrees * kPi / 180.0;
}
inline double Degrees(double radians)
{
    return radians * 180.0 / kPi;
}

struct V3 {
    double x = 0, y = 0, z = 0;

    friend V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
    friend V3 operator*(double s, V3 a) { return a * s; }
    friend bool operator==(V3, V3) = default;
};

inline double Dot(V3 a, V3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 Cross(V3 a, V3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(V3 v)
{
    return std::sqrt(Dot(v, v));
}
inline V3 Normalized(V3 v)
{
    const double length = Length(v);
    return length > 0 ? v * (1.0 / length) : V3{};
}

// A point and heading on the ground plane.
struct Pose {
    double x = 0, z = 0;
    double heading = 0;

    V3 Point(double y = 0) const { return {x, y, z}; }
    double ForwardX() const { return std::sin(heading); }
    double ForwardZ() const { return std::cos(heading); }
    double RightX() const { return std::cos(heading); }
    double RightZ() const { return -std::sin(heading); }
    // The point u to the right and f ahead of this pose, at height y.
    V3 At(double u, double f, double y = 0) const
    {
        return {x + u * RightX() + f * ForwardX(), y, z + u * RightZ() + f * ForwardZ()};
    }
};

// p given in the frame of frame (its x right, its z forward), as a pose of the outer frame.
Pose Compose(const Pose& frame, const Pose& p);
// The pose q seen from frame: Compose(frame, Relative(frame, q)) == q.
Pose Relative(const Pose& frame, const Pose& q);
// The point of an object turned by angle radians (as the program turns a placed object) and
// moved to (x, z): the turn takes local (u, f) to u·right + f·forward of that heading.
V3 TurnAndMove(V3 local, double angle, double x, double z);

// One part of a centre line: a straight, or an arc that turns right (turn > 0, the heading
// grows) or left (turn < 0).
struct Segment {
    double length = 0;
    double radius = 0; // 0 for a straight
    int turn = 0;      // +1 right, -1 left, 0 straight

    static Segment Straight(double length) { return {length, 0, 0}; }
    static Segment Arc(double radius, double degrees)
    {
        return {radius * Radians(std::abs(degrees)), radius, degrees > 0 ? 1 : -1};
    }
    double Angle() const { return turn == 0 ? 0 : turn * length / radius; }
};

// A centre line from the origin heading +z, and the height of the running surface along it.
struct CentreLine {
    std::vector<Segment> segments;
    double startHeight = 0; // running surface at the start, above the object's base
    double grade = 0;       // rise per unit length along the line

    double Length() const;
    Pose At(double s) const;
    double HeightAt(double s) const { return startHeight + grade * s; }
    Pose End() const { return At(Length()); }
};

// Where the pose p ends after following segment for distance s.
Pose Advance(const Pose& p, const Segment& segment, double s);

} // namespace demo
