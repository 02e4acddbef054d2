#include "layout/LayoutSelection.h"

#include "layout/ObjectCatalogue.h"
#include "math/NumberText.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <cstdint>

namespace layout {

namespace {

constexpr int kList = ui::objsel::kPlacedList;

std::string Fixed3(float value)
{
    return math::FormatFixedShown(value, 3);
}

} // namespace

LayoutSelection::LayoutSelection(const ObjectCatalogue& catalogue, const PlacedObjects& objects)
    : catalogue_(catalogue), objects_(objects)
{
}

void LayoutSelection::SetPrimary(int index)
{
    primary_ = objects_.Find(index) ? index : -1;
}

math::Vec3 LayoutSelection::PrimaryPosition() const
{
    return objects_.Position(primary_);
}

std::vector<bool> LayoutSelection::Mask() const
{
    std::vector<bool> mask(static_cast<std::size_t>(objects_.Count()), false);
    const ui::ListView& list = dialog_->List(kList);
    for (int row = 0; row < list.RowCount(); ++row) {
        if (!list.IsSelected(row)) continue;
        const int index = objects_.ObjectOfRow(row);
        if (index >= 0) mask[static_cast<std::size_t>(index)] = true;
    }
    return mask;
}

std::vector<int> LayoutSelection::Selected() const
{
    const std::vector<bool> mask = Mask();
    std::vector<int> indices;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i]) indices.push_back(static_cast<int>(i));
    }
    return indices;
}

bool LayoutSelection::IsSelected(int index) const
{
    const int row = objects_.RowOfObject(index);
    return row >= 0 && dialog_->List(kList).IsSelected(row);
}

void LayoutSelection::SetSelected(int index, bool selected)
{
    const int row = objects_.RowOfObject(index);
    if (row < 0) return;
    dialog_->EditList(kList, [&](ui::ListView& list) {
        list.SetSelected(row, selected);
        if (selected) {
            list.SetFocusRow(row);
        } else if (list.FocusRow() == row) {
            list.SetFocusRow(-1);
        }
    });
}

void LayoutSelection::ScrollTo(int index)
{
    const int row = objects_.RowOfObject(index);
    if (row >= 0) dialog_->EditList(kList, [row](ui::ListView& list) { list.ScrollIntoView(row); });
}

void LayoutSelection::DeselectAll()
{
    dialog_->EditList(kList, [](ui::ListView& list) {
        list.SelectAll(false);
        list.SetFocusRow(-1);
    });
}

SelectionState LayoutSelection::Capture() const
{
    SelectionState state;
    for (const int index : Selected())
        state.ids.push_back(objects_.IdOf(index));
    state.primary = objects_.IdOf(primary_);
    return state;
}

void LayoutSelection::Restore(const SelectionState& state)
{
    std::vector<bool> wanted(static_cast<std::size_t>(objects_.Count()), false);
    int first = -1;
    for (const ObjectId id : state.ids) {
        const int index = objects_.IndexOf(id);
        if (index < 0) continue;
        wanted[static_cast<std::size_t>(index)] = true;
        if (first < 0 || index < first) first = index;
    }
    dialog_->EditList(kList, [&](ui::ListView& list) {
        int focus = -1;
        for (int row = 0; row < list.RowCount(); ++row) {
            const int index = objects_.ObjectOfRow(row);
            const bool selected = index >= 0 && wanted[static_cast<std::size_t>(index)];
            list.SetSelected(row, selected);
            if (index == first && first >= 0) focus = row;
        }
        list.SetFocusRow(focus);
    });
    primary_ = objects_.IndexOf(state.primary);
}

int LayoutSelection::PrimaryRouteCount() const
{
    const PlacedObject* object = objects_.Find(primary_);
    const ObjectType* type = object ? catalogue_.FindType(object->type) : nullptr;
    return type ? type->routeCount : 0;
}

int LayoutSelection::PrimaryRoute() const
{
    const PlacedObject* object = objects_.Find(primary_);
    return object ? object->route : -1;
}

std::optional<std::string> LayoutSelection::Status() const
{
    const PlacedObject* object = objects_.Find(primary_);
    if (!object) return std::nullopt;
    return "No=" + std::to_string(primary_) + "  Mesh=" + catalogue_.TypeName(object->type) +
           "  x=" + Fixed3(object->x) + "  y=" + Fixed3(object->y) + "  z=" + Fixed3(object->z) +
           "  r=" + Fixed3(object->angle) +
           "  Point=" + std::to_string(static_cast<std::int64_t>(object->route) + 1);
}

} // namespace layout
