// korvela_demo_preview: pictures of the generated demo content, for whoever changes it.
//   korvela_demo_preview PROGRAM_FOLDER OUTPUT_PREFIX
// Loads the demo map from the program folder as the program does, puts trains 1 to 3 at their
// homes and the vehicles at their starts, and writes PNG views (the start-up camera, an
// overview and close-ups) off screen, lit and culled as the program draws.
#include "demo/ContentGenerator.h"
#include "demo/RollingStock.h"
#include "gfx/gl/GlDevice.h"
#include "gfx/gl/ImageFile.h"
#include "layout/CLayout.h"
#include "layout/MapFile.h"
#include "layout/MapFileVehicles.h"
#include "math/Matrix.h"
#include "model/MeshBounds.h"
#include "model/MeshModel.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr float kDeg = 0.017453292f;

struct Drawn {
    const model::CMeshModel* model;
    math::Matrix world;
};

struct View {
    std::string name;
    math::Vec3 eye, target;
    float fov; // degrees
};

class Scene {
  public:
    Scene(gfx::Device& device, std::string root)
        : device_(device), root_(std::move(root)), layout_("korvela")
    {
    }

    bool Load()
    {
        const std::string map = root_ + std::string(demo::content::kDemoMap);
        if (layout::LoadMapFile(layout_, map, vehicles_, {.device = &device_}).outcome != layout::MapOutcome::Done)
            return false;
        for (const layout::PlacedObject& o : layout_.Placed().All()) {
            const layout::ObjectType* type = layout_.Catalogue().FindType(o.type);
            const math::Matrix turn = math::RotationY(o.angle * kDeg);
            items_.push_back({&type->visible, turn * math::Translation(o.x, o.y, o.z)});
            if (type->routeCount > 1)
                guides_.push_back({type, turn * math::Translation(o.x, o.y - o.route, o.z), o.route});
        }
        PlaceTrains();
        PlaceVehicles();
        return true;
    }

    void Render(const View& view, const std::string& path, int width, int height)
    {
        gfx::Device& d = device_;
        d.Reset(width, height);
        d.SetViewport({0, 0, width, height, 0, 1});
        d.SetRenderState(gfx::RenderState::ZEnable, true);
        d.SetRenderState(gfx::RenderState::ZWriteEnable, true);
        d.SetRenderState(gfx::RenderState::Lighting, true);
        d.SetTextureStage(gfx::StageOp::Modulate, gfx::StageOp::Modulate);
        d.SetRenderState(gfx::RenderState::AlphaBlendEnable, true);
        d.SetBlendFunc(gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha);
        d.SetCullMode(gfx::CullMode::Ccw);
        d.SetSamplerFilter(gfx::Sampler::Min, gfx::Filter::Linear);
        d.SetSamplerFilter(gfx::Sampler::Mag, gfx::Filter::Linear);
        const math::Vec3 directions[] = {{1, -1, 1}, {-1, -1, -1}, {-1, 1, 1}, {1, -1, -1}};
        for (int i = 0; i < 4; ++i) {
            gfx::Light light;
            light.diffuse = {1, 1, 1, 1};
            light.direction = math::Normalize(directions[i]);
            d.SetLight(i, light);
            d.LightEnable(i, true);
        }
        d.Clear({0.55f, 0.70f, 0.90f, 1}, 1.0f);
        d.SetTransform(gfx::TransformKind::View, math::LookAtLH(view.eye, view.target, {0, 1, 0}));
        d.SetTransform(
            gfx::TransformKind::Projection,
            math::PerspectiveFovLH(view.fov * kDeg, static_cast<float>(width) / height, 1.0f, 10000.0f));
        d.BeginScene();
        d.SetTransform(gfx::TransformKind::World, math::Identity());
        model::DrawMesh(&d, layout_.Catalogue().Background(), model::kAllSubsets, false, false, 1.0f);
        for (const Drawn& item : items_) {
            d.SetTransform(gfx::TransformKind::World, item.world);
            model::DrawMesh(&d, *item.model, model::kAllSubsets, false, false, 1.0f);
        }
        for (const Guide& g : guides_) {
            d.SetTransform(gfx::TransformKind::World, g.world);
            model::DrawMesh(&d, g.type->guide.mesh.get(), g.type->visible.materials,
                            g.type->guide.materialCount, g.type->visible.texture,
                            static_cast<std::uint32_t>(g.route), false, false, 1.0f);
        }
        d.EndScene();
        const std::optional<gfx::Image> image = d.ReadPixels();
        if (image && gfx::gl::WritePngFile(*image, path))
            std::printf("%s\n", path.c_str());
        else
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
    }

    math::Vec3 TrainFront(int slot) const
    {
        const layout::TrainHomePose home = vehicles_.TrainHome(slot);
        return {home.x + 10 * std::sin(home.yaw), home.y + 2, home.z + 10 * std::cos(home.yaw)};
    }
    math::Vec3 Start(layout::MapVehicle v) const { return vehicles_.StartPosition(v); }

  private:
    struct Guide {
        const layout::ObjectType* type;
        math::Matrix world;
        int route;
    };

