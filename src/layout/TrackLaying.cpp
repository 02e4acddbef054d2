#include "layout/TrackLaying.h"

#include "layout/CLayout.h"
#include "layout/TrackJoints.h"
#include "math/Matrix.h"
#include "math/Numeric.h"

#include <cmath>

namespace layout {

namespace {

constexpr float kRadToDeg = 57.2957795f;
constexpr float kAngleSteps = 1000.0f; // per degree
// Two points this close on the plan are one place (a line's end at a track end).
constexpr float kSamePlace = 0.05f;

constexpr std::uint32_t kOpenEndColour = 0xFF00E0FF;
constexpr std::uint32_t kCurrentEndColour = 0xFF00FF40;
constexpr float kPostHeight = 3.0f;
constexpr float kCurrentPostHeight = 6.0f;
constexpr float kArrowLength = 2.5f;
constexpr float kArrowHead = 0.8f;

float PlanDistance(math::Vec3 a, math::Vec3 b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// Heading of a direction on the plan in degrees, 0 along +z, growing towards +x (the sense in
// which an object's angle turns it).
float Heading(math::Vec3 v)
{
    return std::atan2(v.x, v.z) * kRadToDeg;
}

void AddLine(std::vector<gfx::ColoredVertex>& lines, math::Vec3 from, math::Vec3 to, std::uint32_t colour)
{
    lines.push_back({from, colour});
    lines.push_back({to, colour});
}

} // namespace

int FarEnd(const TrackTypeShape& shape, int from)
{
    const int count = static_cast<int>(shape.ends.size());
    if (from < 0 || from >= count || count < 2) return -1;
    const math::Vec3 start = shape.ends[static_cast<std::size_t>(from)].local;
    auto endAt = [&](math::Vec3 p) {
        for (int k = 0; k < count; ++k) {
            if (k != from && PlanDistance(shape.ends[static_cast<std::size_t>(k)].local, p) <= kTrackEndReach)
                return k;
        }
        return -1;
    };
    // Route 0 first, then the others in order.
    int lowestRoute = -1;
    int found = -1;
    for (const GuideLine& line : shape.lines) {
        if (line.points.size() < 2) continue;
        math::Vec3 other;
        if (PlanDistance(line.points.front(), start) <= kSamePlace)
            other = line.points.back();
        else if (PlanDistance(line.points.back(), start) <= kSamePlace)
            other = line.points.front();
        else
            continue;
        const int k = endAt(other);
        if (k >= 0 && (found < 0 || line.route < lowestRoute)) {
            found = k;
            lowestRoute = line.route;
        }
    }
    return found >= 0 ? found : (from + 1) % count;
}

PlacedObject PlaceAgainst(int type, const TrackTypeShape& shape, int join, const TrackEnd& at)
{
    const TrackTypeShape::End& end = shape.ends[static_cast<std::size_t>(join)];
    PlacedObject object{.type = type};
    // Turned so that the end's tangent points back along the other's, then moved so that the
    // end lies on the other. The angle is kept to a thousandth of a degree, as a map file
    // writes it, so that the float error of each piece does not add up along a line of them.
    const float angle = math::NormalizeAngle(Heading(-at.tangent) - Heading(end.tangent));
    object.angle = std::round(angle * kAngleSteps) / kAngleSteps;
    const math::Vec3 turned = TrackShapes::ToWorld(object, end.local);
    object.x = at.position.x - turned.x;
    object.y = at.position.y - turned.y;
    object.z = at.position.z - turned.z;
    return object;
}

std::vector<TrackEnd> OpenEnds(const CLayout& layout, int object)
{
    std::vector<TrackEnd> open;
    if (!layout.Placed().Find(object)) return open;
    const TrackShapes shapes(layout);
    const TrackJoints joints(layout, shapes);
    const std::vector<TrackEnd>& ends = joints.Ends();
    for (int e = 0; e < static_cast<int>(ends.size()); ++e) {
        const TrackEnd& end = ends[static_cast<std::size_t>(e)];
        if (end.object == object && joints.BestPartner(e).partner < 0) open.push_back(end);
    }
    return open;
}

std::vector<gfx::ColoredVertex> EndMarkerVertices(std::span<const TrackEnd> ends, int current)
{
    std::vector<gfx::ColoredVertex> lines;
    for (int k = 0; k < static_cast<int>(ends.size()); ++k) {
        const TrackEnd& end = ends[static_cast<std::size_t>(k)];
        const bool isCurrent = k == current;
        const std::uint32_t colour = isCurrent ? kCurrentEndColour : kOpenEndColour;
        const math::Vec3 p = end.position;
        const math::Vec3 d = end.tangent;
        const math::Vec3 side{d.z, 0.0f, -d.x};
        AddLine(lines, p, p + math::Vec3{0, isCurrent ? kCurrentPostHeight : kPostHeight, 0}, colour);
        // An arrow on the track pointing the way the next piece goes.
        const math::Vec3 tip = p + d * kArrowLength;
        AddLine(lines, p, tip, colour);
        AddLine(lines, tip, tip - d * kArrowHead + side * kArrowHead, colour);
        AddLine(lines, tip, tip - d * kArrowHead - side * kArrowHead, colour);
        if (isCurrent) AddLine(lines, p - side * 1.5f, p + side * 1.5f, colour);
    }
    return lines;
}

TrackLaying::Key TrackLaying::CurrentKey() const
{
    Key key;
    key.generation = layout_.History().Generation();
    key.primary = layout_.Selection().Primary();
    key.count = layout_.Placed().Count();
    key.objects = layout_.Placed().All().data();
    if (const PlacedObject* record = layout_.Placed().Find(key.primary)) key.record = *record;
    return key;
}

const std::vector<TrackEnd>& TrackLaying::Ends()
{
    const Key key = CurrentKey();
    if (key_ != key) {
        key_ = key;
        ends_ = OpenEnds(layout_, key.primary);
        // A piece goes on forwards: from the far end of its first end when that is open.
        preferred_ = 0;
        const TrackShapes shapes(layout_);
        const TrackTypeShape* shape = key.primary >= 0 ? shapes.Shape(key.record.type) : nullptr;
        const int far = shape ? FarEnd(*shape, 0) : -1;
        for (int k = 0; far >= 0 && k < static_cast<int>(ends_.size()); ++k) {
            if (ends_[static_cast<std::size_t>(k)].snap == shape->ends[static_cast<std::size_t>(far)].snap)
                preferred_ = k;
        }
    }
    return ends_;
}

int TrackLaying::Current()
{
    const std::vector<TrackEnd>& ends = Ends();
    if (ends.empty()) return -1;
    for (int k = 0; k < static_cast<int>(ends.size()); ++k) {
        const TrackEnd& end = ends[static_cast<std::size_t>(k)];
        if (end.object == currentObject_ && end.snap == currentSnap_) return k;
    }
    return preferred_;
}

void TrackLaying::MakeCurrent(int object, int snap)
{
    currentObject_ = object;
    currentSnap_ = snap;
}

void TrackLaying::NextEnd()
{
    const int current = Current();
    if (current < 0) return;
    const TrackEnd& next = ends_[static_cast<std::size_t>(current + 1) % ends_.size()];
    MakeCurrent(next.object, next.snap);
}

bool TrackLaying::ChooseEnd(int n)
{
    const std::vector<TrackEnd>& ends = Ends();
    if (n < 0 || n >= static_cast<int>(ends.size())) return false;
    MakeCurrent(ends[static_cast<std::size_t>(n)].object, ends[static_cast<std::size_t>(n)].snap);
    return true;
}

platform::Status TrackLaying::Attach(int type, bool flip)
{
    if (!layout_.Placed().Find(layout_.Selection().Primary()))
        return platform::Fail("つなぐ先の線路を選んでください");
    const TrackShapes shapes(layout_);
    const TrackTypeShape* shape = shapes.Shape(type);
    if (!layout_.Catalogue().FindType(type)) return platform::Fail("つなぐオブジェクトを選んでください");
    if (!shape || shape->ends.empty()) return platform::Fail("このオブジェクトには線路の端がないので、つなげません");
    const int current = Current();
    if (current < 0) return platform::Fail("選んだ線路に開いている端がありません");
    const TrackEnd at = ends_[static_cast<std::size_t>(current)];
    const int join = flip ? FarEnd(*shape, 0) : 0;
    return Lay(*shape, type, join < 0 ? 0 : join, at, -1);
}

platform::Status TrackLaying::TurnAttached()
{
    const int primary = layout_.Selection().Primary();
    const PlacedObject* record = layout_.Placed().Find(primary);
    if (!attached_ || !record || attached_->index != primary || !(attached_->record == *record))
        return platform::Fail("向きを変えるには、つないだばかりの線路を選んでください");
    const TrackShapes shapes(layout_);
    const TrackTypeShape* shape = shapes.Shape(record->type);
    if (!shape || shape->ends.size() < 2) return platform::Ok{};
    const int join = (attached_->join + 1) % static_cast<int>(shape->ends.size());
    return Lay(*shape, record->type, join, attached_->joint, primary);
}

platform::Status TrackLaying::Lay(const TrackTypeShape& shape, int type, int join, const TrackEnd& at, int replacing)
{
    const PlacedObject object = PlaceAgainst(type, shape, join, at);
    int index = replacing;
    if (replacing >= 0) {
        Replace(replacing, object);
    } else {
        const platform::Result<int> appended = Append(object);
        if (!appended) return platform::Fail(appended.error());
        index = *appended;
    }
    attached_ = Attached{index, *layout_.Placed().Find(index), at, join};
    const int far = FarEnd(shape, join);
    MakeCurrent(index, far >= 0 ? shape.ends[static_cast<std::size_t>(far)].snap : -1);
    return platform::Ok{};
}

platform::Result<int> TrackLaying::Append(const PlacedObject& object)
{
    if (layout_.Placed().Count() >= kMaxPlacedObjects) return platform::Fail(LimitMessage(LimitKind::PlaceObjects));
    layout_.FinishDrag();
    LayoutSelection& selection = layout_.Selection();
    const SelectionState before = selection.Capture();
    selection.DeselectAll();
    const platform::Result<int> index = layout_.Placed().Append(object, true);
    if (!index) {
        selection.Restore(before);
        return index;
    }
    selection.SetPrimary(*index);
    layout_.Done({.name = editname::kAttach,
                  .kind = LayoutEdit::Kind::Insert,
                  .after = layout_.Placed().Records({*index}),
                  .selectionBefore = before,
                  .selectionAfter = selection.Capture()});
    return index;
}

void TrackLaying::Replace(int index, const PlacedObject& object)
{
    layout_.FinishDrag();
    const std::vector<PlacedRecord> before = layout_.Placed().Records({index});
    if (before.empty() || before.front().object == object) return;
    layout_.Placed().Replace({index}, {object});
    const SelectionState selection = layout_.Selection().Capture();
    layout_.Done({.name = editname::kAttach,
                  .kind = LayoutEdit::Kind::Change,
                  .before = before,
                  .after = layout_.Placed().Records({index}),
                  .selectionBefore = selection,
                  .selectionAfter = selection});
}

std::vector<gfx::ColoredVertex> TrackLaying::MarkerVertices()
{
    return EndMarkerVertices(Ends(), Current());
}

} // namespace layout
