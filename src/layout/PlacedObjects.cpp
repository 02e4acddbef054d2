#include "layout/PlacedObjects.h"

#include "input/CInput.h"
#include "layout/ObjectCatalogue.h"
#include "layout/TurnoutKeys.h"
#include "math/NumberText.h"
#include "math/Numeric.h"
#include "platform/VirtualKeys.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <charconv>
#include <climits>
#include <cmath>

namespace layout {

namespace {

constexpr int kList = ui::objsel::kPlacedList;

ObjectTrig ComputeTrig(float angle)
{
    const float radians = angle * math::kDegToRad;
    return {std::sin(radians), std::cos(radians)};
}

// The record index written in column 0, or -1 when the text is not a plain decimal number.
int ParseRowIndex(const std::string& text)
{
    int value = -1;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) return -1;
    return value;
}

std::string Fixed3(float value)
{
    return math::FormatFixedShown(value, 3);
}

} // namespace

PlacedObjects::PlacedObjects(const ObjectCatalogue& catalogue) : catalogue_(catalogue)
{
    objects_.reserve(kMaxPlacedObjects);
    trig_.reserve(kMaxPlacedObjects);
    ids_.reserve(kMaxPlacedObjects);
}

const ui::ListView& PlacedObjects::List() const
{
    assert(dialog_);
    return dialog_->List(kList);
}

// --- records

const PlacedObject* PlacedObjects::Find(int index) const
{
    return index >= 0 && index < Count() ? &objects_[static_cast<std::size_t>(index)] : nullptr;
}

ObjectTrig PlacedObjects::Trig(int index) const
{
    if (index < 0 || index >= Count()) return {};
    const ObjectTrig& trig = trig_[static_cast<std::size_t>(index)];
    // The cache must always agree with the angle it was made from.
    assert(trig == ComputeTrig(objects_[static_cast<std::size_t>(index)].angle));
    return trig;
}

math::Vec3 PlacedObjects::Position(int index) const
{
    const PlacedObject* object = Find(index);
    return object ? math::Vec3{object->x, object->y, object->z} : math::Vec3{};
}

int PlacedObjects::Key(int index) const
{
    const PlacedObject* object = Find(index);
    return object ? object->key : kNoKey;
}

ObjectId PlacedObjects::IdOf(int index) const
{
    return Find(index) ? ids_[static_cast<std::size_t>(index)] : kNoObjectId;
}

int PlacedObjects::IndexOf(ObjectId id) const
{
    if (id == kNoObjectId) return -1;
    // Ids grow with the index except where records were put back, so a binary search finds
    // most; the walk covers the rest.
    const auto at = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (at != ids_.end() && *at == id) return static_cast<int>(at - ids_.begin());
    const auto found = std::find(ids_.begin(), ids_.end(), id);
    return found == ids_.end() ? -1 : static_cast<int>(found - ids_.begin());
}

std::vector<PlacedRecord> PlacedObjects::Records(const std::vector<int>& indices) const
{
    std::vector<PlacedRecord> records;
    records.reserve(indices.size());
    for (const int index : indices) {
        if (const PlacedObject* object = Find(index)) records.push_back({IdOf(index), index, *object});
    }
    return records;
}

void PlacedObjects::Touch()
{
    // One count for the whole process, so that two lists never share a revision.
    static std::atomic<std::uint64_t> revisions{0};
    revision_ = ++revisions;
}

void PlacedObjects::Store(int index, const PlacedObject& object)
{
    Touch();
    const auto at = static_cast<std::size_t>(index);
    objects_[at] = object;
    trig_[at] = ComputeTrig(object.angle);
}

platform::Result<int> PlacedObjects::Append(const PlacedObject& object, bool select)
{
    if (Count() >= kMaxPlacedObjects) return platform::Fail(LimitMessage(LimitKind::PlaceObjects));
    if (!catalogue_.FindType(object.type))
        return platform::Fail("no object type " + std::to_string(object.type));

    PlacedObject clean = object;
    clean.x = math::FiniteOr(clean.x, 0.0f);
    clean.y = math::FiniteOr(clean.y, 0.0f);
    clean.z = math::FiniteOr(clean.z, 0.0f);
    clean.angle = math::FiniteOr(clean.angle, 0.0f);
    if (!IsValidKey(clean.key)) clean.key = kNoKey;

    Touch();
    objects_.push_back(clean);
    trig_.push_back(ComputeTrig(clean.angle));
    ids_.push_back(nextId_++);
    const int index = LastIndex();
    dialog_->EditList(kList, [&](ui::ListView& list) {
        const int row = list.AppendRow(RowCells(index));
        if (select) {
            list.SetSelected(row, true);
            list.SetFocusRow(row);
            list.ScrollIntoView(row);
        }
    });
    return index;
}

