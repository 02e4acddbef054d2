#include "app/CObjectSelect.h"

#include "ui/ObjectSelectTemplate.h"

namespace app {

CObjectSelect::CObjectSelect() : model_(ui::ObjectSelectTemplate()) {}

void CObjectSelect::Initialise()
{
    for (std::size_t box = 0; box < ui::objsel::kMoveBoxes.size(); ++box)
        model_.SetText(ui::objsel::kMoveBoxes[box], ui::objsel::kMoveBoxDefaults[box]);
    ShowObjectCount(0);
}

void CObjectSelect::SetEditButtonsEnabled(bool enabled)
{
    for (const int id : ui::objsel::kEditButtons)
        model_.SetEnabled(id, enabled);
}

std::string CObjectSelect::ObjectCountText(int count)
{
    return "ｵﾌﾞｼﾞｪｸﾄ数  " + std::to_string(count) + " / " + std::to_string(kMaxObjects);
}

void CObjectSelect::ShowObjectCount(int count)
{
    model_.SetText(ui::objsel::kObjectCount, ObjectCountText(count));
}

} // namespace app
