#include "front/ControlInput.h"

#include <algorithm>

namespace front {

bool ApplyToModel(ui::DialogModel& model, const ControlInput& input)
{
    if (!model.Has(input.id) || !model.IsEnabled(input.id)) return false;
    switch (input.kind) {
    case ControlInput::Kind::Click:
        return model.Click(input.id);
    case ControlInput::Kind::Select:
        return model.SetSelection(input.id, input.value);
    case ControlInput::Kind::Scroll: {
        if (model.Kind(input.id) != ui::ControlKind::Slider) return false;
        model.SetPosition(input.id, input.value);
        model.RefreshSliderLabel(input.id);
        return true;
    }
    case ControlInput::Kind::Text:
        if (model.Kind(input.id) != ui::ControlKind::EditBox) return false;
        model.SetText(input.id, input.text);
        return true;
    case ControlInput::Kind::ListSelection:
        if (model.Kind(input.id) != ui::ControlKind::ListView) return false;
        model.EditList(input.id, [&](ui::ListView& list) {
            for (int row = 0; row < list.RowCount(); ++row) {
                const bool selected =
                    std::find(input.rows.begin(), input.rows.end(), row) != input.rows.end();
                list.SetSelected(row, selected);
            }
        });
        return true;
    case ControlInput::Kind::ListRowClick:
    case ControlInput::Kind::ListColumnClick:
    case ControlInput::Kind::ListKey:
        return model.Kind(input.id) == ui::ControlKind::ListView;
    }
    return false;
}

} // namespace front
