// The behaviour of the "平面図の書き出し" dialog: the file (".pdf" or ".svg", typed or chosen), the
// scale (fitted to one page, 1:87, 1:150, 1:220 or a typed 1:N), the paper and its orientation,
// and whether the grid, the turnout keys and the scenery are drawn. "書き出し" checks the boxes
// first: a bad file name or scale is said in a message and the dialog stays open with what was
// typed; a write that fails says why and also stays. A plan written is said, and the dialog closes.
#pragma once

#include "plan/PlanExport.h"
#include "platform/Result.h"
#include "ui/DialogModel.h"

#include <functional>
#include <string>

namespace platform {
class DialogService;
}

namespace app {

class PlanExportDialog {
  public:
    using Writer =
        std::function<platform::Result<plan::PlanExportResult>(const std::string& path, const plan::PlanOptions&)>;

    PlanExportDialog();

    ui::DialogModel& Dialog() { return dialog_; }
    const ui::DialogModel& Dialog() const { return dialog_; }

    // Shows the dialog; an empty file box gets the suggested file.
    void Open(const std::string& suggested);
    // A button of the dialog: the chooser, writing through write, or cancelling.
    void Click(int id, platform::DialogService& dialogs, const Writer& write);

    // The path and options the boxes hold, or what is wrong with them, in the user's words.
    platform::Result<plan::PlanOptions> Options() const;
    // The scale of the plan last written (0: fitted to a page), which the parts list follows.
    int ChosenScale() const { return chosenScale_; }

  private:
    void Write(platform::DialogService& dialogs, const Writer& write);

    ui::DialogModel dialog_;
    int chosenScale_ = 0;
};

} // namespace app
