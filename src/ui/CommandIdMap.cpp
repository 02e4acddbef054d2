#include "ui/CommandIdMap.h"

#include "ui/CommandIds.h"
#include "ui/MenuModel.h"
#include "ui/ToolBarModel.h"

#include <algorithm>

namespace ui {

CommandIdMap::CommandIdMap(std::vector<int> commandIds) : commands_(std::move(commandIds))
{
    std::sort(commands_.begin(), commands_.end());
    commands_.erase(std::unique(commands_.begin(), commands_.end()), commands_.end());
    // More commands than small ids cannot happen with our menus; drop the excess rather than
    // hand out an id the toolkit refuses.
    const auto capacity = static_cast<std::size_t>(kFrontIdLimit - kFirstFrontId);
    if (commands_.size() > capacity) commands_.resize(capacity);
}

const CommandIdMap& CommandIdMap::Main()
{
    static const CommandIdMap map = [] {
        std::vector<int> ids = MenuModel(MainMenuTemplate()).Ids();
        for (const auto& slot : MainToolBarTemplate()) {
            if (slot.kind != ToolKind::Separator) ids.push_back(slot.id);
        }
        ids.push_back(cmd::kHelpKey);
        return CommandIdMap(std::move(ids));
    }();
    return map;
}

std::optional<int> CommandIdMap::ToFront(int commandId) const
{
    const auto it = std::lower_bound(commands_.begin(), commands_.end(), commandId);
    if (it == commands_.end() || *it != commandId) return std::nullopt;
    return kFirstFrontId + static_cast<int>(it - commands_.begin());
}

std::optional<int> CommandIdMap::FromFront(int frontId) const
{
    const int index = frontId - kFirstFrontId;
    if (index < 0 || index >= static_cast<int>(commands_.size())) return std::nullopt;
    return commands_[index];
}

} // namespace ui
