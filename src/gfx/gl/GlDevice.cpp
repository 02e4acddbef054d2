// How the fixed-function device maps onto legacy OpenGL:
// - Row-vector matrices are loaded as they are (GL reads them column-major, which is the same
//   transform); the modelview is View then World, lights are placed with the View alone.
// - The projection's depth goes from 0..w to GL's -w..w by z' = 2z - w.
// - Front faces are clockwise on screen; the global ambient is 0 unless set.
// - Lights are directional GL lights at (-direction, 0); specular only with SpecularEnable.
// - Vertex colours feed the lit diffuse colour only for meshes that have them.
// - Point sizes scale with distance as size · height · sqrt(1 / (A + B·d + C·d²)), which GL's
//   distance attenuation gives with the coefficients divided by the viewport height squared.
#include "gfx/gl/GlDevice.h"

#include "gfx/gl/EglContext.h"
#include "gfx/gl/GlFont.h"
#include "gfx/gl/GlHeaders.h"
#include "gfx/gl/GlMeshBuffer.h"
#include "gfx/gl/GlTexture.h"
#include "gfx/gl/ImageFile.h"
#include "gfx/gl/OffscreenSurface.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace gfx::gl {

namespace {

constexpr int kFontCellHeight = 16;

void Enable(GLenum cap, bool on)
{
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

GLenum BlendFactor(Blend b)
{
    switch (b) {
    case Blend::Zero:
        return GL_ZERO;
    case Blend::One:
        return GL_ONE;
    case Blend::SrcColor:
        return GL_SRC_COLOR;
    case Blend::InvSrcColor:
        return GL_ONE_MINUS_SRC_COLOR;
    case Blend::SrcAlpha:
        return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::DestAlpha:
        return GL_DST_ALPHA;
    case Blend::InvDestAlpha:
        return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor:
        return GL_DST_COLOR;
    case Blend::InvDestColor:
        return GL_ONE_MINUS_DST_COLOR;
    }
    return GL_ONE;
}

void SetColor4(GLenum light, GLenum pname, Color c)
{
    const GLfloat v[4] = {c.r, c.g, c.b, c.a};
    glLightfv(light, pname, v);
}

void SetMaterial4(GLenum pname, Color c)
{
    const GLfloat v[4] = {c.r, c.g, c.b, c.a};
    glMaterialfv(GL_FRONT_AND_BACK, pname, v);
}

bool HasGlExtension(const char* name)
{
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!list) return false;
    const std::size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n)
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

// Halves a picture (2 × 2 box filter) until both sides fit the largest texture.
Image FitTexture(Image image, int maxSide)
{
    while (maxSide > 0 && (image.width > maxSide || image.height > maxSide)) {
        Image half;
        half.width = std::max(1, image.width / 2);
        half.height = std::max(1, image.height / 2);
        half.rgba.resize(static_cast<std::size_t>(half.width) * static_cast<std::size_t>(half.height) * 4);
        for (int y = 0; y < half.height; ++y)
            for (int x = 0; x < half.width; ++x)
                for (int c = 0; c < 4; ++c) {
                    int sum = 0;
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx) {
                            const int sx = std::min(image.width - 1, 2 * x + dx);
                            const int sy = std::min(image.height - 1, 2 * y + dy);
                            sum += image.rgba[(static_cast<std::size_t>(sy) *
                                                   static_cast<std::size_t>(image.width) +
                                               static_cast<std::size_t>(sx)) *
                                                  4 +
                                              static_cast<std::size_t>(c)];
                        }
                    half.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(half.width) +
                               static_cast<std::size_t>(x)) *
                                  4 +
                              static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((sum + 2) / 4);
                }
        image = std::move(half);
    }
    return image;
}

} // namespace

