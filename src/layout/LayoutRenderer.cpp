#include "layout/LayoutRenderer.h"

#include "math/Matrix.h"
#include "math/Numeric.h"
#include "math/Viewport.h"
#include "model/MeshModel.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"

#include <cstdint>

namespace layout {

namespace {

namespace su = ui::setup;

// Sliders give whole percentages.
constexpr float kPercent = 0.01f;

math::Matrix ObjectRotation(const PlacedObject& object)
{
    return math::RotationY(object.angle * math::kDegToRad);
}

// Route layer `route` of a type's guide mesh, coloured with the visible mesh's material of the
// same index. A visible mesh with fewer materials than that lends its last one; one with none
// leaves the subset to the opaque red fallback. The caller has checked that the layer exists.
void DrawGuideLayer(gfx::Device* device, const ObjectType& type, int route, float alpha)
{
    const auto& materials = type.visible.materials;
    const auto subset = static_cast<std::uint32_t>(route);
    if (static_cast<std::size_t>(route) < materials.size() || materials.empty()) {
        model::DrawMesh(device, type.guide.mesh.get(), materials, type.guide.materialCount,
                        type.visible.texture, subset, false, false, alpha);
        return;
    }
    std::vector<model::MeshMaterial> padded(materials);
    padded.resize(static_cast<std::size_t>(route) + 1, materials.back());
    model::DrawMesh(device, type.guide.mesh.get(), padded, type.guide.materialCount, type.visible.texture,
                    subset, false, false, alpha);
}

void AddLine(std::vector<gfx::ColoredVertex>& lines, math::Vec3 from, math::Vec3 to, std::uint32_t fromColor,
             std::uint32_t toColor)
{
    lines.push_back({from, fromColor});
    lines.push_back({to, toColor});
}

} // namespace

LayoutDrawSettings ReadLayoutDrawSettings(const ui::DialogModel& setUp)
{
    LayoutDrawSettings settings;
    settings.cullingDistance = static_cast<float>(setUp.Position(su::kCulling));
    settings.objectAlpha = static_cast<float>(setUp.Position(su::kObjectAlpha)) * kPercent;
    settings.backgroundAlpha = static_cast<float>(setUp.Position(su::kBackgroundAlpha)) * kPercent;
    switch (setUp.Check(su::kTrack)) {
    case 1:
        settings.guides = GuideDisplay::All;
        break;
    case 2:
        settings.guides = GuideDisplay::TurnoutsOnly;
        break;
    default:
        settings.guides = GuideDisplay::Off;
        break;
    }
    return settings;
}

std::vector<int> ObjectsInPass(const CLayout& layout, int pass, const math::ViewVolume& volume,
                               math::Vec3 eye, float cullingDistance)
{
    PlacedDrawCache cache;
    ObjectsInPass(layout, pass, volume, eye, cullingDistance, cache);
    return std::move(cache.drawn);
}

namespace {

bool SameSphere(const model::MeshSphere& a, const model::MeshSphere& b)
{
    return a.center == b.center && a.radius == b.radius;
}

void UpdatePlacement(const CLayout& layout, PlacedDrawCache& cache)
{
    const std::span<const PlacedObject> objects = layout.Placed().All();
    const ObjectCatalogue& catalogue = layout.Catalogue();
    const auto typeCount = static_cast<std::size_t>(catalogue.TypeCount());
    bool stale = !cache.built || cache.revision != layout.Placed().Revision() ||
                 cache.centres.size() != objects.size() || cache.typeSpheres.size() != typeCount;
    for (std::size_t t = 0; !stale && t < typeCount; ++t)
        stale = !SameSphere(catalogue.FindType(static_cast<int>(t))->sphere, cache.typeSpheres[t]);
    if (!stale) return;

    cache.typeSpheres.resize(typeCount);
    for (std::size_t t = 0; t < typeCount; ++t)
        cache.typeSpheres[t] = catalogue.FindType(static_cast<int>(t))->sphere;
    cache.worlds.resize(objects.size());
    cache.centres.resize(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const PlacedObject& object = objects[i];
        const math::Matrix rotation = ObjectRotation(object);
        cache.worlds[i] = rotation * math::Translation(object.x, object.y, object.z);
        const ObjectType* type = catalogue.FindType(object.type);
        cache.centres[i] = type ? math::TransformCoord(type->sphere.center, rotation) +
                                      math::Vec3{object.x, object.y, object.z}
                                : math::Vec3{object.x, object.y, object.z};
    }
    cache.revision = layout.Placed().Revision();
    cache.built = true;
}

// The objects of a type the object folder lacks, among those the pass draws, as flat red frames
// of their type's bounds at their places, unlit; nothing at all while there are none.
void DrawPlaceholderFrames(gfx::Device* device, const CLayout& layout, const PlacedDrawCache& cache)
{
    constexpr std::uint32_t kRed = 0xFFFF0000;
    constexpr float kLift = 0.1f; // just above what the object stands on
    const std::span<const PlacedObject> objects = layout.Placed().All();
    std::vector<gfx::ColoredVertex> lines;
    for (const int index : cache.drawn) {
        const ObjectType* type = layout.Catalogue().FindType(objects[static_cast<std::size_t>(index)].type);
        if (!type || !type->missing) continue;
        const model::MeshBox& box = type->bounds;
        const math::Matrix& world = cache.worlds[static_cast<std::size_t>(index)];
        const math::Vec3 corners[4] = {{box.minX, kLift, box.minZ}, {box.maxX, kLift, box.minZ},
                                       {box.maxX, kLift, box.maxZ}, {box.minX, kLift, box.maxZ}};
        for (int c = 0; c < 4; ++c)
            AddLine(lines, math::TransformCoord(corners[c], world), math::TransformCoord(corners[(c + 1) % 4], world),
                    kRed, kRed);
    }
    if (lines.empty()) return;
    device->SetTransform(gfx::TransformKind::World, math::Identity());
    device->SetRenderState(gfx::RenderState::Lighting, false);
    device->DrawLineList(lines);
    device->SetRenderState(gfx::RenderState::Lighting, true);
}

} // namespace

void ObjectsInPass(const CLayout& layout, int pass, const math::ViewVolume& volume, math::Vec3 eye,
                   float cullingDistance, PlacedDrawCache& cache)
{
    UpdatePlacement(layout, cache);
    std::vector<int>& drawn = cache.drawn;
    drawn.clear();
    const std::span<const PlacedObject> objects = layout.Placed().All();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const ObjectType* type = layout.Catalogue().FindType(objects[i].type);
        if (!type || type->transparent != pass) continue;
        const math::Vec3 centre = cache.centres[i];
        if (volume.Outside(centre, type->sphere.radius)) continue;
        if (math::Length(centre - eye) > cullingDistance) continue;
        drawn.push_back(static_cast<int>(i));
    }
}

