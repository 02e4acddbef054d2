#include "app/AppScene.h"

#include "app/CSimulatorApp.h"
#include "layout/LayoutRenderer.h"
#include "ui/CommandIds.h"

namespace app {

AppScene::AppScene(CSimulatorApp& app, const layout::CLayout& layout, render::FrameScene& others)
    : app_(app), layout_(layout), others_(others)
{
}

void AppScene::DrawBackground(gfx::Device& device)
{
    layout::DrawBackground(&device, layout_, app_.SetUp().Model());
}

void AppScene::DrawPlacedObjects(gfx::Device& device, int pass)
{
    // Selected objects carry the wire highlight only while the map is being made.
    const bool mapEditing = app_.MainDlg().ToolBar().IsChecked(ui::cmd::kToolCreateMap);
    layout::DrawPlacedObjects(&device, layout_, pass, app_.SetUp().Model(), app_.Camera().Eye(), mapEditing);
}

void AppScene::DrawLineOverlay(gfx::Device& device)
{
    const PlaneState plane = app_.Vehicles().Plane();
    layout::DrawLineOverlay(&device, layout_, {plane.x, plane.y, plane.z});
}

std::optional<render::PreviewSubject> AppScene::PreviewType() const
{
    const layout::ObjectType* type = layout_.Catalogue().FindType(layout_.CatalogueSelection());
    if (!type) return std::nullopt;
    return render::PreviewSubject{type->sphere.center, type->sphere.radius};
}

void AppScene::DrawPreview(gfx::Device& device)
{
    layout::DrawPreview(&device, layout_);
}

} // namespace app
