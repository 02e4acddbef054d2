// The maps last loaded or saved, the most recent first: eight at most, each once. The settings
// file keeps them, and the file menu's "最近使ったファイル" lists them.
#pragma once

#include <string>
#include <vector>

namespace app {

class RecentMaps {
  public:
    static constexpr std::size_t kMax = 8;

    const std::vector<std::string>& Paths() const { return paths_; }
    // As read from the settings file: empty and repeated paths go, and those past the eighth.
    void Set(const std::vector<std::string>& paths);
    // The map at path was just loaded or saved: it comes first.
    void Add(const std::string& path);
    // A map that could not be opened from the list leaves it.
    void Remove(const std::string& path);
    // The menu item of the map at position (from 0): "&1 path", with the path's own "&" kept.
    static std::string MenuText(std::size_t position, const std::string& path);

  private:
    std::vector<std::string> paths_;
};

} // namespace app