void DrawPlacedObjects(gfx::Device* device, const CLayout& layout, int pass, const ui::DialogModel& setUp,
                       math::Vec3 eye, bool mapEditing, PlacedDrawCache& cache)
{
    if (!device) return;
    const LayoutDrawSettings settings = ReadLayoutDrawSettings(setUp);
    const gfx::DeviceState& state = device->State();
    const math::ViewVolume volume(state.viewport, state.Transform(gfx::TransformKind::Projection),
                                  state.Transform(gfx::TransformKind::View));
    ObjectsInPass(layout, pass, volume, eye, settings.cullingDistance, cache);
    const std::vector<int>& drawn = cache.drawn;
    // Only map editing shows the selection.
    const std::vector<bool> selected = mapEditing ? layout.Selection().Mask() : std::vector<bool>{};
    const std::span<const PlacedObject> objects = layout.Placed().All();

    for (int index : drawn) {
        const PlacedObject& object = objects[static_cast<std::size_t>(index)];
        const ObjectType& type = *layout.Catalogue().FindType(object.type);
        device->SetTransform(gfx::TransformKind::World, cache.worlds[static_cast<std::size_t>(index)]);
        const bool highlight =
            static_cast<std::size_t>(index) < selected.size() && selected[static_cast<std::size_t>(index)];
        model::DrawMesh(device, type.visible, model::kAllSubsets, highlight, mapEditing,
                        settings.objectAlpha);
    }

    if (pass == 0) DrawPlaceholderFrames(device, layout, cache);

    if (settings.guides == GuideDisplay::Off) return;
    for (int index : drawn) {
        const PlacedObject& object = objects[static_cast<std::size_t>(index)];
        const ObjectType& type = *layout.Catalogue().FindType(object.type);
        if (settings.guides == GuideDisplay::TurnoutsOnly && type.routeCount < 2) continue;
        // A route read from a file may name no layer of the guide mesh; such a turnout shows none.
        if (!type.IsGuideSubset(object.route)) continue;
        // Layer r is modelled r units up: lowering by the route brings the current one to the track.
        device->SetTransform(
            gfx::TransformKind::World,
            ObjectRotation(object) *
                math::Translation(object.x, object.y - static_cast<float>(object.route), object.z));
        DrawGuideLayer(device, type, object.route, settings.objectAlpha);
    }
}

