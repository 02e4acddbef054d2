// A modeless dialog window built from a dialog model's template: every control becomes its wx
// widget (hidden ones too, never shown), laid out in columns of group boxes with the list views
// stretching below. User input goes to the control handler, which either runs the dialog's
// behaviour or lets the control change its record; every change of a record, whoever made it,
// comes back through the model's observer and is shown.
#pragma once

#include "front/ControlInput.h"

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>
#include <wx/dialog.h>

class wxRadioButton;
class wxSizer;
class wxStaticBox;
class wxStaticText;

namespace front {

class ModelListCtrl;

struct DialogLayoutHints {
    // The blocks above the list views are split into this many columns.
    int columns = 1;
    // Smallest sizes of particular controls (list boxes, pictures).
    std::map<int, wxSize> minSizes{};
    // Label and box pairs side by side on one line inside a group box (a lower dialog).
    int pairsPerLine = 1;
    bool resizable = false;
};

class ModelDialog final : public wxDialog {
  public:
    using ControlHandler = std::function<void(const ControlInput& input)>;
    // Makes the window of a picture control (a GL canvas, say); nothing gives a plain frame.
    using PictureFactory = std::function<wxWindow*(wxWindow* parent, int id)>;
    using CloseHandler = std::function<void()>;
    using ModalRunner = std::function<void(wxDialog& dialog)>;

    ModelDialog(wxWindow* parent, ui::DialogModel& model, const DialogLayoutHints& hints,
                const PictureFactory& pictures = {});
    ~ModelDialog() override;

    // Default: the control changes its own record (ApplyToModel).
    void SetControlHandler(ControlHandler handler) { handler_ = std::move(handler); }
    // The close box and Escape. Default: the model is hidden.
    void SetCloseHandler(CloseHandler handler) { close_ = std::move(handler); }
    // Makes the dialog modal: shown by running it with runner once the model becomes visible,
    // ended when the model is hidden (and the model hidden when the dialog ends otherwise).
    void SetModalRunner(ModalRunner runner) { modal_ = std::move(runner); }

    // For a list view: per column the text the column's width must hold.
    void SetWidestTexts(int id, std::function<std::vector<std::string>()> widest);

    ui::DialogModel& Model() { return model_; }
    // The widget of a control id, or null.
    wxWindow* Control(int id) const;

  private:
    struct Frame;
    struct Item;

    void Build(const DialogLayoutHints& hints, const PictureFactory& pictures);
    wxWindow* CreateWidget(const ui::ControlTemplate& control, const PictureFactory& pictures);
    void BindInput(wxWindow* widget, const ui::ControlTemplate& control);
    int FrameOf(const std::string& title, int parentFrame);
    wxSizer* LayOut(int frame, const DialogLayoutHints& hints);
    void LayOutTop(const DialogLayoutHints& hints);

    void Send(const ControlInput& input);
    void OnModelChanged(int id);
    void Sync(int id);
    void SyncRadioSet(int id);
    void SyncWindow();
    void OnClose(wxCloseEvent& event);

    ui::DialogModel& model_;
    ControlHandler handler_;
    CloseHandler close_;
    ModalRunner modal_;
    bool modalPending_ = false;

    std::unordered_map<int, wxWindow*> widgets_;
    std::unordered_map<int, wxStaticText*> sliderCaptions_;
    std::unordered_map<int, ModelListCtrl*> lists_;
    // Per radio set, the hidden radio that is checked when none of the set is.
    std::unordered_map<int, wxRadioButton*> noRadio_;
    std::vector<Frame> frames_; // frame 0 is the dialog itself
    bool syncing_ = false;
};

} // namespace front
