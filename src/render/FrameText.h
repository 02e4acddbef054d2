// The frame's fixed look: the background colour and the on-screen text lines.
#pragma once

#include "gfx/Material.h"

#include <array>
#include <cstdint>
#include <string>

namespace render {

class FrameScene;

// Blue channel (0 to 255) of the background for a "光量" slider position: p × 0.64 + 63,
// truncated (63, 94 and 126 at 0, 50 and 100).
int BackgroundBlue(int lightPosition);
// The background: red and green 0, that blue, opaque.
gfx::Color BackgroundColor(int lightPosition);

// Rows 0 to 12 of the text overlay: the frame-rate text, then the trains, the car, the
// aeroplane and the helicopter with their prefixes ("電車1:", "車:", "飛行機:", "高度:",
// "角度:", "ヘリ:", "高度:").
inline constexpr int kTextRows = 13;
std::array<std::string, kTextRows> TextLines(const std::string& frameRateText, const FrameScene& scene);

// Text rows are 16 pixels high and cut off at x = 100; the shadow is one pixel right and down.
// The frame-rate row is wider, for the pass rate shown beside the frame rate.
inline constexpr int kTextRowHeight = 16;
inline constexpr int kTextRight = 100;
// The right edge of a train's line that carries its operation state.
inline constexpr int kStateTextRight = 360;
inline constexpr int kFrameRateRight = 240;
inline constexpr std::uint32_t kTextShadowArgb = 0xFF7F7F7F;
inline constexpr std::uint32_t kTextArgb = 0xFFFFFFFF;

} // namespace render