void PlacedObjects::Insert(const std::vector<PlacedRecord>& records)
{
    std::vector<int> inserted;
    for (const PlacedRecord& record : records) {
        if (Count() >= kMaxPlacedObjects) break;
        const int index = std::clamp(record.index, 0, Count());
        const auto at = static_cast<std::ptrdiff_t>(index);
        Touch();
        objects_.insert(objects_.begin() + at, record.object);
        trig_.insert(trig_.begin() + at, ComputeTrig(record.object.angle));
        ids_.insert(ids_.begin() + at, record.id);
        nextId_ = std::max(nextId_, record.id + 1);
        inserted.push_back(index);
    }
    if (inserted.empty()) return;

    // Old rows keep their place and show their new numbers; each new record gets a row where
    // its number stands in an unsorted list.
    const int count = Count();
    dialog_->EditList(kList, [&](ui::ListView& list) {
        std::vector<int> shift(static_cast<std::size_t>(count) + 1, 0);
        std::vector<bool> isNew(static_cast<std::size_t>(count), false);
        for (const int index : inserted)
            isNew[static_cast<std::size_t>(index)] = true;
        // old index -> new index: the n-th surviving record is the n-th index not new.
        std::vector<int> newOfOld;
        for (int i = 0; i < count; ++i) {
            if (!isNew[static_cast<std::size_t>(i)]) newOfOld.push_back(i);
        }
        for (int row = 0; row < list.RowCount(); ++row) {
            const int old = ParseRowIndex(list.Cell(row, ui::objsel::kColumnNumber));
            if (old < 0 || old >= static_cast<int>(newOfOld.size())) continue;
            const int now = newOfOld[static_cast<std::size_t>(old)];
            if (now != old) list.SetCell(row, ui::objsel::kColumnNumber, std::to_string(now));
        }
        for (const int index : inserted)
            list.InsertRow(std::min(index, list.RowCount()), RowCells(index));
    });
}

void PlacedObjects::Replace(const std::vector<int>& indices, const std::vector<PlacedObject>& objects)
{
    std::vector<int> changed;
    for (std::size_t i = 0; i < indices.size() && i < objects.size(); ++i) {
        if (!Find(indices[i])) continue;
        Store(indices[i], objects[i]);
        changed.push_back(indices[i]);
    }
    RefreshRows(changed);
}

void PlacedObjects::Remove(const std::vector<bool>& doomed)
{
    Touch();
    const int oldCount = Count();
    // New index of every surviving record: later records move down over the removed ones.
    std::vector<int> newIndex(static_cast<std::size_t>(oldCount), -1);
    int kept = 0;
    for (int i = 0; i < oldCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (at < doomed.size() && doomed[at]) continue;
        newIndex[at] = kept;
        const auto to = static_cast<std::size_t>(kept++);
        objects_[to] = objects_[at];
        trig_[to] = trig_[at];
        ids_[to] = ids_[at];
    }
    objects_.resize(static_cast<std::size_t>(kept));
    trig_.resize(static_cast<std::size_t>(kept));
    ids_.resize(static_cast<std::size_t>(kept));

    // Rows may be sorted: each row is found and renumbered through the record number it shows.
    dialog_->EditList(kList, [&](ui::ListView& list) {
        for (int row = list.RowCount() - 1; row >= 0; --row) {
            const int old = ParseRowIndex(list.Cell(row, ui::objsel::kColumnNumber));
            const int now = old >= 0 && old < oldCount ? newIndex[static_cast<std::size_t>(old)] : -1;
            if (now < 0) {
                list.DeleteRow(row);
            } else if (now != old) {
                list.SetCell(row, ui::objsel::kColumnNumber, std::to_string(now));
            }
        }
    });
}

void PlacedObjects::Clear()
{
    Touch();
    objects_.clear();
    trig_.clear();
    ids_.clear();
    dialog_->EditList(kList, [](ui::ListView& list) { list.DeleteAllRows(); });
}

// --- list rows

int PlacedObjects::ObjectOfRow(int row) const
{
    const ui::ListView& list = List();
    if (row < 0 || row >= list.RowCount()) return -1;
    const int index = ParseRowIndex(list.Cell(row, ui::objsel::kColumnNumber));
    return index >= 0 && index < Count() ? index : -1;
}

