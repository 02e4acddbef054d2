// One edit of the layout as a command: the records it changed, put in or took out, each with
// its stable id, and the selection before and after it. Applying and undoing work through the
// ids, so an edit finds its objects whatever the list's sort and whatever was removed since.
// Snapshots of whole records keep undo exact: a save after undo is the save before the edit.
//
// EditHistory keeps the edits done and undone, and whether the layout has changed since it was
// last saved or loaded.
#pragma once

#include "layout/LayoutSelection.h"
#include "layout/PlacedObjects.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace layout {

class ObjectCatalogue;

// What users see an edit called in the undo menu ("元に戻す: 削除 (3 個)").
namespace editname {
inline constexpr const char* kPlace = "配置";
inline constexpr const char* kCopy = "コピー";
inline constexpr const char* kDelete = "削除";
inline constexpr const char* kMove = "移動";
inline constexpr const char* kTurn = "回転";
inline constexpr const char* kRaise = "上下移動";
inline constexpr const char* kDrag = "ドラッグ";
inline constexpr const char* kKey = "キー設定";
inline constexpr const char* kRoute = "ポイント設定";
inline constexpr const char* kImport = "インポート";
inline constexpr const char* kClear = "オブジェクトデータの読込み";
inline constexpr const char* kMend = "継ぎ目合わせ";
inline constexpr const char* kOperation = "運転設定";
} // namespace editname

struct LayoutEdit {
    enum class Kind {
        Change, // the records in before became those in after, in place
        Insert, // the records in after were put in
        Remove, // the records in before were taken out
        Data,   // no record changed: data kept beside them went from dataBefore to dataAfter
    };

    std::string name{};
    Kind kind = Kind::Change;
    std::vector<PlacedRecord> before{};
    std::vector<PlacedRecord> after{};
    SelectionState selectionBefore{};
    SelectionState selectionAfter{};
    // The catalogue's type names by index when the edit was done (shared by every edit of one
    // catalogue): the records' type numbers mean those names, so that undo and redo after an
    // object-folder change find the same types in the catalogue loaded since. Null: the
    // numbers are the current catalogue's.
    std::shared_ptr<const std::vector<std::string>> typeNames{};
    // Data: the lines of the map's section that the edit changed, before and after.
    std::vector<std::string> dataBefore{};
    std::vector<std::string> dataAfter{};

    // Objects the edit touched.
    std::size_t Count() const
    {
        return kind == Kind::Data ? 1 : kind == Kind::Insert ? after.size() : before.size();
    }
    // "削除 (3 個)".
    std::string Label() const;
    // Doing it (again) and undoing it on the records; the caller restores the selection.
    // Only records whose type the catalogue still holds (by name) are put back.
    void Apply(PlacedObjects& objects, const ObjectCatalogue& catalogue) const;
    void Undo(PlacedObjects& objects, const ObjectCatalogue& catalogue) const;
};

class EditHistory {
  public:
    // Steps kept; the oldest goes when a new one would pass this.
    static constexpr std::size_t kDepth = 500;

    // An edit that was just done: it becomes the next to undo and the redo steps go.
    void Record(LayoutEdit edit);
    // The edit to undo or redo next, moving the history one step; null when there is none.
    const LayoutEdit* StepBack();
    const LayoutEdit* StepForward();
    const LayoutEdit* NextUndo() const { return done_ > 0 ? &steps_[done_ - 1] : nullptr; }
    const LayoutEdit* NextRedo() const { return done_ < steps_.size() ? &steps_[done_] : nullptr; }
    std::size_t UndoCount() const { return done_; }
    std::size_t RedoCount() const { return steps_.size() - done_; }

    // The layout differs from its file: set by every edit, and by an undo or redo that leaves
    // the step at which it was last saved or loaded; cleared by one that comes back to it.
    bool Changed() const { return changed_; }
    // Saved or loaded: unchanged from here.
    void MarkSaved()
    {
        changed_ = false;
        savedAt_ = done_;
    }
    // Holds what no file holds (a layout brought back from a recovery file).
    void MarkChanged()
    {
        changed_ = true;
        savedAt_.reset();
        ++generation_;
    }
    // Forgets every step (a map was loaded); the changed flag stays.
    void Clear();
    // Counts every edit, undo and redo ever made, so that a watcher (autosave) can tell how
    // many happened since it last looked.
    std::uint64_t Generation() const { return generation_; }

  private:
    std::vector<LayoutEdit> steps_;
    std::size_t done_ = 0;
    bool changed_ = false;
    // The step count at which the layout matched its file; none once no step leads back there.
    std::optional<std::size_t> savedAt_ = 0;
    std::uint64_t generation_ = 0;
};

} // namespace layout