Created<GlDevice> GlDevice::Create(std::shared_ptr<GlContext> context, std::unique_ptr<GlSurface> main,
                                   const DeviceOptions& options)
{
    if (!context || !main) return {nullptr, "no OpenGL context or surface to draw into"};
    if (!main->MakeCurrent()) return {nullptr, "the OpenGL context cannot be made current"};
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2)
        return {nullptr, "the OpenGL context does not report its version"};
    if (major < 2 || (major == 2 && minor < 1))
        return {nullptr, std::string("OpenGL 2.1 or later is needed; this system offers ") + version};

    std::unique_ptr<GlDevice> device(new GlDevice(std::move(context), std::move(main), options));
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    device->renderer_ = std::string(version) + " / " + (renderer ? renderer : "unknown renderer");
    device->provokingFirst_ = major > 3 || (major == 3 && minor >= 2) ||
                              HasGlExtension("GL_ARB_provoking_vertex") ||
                              HasGlExtension("GL_EXT_provoking_vertex");
    GLfloat pointRange[2] = {1, 1};
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, pointRange);
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    device->caps_.maxPointSize = pointRange[1];
    device->caps_.maxTextureSize = maxTexture;
    device->caps_.perVertexPointSize = false;

    if (auto file = FindJapaneseFont())
        device->font_ = GlFont::Create(*file, kFontCellHeight, device->fontError_);
    else
        device->fontError_ = "no font was found for on-screen text";

    device->ResetState(options.verticalSync ? kSyncedInterval : kImmediateInterval);
    if (glGetError() != GL_NO_ERROR) return {nullptr, "OpenGL reported an error while the device was set up"};
    return {std::move(device), {}};
}

Created<GlDevice> GlDevice::CreateOffscreen(int width, int height, const DeviceOptions& options)
{
    std::string error;
    std::shared_ptr<EglContext> context = EglContext::Create(error);
    if (!context) return {nullptr, error};
    std::unique_ptr<OffscreenSurface> surface = OffscreenSurface::Create(context, width, height, error);
    if (!surface) return {nullptr, error};
    return Create(std::move(context), std::move(surface), options);
}

GlDevice::GlDevice(std::shared_ptr<GlContext> context, std::unique_ptr<GlSurface> main,
                   const DeviceOptions& options)
    : context_(std::move(context)), main_(std::move(main)), options_(options)
{
}

GlDevice::~GlDevice()
{
    // The font's atlas pages and the surfaces' framebuffers belong to the context.
    if (font_ && !context_->MakeCurrent()) font_->ForgetTextures();
    font_.reset();
    preview_.reset();
    main_.reset();
}

void GlDevice::AttachPreview(std::unique_ptr<GlSurface> surface)
{
    if (target_ == Target::Preview) SetTarget(Target::Main);
    preview_ = std::move(surface);
}

bool GlDevice::CreateOffscreenPreview(int width, int height)
{
    std::string error;
    auto surface = OffscreenSurface::Create(context_, width, height, error);
    if (!surface) return false;
    AttachPreview(std::move(surface));
    EnsureCurrent();
    return true;
}

GlSurface* GlDevice::Surface(Target target) const
{
    return target == Target::Main ? main_.get() : preview_.get();
}

bool GlDevice::EnsureCurrent()
{
    // Nothing makes another context current while a scene is drawn, so the check made when it
    // began holds until it ends or the target changes: asking the window system again would
    // cost a system call for every draw.
    if (currentInScene_) return true;
    GlSurface* surface = Surface(target_);
    if (!surface || !surface->MakeCurrent()) return false;
    currentInScene_ = inScene_;
    return true;
}

Size GlDevice::TargetSize(Target target) const
{
    const GlSurface* surface = Surface(target);
    if (!surface) return {};
    return {surface->Width(), surface->Height()};
}

void GlDevice::ResetState(int interval)
{
    boundMesh_ = 0;
    textureBound_ = false;
    state_ = DeviceState{};
    target_ = Target::Main;
    inScene_ = false;
    currentInScene_ = false;
    const Size size = TargetSize(Target::Main);
    state_.viewport.width = size.width;
    state_.viewport.height = size.height;
    if (!EnsureCurrent()) return;
    ApplyAll();
    main_->SetSwapInterval(interval);
    swapInterval_ = interval;
}

void GlDevice::ApplyAll()
{
    glBindFramebuffer(GL_FRAMEBUFFER, Surface(target_)->Framebuffer());
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glDepthFunc(GL_LEQUAL);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_POINT_SPRITE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    if (provokingFirst_) glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int s = 0; s < kRenderStateCount; ++s)
        ApplyFlag(static_cast<RenderState>(s));
    ApplyCull();
    glPolygonMode(GL_FRONT_AND_BACK, state_.fill == FillMode::Wireframe ? GL_LINE : GL_FILL);
    glShadeModel(state_.shade == ShadeMode::Flat ? GL_FLAT : GL_SMOOTH);
    glBlendFunc(BlendFactor(state_.srcBlend), BlendFactor(state_.destBlend));
    const GLfloat ambient[4] = {state_.ambient.r, state_.ambient.g, state_.ambient.b, state_.ambient.a};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    ApplyProjection();
    ApplyViewport();
    ApplyTextureStage();
    BindTexture();
    lightsDirty_ = modelviewDirty_ = materialDirty_ = true;
}

