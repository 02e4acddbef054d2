// CLayout: the edits of the object dialog and the menus: place, copy, delete, typed moves and
// turns, turnout keys and routes, adding a map's objects and closing loose joints. Each is done
// here directly and recorded as one LayoutEdit.
#include "layout/CLayout.h"
#include "layout/TurnoutKeys.h"
#include "math/Matrix.h"
#include "math/Numeric.h"

#include <algorithm>
#include <cmath>

namespace layout {

namespace {

LayoutEdit ChangeEdit(const char* name, std::vector<PlacedRecord> before, const PlacedObjects& objects,
                      const SelectionState& selection)
{
    LayoutEdit edit{.name = name, .kind = LayoutEdit::Kind::Change};
    for (const PlacedRecord& was : before) {
        const PlacedObject* now = objects.Find(was.index);
        if (!now || *now == was.object) continue;
        edit.before.push_back(was);
        edit.after.push_back({was.id, was.index, *now});
    }
    edit.selectionBefore = edit.selectionAfter = selection;
    return edit;
}

std::vector<int> Range(int first, int end)
{
    std::vector<int> indices;
    for (int i = first; i < end; ++i)
        indices.push_back(i);
    return indices;
}

// The records from first to the end, just appended, as one edit that put them in.
LayoutEdit InsertEdit(const char* name, const PlacedObjects& objects, int first, const SelectionState& before,
                      SelectionState after)
{
    return {.name = name,
            .kind = LayoutEdit::Kind::Insert,
            .after = objects.Records(Range(first, objects.Count())),
            .selectionBefore = before,
            .selectionAfter = std::move(after)};
}

} // namespace

bool CLayout::ReplaceAsEdit(const char* name, const std::vector<int>& indices,
                            const std::vector<PlacedObject>& objects)
{
    std::vector<PlacedRecord> before = objects_.Records(indices);
    objects_.Replace(indices, objects);
    LayoutEdit edit = ChangeEdit(name, std::move(before), objects_, selection_.Capture());
    if (edit.before.empty()) return false;
    Done(std::move(edit));
    return true;
}

platform::Status CLayout::PlaceObject(int type, const PickRay& viewCentreRay, float reach)
{
    FinishDrag();
    if (!catalogue_.FindType(type)) return platform::Fail("no object type chosen");
    if (objects_.Count() >= kMaxPlacedObjects) return platform::Fail(LimitMessage(LimitKind::PlaceObjects));
    const PlacedObject* selected = objects_.Find(selection_.Primary());
    const float height = selected ? selected->y : 0.0f;
    // The point must be one the user sees: ahead of the eye, within the culling distance, met
    // at 1° or more (a grazing ray would throw the piece to the horizon).
    const std::optional<math::Vec3> point = DragPointAtHeight(viewCentreRay, height, reach);
    if (!point || math::Dot(*point - viewCentreRay.nearPoint, viewCentreRay.farPoint - viewCentreRay.nearPoint) < 0)
        return platform::Fail(std::string(kNoPlaceMessage));

    const SelectionState before = selection_.Capture();
    const platform::Result<int> index = objects_.Append(
        {.type = type, .x = point->x, .y = height, .z = point->z, .angle = 0, .route = 0, .key = kNoKey}, true);
    if (!index) return platform::Fail(index.error());
    // The new piece alone is selected: a Delete right after removes just that piece.
    selection_.DeselectAll();
    selection_.SetSelected(*index, true);
    selection_.SetPrimary(*index);
    LayoutEdit edit{.name = editname::kPlace,
                    .kind = LayoutEdit::Kind::Insert,
                    .after = objects_.Records({*index}),
                    .selectionBefore = before,
                    .selectionAfter = selection_.Capture()};
    Done(std::move(edit));
    return platform::Ok{};
}

platform::Status CLayout::CopySelected()
{
    FinishDrag();
    if (objects_.Count() == 0) return platform::Ok{};
    const std::vector<int> sources = selection_.Selected();
    if (objects_.Count() + static_cast<int>(sources.size()) > kMaxPlacedObjects)
        return platform::Fail(LimitMessage(LimitKind::UseObjects));
    if (sources.empty()) {
        selection_.DeselectAll();
        selection_.SetPrimary(-1);
        NotifyLayoutChanged();
        return platform::Ok{};
    }

    // Copy m goes right after the records that were there, at last + 1 + m, so no copy
    // overwrites another and no empty record is exposed.
    const SelectionState before = selection_.Capture();
    const int first = objects_.Count();
    selection_.DeselectAll();
    for (const int source : sources) {
        const PlacedObject copy = *objects_.Find(source);
        (void)objects_.Append(copy, true);
    }
    // The first copy keeps the focus, so the list shows where the copies start.
    selection_.SetSelected(first, true);
    selection_.ScrollTo(first);
    selection_.SetPrimary(-1);
    Done(InsertEdit(editname::kCopy, objects_, first, before, selection_.Capture()));
    return platform::Ok{};
}

platform::Status CLayout::DeleteSelected()
{
    FinishDrag();
    if (objects_.Count() == 0) return platform::Ok{};
    const std::vector<int> doomed = selection_.Selected();
    const SelectionState before = selection_.Capture();
    LayoutEdit edit{.name = editname::kDelete, .kind = LayoutEdit::Kind::Remove, .before = objects_.Records(doomed)};
    objects_.Remove(selection_.Mask());
    selection_.SetPrimary(-1);
    edit.selectionBefore = before;
    edit.selectionAfter = selection_.Capture();
    if (edit.before.empty()) {
        NotifyLayoutChanged();
        return platform::Ok{};
    }
    Done(std::move(edit));
    return platform::Ok{};
}

platform::Status CLayout::MoveSelectedBy(float dx, float dy, float dz)
{
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(dz))
        return platform::Fail("the move is not a finite number");
    FinishDrag();
    const std::vector<int> selected = selection_.Selected();
    std::vector<PlacedObject> moved;
    moved.reserve(selected.size());
    for (const int index : selected) {
        PlacedObject object = *objects_.Find(index);
        object.x += dx;
        object.y += dy;
        object.z += dz;
        if (!std::isfinite(object.x) || !std::isfinite(object.y) || !std::isfinite(object.z))
            return platform::Fail("the move leaves the number range");
        moved.push_back(object);
    }
    ReplaceAsEdit(editname::kMove, selected, moved);
    return platform::Ok{};
}

