// CLayout: bindings, records, the selection in the placed-object list, and the list rows.
#include "layout/CLayout.h"

#include "layout/TurnoutKeys.h"
#include "math/NumberText.h"
#include "math/Numeric.h"
#include "platform/DialogService.h"
#include "platform/Utf8.h"
#include "ui/CommandIds.h"
#include "ui/DialogModel.h"
#include "ui/MenuModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace layout {

namespace {

constexpr int kList = ui::objsel::kPlacedList;
constexpr int kCatalogueList = ui::objsel::kCatalogue;

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
    return math::FormatFixed(value, 3);
}

} // namespace

CLayout::CLayout(platform::DialogService& dialogs, std::string profileSection)
    : dialogs_(dialogs), profileSection_(std::move(profileSection)),
      ownDialog_(std::make_unique<ui::DialogModel>(ui::ObjectSelectTemplate())), dialog_(ownDialog_.get())
{
    objects_.reserve(kMaxPlacedObjects);
    trig_.reserve(kMaxPlacedObjects);
}

CLayout::~CLayout() = default;

// --- bindings

void CLayout::BindObjectDialog(ui::DialogModel& dialog)
{
    if (&dialog == dialog_) return;
    const ui::DialogModel& old = *dialog_;
    dialog.SetItems(kCatalogueList, old.Items(kCatalogueList));
    dialog.SetSelection(kCatalogueList, old.Selection(kCatalogueList));
    const ui::ListView& rows = old.List(kList);
    dialog.EditList(kList, [&rows](ui::ListView& list) {
        list.DeleteAllRows();
        for (const ui::ListRow& row : rows.Rows()) {
            const int at = list.AppendRow(row.cells, row.data);
            list.SetSelected(at, row.selected);
        }
        list.SetFocusRow(rows.FocusRow());
    });
    dialog_ = &dialog;
}

void CLayout::BindMenu(ui::MenuModel* menu)
{
    menu_ = menu;
    RefreshKeyMenu();
}

void CLayout::SetKeyLabelStyle(int style)
{
    keyLabelStyle_ = style;
    RefreshKeyColumn();
}

void CLayout::SetObjectFolder(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') folder += '/';
    objectFolder_ = std::move(folder);
}

void CLayout::ShowMessage(const std::string& text, int owner) const
{
    platform::MessageRequest request;
    request.text = text;
    request.icon = platform::MessageIcon::Warning;
    request.owner = owner;
    dialogs_.ShowMessage(request);
}

void CLayout::NotifyCount()
{
    if (listener_) listener_->ObjectCountChanged(ObjectCount());
}

void CLayout::NotifyTurnout()
{
    if (listener_) listener_->TurnoutControlsChanged();
}

void CLayout::NotifyLayoutChanged()
{
    NotifyCount();
    NotifyTurnout();
}

// --- catalogue access

const ObjectType* CLayout::FindType(int index) const
{
    return index >= 0 && index < TypeCount() ? &types_[static_cast<std::size_t>(index)] : nullptr;
}

const std::string& CLayout::TypeName(int index) const
{
    static const std::string kNone;
    const ObjectType* type = FindType(index);
    return type ? type->name : kNone;
}

std::vector<std::string> CLayout::TypeNames() const
{
    std::vector<std::string> names;
    names.reserve(types_.size());
    for (const ObjectType& type : types_)
        names.push_back(type.name);
    return names;
}

int CLayout::FindTypeByName(std::string_view name) const
{
    for (int i = 0; i < TypeCount(); ++i) {
        if (platform::EqualsNoCase(types_[static_cast<std::size_t>(i)].name, name)) return i;
    }
    return -1;
}

int CLayout::CatalogueSelection() const
{
    const int selection = dialog_->Selection(kCatalogueList);
    return selection < TypeCount() ? selection : -1;
}

void CLayout::SetCatalogueSelection(int index)
{
    dialog_->SetSelection(kCatalogueList, index);
}

// --- records

const PlacedObject* CLayout::FindObject(int index) const
{
    return index >= 0 && index < ObjectCount() ? &objects_[static_cast<std::size_t>(index)] : nullptr;
}