void GlDevice::ApplyFlag(RenderState s)
{
    const bool on = state_.Get(s);
    switch (s) {
    case RenderState::Lighting:
        Enable(GL_LIGHTING, on);
        break;
    case RenderState::ZEnable:
        Enable(GL_DEPTH_TEST, on);
        break;
    case RenderState::ZWriteEnable:
        glDepthMask(on ? GL_TRUE : GL_FALSE);
        break;
    case RenderState::AlphaBlendEnable:
        Enable(GL_BLEND, on);
        break;
    case RenderState::DitherEnable:
        Enable(GL_DITHER, on);
        break;
    case RenderState::SpecularEnable:
        materialDirty_ = true;
        break;
    // Applied per draw: they depend on what is drawn.
    case RenderState::NormalizeNormals:
    case RenderState::PointSpriteEnable:
    case RenderState::PointScaleEnable:
    case RenderState::ColorVertex:
        break;
    }
}

void GlDevice::ApplyCull()
{
    switch (state_.cull) {
    case CullMode::None:
        glDisable(GL_CULL_FACE);
        break;
    case CullMode::Ccw:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        break;
    case CullMode::Cw:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        break;
    }
}

void GlDevice::ApplyViewport()
{
    const math::Viewport& vp = state_.viewport;
    const int targetHeight = Surface(target_)->Height();
    // The device's viewport is measured from the top-left corner, GL's from the bottom-left.
    glViewport(vp.x, targetHeight - vp.y - vp.height, vp.width, vp.height);
    glDepthRange(vp.minZ, vp.maxZ);
}

void GlDevice::ApplyProjection()
{
    math::Matrix p = state_.Transform(TransformKind::Projection);
    for (int r = 0; r < 4; ++r)
        p.m[r][2] = 2.0f * p.m[r][2] - p.m[r][3];
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&p.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
}

void GlDevice::ApplyTextureStage()
{
    const auto source = [](StageOp op) {
        return op == StageOp::SelectTexture ? GL_TEXTURE : GL_PRIMARY_COLOR;
    };
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    // A disabled stage passes the diffuse colour and alpha through.
    const StageOp colorOp = state_.colorOp;
    const StageOp alphaOp = colorOp == StageOp::Disable ? StageOp::Disable : state_.alphaOp;
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, colorOp == StageOp::Modulate ? GL_MODULATE : GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_RGB, colorOp == StageOp::Modulate ? GL_TEXTURE : source(colorOp));
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, alphaOp == StageOp::Modulate ? GL_MODULATE : GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_ALPHA, alphaOp == StageOp::Modulate ? GL_TEXTURE : source(alphaOp));
    glTexEnvi(GL_TEXTURE_ENV, GL_SRC1_ALPHA, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA, GL_SRC_ALPHA);
}

void GlDevice::BindTexture()
{
    // Without a texture the stage's result is the diffuse colour, as an unbound stage reads white.
    const auto* texture = static_cast<const GlTexture*>(state_.texture.get());
    textureBound_ = true;
    if (!texture) {
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glBindTexture(GL_TEXTURE_2D, texture->Name());
    texture->ApplyFilters(state_.minFilter, state_.magFilter, state_.mipFilter);
    glEnable(GL_TEXTURE_2D);
}

void GlDevice::ApplyMaterial()
{
    const Material& m = state_.material;
    SetMaterial4(GL_AMBIENT, m.ambient);
    SetMaterial4(GL_DIFFUSE, m.diffuse);
    SetMaterial4(GL_EMISSION, m.emissive);
    // GL always adds a specular term; without SpecularEnable there must be none.
    const bool specular = state_.Get(RenderState::SpecularEnable);
    SetMaterial4(GL_SPECULAR, specular ? m.specular : Color{0, 0, 0, 0});
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m.power, 0.0f, 128.0f));
    materialDirty_ = false;
}

void GlDevice::ApplyLights()
{
    // GL transforms a light's position by the modelview in force when it is given, so the lights
    // are placed with the View alone and end up in the same camera space as the vertices.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&state_.Transform(TransformKind::View).m[0][0]);
    for (int i = 0; i < kMaxLights; ++i) {
        const GLenum id = static_cast<GLenum>(GL_LIGHT0 + i);
        if (!state_.lightEnabled[static_cast<std::size_t>(i)]) {
            glDisable(id);
            continue;
        }
        const Light& l = state_.lights[static_cast<std::size_t>(i)];
        SetColor4(id, GL_DIFFUSE, l.diffuse);
        SetColor4(id, GL_SPECULAR, l.specular);
        SetColor4(id, GL_AMBIENT, l.ambient);
        const GLfloat position[4] = {-l.direction.x, -l.direction.y, -l.direction.z, 0.0f};
        glLightfv(id, GL_POSITION, position);
        glEnable(id);
    }
    lightsDirty_ = false;
    modelviewDirty_ = true;
}

