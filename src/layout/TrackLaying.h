// Laying track from an open end: the open track ends of the selected piece, which of them is
// current, and "つなぐ", which lays a new piece of a catalogue type so that one of its track
// ends meets the current end head on (same place and height, opposite direction) and makes the
// new piece's far end current, so that the next press lays the piece after it.
#pragma once

#include "gfx/Device.h"
#include "layout/PlacedObject.h"
#include "layout/TrackShapes.h"
#include "platform/Result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace layout {

class CLayout;

namespace editname {
inline constexpr const char* kAttach = "つなぐ";
} // namespace editname

// The end of a shape that a piece laid by end `from` continues from: the other end of the line
// `from` lies on (route 0's line first, so a turnout laid by its common end continues along
// route 0), else the next end in order; -1 for a shape with fewer than two ends.
int FarEnd(const TrackTypeShape& shape, int from);

// The record of a new object of `type` whose end `join` (an index into shape.ends) meets `at`
// head on: at its place and height, its tangent opposite to at's. Route 0, no key.
PlacedObject PlaceAgainst(int type, const TrackTypeShape& shape, int join, const TrackEnd& at);

// The track ends of an object that no other track end meets (the layout check's open ends).
std::vector<TrackEnd> OpenEnds(const CLayout& layout, int object);

// The markers of open ends as the check's markers are drawn: a post and an arrow pointing out of
// the piece, cyan, the current one green and taller.
std::vector<gfx::ColoredVertex> EndMarkerVertices(std::span<const TrackEnd> ends, int current);

class TrackLaying {
  public:
    // The layout must outlive this object.
    explicit TrackLaying(CLayout& layout) : layout_(layout) {}

    // The open ends of the primary selected object (none without one), read again after any
    // change of the objects or the selection.
    const std::vector<TrackEnd>& Ends();
    // Index into Ends of the current end: the one last made current while it is still open,
    // else the far end of the piece's first end (the way the piece goes on), else the first;
    // -1 when there is none.
    int Current();
    // Tab and "次の端": the next open end becomes current (after the last, the first).
    void NextEnd();
    // The n-th open end (from 0) becomes current; false when there is no such end.
    bool ChooseEnd(int n);

    // "つなぐ": a new object of type laid against the current end by the type's first track end
    // (flip: by the far end of that one, so a curve bends the other way and a turnout faces the
    // other way), selected, its far end current. One edit. Fails, changing nothing, with the
    // message to show: nothing selected, no open end, a type without track ends, a full layout.
    platform::Status Attach(int type, bool flip = false);
    // Space: the piece just attached is laid again with its next track end at the same joint
    // (one edit). Fails when the selected piece is not the one last attached.
    platform::Status TurnAttached();

    std::vector<gfx::ColoredVertex> MarkerVertices();

  private:
    struct Attached {
        int index = -1;
        PlacedObject record;
        TrackEnd joint;
        int join = 0;
    };
    struct Key {
        std::uint64_t generation = 0;
        int primary = -1;
        int count = 0;
        const void* objects = nullptr;
        PlacedObject record;
        bool operator==(const Key&) const = default;
    };

    Key CurrentKey() const;
    void MakeCurrent(int object, int snap);
    // The new object appended and selected alone, or put in place of the record at replacing,
    // recorded as one edit.
    platform::Result<int> Append(const PlacedObject& object);
    void Replace(int index, const PlacedObject& object);
    platform::Status Lay(const TrackTypeShape& shape, int type, int join, const TrackEnd& at, int replacing);

    CLayout& layout_;
    std::optional<Key> key_;
    std::vector<TrackEnd> ends_;
    int preferred_ = 0;
    int currentObject_ = -1;
    int currentSnap_ = -1;
    std::optional<Attached> attached_;
};

} // namespace layout
