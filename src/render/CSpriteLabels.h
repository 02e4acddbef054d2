// Key captions drawn as point sprites in the scene, through walls: three on every train in use
// (its decelerate, accelerate and stop keys) and one on every placed object with a turnout key.
// The bitmaps come in three styles (0 "Alphabet", 1 "ひらがな", 2 "カタカナ") from the folders
// res/SP0 to res/SP2 below the executable's folder.
#pragma once

#include "gfx/Device.h"
#include "layout/PlacedObject.h"
#include "math/Vector.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace render {

// What the labels of one train slot need this frame.
struct TrainLabels {
    bool shown = false; // the slot's train box shows a train, not "電車なし"
    int driveType = 0;  // the selection of the slot's drive-type box
    // The lead car's roof line: rear end, front end, middle (the train's LeadPoint kinds 0 to 2).
    std::array<math::Vec3, 3> points{};
};

class CSpriteLabels {
  public:
    static constexpr int kTrainSlots = 6;
    // Points 0 to 17 are the trains' labels (three per slot, in slot order); turnout labels
    // follow from point 18 in the order of the placed objects.
    static constexpr int kPointCount = 2036;
    static constexpr int kFirstTurnoutPoint = 3 * kTrainSlots;
    static constexpr int kKeyColumns = 10;
    static constexpr int kTurnoutKeys = 12;

    // Releases whatever is held, then loads the style's bitmaps and makes the point store.
    // Bitmaps that cannot be loaded leave their labels untextured. Returns whether the last
    // bitmap (PB) loaded.
    bool Load(gfx::Device& device, const std::string& executableFolder, int style);
    // Drops every texture and the point store (before a device reset, and at the end).
    void Release();
    bool Loaded() const { return !points_.empty(); }

    // Draws the labels with depth testing off: the trains' from slot 6 down to 1 (slots not
    // shown are skipped), then the turnouts'. pointSize is set only when the device has no
    // per-vertex point size.
    void Draw(gfx::Device& device, float pointSize, std::span<const TrainLabels, kTrainSlots> trains,
              std::span<const layout::PlacedObject> objects);

    // Bitmap label (0 B, 1 F, 2 S) of key column 0 to 9; turnout key 0 to 11 (P0 to P9, PA, PB).
    const gfx::TextureHandle& ColumnTexture(int column, int label) const;
    const gfx::TextureHandle& KeyTexture(int key) const;
    bool PerVertexSize() const { return perVertexSize_; }
    // The points as the last Draw wrote them.
    std::span<const gfx::ColoredVertex> Points() const { return points_; }

  private:
    // Per key column: B, F and S.
    std::array<std::array<gfx::TextureHandle, 3>, kKeyColumns> columns_{};
    std::array<gfx::TextureHandle, kTurnoutKeys> keys_{};
    std::vector<gfx::ColoredVertex> points_;
    bool perVertexSize_ = false;
};

} // namespace render