void GlDevice::PrepareDraw(bool hasNormals, bool hasColors)
{
    if (lightsDirty_) ApplyLights();
    if (modelviewDirty_) {
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(&state_.Transform(TransformKind::View).m[0][0]);
        glMultMatrixf(&state_.Transform(TransformKind::World).m[0][0]);
        modelviewDirty_ = false;
    }
    // Colour material must be off while the material itself is set.
    glDisable(GL_COLOR_MATERIAL);
    if (materialDirty_) ApplyMaterial();
    if (state_.Get(RenderState::Lighting)) {
        if (hasColors && state_.Get(RenderState::ColorVertex) &&
            state_.diffuseSource == MaterialSource::Color1) {
            glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
            glEnable(GL_COLOR_MATERIAL);
            materialDirty_ = true; // the vertex colours overwrite the material's diffuse colour
        }
        if (hasNormals) {
            Enable(GL_NORMALIZE, state_.Get(RenderState::NormalizeNormals));
        } else {
            // No normal lights like N·L = 0: only emissive and ambient terms remain.
            glNormal3f(0, 0, 0);
            glDisable(GL_NORMALIZE);
        }
    } else if (!hasColors) {
        glColor4f(1, 1, 1, 1); // unlit vertices without a colour are white
    }
}

bool GlDevice::SetTarget(Target target)
{
    GlSurface* surface = Surface(target);
    currentInScene_ = false;
    if (!surface || !surface->MakeCurrent()) return false;
    ReleaseMesh();
    target_ = target;
    currentInScene_ = inScene_;
    glBindFramebuffer(GL_FRAMEBUFFER, surface->Framebuffer());
    state_.viewport = math::Viewport{};
    state_.viewport.width = surface->Width();
    state_.viewport.height = surface->Height();
    ApplyViewport();
    return true;
}

