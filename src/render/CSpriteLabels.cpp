#include "render/CSpriteLabels.h"

#include "platform/Paths.h"

namespace render {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
// B and F of a reversed column change places: its rear label still means "decelerate".
constexpr std::array<int, 3> kReversedLabel = {1, 0, 2};
constexpr std::array<char, 3> kColumnLetters = {'B', 'F', 'S'};

gfx::TextureHandle LoadBitmap(gfx::Device& device, const std::string& folder, const std::string& name)
{
    const std::string path = folder + name + ".bmp";
    return device.LoadTexture(platform::FindFileNoCase(path).value_or(path));
}

} // namespace

void CSpriteLabels::Release()
{
    for (auto& column : columns_)
        column = {};
    keys_ = {};
    points_.clear();
    points_.shrink_to_fit();
}

bool CSpriteLabels::Load(gfx::Device& device, const std::string& executableFolder, int style)
{
    // Loading over live handles would keep the old set alive: release first.
    Release();
    perVertexSize_ = device.GetCaps().perVertexPointSize;
    points_.assign(kPointCount, gfx::ColoredVertex{{}, kWhite});

    const std::string folder = executableFolder + "res/SP" + std::to_string(style) + "/";
    for (int k = 0; k < kKeyColumns; ++k) {
        for (std::size_t j = 0; j < kColumnLetters.size(); ++j)
            columns_[static_cast<std::size_t>(k)][j] =
                LoadBitmap(device, folder, kColumnLetters[j] + std::to_string(k));
        keys_[static_cast<std::size_t>(k)] = LoadBitmap(device, folder, "P" + std::to_string(k));
    }
    keys_[10] = LoadBitmap(device, folder, "PA");
    keys_[11] = LoadBitmap(device, folder, "PB");
    return keys_[11] != nullptr;
}

const gfx::TextureHandle& CSpriteLabels::ColumnTexture(int column, int label) const
{
    static const gfx::TextureHandle kNone;
    if (column < 0 || column >= kKeyColumns || label < 0 || label > 2) return kNone;
    return columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(label)];
}

const gfx::TextureHandle& CSpriteLabels::KeyTexture(int key) const
{
    static const gfx::TextureHandle kNone;
    return key >= 0 && key < kTurnoutKeys ? keys_[static_cast<std::size_t>(key)] : kNone;
}

void CSpriteLabels::Draw(gfx::Device& device, float pointSize,
                         std::span<const TrainLabels, kTrainSlots> trains,
                         std::span<const layout::PlacedObject> objects)
{
    if (!Loaded()) return;
    if (!perVertexSize_) device.SetPointParameter(gfx::PointParameter::Size, pointSize);
    device.SetRenderState(gfx::RenderState::ZEnable, false);
    device.SetRenderState(gfx::RenderState::ZWriteEnable, false);
    device.SetTransform(gfx::TransformKind::World, math::Identity());

    // Every point is written before the first is drawn.
    for (std::size_t n = 0; n < trains.size(); ++n) {
        for (std::size_t j = 0; j < 3; ++j)
            points_[3 * n + j] = {trains[n].points[j], kWhite};
    }
    std::size_t next = kFirstTurnoutPoint;
    for (const layout::PlacedObject& object : objects) {
        if (object.key == layout::kNoKey || next >= points_.size()) continue;
        points_[next++] = {{object.x, object.y, object.z}, kWhite};
    }

    const std::span<const gfx::ColoredVertex> points(points_);
    for (int n = kTrainSlots; n >= 1; --n) {
        const TrainLabels& train = trains[static_cast<std::size_t>(n - 1)];
        if (!train.shown) continue;
        const int c = train.driveType;
        for (int j = 0; j < 3; ++j) {
            // A drive type outside the table sets no texture: the label keeps the last one.
            if (c >= 0 && c < kKeyColumns) {
                device.SetTexture(ColumnTexture(c, j));
            } else if (c >= kKeyColumns && c < 2 * kKeyColumns) {
                device.SetTexture(
                    ColumnTexture(c - kKeyColumns, kReversedLabel[static_cast<std::size_t>(j)]));
            }
            device.DrawPointList(points.subspan(static_cast<std::size_t>(3 * (n - 1) + j), 1));
        }
    }

    next = kFirstTurnoutPoint;
    for (const layout::PlacedObject& object : objects) {
        if (object.key == layout::kNoKey || next >= points_.size()) continue;
        const std::size_t at = next++;
        // A key no label exists for (from a damaged file) is not drawn.
        if (object.key < 0 || object.key >= kTurnoutKeys) continue;
        device.SetTexture(KeyTexture(object.key));
        device.DrawPointList(points.subspan(at, 1));
    }

    device.SetRenderState(gfx::RenderState::ZEnable, true);
    device.SetRenderState(gfx::RenderState::ZWriteEnable, true);
}

} // namespace render