ObjectTrig CLayout::Trig(int index) const
{
    if (index < 0 || index >= ObjectCount()) return {};
    const ObjectTrig& trig = trig_[static_cast<std::size_t>(index)];
    // The cache must always agree with the angle it was made from.
    assert(trig == ComputeTrig(objects_[static_cast<std::size_t>(index)].angle));
    return trig;
}

math::Vec3 CLayout::ObjectPosition(int index) const
{
    const PlacedObject* object = FindObject(index);
    return object ? math::Vec3{object->x, object->y, object->z} : math::Vec3{};
}

int CLayout::ObjectKey(int index) const
{
    const PlacedObject* object = FindObject(index);
    return object ? object->key : kNoKey;
}

void CLayout::SetObject(int index, const PlacedObject& object)
{
    const auto at = static_cast<std::size_t>(index);
    objects_[at] = object;
    trig_[at] = ComputeTrig(object.angle);
}

platform::Result<int> CLayout::AppendPlacedObject(const PlacedObject& object, bool select)
{
    if (ObjectCount() >= kMaxPlacedObjects) return platform::Fail(LimitMessage(LimitKind::PlaceObjects));
    if (!FindType(object.type)) return platform::Fail("no object type " + std::to_string(object.type));

    PlacedObject clean = object;
    clean.x = math::FiniteOr(clean.x, 0.0f);
    clean.y = math::FiniteOr(clean.y, 0.0f);
    clean.z = math::FiniteOr(clean.z, 0.0f);
    clean.angle = math::FiniteOr(clean.angle, 0.0f);
    if (!IsValidKey(clean.key)) clean.key = kNoKey;

    objects_.push_back(clean);
    trig_.push_back(ComputeTrig(clean.angle));
    const int index = LastPlacedIndex();
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

void CLayout::ClearPlacedObjects()
{
    objects_.clear();
    trig_.clear();
    selectedIndex_ = -1;
    dragging_ = false;
    dialog_->EditList(kList, [](ui::ListView& list) { list.DeleteAllRows(); });
    RefreshKeyMenu();
    NotifyLayoutChanged();
}

void CLayout::SetObjectRoute(int index, int route)
{
    if (index < 0 || index >= ObjectCount()) return;
    objects_[static_cast<std::size_t>(index)].route = route;
}

// --- selection

void CLayout::SetSelectedIndex(int index)
{
    selectedIndex_ = FindObject(index) ? index : -1;
}

int CLayout::ObjectOfRow(int row) const
{
    const ui::ListView& list = dialog_->List(kList);
    if (row < 0 || row >= list.RowCount()) return -1;
    const int index = ParseRowIndex(list.Cell(row, ui::objsel::kColumnNumber));
    return index >= 0 && index < ObjectCount() ? index : -1;
}

int CLayout::RowOfObject(int index) const
{
    if (!FindObject(index)) return -1;
    const ui::ListView& list = dialog_->List(kList);
    // Rows usually stand in record order; look there first.
    if (index < list.RowCount() && ObjectOfRow(index) == index) return index;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (ObjectOfRow(row) == index) return row;
    }
    return -1;
}

std::vector<int> CLayout::RowsByObject() const
{
    std::vector<int> rows(objects_.size(), -1);
    const ui::ListView& list = dialog_->List(kList);
    for (int row = 0; row < list.RowCount(); ++row) {
        const int index = ObjectOfRow(row);
        if (index >= 0 && rows[static_cast<std::size_t>(index)] < 0)
            rows[static_cast<std::size_t>(index)] = row;
    }
    return rows;
}

std::vector<bool> CLayout::SelectionMask() const
{
    std::vector<bool> mask(objects_.size(), false);
    const ui::ListView& list = dialog_->List(kList);
    for (int row = 0; row < list.RowCount(); ++row) {
        if (!list.IsSelected(row)) continue;
        const int index = ObjectOfRow(row);
        if (index >= 0) mask[static_cast<std::size_t>(index)] = true;
    }
    return mask;
}

std::vector<int> CLayout::SelectedObjects() const
{
    const std::vector<bool> mask = SelectionMask();
    std::vector<int> indices;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i]) indices.push_back(static_cast<int>(i));
    }
    return indices;
}

bool CLayout::IsObjectSelected(int index) const
{
    const int row = RowOfObject(index);
    return row >= 0 && dialog_->List(kList).IsSelected(row);
}

