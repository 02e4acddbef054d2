#include "front/ModelDialog.h"

#include "platform/Translation.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace front {
namespace {

namespace su = ui::setup;
namespace os = ui::objsel;

// Top-level windows are deleted at idle time; the test runs no loop, so idle time comes here,
// before the model the window observes goes.
void Dispose(wxWindow* window)
{
    window->Destroy();
    wxTheApp->ProcessIdle();
}

// A dialog over its own model; the window goes with the fixture.
class SetUpDialog : public testing::Test {
  protected:
    SetUpDialog() : dialog_(new ModelDialog(nullptr, model_, {.columns = 3})) {}
    ~SetUpDialog() override { Dispose(dialog_); }

    template <class Widget> Widget& Get(int id)
    {
        auto* widget = dynamic_cast<Widget*>(dialog_->Control(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return *widget;
    }

    // What the toolkit sends when the user changes a control.
    void UserEvent(int id, wxEventType type, int value = 0)
    {
        wxWindow* widget = dialog_->Control(id);
        wxCommandEvent event(type, widget->GetId());
        event.SetEventObject(widget);
        event.SetInt(value);
        widget->ProcessWindowEvent(event);
    }

    ui::DialogModel model_{ui::SetUpTemplate()};
    ModelDialog* dialog_;
};

TEST_F(SetUpDialog, EveryControlWithAnIdHasAWidgetAndHiddenOnesAreNotShown)
{
    for (const int id : model_.Ids()) {
        wxWindow* widget = dialog_->Control(id);
        ASSERT_NE(widget, nullptr) << "control " << id;
        EXPECT_EQ(widget->IsShown(), model_.IsShown(id)) << "control " << id;
    }
    EXPECT_FALSE(dialog_->Control(su::kPerspective)->IsShown());
    EXPECT_TRUE(dialog_->Control(su::kDistance)->IsShown());
    EXPECT_FALSE(dialog_->Control(su::kCantDetection)->IsEnabled());
    EXPECT_EQ(dialog_->GetTitle(), wxString::FromUTF8("設定"));
}

TEST_F(SetUpDialog, ChangesOfTheRecordsReachTheWidgets)
{
    model_.SetCheck(su::kTrack, 2);
    EXPECT_EQ(Get<wxCheckBox>(su::kTrack).Get3StateValue(), wxCHK_UNDETERMINED);
    model_.SetCheck(su::kText, 0);
    EXPECT_FALSE(Get<wxCheckBox>(su::kText).GetValue());

    model_.SetPosition(su::kLight, 37);
    model_.RefreshSliderLabel(su::kLight);
    EXPECT_EQ(Get<wxSlider>(su::kLight).GetValue(), 37);
    EXPECT_EQ(Get<wxStaticText>(su::kLightLabel).GetLabelText(), "37");

    model_.SetSelection(su::kViewPointList, 15);
    EXPECT_EQ(Get<wxListBox>(su::kViewPointList).GetSelection(), 15);
    model_.SetItems(su::kTrainModel[0], {"A", "B"});
    model_.SetSelection(su::kTrainModel[0], 1);
    EXPECT_EQ(Get<wxChoice>(su::kTrainModel[0]).GetCount(), 2u);
    EXPECT_EQ(Get<wxChoice>(su::kTrainModel[0]).GetSelection(), 1);

    model_.SetEnabled(su::kShadeFlat, false);
    EXPECT_FALSE(dialog_->Control(su::kShadeFlat)->IsEnabled());
    model_.SetVisible(true);
    EXPECT_TRUE(dialog_->IsShown());
    model_.SetVisible(false);
    EXPECT_FALSE(dialog_->IsShown());
}

TEST_F(SetUpDialog, RadioSetsShowOneCheckedOrNone)
{
    // Before the settings file picks the driven vehicle, none of the three is checked.
    for (const int id : {su::kDriveCamera, su::kDrivePlane, su::kDriveHelicopter})
        EXPECT_FALSE(Get<wxRadioButton>(id).GetValue()) << id;
    model_.SetCheck(su::kDrivePlane, 1);
    EXPECT_TRUE(Get<wxRadioButton>(su::kDrivePlane).GetValue());
    model_.SetCheck(su::kDriveHelicopter, 1);
    EXPECT_TRUE(Get<wxRadioButton>(su::kDriveHelicopter).GetValue());
    EXPECT_FALSE(Get<wxRadioButton>(su::kDrivePlane).GetValue());
    EXPECT_FALSE(Get<wxRadioButton>(su::kDriveCamera).GetValue());
    model_.SetCheck(su::kDriveHelicopter, 0);
    for (const int id : {su::kDriveCamera, su::kDrivePlane, su::kDriveHelicopter})
        EXPECT_FALSE(Get<wxRadioButton>(id).GetValue()) << id;
}

TEST_F(SetUpDialog, UserInputGoesThroughTheHandlerAndTheWidgetShowsTheOutcome)
{
    std::vector<ControlInput> seen;
    dialog_->SetControlHandler([&](const ControlInput& input) {
        seen.push_back(input);
        ApplyToModel(model_, input);
    });

    UserEvent(su::kTrack, wxEVT_CHECKBOX);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen.back().kind, ControlInput::Kind::Click);
    EXPECT_EQ(model_.Check(su::kTrack), 1);
    EXPECT_EQ(Get<wxCheckBox>(su::kTrack).Get3StateValue(), wxCHK_CHECKED);

    UserEvent(su::kCulling, wxEVT_SLIDER, 777);
    EXPECT_EQ(seen.back().kind, ControlInput::Kind::Scroll);
    EXPECT_EQ(model_.Position(su::kCulling), 777);
    EXPECT_EQ(Get<wxStaticText>(su::kCullingLabel).GetLabelText(), "777");

    UserEvent(su::kPositionList, wxEVT_LISTBOX, 4);
    EXPECT_EQ(model_.Selection(su::kPositionList), 4);

    // The toolkit ticks a box before it reports the click; a refused click puts it back.
    wxCheckBox& cant = Get<wxCheckBox>(su::kCantDetection);
    cant.SetValue(true);
    UserEvent(su::kCantDetection, wxEVT_CHECKBOX);
    EXPECT_EQ(model_.Check(su::kCantDetection), 0);
    EXPECT_FALSE(cant.GetValue());
}

TEST_F(SetUpDialog, TheCloseBoxHidesTheDialogThroughItsModel)
{
    model_.SetVisible(true);
    dialog_->Close();
    EXPECT_FALSE(model_.IsVisible());
    EXPECT_FALSE(dialog_->IsShown());
}

TEST(ObjectDialog, TheListShowsTheModelsRowsAndSelection)
{
    ui::DialogModel model(ui::ObjectSelectTemplate());
    auto* dialog = new ModelDialog(nullptr, model, {.columns = 2, .minSizes = {}, .resizable = true});
    model.EditList(os::kPlacedList, [](ui::ListView& list) {
        for (int row = 0; row < 2000; ++row)
            list.AppendRow({std::to_string(row), "Rail", "1.000", "0.000", "2.500", "90.000", ""});
        list.SetSelected(7, true);
        list.SetSelected(1999, true);
    });
    auto* list = dynamic_cast<wxListCtrl*>(dialog->Control(os::kPlacedList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetItemCount(), 2000);
    EXPECT_EQ(list->GetItemText(1234, os::kColumnNumber), "1234");
    EXPECT_EQ(list->GetItemText(5, os::kColumnAngle), "90.000");
    EXPECT_EQ(list->GetSelectedItemCount(), 2);
    EXPECT_NE(list->GetItemState(1999, wxLIST_STATE_SELECTED), 0);

    // Cells are in the user's language, as every text outside an edit box.
    auto english = std::make_shared<platform::Catalogue>();
    english->Add("キー%s", "key %s");
    platform::InstallLanguage("en", english);
    model.EditList(os::kPlacedList, [](ui::ListView& list) { list.SetCell(3, os::kColumnKey, "キーA"); });
    EXPECT_EQ(list->GetItemText(3, os::kColumnKey), "key A");
    platform::InstallLanguage("ja", nullptr);
    EXPECT_EQ(list->GetItemText(3, os::kColumnKey), wxString::FromUTF8("キーA"));

    model.EditList(os::kPlacedList, [](ui::ListView& list) { list.SetHeading(2, "X▲"); });
    wxListItem heading;
    heading.SetMask(wxLIST_MASK_TEXT);
    list->GetColumn(2, heading);
    EXPECT_EQ(heading.GetText(), wxString::FromUTF8("X▲"));

    // Edit boxes show their text without reporting it back as typed.
    int typed = 0;
    dialog->SetControlHandler([&](const ControlInput& input) {
        if (input.kind == ControlInput::Kind::Text) ++typed;
    });
    model.SetText(os::kMoveX, "12.5");
    EXPECT_EQ(dynamic_cast<wxTextCtrl*>(dialog->Control(os::kMoveX))->GetValue(), "12.5");
    EXPECT_EQ(typed, 0);
    Dispose(dialog);
}

// A button clicked before the event loop has reported a row's selection acts after it: 削除 right
// after a click on a row deletes that row, not the selection before it.
TEST(ObjectDialog, AButtonActsAfterTheSelectionMadeJustBefore)
{
    ui::DialogModel model(ui::ObjectSelectTemplate());
    model.EditList(os::kPlacedList, [](ui::ListView& list) {
        for (int row = 0; row < 3; ++row)
            list.AppendRow({std::to_string(row), "Rail", "0", "0", "0", "0", ""});
    });
    auto* dialog = new ModelDialog(nullptr, model, {});
    std::vector<ControlInput::Kind> heard;
    dialog->SetControlHandler([&](const ControlInput& input) {
        heard.push_back(input.kind);
        if (input.kind == ControlInput::Kind::ListSelection) {
            EXPECT_EQ(input.rows, std::vector<int>{1});
        }
    });
    auto* list = dynamic_cast<wxListCtrl*>(dialog->Control(os::kPlacedList));
    ASSERT_NE(list, nullptr);
    list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    wxCommandEvent click(wxEVT_BUTTON, dialog->Control(os::kDelete)->GetId());
    click.SetEventObject(dialog->Control(os::kDelete));
    dialog->Control(os::kDelete)->ProcessWindowEvent(click);
    EXPECT_EQ(heard, (std::vector{ControlInput::Kind::ListSelection, ControlInput::Kind::Click}));
    Dispose(dialog);
}

// A low screen's layout: the move boxes two to a line, the dialog lower for it.
TEST(ObjectDialog, LabelPairsTwoToALineMakeTheDialogLower)
{
    ui::DialogModel model(ui::ObjectSelectTemplate());
    const auto measure = [&model](int pairsPerLine, int& xTop, int& yTop) {
        auto* dialog = new ModelDialog(nullptr, model, {.columns = 1, .pairsPerLine = pairsPerLine});
        dialog->Layout();
        xTop = dialog->Control(os::kMoveX)->GetPosition().y;
        yTop = dialog->Control(os::kMoveY)->GetPosition().y;
        const int height = dialog->GetBestSize().y;
        Dispose(dialog);
        return height;
    };
    int xTop = 0;
    int yTop = 0;
    const int full = measure(1, xTop, yTop);
    EXPECT_GT(yTop, xTop);
    const int compact = measure(2, xTop, yTop);
    EXPECT_EQ(yTop, xTop);
    EXPECT_LT(compact, full);
}

} // namespace
} // namespace front
