#include "render/CRenderStates.h"

#include "gfx/Device.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"

namespace render {

namespace su = ui::setup;

void CRenderStates::ApplyFixedStates(gfx::Device* device, const ui::DialogModel& setUp) const
{
    if (!device) return;
    gfx::Device& d = *device;
    d.SetRenderState(gfx::RenderState::ZEnable, true);
    d.SetRenderState(gfx::RenderState::ZWriteEnable, true);
    d.SetRenderState(gfx::RenderState::DitherEnable, true);
    // Stage 0: texture × diffuse for colour and alpha alike.
    d.SetTextureStage(gfx::StageOp::Modulate, gfx::StageOp::Modulate);
    d.SetRenderState(gfx::RenderState::AlphaBlendEnable, true);
    d.SetBlendFunc(gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha);

    // The settings dialog's radios, each applied when checked, in their order.
    if (setUp.IsChecked(su::kShadeGouraud)) d.SetShadeMode(gfx::ShadeMode::Gouraud);
    if (setUp.IsChecked(su::kShadeFlat)) d.SetShadeMode(gfx::ShadeMode::Flat);
    if (setUp.IsChecked(su::kFillSolid)) d.SetFillMode(gfx::FillMode::Solid);
    if (setUp.IsChecked(su::kFillWireframe)) d.SetFillMode(gfx::FillMode::Wireframe);
    if (setUp.IsChecked(su::kCullNone)) d.SetCullMode(gfx::CullMode::None);
    if (setUp.IsChecked(su::kCullCcw)) d.SetCullMode(gfx::CullMode::Ccw);
    if (setUp.IsChecked(su::kCullCw)) d.SetCullMode(gfx::CullMode::Cw);

    // Key labels: 32 pixels near the eye, scaled with distance down to 16.
    d.SetRenderState(gfx::RenderState::PointSpriteEnable, true);
    d.SetPointParameter(gfx::PointParameter::Size, 32.0f);
    d.SetRenderState(gfx::RenderState::PointScaleEnable, true);
    d.SetPointParameter(gfx::PointParameter::SizeMin, 16.0f);
    d.SetPointParameter(gfx::PointParameter::SizeMax, 32.0f);
    d.SetPointParameter(gfx::PointParameter::ScaleA, 8.0f);
    d.SetPointParameter(gfx::PointParameter::ScaleB, 8.0f);
    d.SetPointParameter(gfx::PointParameter::ScaleC, 8.0f);
}

void CRenderStates::ApplyTextureFiltering(gfx::Device* device) const
{
    if (!device) return;
    device->SetSamplerFilter(gfx::Sampler::Min, gfx::Filter::Linear);
    device->SetSamplerFilter(gfx::Sampler::Mag, gfx::Filter::Linear);
}

void CRenderStates::SetShadeMode(gfx::Device* device, bool gouraud) const
{
    if (device) device->SetShadeMode(gouraud ? gfx::ShadeMode::Gouraud : gfx::ShadeMode::Flat);
}

void CRenderStates::SetFillMode(gfx::Device* device, bool solid) const
{
    if (device) device->SetFillMode(solid ? gfx::FillMode::Solid : gfx::FillMode::Wireframe);
}

void CRenderStates::SetCullMode(gfx::Device* device, gfx::CullMode mode) const
{
    if (device) device->SetCullMode(mode);
}

} // namespace render
