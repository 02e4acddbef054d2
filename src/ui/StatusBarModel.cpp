#include "ui/StatusBarModel.h"

namespace ui {

namespace {

const std::string kEmpty;

} // namespace

const std::string& StatusBarModel::Text(int pane) const
{
    return (pane >= 0 && pane < kPaneCount) ? texts_[pane] : kEmpty;
}

void StatusBarModel::SetText(int pane, std::string text)
{
    if (pane < 0 || pane >= kPaneCount || texts_[pane] == text) return;
    texts_[pane] = std::move(text);
    if (observer_) observer_(pane);
}

} // namespace ui
