// The object dialog "オブジェクト": the layout's editing panel. Its catalogue list chooses the
// type to place and to preview, its buttons place, copy, delete, move and turn objects, its
// four boxes hold the typed move and turn, and its placed-object list (whose selected rows are
// the layout's selection) sorts by any column. This class is the dialog's behaviour over its
// model; a window front end shows the model and calls the handlers below for user input.
#pragma once

#include "app/dialogs/ObjectSelectHost.h"
#include "layout/LayoutLimits.h"
#include "platform/Result.h"
#include "ui/DialogModel.h"

#include <string>
#include <vector>

namespace layout {
class CLayout;
}

namespace app {

// Where the dialog and its placed-object list go after a size change (pixels).
struct ObjectDialogSize {
    int windowWidth = 0;
    int windowHeight = 0;
    int listX = 0;
    int listY = 0;
    int listWidth = 0;
    int listHeight = 0;
};

class CObjectSelect {
  public:
    // Most objects a layout holds, shown in the count.
    static constexpr int kMaxObjects = layout::kMaxPlacedObjects;
    // Smallest window, and where the list lies below the fixed controls.
    static constexpr int kMinWidth = 341;
    static constexpr int kMinHeight = 229;
    static constexpr int kListMargin = 8;
    static constexpr int kListTop = 216;

    CObjectSelect();

    ui::DialogModel& Model() { return model_; }
    const ui::DialogModel& Model() const { return model_; }

    // The layout the buttons edit and the program around the dialog; either may be null (the
    // buttons then do nothing). Both must outlive the dialog or be unbound.
    void Bind(layout::CLayout* layout, ObjectSelectHost* host);

    // Dialog initialisation: the move boxes' texts and the object count.
    void Initialise();

    void Show() { model_.SetVisible(true); }
    void ToggleVisible() { model_.SetVisible(!model_.IsVisible()); }
    // "配置", "削除", "コピー", "移動", "回転", "つなぐ" and "次の端".
    void SetEditButtonsEnabled(bool enabled);
    // count = last placed index + 1.
    void ShowObjectCount(int count);
    static std::string ObjectCountText(int count);

    // --- user input; each does what the control's own notification did

    // A button or the check box clicked. False when the control is unknown or disabled.
    bool Click(int id);
    // A catalogue entry chosen in the drop-down list: the preview follows. False for an index
    // the list lacks.
    bool SelectCatalogue(int index);
    // The mouse wheel over the dialog: one catalogue entry per notch (up: the previous one),
    // stopping at either end; the preview follows.
    void OnMouseWheel(int delta);
    // Text typed into one of the X, Y, Z and θ boxes: only digits, '.' and '-' stay.
    void OnEditText(int id, std::string text);
    // The rows now selected in the placed-object list (the layout's selection).
    void OnListSelection(const std::vector<int>& rows);
    // A click in the placed-object list on row (-1: empty space), after its selection was
    // reported: the selected object follows, and with "フォーカスを合わせる" checked the camera too.
    void OnRowClick(int row);
    // A key pressed while the placed-object list has the focus (virtual key code): Up and Down
    // move the selection a row (Shift extends it from where it started) and the selected object
    // follows as on a click; Delete deletes as "削除" does and Ctrl+C copies as "コピー" does,
    // while those buttons work (map creation). False for other keys, which the list keeps.
    bool OnListKey(int key, bool shift, bool ctrl);
    // A click on the heading of column: sorts by it (again: the other way round).
    void OnColumnClick(int column);
    // Paint and mouse movement over the dialog redraw the preview.
    void OnPaint();
    void OnMouseMove();
    // A size change of the whole window and its client area. The very first one (while the
    // window is created) changes nothing and returns false; later ones keep the window at least
    // kMinWidth × kMinHeight and the list below the fixed controls with its margins.
    bool OnSize(int windowWidth, int windowHeight, int clientWidth, int clientHeight,
                ObjectDialogSize& result);
    static ObjectDialogSize FitToSize(int windowWidth, int windowHeight, int clientWidth, int clientHeight);

    // --- sort state: the column last sorted (0, the record number, at first) and its direction
    int SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return descending_; }

    // For fitting the columns of the placed-object list without measuring every row: per
    // column the heading or the cell that is widest by character count (wide characters count
    // twice), the text the column's width must hold.
    std::vector<std::string> WidestTexts() const;

  private:
    void PlaceObject();
    // "つなぐ" and "次の端", which the program around the dialog carries out.
    void TrackButton(int id);
    void AfterEdit();
    // Shows why an edit failed (nothing for success).
    void Report(const platform::Status& status);
    void RenderPreview();
    void SortBy(int column);

    ui::DialogModel model_;
    layout::CLayout* layout_ = nullptr;
    ObjectSelectHost* host_ = nullptr;
    ObjectSelectHost noHost_;
    bool filtering_ = false;
    bool firstSize_ = true;
    int sortColumn_ = 0;
    bool descending_ = false;
    int anchorRow_ = -1; // where a Shift range of the list's keys starts
};

} // namespace app
