#include "app/RecentMaps.h"

#include <algorithm>

namespace app {

void RecentMaps::Set(const std::vector<std::string>& paths)
{
    paths_.clear();
    for (const std::string& path : paths) {
        if (path.empty() || std::find(paths_.begin(), paths_.end(), path) != paths_.end()) continue;
        if (paths_.size() == kMax) break;
        paths_.push_back(path);
    }
}

void RecentMaps::Add(const std::string& path)
{
    if (path.empty()) return;
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kMax) paths_.resize(kMax);
}

void RecentMaps::Remove(const std::string& path)
{
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

std::string RecentMaps::MenuText(std::size_t position, const std::string& path)
{
    std::string text = "&" + std::to_string(position + 1) + " ";
    for (const char c : path) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

} // namespace app