void DrawBackground(gfx::Device* device, const CLayout& layout, const ui::DialogModel& setUp)
{
    if (!device) return;
    const LayoutDrawSettings settings = ReadLayoutDrawSettings(setUp);
    device->SetTransform(gfx::TransformKind::World, math::Identity());
    model::DrawMesh(device, layout.Catalogue().Background(), model::kAllSubsets, false, false,
                    settings.backgroundAlpha);
}

void DrawPreview(gfx::Device* device, const CLayout& layout)
{
    if (!device) return;
    const ObjectType* type = layout.Catalogue().FindType(layout.CatalogueSelection());
    if (!type) return;
    device->SetTransform(gfx::TransformKind::World, math::Identity());
    model::DrawMesh(device, type->visible, model::kAllSubsets, false, false, 1.0f);
    // Every route layer at track level, one over the other; only as many as the guide mesh has,
    // whatever the .ini claims.
    const int routes = type->DrawableRoutes();
    for (int route = 0; route < routes; ++route) {
        device->SetTransform(gfx::TransformKind::World,
                             math::Translation(0.0f, -static_cast<float>(route), 0.0f));
        DrawGuideLayer(device, *type, route, 1.0f);
    }
}

std::vector<gfx::ColoredVertex> LineOverlayVertices(const CLayout& layout, math::Vec3 aeroplanePosition)
{
    constexpr std::uint32_t kGrey = 0xFF808080;
    constexpr std::uint32_t kRed = 0xFFFF0000;
    constexpr std::uint32_t kGreen = 0xFF00FF00;
    constexpr std::uint32_t kBlue = 0xFF0000FF;
    constexpr std::uint32_t kWhite = 0xFFFFFFFF;
    constexpr std::uint32_t kCyan = 0xFF00FFFF;
    constexpr int kGridHalf = 20;
    constexpr float kEdge = static_cast<float>(kGridHalf);

    std::vector<gfx::ColoredVertex> lines;
    lines.reserve(4 * (2 * kGridHalf + 1) + 10);
    for (int z = -kGridHalf; z <= kGridHalf; ++z) {
        const auto fz = static_cast<float>(z);
        AddLine(lines, {-kEdge, 0, fz}, {kEdge, 0, fz}, kGrey, kGrey);
    }
    for (int x = -kGridHalf; x <= kGridHalf; ++x) {
        const auto fx = static_cast<float>(x);
        AddLine(lines, {fx, 0, -kEdge}, {fx, 0, kEdge}, kGrey, kGrey);
    }
    AddLine(lines, {0, 0, 0}, {10, 0, 0}, kRed, kRed);
    AddLine(lines, {0, -5, 0}, {0, 10, 0}, kGreen, kGreen);
    AddLine(lines, {0, 0, 0}, {0, 0, 10}, kBlue, kBlue);
    AddLine(lines, aeroplanePosition, aeroplanePosition + layout.AeroplaneVector(), kWhite, kRed);
    AddLine(lines, layout.Drag().LastPickRay().nearPoint, layout.Drag().LastPickRay().farPoint, kCyan, kCyan);
    return lines;
}

void DrawLineOverlay(gfx::Device* device, const CLayout& layout, math::Vec3 aeroplanePosition)
{
    if (!device) return;
    device->SetTransform(gfx::TransformKind::World, math::Identity());
    const std::vector<gfx::ColoredVertex> lines = LineOverlayVertices(layout, aeroplanePosition);
    device->DrawLineList(lines);
}

} // namespace layout
