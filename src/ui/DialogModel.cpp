#include "ui/DialogModel.h"

#include <algorithm>
#include <map>

namespace ui {

namespace {

const std::string kEmptyText;
const std::vector<std::string> kNoItems;
const ListView kNoList;

bool HasItems(ControlKind kind)
{
    return kind == ControlKind::ListBox || kind == ControlKind::ComboBox;
}

bool IsCheckable(ControlKind kind)
{
    return kind == ControlKind::CheckBox || kind == ControlKind::ThreeStateCheckBox ||
           kind == ControlKind::Radio;
}

int MaxCheck(ControlKind kind)
{
    return kind == ControlKind::ThreeStateCheckBox ? 2 : 1;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

} // namespace

DialogModel::DialogModel(DialogTemplate dialogTemplate)
    : template_(std::move(dialogTemplate)), title_(template_.title)
{
    std::map<std::string, int> namedSets;
    int unnamedSet = -1; // set of the run of unnamed radios we are in, -1 outside a run
    for (const auto& control : template_.controls) {
        const bool unnamedRadio = control.kind == ControlKind::Radio && control.radioGroup.empty();
        if (!unnamedRadio) unnamedSet = -1;
        if (control.id == kNoId || index_.contains(control.id)) continue;

        ControlRecord record;
        record.id = control.id;
        record.kind = control.kind;
        record.text = control.caption;
        record.enabled = control.enabled;
        record.shown = control.shown;
        record.check = IsCheckable(control.kind) ? std::clamp(control.check, 0, MaxCheck(control.kind)) : 0;
        record.items = control.items;
        record.selection =
            (control.selection >= 0 && control.selection < static_cast<int>(control.items.size()))
                ? control.selection
                : -1;
        record.rangeMin = control.rangeMin;
        record.rangeMax = std::max(control.rangeMin, control.rangeMax);
        record.position = std::clamp(control.position, record.rangeMin, record.rangeMax);
        record.tickFrequency = control.tickFrequency;
        record.labelId = control.labelId;
        if (control.kind == ControlKind::ListView) record.list = ListView(control.columns);

        if (control.kind == ControlKind::Radio) {
            if (!control.radioGroup.empty()) {
                auto [it, added] =
                    namedSets.try_emplace(control.radioGroup, static_cast<int>(radioSets_.size()));
                if (added) radioSets_.emplace_back();
                record.radioSet = it->second;
            } else {
                if (unnamedSet < 0) {
                    unnamedSet = static_cast<int>(radioSets_.size());
                    radioSets_.emplace_back();
                }
                record.radioSet = unnamedSet;
            }
            radioSets_[record.radioSet].push_back(control.id);
        }

        index_.emplace(control.id, records_.size());
        records_.push_back(std::move(record));
    }
}

void DialogModel::SetTitle(std::string title)
{
    if (title == title_) return;
    title_ = std::move(title);
    Notify(kWindowId);
}

void DialogModel::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    Notify(kWindowId);
}

const ControlRecord* DialogModel::Find(int id) const
{
    const auto it = index_.find(id);
    return it == index_.end() ? nullptr : &records_[it->second];
}

ControlRecord* DialogModel::Mutable(int id)
{
    const auto it = index_.find(id);
    return it == index_.end() ? nullptr : &records_[it->second];
}

void DialogModel::Notify(int id) const
{
    if (observer_) observer_(id);
}

ControlKind DialogModel::Kind(int id) const
{
    const auto* record = Find(id);
    return record ? record->kind : ControlKind::Label;
}

std::vector<int> DialogModel::Ids() const
{
    std::vector<int> ids;
    ids.reserve(records_.size());
    for (const auto& record : records_)
        ids.push_back(record.id);
    return ids;
}

const std::string& DialogModel::Text(int id) const
{
    const auto* record = Find(id);
    return record ? record->text : kEmptyText;
}

void DialogModel::SetText(int id, std::string text)
{
    auto* record = Mutable(id);
    if (!record || record->text == text) return;
    record->text = std::move(text);
    Notify(id);
}

bool DialogModel::IsEnabled(int id) const
{
    const auto* record = Find(id);
    return record && record->enabled;
}

void DialogModel::SetEnabled(int id, bool enabled)
{
    auto* record = Mutable(id);
    if (!record || record->enabled == enabled) return;
    record->enabled = enabled;
    Notify(id);
}

bool DialogModel::IsShown(int id) const
{
    const auto* record = Find(id);
    return record && record->shown;
}

void DialogModel::SetShown(int id, bool shown)
{
    auto* record = Mutable(id);
    if (!record || record->shown == shown) return;
    record->shown = shown;
    Notify(id);
}

int DialogModel::Check(int id) const
{
    const auto* record = Find(id);
    return record ? record->check : 0;
}

bool DialogModel::SetCheck(int id, int state)
{
    auto* record = Mutable(id);
    if (!record || !IsCheckable(record->kind) || state < 0 || state > MaxCheck(record->kind)) return false;
    if (record->kind == ControlKind::Radio && state == 1) {
        for (int other : radioSets_[record->radioSet]) {
            if (other == id) continue;
            auto* otherRecord = Mutable(other);
            if (otherRecord->check != 0) {
                otherRecord->check = 0;
                Notify(other);
            }
        }
        record = Mutable(id);
    }
    if (record->check != state) {
        record->check = state;
        Notify(id);
    }
    return true;
}

int DialogModel::CycleCheck(int id)
{
    const auto* record = Find(id);
    if (!record) return 0;
    switch (record->kind) {
    case ControlKind::ThreeStateCheckBox:
        SetCheck(id, (record->check + 1) % 3);
        break;
    case ControlKind::CheckBox:
        SetCheck(id, record->check == 1 ? 0 : 1);
        break;
    case ControlKind::Radio:
        SetCheck(id, 1);
        break;
    default:
        break;
    }
    return Check(id);
}

bool DialogModel::Click(int id)
{
    const auto* record = Find(id);
    if (!record || !record->enabled) return false;
    if (IsCheckable(record->kind)) CycleCheck(id);
    return true;
}

std::vector<int> DialogModel::RadioSetOf(int id) const
{
    const auto* record = Find(id);
    if (!record || record->radioSet < 0) return {};
    return radioSets_[record->radioSet];
}

const std::vector<std::string>& DialogModel::Items(int id) const
{
    const auto* record = Find(id);
    return record ? record->items : kNoItems;
}

int DialogModel::ItemCount(int id) const
{
    return static_cast<int>(Items(id).size());
}

const std::string& DialogModel::ItemText(int id, int index) const
{
    const auto& items = Items(id);
    return (index >= 0 && index < static_cast<int>(items.size())) ? items[index] : kEmptyText;
}

void DialogModel::SetItems(int id, std::vector<std::string> items)
{
    auto* record = Mutable(id);
    if (!record || !HasItems(record->kind)) return;
    record->items = std::move(items);
    record->selection = -1;
    Notify(id);
}

int DialogModel::AddItem(int id, std::string text)
{
    auto* record = Mutable(id);
    if (!record || !HasItems(record->kind)) return -1;
    record->items.push_back(std::move(text));
    Notify(id);
    return static_cast<int>(record->items.size()) - 1;
}

void DialogModel::ClearItems(int id)
{
    auto* record = Mutable(id);
    if (!record || (record->items.empty() && record->selection == -1)) return;
    record->items.clear();
    record->selection = -1;
    Notify(id);
}

int DialogModel::FindItem(int id, std::string_view text) const
{
    const auto& items = Items(id);
    for (int index = 0; index < static_cast<int>(items.size()); ++index) {
        if (EqualIgnoringAsciiCase(items[index], text)) return index;
    }
    return -1;
}

int DialogModel::Selection(int id) const
{
    const auto* record = Find(id);
    return record ? record->selection : -1;
}

bool DialogModel::SetSelection(int id, int index)
{
    auto* record = Mutable(id);
    if (!record || !HasItems(record->kind)) return false;
    const bool valid = index >= -1 && index < static_cast<int>(record->items.size());
    const int selection = valid ? index : -1;
    if (record->selection != selection) {
        record->selection = selection;
        Notify(id);
    }
    return valid;
}

int DialogModel::SelectOrFirst(int id, int index)
{
    const int count = ItemCount(id);
    SetSelection(id, (index >= 0 && index < count) ? index : (count > 0 ? 0 : -1));
    return Selection(id);
}

bool DialogModel::StepSelection(int id, int direction, StepMode mode)
{
    const int count = ItemCount(id);
    if (count == 0 || direction == 0) return false;
    const int current = Selection(id);
    int next = current;
    if (direction > 0) {
        if (current + 1 < count) {
            next = current + 1;
        } else if (mode == StepMode::Wrap) {
            next = 0;
        }
    } else {
        if (current > 0) {
            next = current - 1;
        } else if (mode == StepMode::Wrap) {
            next = count - 1;
        }
    }
    if (next == current) return false;
    SetSelection(id, next);
    return true;
}

int DialogModel::Position(int id) const
{
    const auto* record = Find(id);
    return record ? record->position : 0;
}

int DialogModel::RangeMin(int id) const
{
    const auto* record = Find(id);
    return record ? record->rangeMin : 0;
}

int DialogModel::RangeMax(int id) const
{
    const auto* record = Find(id);
    return record ? record->rangeMax : 0;
}

void DialogModel::SetRange(int id, int rangeMin, int rangeMax)
{
    auto* record = Mutable(id);
    if (!record || record->kind != ControlKind::Slider) return;
    rangeMax = std::max(rangeMin, rangeMax);
    const int position = std::clamp(record->position, rangeMin, rangeMax);
    if (record->rangeMin == rangeMin && record->rangeMax == rangeMax && record->position == position) return;
    record->rangeMin = rangeMin;
    record->rangeMax = rangeMax;
    record->position = position;
    Notify(id);
}

void DialogModel::SetPosition(int id, int position)
{
    auto* record = Mutable(id);
    if (!record || record->kind != ControlKind::Slider) return;
    position = std::clamp(position, record->rangeMin, record->rangeMax);
    if (record->position == position) return;
    record->position = position;
    Notify(id);
}

void DialogModel::RefreshSliderLabel(int sliderId)
{
    const auto* slider = Find(sliderId);
    if (!slider || slider->kind != ControlKind::Slider || slider->labelId == kNoId) return;
    SetText(slider->labelId, std::to_string(slider->position));
}

void DialogModel::RefreshSliderLabels()
{
    for (const auto& control : template_.controls) {
        if (control.kind == ControlKind::Slider) RefreshSliderLabel(control.id);
    }
}

const ListView& DialogModel::List(int id) const
{
    const auto* record = Find(id);
    return (record && record->kind == ControlKind::ListView) ? record->list : kNoList;
}

void DialogModel::EditList(int id, const std::function<void(ListView&)>& edit)
{
    auto* record = Mutable(id);
    if (!record || record->kind != ControlKind::ListView) return;
    edit(record->list);
    Notify(id);
}

} // namespace ui
