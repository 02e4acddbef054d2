// The device contract on the recording device. Its probe paints the calls recorded since the last
// clear, each with the state it recorded, so a draw that kept the wrong state shows in the wrong
// place or colour just as it would on screen.
#include "gfx/DeviceContract.h"
#include "gfx/RecordingDevice.h"

#include <algorithm>
#include <cmath>

namespace {

using gfx::Color;
using gfx::DeviceState;
using gfx::RenderState;

Color Add(Color a, Color b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b, a.a};
}
Color Mul(Color a, Color b)
{
    return {a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a};
}
Color Scale(Color a, float s)
{
    return {a.r * s, a.g * s, a.b * s, a.a};
}

// The fixed-function colour of a vertex: unlit, its colour or white; lit, the emissive colour plus
// the ambient and diffuse light of every enabled directional light (no specular, no texture).
Color Shade(const DeviceState& s, math::Vec3 normal, const std::uint32_t* argb)
{
    if (!s.Get(RenderState::Lighting)) return argb ? gfx::ColorFromArgb(*argb) : Color{1, 1, 1, 1};
    const bool vertexDiffuse =
        argb && s.Get(RenderState::ColorVertex) && s.diffuseSource == gfx::MaterialSource::Color1;
    const Color diffuse = vertexDiffuse ? gfx::ColorFromArgb(*argb) : s.material.diffuse;
    const math::Vec3 n =
        math::Normalize(math::TransformNormal(normal, s.Transform(gfx::TransformKind::World)));
    Color c = Add(s.material.emissive, Mul(s.ambient, s.material.ambient));
    for (int i = 0; i < gfx::kMaxLights; ++i) {
        if (!s.lightEnabled[static_cast<std::size_t>(i)]) continue;
        const gfx::Light& light = s.lights[static_cast<std::size_t>(i)];
        const float lambert = std::max(0.0f, -math::Dot(n, math::Normalize(light.direction)));
        c = Add(c, Add(Mul(light.ambient, s.material.ambient), Scale(Mul(light.diffuse, diffuse), lambert)));
    }
    c.a = diffuse.a;
    return c;
}

class Painter {
  public:
    Painter(gfx::Size size, Color clear)
        : size_(size), pixels_(static_cast<std::size_t>(size.width * size.height), clear)
    {
    }

    void Put(int x, int y, Color c, const DeviceState& s, bool clipToViewport = true)
    {
        const math::Viewport& vp = s.viewport;
        if (x < 0 || y < 0 || x >= size_.width || y >= size_.height) return;
        if (clipToViewport && (x < vp.x || y < vp.y || x >= vp.x + vp.width || y >= vp.y + vp.height)) return;
        Color& dest = pixels_[static_cast<std::size_t>(y * size_.width + x)];
        if (s.Get(RenderState::AlphaBlendEnable) && s.srcBlend == gfx::Blend::SrcAlpha &&
            s.destBlend == gfx::Blend::InvSrcAlpha)
            c = Add(Scale(c, c.a), Scale(dest, 1 - c.a));
        dest = c;
    }

    math::Vec3 Screen(math::Vec3 v, const DeviceState& s) const
    {
        return math::Project(v, s.viewport, s.Transform(gfx::TransformKind::Projection),
                             s.Transform(gfx::TransformKind::View), s.Transform(gfx::TransformKind::World));
    }

