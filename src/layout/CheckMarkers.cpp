#include "layout/CheckMarkers.h"

#include "layout/CLayout.h"
#include "layout/TrackShapes.h"
#include "math/Matrix.h"

namespace layout {

namespace {

constexpr float kPostHeight = 4.0f;
constexpr float kCrossHalf = 1.0f;

void AddLine(std::vector<gfx::ColoredVertex>& lines, math::Vec3 from, math::Vec3 to, std::uint32_t colour)
{
    lines.push_back({from, colour});
    lines.push_back({to, colour});
}

} // namespace

std::uint32_t MarkerColour(FindingKind kind)
{
    switch (kind) {
    case FindingKind::OpenEnd:
        return 0xFFFF0000;
    case FindingKind::NearMiss:
        return 0xFFFFFF00;
    case FindingKind::Overlap:
        return 0xFFFF8000;
    case FindingKind::Grade:
        return 0xFF0080FF;
    case FindingKind::Clearance:
        return 0xFFA020F0;
    case FindingKind::TurnoutWithoutKey:
        break;
    }
    return 0xFFFFFFFF;
}

std::vector<gfx::ColoredVertex> CheckMarkerVertices(const CLayout& layout,
                                                    std::span<const LayoutFinding> findings)
{
    std::vector<gfx::ColoredVertex> lines;
    const TrackShapes shapes(layout);
    for (const LayoutFinding& finding : findings) {
        const std::uint32_t colour = MarkerColour(finding.kind);
        const math::Vec3 p = finding.position;
        AddLine(lines, p, p + math::Vec3{0, kPostHeight, 0}, colour);
        AddLine(lines, p - math::Vec3{kCrossHalf, 0, 0}, p + math::Vec3{kCrossHalf, 0, 0}, colour);
        AddLine(lines, p - math::Vec3{0, 0, kCrossHalf}, p + math::Vec3{0, 0, kCrossHalf}, colour);
        if (finding.kind != FindingKind::Grade || finding.objects.empty()) continue;
        const PlacedObject* object = layout.Placed().Find(finding.objects.front());
        if (!object) continue;
        for (const GuideLine& line : shapes.WorldLines(*object)) {
            if (line.route != 0) continue;
            for (std::size_t i = 0; i + 1 < line.points.size(); ++i)
                AddLine(lines, line.points[i], line.points[i + 1], colour);
        }
    }
    return lines;
}

void DrawMarkerLines(gfx::Device* device, std::span<const gfx::ColoredVertex> lines)
{
    if (!device || lines.empty()) return;
    // Untextured, so that a marker keeps its colour whatever the last object drawn left bound.
    device->SetTexture(nullptr);
    device->SetTransform(gfx::TransformKind::World, math::Identity());
    device->DrawLineList(lines);
}

void DrawCheckMarkers(gfx::Device* device, const CLayout& layout, std::span<const LayoutFinding> findings)
{
    if (!device || findings.empty()) return;
    DrawMarkerLines(device, CheckMarkerVertices(layout, findings));
}

} // namespace layout