platform::Status CLayout::TurnSelectedBy(float degrees)
{
    if (!std::isfinite(degrees)) return platform::Fail("the angle is not a finite number");
    FinishDrag();
    const std::vector<int> selected = selection_.Selected();
    if (selected.empty()) return platform::Ok{};

    // The extremes start from the first selected object, so far-away layouts turn about their
    // own middle too.
    const PlacedObject& first = *objects_.Find(selected.front());
    float minX = first.x, maxX = first.x, minZ = first.z, maxZ = first.z;
    for (const int index : selected) {
        const PlacedObject& object = *objects_.Find(index);
        minX = std::min(minX, object.x);
        maxX = std::max(maxX, object.x);
        minZ = std::min(minZ, object.z);
        maxZ = std::max(maxZ, object.z);
    }
    const float centreX = (minX + maxX) / 2.0f;
    const float centreZ = (minZ + maxZ) / 2.0f;

    const math::Matrix turn = math::RotationY(degrees * math::kDegToRad);
    std::vector<PlacedObject> turned;
    for (const int index : selected) {
        PlacedObject object = *objects_.Find(index);
        object.angle = math::NormalizeAngle(object.angle + degrees);
        const math::Vec3 offset = math::TransformCoord({object.x - centreX, 0.0f, object.z - centreZ}, turn);
        object.x = centreX + offset.x;
        object.z = centreZ + offset.z;
        turned.push_back(object);
    }
    ReplaceAsEdit(editname::kTurn, selected, turned);
    return platform::Ok{};
}

platform::Status CLayout::AssignKey(int key)
{
    FinishDrag();
    if (!IsValidKey(key)) return platform::Fail("no turnout key " + std::to_string(key));
    std::vector<int> changed;
    std::vector<PlacedObject> keyed;
    for (const int index : selection_.Selected()) {
        PlacedObject object = *objects_.Find(index);
        const ObjectType* type = catalogue_.FindType(object.type);
        // Only turnouts take a key; other selected objects keep theirs.
        if (!type || !type->IsTurnout()) continue;
        object.key = key;
        changed.push_back(index);
        keyed.push_back(object);
    }
    if (!ReplaceAsEdit(editname::kKey, changed, keyed)) RefreshKeyMenu();
    return platform::Ok{};
}

void CLayout::SetSelectedRoute(int route)
{
    FinishDrag();
    const int index = selection_.Primary();
    if (route < 0 || route > 9 || !objects_.Find(index)) return;
    std::vector<PlacedRecord> before = objects_.Records({index});
    objects_.SetRoute(index, route);
    LayoutEdit edit = ChangeEdit(editname::kRoute, std::move(before), objects_, selection_.Capture());
    if (!edit.before.empty()) Done(std::move(edit));
}

platform::Status CLayout::AddObjects(const std::vector<PlacedObject>& added)
{
    if (added.empty()) return platform::Ok{};
    if (static_cast<std::size_t>(objects_.Count()) + added.size() > static_cast<std::size_t>(kMaxPlacedObjects))
        return platform::Fail(LimitMessage(LimitKind::PlaceObjects));
    for (const PlacedObject& object : added) {
        if (!catalogue_.FindType(object.type)) return platform::Fail("no object type " + std::to_string(object.type));
    }
    FinishDrag();
    const SelectionState before = selection_.Capture();
    const int first = objects_.Count();
    selection_.DeselectAll();
    for (const PlacedObject& object : added)
        (void)objects_.Append(object, true);
    // Appending showed the last new row; going back to the first makes the import's start what
    // the list shows.
    selection_.ScrollTo(first);
    selection_.SetPrimary(-1);
    Done(InsertEdit(editname::kImport, objects_, first, before, selection_.Capture()));
    return platform::Ok{};
}

JointMending CLayout::MendJoints()
{
    FinishDrag();
    JointMending mending = PlanJointMending(*this);
    std::vector<int> indices;
    std::vector<PlacedObject> moved;
    for (const MendMove& move : mending.moves) {
        indices.push_back(move.index);
        moved.push_back(move.after);
    }
    ReplaceAsEdit(editname::kMend, indices, moved);
    return mending;
}

} // namespace layout