void CLayout::SetObjectSelected(int index, bool selected)
{
    const int row = RowOfObject(index);
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

void CLayout::ScrollToObject(int index)
{
    const int row = RowOfObject(index);
    if (row >= 0) dialog_->EditList(kList, [row](ui::ListView& list) { list.ScrollIntoView(row); });
}

void CLayout::DeselectAllRows()
{
    dialog_->EditList(kList, [](ui::ListView& list) {
        list.SelectAll(false);
        list.SetFocusRow(-1);
    });
}

int CLayout::SelectedTypeRouteCount() const
{
    const PlacedObject* object = FindObject(selectedIndex_);
    const ObjectType* type = object ? FindType(object->type) : nullptr;
    return type ? type->routeCount : 0;
}

int CLayout::SelectedRouteCount() const
{
    return SelectedTypeRouteCount();
}

int CLayout::SelectedRoute() const
{
    const PlacedObject* object = FindObject(selectedIndex_);
    return object ? object->route : -1;
}

void CLayout::SetSelectedRoute(int route)
{
    if (route < 0 || route > 9 || !FindObject(selectedIndex_)) return;
    SetObjectRoute(selectedIndex_, route);
}

std::optional<std::string> CLayout::SelectedStatus() const
{
    const PlacedObject* object = FindObject(selectedIndex_);
    if (!object) return std::nullopt;
    return "No=" + std::to_string(selectedIndex_) + "  Mesh=" + TypeName(object->type) +
           "  x=" + Fixed3(object->x) + "  y=" + Fixed3(object->y) + "  z=" + Fixed3(object->z) +
           "  r=" + Fixed3(object->angle) +
           "  Point=" + std::to_string(static_cast<std::int64_t>(object->route) + 1);
}

// --- list rows

std::vector<std::string> CLayout::RowCells(int index) const
{
    const PlacedObject& object = objects_[static_cast<std::size_t>(index)];
    return {std::to_string(index),
            TypeName(object.type),
            Fixed3(object.x),
            Fixed3(object.y),
            Fixed3(object.z),
            Fixed3(object.angle),
            KeyLabel(keyLabelStyle_, object.key)};
}

void CLayout::WriteRowCells(ui::ListView& list, int row, int index) const
{
    std::vector<std::string> cells = RowCells(index);
    for (int column = 1; column < static_cast<int>(cells.size()); ++column)
        list.SetCell(row, column, std::move(cells[static_cast<std::size_t>(column)]));
}

void CLayout::RefreshRow(int index)
{
    UpdateRows({index});
}

void CLayout::UpdateRows(const std::vector<int>& indices)
{
    if (indices.empty()) return;
    std::vector<int> rows = RowsByObject();
    dialog_->EditList(kList, [&](ui::ListView& list) {
        for (const int index : indices) {
            if (index < 0 || index >= ObjectCount()) continue;
            int& row = rows[static_cast<std::size_t>(index)];
            // A record without a row gets one at the end, so rows and records never drift apart.
            if (row < 0) row = list.AppendRow(RowCells(index));
            WriteRowCells(list, row, index);
        }
    });
}

void CLayout::RefreshKeyColumn()
{
    const std::vector<int> rows = RowsByObject();
    dialog_->EditList(kList, [&](ui::ListView& list) {
        for (std::size_t index = 0; index < rows.size(); ++index) {
            if (rows[index] >= 0)
                list.SetCell(rows[index], ui::objsel::kColumnKey,
                             KeyLabel(keyLabelStyle_, objects_[index].key));
        }
    });
}

std::array<int, kTurnoutKeyCount> CLayout::KeyUsageCounts() const
{
    std::array<int, kTurnoutKeyCount> counts{};
    for (const PlacedObject& object : objects_) {
        if (object.key >= 0 && object.key < kTurnoutKeyCount) ++counts[static_cast<std::size_t>(object.key)];
    }
    return counts;
}

void CLayout::RefreshKeyMenu()
{
    if (!menu_) return;
    const auto counts = KeyUsageCounts();
    for (int key = 0; key < kTurnoutKeyCount; ++key)
        menu_->SetSuffix(ui::cmd::kKeyFirst + key, KeyUsageSuffix(counts[static_cast<std::size_t>(key)]));
}

} // namespace layout
