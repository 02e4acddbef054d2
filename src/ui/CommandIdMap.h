// Two numberings of the menu and tool-bar commands: the program's own ids, which the models
// and handlers use and several of which lie above 32767, and small ids for a front end whose
// toolkit accepts nothing above 32767. The small ids are numbered from kFirstFrontId in the
// order of the original ids, clear of the toolkit's reserved block and of the dialogs'
// control ids.
#pragma once

#include <optional>
#include <vector>

namespace ui {

class CommandIdMap {
  public:
    static constexpr int kFirstFrontId = 20000;
    static constexpr int kFrontIdLimit = 32767; // every front id stays below it

    // Ids in any order; repeats count once.
    explicit CommandIdMap(std::vector<int> commandIds);

    // The main window's commands: every menu item and tool-bar button, and the help key.
    static const CommandIdMap& Main();

    std::optional<int> ToFront(int commandId) const;
    std::optional<int> FromFront(int frontId) const;
    // The original ids, ascending.
    const std::vector<int>& Commands() const { return commands_; }

  private:
    std::vector<int> commands_;
};

} // namespace ui
