// Markers of the layout check's findings in the 3D view, drawn as the line overlay is (one
// unlit line list, world identity): a post with a cross at its foot at each finding, red at
// open ends, yellow at near misses, orange at overlaps, purple at low clearance, white at
// turnouts without key, and for a steep grade blue along the piece's route.
#pragma once

#include "gfx/Device.h"
#include "layout/LayoutCheck.h"

#include <cstdint>
#include <span>
#include <vector>

namespace layout {

class CLayout;

std::uint32_t MarkerColour(FindingKind kind);

std::vector<gfx::ColoredVertex> CheckMarkerVertices(const CLayout& layout,
                                                    std::span<const LayoutFinding> findings);
// The caller switches lighting off around it, as for the line overlay.
void DrawMarkerLines(gfx::Device* device, std::span<const gfx::ColoredVertex> lines);
void DrawCheckMarkers(gfx::Device* device, const CLayout& layout, std::span<const LayoutFinding> findings);

} // namespace layout
