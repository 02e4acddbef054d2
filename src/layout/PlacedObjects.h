// The objects placed on the layout: up to 2000 records in index order without gaps, each with
// a stable id, the cached sine and cosine of its angle, and its row in the placed-object list
// of the object dialog (list view 1031). Also the turnout side of the records: key labels and
// usage counts, and the routes the keys switch.
//
// Rows may be sorted by the dialog; every row carries its record index in column 0 and a record's
// row is always found through that column, never by position. Ids never change while a record
// lives and are never reused, so an edit can name its objects across sorts, inserts and deletes.
#pragma once

#include "input/TogglePoller.h"
#include "layout/LayoutLimits.h"
#include "layout/PlacedObject.h"
#include "math/Vector.h"
#include "platform/Result.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace input {
class CInput;
}
namespace ui {
class DialogModel;
class ListView;
} // namespace ui

namespace layout {

class ObjectCatalogue;

using ObjectId = std::uint32_t;
inline constexpr ObjectId kNoObjectId = 0;

// A record as it stood at one index, with its id: what edits keep to put records back.
struct PlacedRecord {
    ObjectId id = kNoObjectId;
    int index = -1;
    PlacedObject object;
    friend bool operator==(const PlacedRecord&, const PlacedRecord&) = default;
};

class PlacedObjects {
  public:
    // The catalogue names the types of the rows; it must outlive this object.
    explicit PlacedObjects(const ObjectCatalogue& catalogue);

    // The dialog whose list 1031 holds the rows; it must outlive this object or be rebound.
    void BindList(ui::DialogModel& dialog) { dialog_ = &dialog; }

    int Count() const { return static_cast<int>(objects_.size()); }
    int LastIndex() const { return Count() - 1; }
    std::span<const PlacedObject> All() const { return objects_; }
    // The record, or null for an index out of range.
    const PlacedObject* Find(int index) const;
    // Changes whenever a record is added, removed or rewritten (a route alone does not count),
    // and is never the same for two different sets of records: a watcher that saw a revision
    // knows nothing moved while it still reads the same.
    std::uint64_t Revision() const { return revision_; }
    // Cached sine and cosine of the object's angle (angle 0 for an index out of range).
    ObjectTrig Trig(int index) const;
    // Position of the object, (0, 0, 0) for -1 or any index out of range.
    math::Vec3 Position(int index) const;
    // Turnout key of the object, kNoKey out of range.
    int Key(int index) const;
    // Id of the record at index (kNoObjectId out of range); index of an id (-1 when gone).
    ObjectId IdOf(int index) const;
    int IndexOf(ObjectId id) const;
    std::vector<PlacedRecord> Records(const std::vector<int>& indices) const;

    // Adds a record at the end with a new id and its list row (selected and focused when
    // asked). Numbers that are not finite become 0 and a key out of range becomes kNoKey; the
    // route is kept. Fails, changing nothing, when the layout is full or the type is no
    // catalogue index.
    platform::Result<int> Append(const PlacedObject& object, bool select = false);
    // Puts records back at their indices with their ids (ascending indices); later records and
    // rows move up. Records that would not fit are left out.
    void Insert(const std::vector<PlacedRecord>& records);
    // Replaces records in place and rewrites their rows.
    void Replace(const std::vector<int>& indices, const std::vector<PlacedObject>& objects);
    // Removes the records whose flag is set with their rows; later ones move down.
    void Remove(const std::vector<bool>& doomed);
    // Empties the records and the list.
    void Clear();

    // Row of an object in the list, or -1; record index of a row (from column 0), or -1.
    int RowOfObject(int index) const;
    int ObjectOfRow(int row) const;
    // Rewrites (or adds) the rows of these records in one list edit.
    void RefreshRows(const std::vector<int>& indices);
    // Key-label style of the settings dialog (0 to 2); rewrites the key column of every row.
    void SetKeyLabelStyle(int style);
    int KeyLabelStyle() const { return keyLabelStyle_; }

    // Placed objects carrying each key 0 to 11.
    std::array<int, kTurnoutKeyCount> KeyUsageCounts() const;
    // Sets one object's route (the trains throwing a turnout, and route edits).
    void SetRoute(int index, int route);
    // Advances the route of every object that carries the key.
    void SwitchRoutes(int key);
    // Once per frame: each press of a turnout key switches once; with Shift every held key
    // switches every frame. Returns how many keys switched. Runtime moves, not edits.
    int PollTurnoutKeys(const input::CInput& input);

  private:
    const ui::ListView& List() const;
    std::vector<std::string> RowCells(int index) const;
    std::vector<int> RowsByObject() const;
    void Store(int index, const PlacedObject& object);
    void Touch();

    const ObjectCatalogue& catalogue_;
    ui::DialogModel* dialog_ = nullptr;
    int keyLabelStyle_ = 0;
    std::vector<PlacedObject> objects_;
    std::vector<ObjectTrig> trig_; // beside objects_, same length
    std::vector<ObjectId> ids_;    // beside objects_, same length
    ObjectId nextId_ = 1;
    std::uint64_t revision_ = 0;
    input::TogglePoller turnoutPoller_;
};

} // namespace layout