int PlacedObjects::RowOfObject(int index) const
{
    if (!Find(index)) return -1;
    const ui::ListView& list = List();
    // Rows usually stand in record order; look there first.
    if (index < list.RowCount() && ObjectOfRow(index) == index) return index;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (ObjectOfRow(row) == index) return row;
    }
    return -1;
}

std::vector<int> PlacedObjects::RowsByObject() const
{
    std::vector<int> rows(objects_.size(), -1);
    const ui::ListView& list = List();
    for (int row = 0; row < list.RowCount(); ++row) {
        const int index = ObjectOfRow(row);
        if (index >= 0 && rows[static_cast<std::size_t>(index)] < 0)
            rows[static_cast<std::size_t>(index)] = row;
    }
    return rows;
}

std::vector<std::string> PlacedObjects::RowCells(int index) const
{
    const PlacedObject& object = objects_[static_cast<std::size_t>(index)];
    const ObjectType* type = catalogue_.FindType(object.type);
    std::string typeName = catalogue_.TypeName(object.type);
    if (type && type->missing) typeName += ObjectCatalogue::kMissingSuffix;
    return {std::to_string(index),
            std::move(typeName),
            Fixed3(object.x),
            Fixed3(object.y),
            Fixed3(object.z),
            Fixed3(object.angle),
            KeyLabel(keyLabelStyle_, object.key)};
}

void PlacedObjects::RefreshRows(const std::vector<int>& indices)
{
    if (indices.empty()) return;
    std::vector<int> rows = RowsByObject();
    dialog_->EditList(kList, [&](ui::ListView& list) {
        for (const int index : indices) {
            if (index < 0 || index >= Count()) continue;
            int& row = rows[static_cast<std::size_t>(index)];
            // A record without a row gets one at the end, so rows and records never drift apart.
            if (row < 0) row = list.AppendRow(RowCells(index));
            std::vector<std::string> cells = RowCells(index);
            for (int column = 1; column < static_cast<int>(cells.size()); ++column)
                list.SetCell(row, column, std::move(cells[static_cast<std::size_t>(column)]));
        }
    });
}

void PlacedObjects::SetKeyLabelStyle(int style)
{
    keyLabelStyle_ = style;
    const std::vector<int> rows = RowsByObject();
    dialog_->EditList(kList, [&](ui::ListView& list) {
        for (std::size_t index = 0; index < rows.size(); ++index) {
            if (rows[index] >= 0)
                list.SetCell(rows[index], ui::objsel::kColumnKey,
                             KeyLabel(keyLabelStyle_, objects_[index].key));
        }
    });
}

// --- turnouts

std::array<int, kTurnoutKeyCount> PlacedObjects::KeyUsageCounts() const
{
    std::array<int, kTurnoutKeyCount> counts{};
    for (const PlacedObject& object : objects_) {
        if (object.key >= 0 && object.key < kTurnoutKeyCount) ++counts[static_cast<std::size_t>(object.key)];
    }
    return counts;
}

void PlacedObjects::SetRoute(int index, int route)
{
    if (index < 0 || index >= Count()) return;
    objects_[static_cast<std::size_t>(index)].route = route;
}

void PlacedObjects::SwitchRoutes(int key)
{
    if (key < 0 || key >= kTurnoutKeyCount) return;
    for (PlacedObject& object : objects_) {
        if (object.key != key) continue;
        const ObjectType* type = catalogue_.FindType(object.type);
        const int routeCount = type ? type->routeCount : 0;
        // A route at or beyond the route count (only from a map file) keeps counting up; it
        // stops at the top of the int range instead of overflowing. Drawing and the surface
        // queries check a route before they use it as a subset.
        if (object.route < INT_MAX) ++object.route;
        if (object.route == routeCount) object.route = 0;
    }
}

int PlacedObjects::PollTurnoutKeys(const input::CInput& input)
{
    const bool shift = input.KeyDown(platform::vk::kShift) != 0;
    int switched = 0;
    for (int key = 0; key < kTurnoutKeyCount; ++key) {
        const int vk = kTurnoutKeyCodes[static_cast<std::size_t>(key)];
        if (shift) {
            if (input.KeyDown(vk)) {
                SwitchRoutes(key);
                ++switched;
            }
            // Presses made under Shift are taken as seen, so that they do not switch once more
            // after Shift is released.
            turnoutPoller_.Skip(input, vk);
        } else if (turnoutPoller_.Pressed(input, vk)) {
            SwitchRoutes(key);
            ++switched;
        }
    }
    return switched;
}

} // namespace layout
