// CLayout: the object dialog's edits: place, copy, delete, typed moves and turns, the number
// filter of its boxes.
#include "layout/CLayout.h"
#include "layout/NumberFilter.h"
#include "math/Matrix.h"
#include "math/NumberText.h"
#include "math/Numeric.h"
#include "math/ValueLimits.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <algorithm>
#include <cmath>

namespace layout {

namespace {

constexpr int kList = ui::objsel::kPlacedList;
constexpr int kObjectDialog = ui::objsel::kDialogId;

int ParseRowIndex(const std::string& text, int count)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    const int index = math::ParseInt(text);
    return index < count ? index : -1;
}

// A number typed into a box of the object dialog, held to the range a map file's value of its
// kind may take. What is not a finite number stays as it is, for the caller to refuse.
float TypedValue(const ui::DialogModel& dialog, int box, math::ValueKind kind, std::string_view name)
{
    const float value = math::ParseFloat(dialog.Text(box));
    if (!std::isfinite(value)) return value;
    return math::ClampRead(value, kind, "object dialog " + std::string(name));
}

} // namespace

platform::Status CLayout::CheckPlace(int type) const
{
    if (!FindType(type)) return platform::Fail("no object type chosen");
    if (ObjectCount() >= kMaxPlacedObjects) return platform::Fail(LimitMessage(LimitKind::PlaceObjects));
    return platform::Ok{};
}

platform::Status CLayout::PlaceObject(int type, const PickRay& viewCentreRay)
{
    platform::Status check = CheckPlace(type);
    if (!check) {
        if (FindType(type)) ShowMessage(check.error(), kObjectDialog);
        return check;
    }
    const PlacedObject* selected = FindObject(selectedIndex_);
    const float height = selected ? selected->y : 0.0f;
    const std::optional<math::Vec3> point = MeetHeight(viewCentreRay, height);
    if (!point) return platform::Fail("the view centre does not meet the ground");

    const platform::Result<int> index = AppendPlacedObject(
        {.type = type, .x = point->x, .y = height, .z = point->z, .angle = 0, .route = 0, .key = kNoKey},
        true);
    if (!index) return platform::Fail(index.error());
    selectedIndex_ = *index;
    NotifyLayoutChanged();
    return platform::Ok{};
}

platform::Status CLayout::CheckCopy() const
{
    const auto selected = static_cast<int>(SelectedObjects().size());
    if (ObjectCount() + selected > kMaxPlacedObjects)
        return platform::Fail(LimitMessage(LimitKind::UseObjects));
    return platform::Ok{};
}

platform::Status CLayout::CopySelected()
{
    if (objects_.empty()) return platform::Ok{};
    platform::Status check = CheckCopy();
    if (!check) {
        ShowMessage(check.error(), kObjectDialog);
        return check;
    }
    // Copy m goes right after the records that were there, at last + 1 + m, so no copy
    // overwrites another and no empty record is exposed.
    const std::vector<int> sources = SelectedObjects();
    const int first = ObjectCount();
    for (const int source : sources) {
        objects_.push_back(objects_[static_cast<std::size_t>(source)]);
        trig_.push_back(trig_[static_cast<std::size_t>(source)]);
    }
    dialog_->EditList(kList, [&](ui::ListView& list) {
        list.SelectAll(false);
        list.SetFocusRow(-1);
        int firstRow = -1;
        for (int index = first; index < ObjectCount(); ++index) {
            const int row = list.AppendRow(RowCells(index));
            list.SetSelected(row, true);
            if (firstRow < 0) firstRow = row;
        }
        list.SetFocusRow(firstRow);
        list.ScrollIntoView(firstRow);
    });
    RefreshKeyMenu();
    selectedIndex_ = -1;
    NotifyLayoutChanged();
    return platform::Ok{};
}

