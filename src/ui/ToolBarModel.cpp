#include "ui/ToolBarModel.h"

#include "ui/CommandIds.h"

namespace ui {

namespace {

const ToolSlotTemplate kNoSlot;
const std::string kEmpty;

} // namespace

std::vector<ToolSlotTemplate> MainToolBarTemplate()
{
    using namespace cmd;
    const ToolState checked{.enabled = true, .checked = true};
    const ToolState indeterminate{.enabled = false, .checked = false, .indeterminate = true};
    const ToolState greyed{.enabled = false};
    const ToolSlotTemplate separator{};

    std::vector<ToolSlotTemplate> slots = {
        {kToolLoadMap, ToolKind::Button, "マップデータの読込み", {}},
        {kToolSaveMap, ToolKind::Button, "マップデータの保存", {}},
        // The edit menu's undo and redo, greyed with its entries.
        {kToolUndo, ToolKind::Button, "元に戻す", greyed},
        {kToolRedo, ToolKind::Button, "やり直し", greyed},
        separator,
        {kToolCreateMap, ToolKind::Check, "マップの作成", {}},
        separator,
        {kToolMoveCar, ToolKind::Check, "電車１両の移動", {}},
        {kToolMoveTrain, ToolKind::Check, "電車１編成の移動", {}},
        separator,
        {kToolGrid, ToolKind::Check, "グリッド", checked},
        {kToolMagnet, ToolKind::Check, "マグネット", checked},
        separator,
        {kToolCurveDetection, ToolKind::Check, "カーブの検出", checked},
        {kToolHeightDetection, ToolKind::Check, "高さの検出", checked},
        separator,
    };
    const char* const points[10] = {"ポイント１", "ポイント２", "ポイント３", "ポイント４", "ポイント５",
                                    "ポイント６", "ポイント７", "ポイント８", "ポイント９", "ポイント１０"};
    for (int route = 0; route < 10; ++route) {
        slots.push_back({kToolPoints[route], ToolKind::CheckGroup, points[route], indeterminate});
    }
    // Pressed while paused, and while fast-forwarding.
    slots.push_back(separator);
    slots.push_back({kToolPause, ToolKind::Check, "一時停止", {}});
    slots.push_back({kToolFastForward, ToolKind::Check, "早送り", {}});
    slots.push_back({kToolWholeLayout, ToolKind::Button, "全体を表示", {}});
    // The ruler, after them so that the slots before it keep their places.
    slots.push_back({kToolMeasure, ToolKind::Check, "計測", {}});
    slots.push_back({kToolOperation, ToolKind::Button, "運転管理", {}});
    return slots;
}

ToolBarModel::ToolBarModel(std::vector<ToolSlotTemplate> slots) : slots_(std::move(slots))
{
    for (auto& slot : slots_) {
        if (slot.kind == ToolKind::Separator) slot.state = {};
    }
}

const ToolSlotTemplate& ToolBarModel::Slot(int slot) const
{
    return (slot >= 0 && slot < SlotCount()) ? slots_[slot] : kNoSlot;
}

int ToolBarModel::SlotOf(int id) const
{
    if (id == 0) return -1;
    for (int slot = 0; slot < SlotCount(); ++slot) {
        if (slots_[slot].id == id && slots_[slot].kind != ToolKind::Separator) return slot;
    }
    return -1;
}

const std::string& ToolBarModel::ToolTip(int id) const
{
    const int slot = SlotOf(id);
    return slot >= 0 ? slots_[slot].toolTip : kEmpty;
}

ToolState ToolBarModel::State(int id) const
{
    const int slot = SlotOf(id);
    return slot >= 0 ? slots_[slot].state : ToolState{.enabled = false};
}

void ToolBarModel::Assign(int slot, ToolState state)
{
    if (slots_[slot].state == state) return;
    slots_[slot].state = state;
    if (observer_) observer_(slots_[slot].id);
}

std::pair<int, int> ToolBarModel::GroupRange(int slot) const
{
    int first = slot;
    while (first > 0 && slots_[first - 1].kind == ToolKind::CheckGroup)
        --first;
    int last = slot + 1;
    while (last < SlotCount() && slots_[last].kind == ToolKind::CheckGroup)
        ++last;
    return {first, last};
}

void ToolBarModel::SetState(int id, ToolState state)
{
    const int slot = SlotOf(id);
    if (slot >= 0) Assign(slot, state);
}

void ToolBarModel::SetChecked(int id, bool checked)
{
    const int slot = SlotOf(id);
    if (slot < 0) return;
    if (checked && slots_[slot].kind == ToolKind::CheckGroup) {
        const auto [first, last] = GroupRange(slot);
        for (int other = first; other < last; ++other) {
            if (other == slot || !slots_[other].state.checked) continue;
            auto released = slots_[other].state;
            released.checked = false;
            Assign(other, released);
        }
    }
    auto state = slots_[slot].state;
    state.checked = checked;
    Assign(slot, state);
}

void ToolBarModel::SetEnabled(int id, bool enabled)
{
    const int slot = SlotOf(id);
    if (slot < 0) return;
    auto state = slots_[slot].state;
    state.enabled = enabled;
    Assign(slot, state);
}

bool ToolBarModel::Click(int id)
{
    const int slot = SlotOf(id);
    if (slot < 0 || !slots_[slot].state.enabled || slots_[slot].state.indeterminate) return false;
    switch (slots_[slot].kind) {
    case ToolKind::Check:
        SetChecked(id, !slots_[slot].state.checked);
        break;
    case ToolKind::CheckGroup:
        SetChecked(id, true);
        break;
    default:
        break;
    }
    return true;
}

} // namespace ui