    // Pixels whose centres lie inside, the first corner's colour; culled by winding on screen.
    void Triangle(const contract::Shape& shape, const std::uint32_t* corner, const DeviceState& s)
    {
        math::Vec3 p[3];
        for (int i = 0; i < 3; ++i)
            p[i] = Screen(shape.positions[corner[i]], s);
        const float area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x);
        if (area == 0 || (s.cull == gfx::CullMode::Cw && area > 0) ||
            (s.cull == gfx::CullMode::Ccw && area < 0))
            return;
        const math::Vec3 normal = shape.normals.empty() ? math::Vec3{} : shape.normals[corner[0]];
        const Color c = Shade(s, normal, shape.colors.empty() ? nullptr : &shape.colors[corner[0]]);
        for (int y = 0; y < size_.height; ++y)
            for (int x = 0; x < size_.width; ++x) {
                const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
                bool inside = true;
                for (int e = 0; e < 3; ++e) {
                    const math::Vec3 a = p[e], b = p[(e + 1) % 3];
                    const float side = (b.x - a.x) * (cy - a.y) - (b.y - a.y) * (cx - a.x);
                    inside = inside && (area > 0 ? side >= 0 : side <= 0);
                }
                if (inside) Put(x, y, c, s);
            }
    }

    void Line(const gfx::ColoredVertex& from, const gfx::ColoredVertex& to, const DeviceState& s)
    {
        const math::Vec3 a = Screen(from.position, s), b = Screen(to.position, s);
        const Color c = Shade(s, {}, &from.color);
        const int steps =
            std::max(1, static_cast<int>(std::ceil(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)))));
        for (int i = 0; i < steps; ++i) {
            const float t = (static_cast<float>(i) + 0.5f) / static_cast<float>(steps);
            Put(static_cast<int>(std::floor(a.x + (b.x - a.x) * t)),
                static_cast<int>(std::floor(a.y + (b.y - a.y) * t)), c, s);
        }
    }

    // A square of the point size (scaled with distance when PointScaleEnable is on).
    void Sprite(const gfx::ColoredVertex& v, const DeviceState& s)
    {
        float size = s.Get(gfx::PointParameter::Size);
        if (s.Get(RenderState::PointScaleEnable)) {
            const math::Vec3 eye = math::TransformCoord(
                v.position, s.Transform(gfx::TransformKind::World) * s.Transform(gfx::TransformKind::View));
            const float d = math::Length(eye);
            size *= static_cast<float>(s.viewport.height) *
                    std::sqrt(1.0f /
                              (s.Get(gfx::PointParameter::ScaleA) + s.Get(gfx::PointParameter::ScaleB) * d +
                               s.Get(gfx::PointParameter::ScaleC) * d * d));
        }
        size = std::clamp(size, s.Get(gfx::PointParameter::SizeMin), s.Get(gfx::PointParameter::SizeMax));
        const math::Vec3 centre = Screen(v.position, s);
        const Color c = Shade(s, {}, &v.color);
        for (int y = 0; y < size_.height; ++y)
            for (int x = 0; x < size_.width; ++x)
                if (std::abs(static_cast<float>(x) + 0.5f - centre.x) < size / 2 &&
                    std::abs(static_cast<float>(y) + 0.5f - centre.y) < size / 2)
                    Put(x, y, c, s, false);
    }

    // The part of the rectangle the drawn lines may cover, on the whole target.
    void Text(const gfx::Rect& rect, int height, Color c)
    {
        DeviceState plain;
        for (int y = std::max(0, rect.top); y < std::min(rect.bottom, rect.top + height); ++y)
            for (int x = std::max(0, rect.left); x < rect.right; ++x)
                Put(x, y, c, plain, false);
    }

    gfx::Image Image() const
    {
        gfx::Image image;
        image.width = size_.width;
        image.height = size_.height;
        auto byte = [](float v) {
            return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
        };
        for (const Color& c : pixels_)
            image.rgba.insert(image.rgba.end(), {byte(c.r), byte(c.g), byte(c.b), byte(c.a)});
        return image;
    }

  private:
    gfx::Size size_;
    std::vector<Color> pixels_;
};

struct RecordingBackend {
    static constexpr bool kMayBeMissing = false;

    static gfx::Created<gfx::Device> Create(gfx::Size main, std::optional<gfx::Size> preview,
                                            const gfx::DeviceOptions& options)
    {
        gfx::RecordingDevice::Options o;
        o.device = options;
        o.main = main;
        o.preview = preview;
        return gfx::RecordingDevice::Create(o);
    }

    static bool HasFont(gfx::Device&) { return true; }

    static gfx::Image Picture(gfx::Device& device, const contract::Uploads& uploads)
    {
        const auto& calls = static_cast<gfx::RecordingDevice&>(device).Calls();
        auto from = calls.end();
        while (from != calls.begin() && !std::holds_alternative<gfx::call::Clear>(*(from - 1)))
            --from;
        const Color clear = from == calls.begin() ? Color{} : std::get<gfx::call::Clear>(*(from - 1)).color;
        Painter painter(device.TargetSize(device.CurrentTarget()), clear);
        for (auto it = from; it != calls.end(); ++it) {
            if (const auto* draw = std::get_if<gfx::call::DrawSubset>(&*it)) {
                if (draw->triangles == 0) continue;
                const contract::Shape& shape = *uploads.at(draw->mesh);
                const auto sorted = gfx::SortBySubset(shape.Data());
                const gfx::SubsetRange range = draw->mesh->Range(draw->subset);
                for (std::size_t i = range.first; i < range.first + range.count; i += 3)
                    painter.Triangle(shape, &sorted->indices[i], draw->state);
            } else if (const auto* lines = std::get_if<gfx::call::DrawLineList>(&*it)) {
                for (std::size_t i = 0; i + 1 < lines->vertices.size(); i += 2)
                    painter.Line(lines->vertices[i], lines->vertices[i + 1], lines->state);
            } else if (const auto* points = std::get_if<gfx::call::DrawPointList>(&*it)) {
                for (const gfx::ColoredVertex& v : points->vertices)
                    painter.Sprite(v, points->state);
            } else if (const auto* text = std::get_if<gfx::call::DrawText>(&*it)) {
                painter.Text(text->rect, text->height, text->color);
            }
        }
        return painter.Image();
    }
};

} // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(RecordingContract, DeviceContract, RecordingBackend);
} // namespace contract