    const model::CMeshModel* Model(const std::string& folder, const std::string& name)
    {
        auto it = models_.find(folder + name);
        if (it == models_.end()) {
            model::CMeshModel m;
            (void)model::LoadMesh(&device_, root_ + folder + name, m);
            it = models_.emplace(folder + name, std::move(m)).first;
        }
        return &it->second;
    }

    // Cars stand one behind the other, a gap between their bounds, as the program forms a train.
    void PlaceTrains()
    {
        for (int slot = 1; slot <= layout::kMapTrainSlots; ++slot) {
            const std::string name = vehicles_.TrainChoice(slot);
            for (const demo::TrainFile& train : demo::TrainFiles()) {
                if (train.name != name) continue;
                const layout::TrainHomePose home = vehicles_.TrainHome(slot);
                float z = 0, previous = 0;
                for (std::size_t i = 0; i < train.cars.size(); ++i) {
                    const auto& [modelName, angle] = train.cars[i];
                    if (modelName == demo::kTeapotModel) continue;
                    const model::CMeshModel* m = Model(std::string(demo::content::kTrainFolder), modelName);
                    if (!m->mesh) continue;
                    const model::MeshBox box = model::ComputeBox(*m->mesh, static_cast<float>(angle) * kDeg);
                    const float length = box.maxZ - box.minZ;
                    if (i > 0) z -= previous / 2 + static_cast<float>(train.carGap) + length / 2;
                    previous = length;
                    const math::Vec3 p{home.x + z * std::sin(home.yaw), home.y,
                                       home.z + z * std::cos(home.yaw)};
                    items_.push_back({m, math::RotationY(static_cast<float>(angle) * kDeg) *
                                             math::RotationY(home.yaw) * math::Translation(p.x, p.y, p.z)});
                }
            }
        }
    }

    void PlaceVehicles()
    {
        const math::Vec3 car = Start(layout::MapVehicle::Car);
        items_.push_back(
            {Model(std::string(demo::content::kCarFolder), vehicles_.VehicleChoice(layout::MapVehicle::Car)),
             math::Translation(0, 0, 1.35f) * math::Translation(car.x, car.y, car.z)});
        const math::Vec3 plane = Start(layout::MapVehicle::Plane);
        items_.push_back({Model(std::string(demo::content::kPlaneFolder),
                                vehicles_.VehicleChoice(layout::MapVehicle::Plane)),
                          math::Translation(plane.x, plane.y, plane.z)});
        const math::Vec3 heli = Start(layout::MapVehicle::Helicopter);
        items_.push_back({Model(std::string(demo::content::kHelicopterFolder),
                                vehicles_.VehicleChoice(layout::MapVehicle::Helicopter)),
                          math::Translation(heli.x, heli.y, heli.z)});
    }

    gfx::Device& device_;
    std::string root_;
    layout::CLayout layout_;
    layout::StoredMapVehicles vehicles_;
    std::vector<Drawn> items_;
    std::vector<Guide> guides_;
    std::map<std::string, model::CMeshModel> models_;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvela_demo_preview PROGRAM_FOLDER OUTPUT_PREFIX\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.back() != '/') root += '/';
    const std::string prefix = argv[2];
    auto created = gfx::gl::GlDevice::CreateOffscreen(1024, 768, {});
    if (!created) {
        std::fprintf(stderr, "no off-screen OpenGL context: %s\n", created.error.c_str());
        return 1;
    }
    Scene scene(*created.device, root);
    if (!scene.Load()) {
        std::fprintf(stderr, "cannot load the demo map from %s\n", root.c_str());
        return 1;
    }
    const math::Vec3 train1 = scene.TrainFront(1);
    std::vector<View> views = {
        {"start", scene.Start(layout::MapVehicle::Helicopter), {train1.x, train1.y - 1.9f, train1.z}, 25},
        {"overview", {160, 420, -420}, {160, 0, 0}, 55},
        {"station", {150, 22, -45}, {215, 2, 0}, 45},
        {"loop_entry", {85, 14, -25}, {118, 0, -2}, 50},
        {"bridge", {-5, 12, -30}, {30, 4, 0}, 50},
        {"crossing", {205, 9, 185}, {190, 0, 160}, 50},
        {"yard", {55, 25, -130}, {30, 0, -175}, 50},
        {"town", {260, 40, 40}, {190, 0, 110}, 50},
        {"train1", {70, 4, -16}, {88, 2, 0}, 45},
        {"freight", {262, 5, -24}, {240, 2, -8}, 45},
        {"frog", {108, 5, -7}, {116, 0, -1}, 50},
        {"yard_points", {22, 6, -150}, {30, 0, -140}, 55},
    };
    const math::Vec3 plane = scene.Start(layout::MapVehicle::Plane),
                     heli = scene.Start(layout::MapVehicle::Helicopter);
    const math::Vec3 car = scene.Start(layout::MapVehicle::Car);
    views.push_back({"plane", {plane.x + 9, plane.y + 4, plane.z + 12}, plane, 50});
    views.push_back(
        {"helicopter", {heli.x - 10, heli.y + 3, heli.z + 12}, {heli.x, heli.y + 1.5f, heli.z}, 50});
    views.push_back({"car", {car.x + 5, car.y + 2.5f, car.z + 6}, car, 45});
    for (const View& view : views)
        scene.Render(view, prefix + view.name + ".png", 1024, 768);
    return 0;
}