bool GlDevice::Clear(Color color, float depth)
{
    if (!EnsureCurrent()) return false;
    const math::Viewport& vp = state_.viewport;
    const int targetHeight = Surface(target_)->Height();
    // Only the viewport is cleared, and depth is written whatever the depth-write state says.
    glEnable(GL_SCISSOR_TEST);
    glScissor(vp.x, targetHeight - vp.y - vp.height, vp.width, vp.height);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(color.r, color.g, color.b, color.a);
    glClearDepth(depth);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(state_.Get(RenderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
    glDisable(GL_SCISSOR_TEST);
    return true;
}

bool GlDevice::BeginScene()
{
    if (inScene_ || !EnsureCurrent()) return false;
    inScene_ = true;
    currentInScene_ = true;
    return true;
}

bool GlDevice::EndScene()
{
    if (!inScene_) return false;
    inScene_ = false;
    currentInScene_ = false;
    if (EnsureCurrent()) ReleaseMesh();
    return true;
}

bool GlDevice::Present()
{
    GlSurface* surface = Surface(target_);
    return surface && surface->MakeCurrent() && surface->Present();
}

bool GlDevice::Finish()
{
    if (!EnsureCurrent()) return false;
    glFinish();
    return true;
}

bool GlDevice::Reset(int width, int height)
{
    if (!main_->MakeCurrent() || !main_->Resize(width, height)) return false;
    // A resize reset uses fresh parameters, whose interval is the default (synchronised) one.
    ResetState(kSyncedInterval);
    return true;
}

bool GlDevice::ResetWithCreationParameters()
{
    if (!main_->MakeCurrent()) return false;
    ResetState(options_.verticalSync ? kSyncedInterval : kImmediateInterval);
    return true;
}

std::optional<Image> GlDevice::ReadPixels()
{
    if (!EnsureCurrent()) return std::nullopt;
    GlSurface* surface = Surface(target_);
    Image image;
    image.width = surface->Width();
    image.height = surface->Height();
    if (image.empty()) return std::nullopt;
    const std::size_t row = static_cast<std::size_t>(image.width) * 4;
    std::vector<std::uint8_t> bottomUp(row * static_cast<std::size_t>(image.height));
    glReadBuffer(surface->Framebuffer() ? GL_COLOR_ATTACHMENT0 : GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    image.rgba.resize(bottomUp.size());
    for (int y = 0; y < image.height; ++y)
        std::memcpy(image.rgba.data() + static_cast<std::size_t>(y) * row,
                    bottomUp.data() + static_cast<std::size_t>(image.height - 1 - y) * row, row);
    return image;
}

void GlDevice::SetTransform(TransformKind kind, const math::Matrix& m)
{
    state_.transforms[static_cast<int>(kind)] = m;
    switch (kind) {
    case TransformKind::World:
        modelviewDirty_ = true;
        break;
    case TransformKind::View:
        lightsDirty_ = modelviewDirty_ = true;
        break;
    case TransformKind::Projection:
        if (EnsureCurrent()) ApplyProjection();
        break;
    }
}

bool GlDevice::SetViewport(const math::Viewport& vp)
{
    const Size size = TargetSize(target_);
    if (vp.x < 0 || vp.y < 0 || vp.width <= 0 || vp.height <= 0 || vp.x + vp.width > size.width ||
        vp.y + vp.height > size.height)
        return false;
    state_.viewport = vp;
    if (EnsureCurrent()) ApplyViewport();
    return true;
}

void GlDevice::SetRenderState(RenderState s, bool on)
{
    state_.Set(s, on);
    if (EnsureCurrent()) ApplyFlag(s);
}

void GlDevice::SetCullMode(CullMode mode)
{
    state_.cull = mode;
    if (EnsureCurrent()) ApplyCull();
}

void GlDevice::SetFillMode(FillMode mode)
{
    state_.fill = mode;
    if (EnsureCurrent()) glPolygonMode(GL_FRONT_AND_BACK, mode == FillMode::Wireframe ? GL_LINE : GL_FILL);
}

void GlDevice::SetShadeMode(ShadeMode mode)
{
    state_.shade = mode;
    if (EnsureCurrent()) glShadeModel(mode == ShadeMode::Flat ? GL_FLAT : GL_SMOOTH);
}

void GlDevice::SetBlendFunc(Blend src, Blend dest)
{
    state_.srcBlend = src;
    state_.destBlend = dest;
    if (EnsureCurrent()) glBlendFunc(BlendFactor(src), BlendFactor(dest));
}

void GlDevice::SetAmbient(Color ambient)
{
    state_.ambient = ambient;
    if (!EnsureCurrent()) return;
    const GLfloat v[4] = {ambient.r, ambient.g, ambient.b, ambient.a};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, v);
}

void GlDevice::SetDiffuseMaterialSource(MaterialSource source)
{
    state_.diffuseSource = source;
}

void GlDevice::SetPointParameter(PointParameter parameter, float value)
{
    state_.Set(parameter, value);
}

void GlDevice::SetTextureStage(StageOp colorOp, StageOp alphaOp)
{
    state_.colorOp = colorOp;
    state_.alphaOp = alphaOp;
    if (EnsureCurrent()) ApplyTextureStage();
}

void GlDevice::SetSamplerFilter(Sampler sampler, Filter filter)
{
    state_.Set(sampler, filter);
    if (state_.texture && EnsureCurrent()) BindTexture();
}

void GlDevice::SetMaterial(const Material& material)
{
    if (!materialDirty_ && material == state_.material) return;
    state_.material = material;
    materialDirty_ = true;
}

void GlDevice::SetLight(int index, const Light& light)
{
    if (index < 0 || index >= kMaxLights) return;
    state_.lights[static_cast<std::size_t>(index)] = light;
    lightsDirty_ = true;
}

void GlDevice::LightEnable(int index, bool on)
{
    if (index < 0 || index >= kMaxLights) return;
    state_.lightEnabled[static_cast<std::size_t>(index)] = on;
    lightsDirty_ = true;
}

void GlDevice::SetTexture(TextureHandle texture)
{
    if (texture && texture->DeviceId() != Id()) texture = nullptr;
    // The subsets of a mesh set the same texture one after another.
    if (textureBound_ && texture == state_.texture) return;
    state_.texture = std::move(texture);
    if (EnsureCurrent()) BindTexture();
}

TextureHandle GlDevice::LoadTexture(const std::string& path)
{
    const auto key = TextureFileKey(path);
    if (!key) return nullptr;
    if (auto it = textures_.find(*key); it != textures_.end()) {
        if (auto existing = it->second.lock()) return existing;
    }
    auto image = LoadImageFile(path);
    if (!image || !EnsureCurrent()) return nullptr;
    auto texture =
        GlTexture::Create(context_, Id(), path, FitTexture(std::move(*image), caps_.maxTextureSize));
    // Creating the texture left the stage's binding as it was.
    if (!texture) return nullptr;
    for (auto it = textures_.begin(); it != textures_.end();) // forget files no longer in use
        it = it->second.expired() ? textures_.erase(it) : std::next(it);
    textures_[*key] = texture;
    return texture;
}

std::shared_ptr<MeshBuffer> GlDevice::UploadMesh(const MeshData& data)
{
    if (!EnsureCurrent()) return nullptr;
    ReleaseMesh(); // the upload binds the new buffers
    return GlMeshBuffer::Create(context_, Id(), data);
}

void GlDevice::DrawSubset(const MeshBuffer& mesh, std::uint32_t subset)
{
    if (mesh.DeviceId() != Id()) return; // only this device makes buffers with its id
    const SubsetRange range = mesh.Range(subset);
    if (range.count == 0 || !EnsureCurrent()) return;
    const auto& buffer = static_cast<const GlMeshBuffer&>(mesh);
    PrepareDraw(mesh.HasNormals(), mesh.HasColors());
    if (!mesh.HasUvs()) glTexCoord2f(0, 0);
    if (boundMesh_ != buffer.Serial()) {
        ReleaseMesh();
        buffer.Bind();
        boundMesh_ = buffer.Serial();
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(range.count), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(range.first * sizeof(std::uint32_t)));
}

void GlDevice::ReleaseMesh()
{
    if (boundMesh_ == 0) return;
    GlMeshBuffer::Unbind();
    boundMesh_ = 0;
}

void GlDevice::DrawVertices(std::span<const ColoredVertex> vertices, unsigned mode)
{
    using Vertex = LineVertex;
    std::vector<Vertex>& data = lineVertices_;
    data.resize(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const ColoredVertex& v = vertices[i];
        data[i] = {v.position.x,
                   v.position.y,
                   v.position.z,
                   {static_cast<GLubyte>(v.color >> 16), static_cast<GLubyte>(v.color >> 8),
                    static_cast<GLubyte>(v.color), static_cast<GLubyte>(v.color >> 24)}};
    }
    ReleaseMesh();
    PrepareDraw(false, true);
    glTexCoord2f(0, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &data[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), data[0].rgba);
    glDrawArrays(mode, 0, static_cast<GLsizei>(data.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}

void GlDevice::DrawLineList(std::span<const ColoredVertex> vertices)
{
    const std::size_t count = vertices.size() & ~std::size_t{1};
    if (count == 0 || !EnsureCurrent()) return;
    DrawVertices(vertices.first(count), GL_LINES);
}

void GlDevice::DrawPointList(std::span<const ColoredVertex> vertices)
{
    if (vertices.empty() || !EnsureCurrent()) return;
    const float height = static_cast<float>(std::max(1, state_.viewport.height));
    const float h2 = height * height;
    const bool scale = state_.Get(RenderState::PointScaleEnable);
    const GLfloat attenuation[3] = {scale ? state_.Get(PointParameter::ScaleA) / h2 : 1.0f,
                                    scale ? state_.Get(PointParameter::ScaleB) / h2 : 0.0f,
                                    scale ? state_.Get(PointParameter::ScaleC) / h2 : 0.0f};
    glPointSize(std::clamp(state_.Get(PointParameter::Size), 0.001f, caps_.maxPointSize));
    glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, attenuation);
    glPointParameterf(GL_POINT_SIZE_MIN, std::max(0.0f, state_.Get(PointParameter::SizeMin)));
    glPointParameterf(GL_POINT_SIZE_MAX,
                      std::clamp(state_.Get(PointParameter::SizeMax), 0.0f, caps_.maxPointSize));
    const bool sprite = state_.Get(RenderState::PointSpriteEnable);
    if (sprite) {
        glEnable(GL_POINT_SPRITE);
        glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
    }
    DrawVertices(vertices, GL_POINTS);
    if (sprite) glDisable(GL_POINT_SPRITE);
}

int GlDevice::DrawText(std::string_view text, const Rect& rect, Color color)
{
    if (!font_ || !EnsureCurrent()) return 0;
    ReleaseMesh();
    textureBound_ = false; // the font binds its own pages
    const Size size = TargetSize(target_);
    return font_->Draw(text, rect, color, size.width, size.height);
}

} // namespace gfx::gl