platform::Status CLayout::DeleteSelected()
{
    if (objects_.empty()) return platform::Ok{};
    const std::vector<bool> doomed = SelectionMask();
    const int oldCount = ObjectCount();

    // New index of every surviving record: later records move down over the deleted ones.
    std::vector<int> newIndex(static_cast<std::size_t>(oldCount), -1);
    std::vector<PlacedObject> kept;
    std::vector<ObjectTrig> keptTrig;
    kept.reserve(objects_.size());
    for (int i = 0; i < oldCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (doomed[at]) continue;
        newIndex[at] = static_cast<int>(kept.size());
        kept.push_back(objects_[at]);
        keptTrig.push_back(trig_[at]);
    }
    objects_ = std::move(kept);
    objects_.reserve(kMaxPlacedObjects);
    trig_ = std::move(keptTrig);

    // Rows may be sorted: each row is found and renumbered through the record number it shows.
    dialog_->EditList(kList, [&](ui::ListView& list) {
        for (int row = list.RowCount() - 1; row >= 0; --row) {
            const int old = ParseRowIndex(list.Cell(row, ui::objsel::kColumnNumber), oldCount);
            const int now = old >= 0 ? newIndex[static_cast<std::size_t>(old)] : -1;
            if (now < 0) {
                list.DeleteRow(row);
            } else if (now != old) {
                list.SetCell(row, ui::objsel::kColumnNumber, std::to_string(now));
            }
        }
    });
    RefreshKeyMenu();
    selectedIndex_ = -1;
    NotifyLayoutChanged();
    return platform::Ok{};
}

platform::Status CLayout::MoveSelected()
{
    using math::ValueKind;
    return MoveSelectedBy(TypedValue(*dialog_, ui::objsel::kMoveX, ValueKind::Position, "X"),
                          TypedValue(*dialog_, ui::objsel::kMoveY, ValueKind::Position, "Y"),
                          TypedValue(*dialog_, ui::objsel::kMoveZ, ValueKind::Position, "Z"));
}

platform::Status CLayout::MoveSelectedBy(float dx, float dy, float dz)
{
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(dz))
        return platform::Fail("the move is not a finite number");
    const std::vector<int> selected = SelectedObjects();
    std::vector<PlacedObject> moved;
    moved.reserve(selected.size());
    for (const int index : selected) {
        PlacedObject object = objects_[static_cast<std::size_t>(index)];
        object.x += dx;
        object.y += dy;
        object.z += dz;
        if (!std::isfinite(object.x) || !std::isfinite(object.y) || !std::isfinite(object.z))
            return platform::Fail("the move leaves the number range");
        moved.push_back(object);
    }
    for (std::size_t i = 0; i < selected.size(); ++i)
        SetObject(selected[i], moved[i]);
    UpdateRows(selected);
    return platform::Ok{};
}

platform::Status CLayout::TurnSelected()
{
    return TurnSelectedBy(TypedValue(*dialog_, ui::objsel::kTurnAngle, math::ValueKind::Angle, "θ"));
}

platform::Status CLayout::TurnSelectedBy(float degrees)
{
    if (!std::isfinite(degrees)) return platform::Fail("the angle is not a finite number");
    const std::vector<int> selected = SelectedObjects();
    if (selected.empty()) return platform::Ok{};

    // The extremes start from the first selected object, so far-away layouts turn about their
    // own middle too.
    const PlacedObject& first = objects_[static_cast<std::size_t>(selected.front())];
    float minX = first.x, maxX = first.x, minZ = first.z, maxZ = first.z;
    for (const int index : selected) {
        const PlacedObject& object = objects_[static_cast<std::size_t>(index)];
        minX = std::min(minX, object.x);
        maxX = std::max(maxX, object.x);
        minZ = std::min(minZ, object.z);
        maxZ = std::max(maxZ, object.z);
    }
    const float centreX = (minX + maxX) / 2.0f;
    const float centreZ = (minZ + maxZ) / 2.0f;

    const math::Matrix turn = math::RotationY(degrees * math::kDegToRad);
    for (const int index : selected) {
        PlacedObject object = objects_[static_cast<std::size_t>(index)];
        object.angle = math::NormalizeAngle(object.angle + degrees);
        const math::Vec3 offset = math::TransformCoord({object.x - centreX, 0.0f, object.z - centreZ}, turn);
        object.x = centreX + offset.x;
        object.z = centreZ + offset.z;
        SetObject(index, object);
    }
    UpdateRows(selected);
    return platform::Ok{};
}

void CLayout::FilterNumberText(int boxId)
{
    const bool isBox = std::find(ui::objsel::kMoveBoxes.begin(), ui::objsel::kMoveBoxes.end(), boxId) !=
                       ui::objsel::kMoveBoxes.end();
    // Setting the text notifies a change again; that nested call has nothing left to do.
    if (!isBox || filtering_) return;
    const std::string& text = dialog_->Text(boxId);
    std::string filtered = layout::FilterNumberText(text);
    if (filtered == text) return;
    filtering_ = true;
    dialog_->SetText(boxId, std::move(filtered));
    filtering_ = false;
}

} // namespace layout
