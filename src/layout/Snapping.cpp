#include "layout/Snapping.h"

#include "math/Matrix.h"
#include "math/Numeric.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace layout {

float GridSnap(float value)
{
    return std::floor(value + 0.1f);
}

float GridTurn(float degrees)
{
    return std::floor(degrees * 0.2f) * 5.0f;
}

std::vector<math::Vec3> MagnetPoints(const ObjectType& type, float x, float z, float angle)
{
    std::vector<math::Vec3> points;
    if (!type.HasSnapPoints()) return points;
    const math::Matrix turn = math::RotationY(angle * math::kDegToRad);
    for (int k = 0; k < kMagnetSnapPoints; ++k) {
        const SnapPoint& snap = type.snaps[k];
        const math::Vec3 turned = math::TransformCoord({snap.x, 0.0f, snap.z}, turn);
        points.push_back({turned.x + x, 0.0f, turned.z + z});
        // The tenth point is never looked at, even when it is defined.
        if (k + 1 >= kMagnetSnapPoints || !type.snaps[k + 1].Used()) break;
    }
    return points;
}

SnapOffset FindSnap(std::span<const math::Vec3> primaryPoints,
                    std::span<const std::vector<math::Vec3>> otherPoints)
{
    struct Best {
        float dx = 0, distance = kUnusedSnapDistance, dz = 0;
    };
    std::array<Best, kMagnetSnapPoints> best{};
    const std::size_t count = std::min<std::size_t>(primaryPoints.size(), best.size());

    for (const auto& other : otherPoints) {
        for (const math::Vec3& target : other) {
            for (std::size_t k = 0; k < count; ++k) {
                const float dx = target.x - primaryPoints[k].x;
                const float dz = target.z - primaryPoints[k].z;
                const float distance = std::sqrt(dx * dx + dz * dz);
                if (distance < best[k].distance) best[k] = {dx, distance, dz};
            }
        }
    }

    // The nearest pair; the walk stops after a point whose successor found nothing.
    std::size_t chosen = 0;
    for (std::size_t k = 0; k < best.size(); ++k) {
        if (best[k].distance < best[chosen].distance) chosen = k;
        if (k + 1 >= best.size() || best[k + 1].distance == kUnusedSnapDistance) break;
    }
    if (best[chosen].distance < kMagnetReach)
        return {best[chosen].dx, best[chosen].distance, best[chosen].dz, true};
    return {};
}

} // namespace layout
