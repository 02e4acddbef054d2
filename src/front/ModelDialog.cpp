#include "front/ModelDialog.h"

#include "front/ColumnPartition.h"
#include "front/ModelListCtrl.h"
#include "front/WxText.h"

#include <algorithm>
#include <optional>
#include <set>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace front {

namespace {

using Kind = ui::ControlKind;

constexpr int kGap = 3;
constexpr int kMargin = 8;
constexpr int kSliderWidth = 130;
constexpr int kEditWidth = 90;

// Controls small enough that a group of up to three of them sits in one row.
bool IsShort(Kind kind)
{
    return kind == Kind::Radio || kind == Kind::Button || kind == Kind::ComboBox || kind == Kind::CheckBox;
}

// Controls a label in front of them names.
bool TakesLabel(Kind kind)
{
    return kind == Kind::EditBox || kind == Kind::ComboBox || kind == Kind::ListBox;
}

wxCheckBoxState CheckState(int check)
{
    switch (check) {
    case 1:
        return wxCHK_CHECKED;
    case 2:
        return wxCHK_UNDETERMINED;
    default:
        return wxCHK_UNCHECKED;
    }
}

// Where the caret belongs when a box's text changes from before to after while the caret stood
// at caret: after the same characters it followed, when after is before with characters taken
// out (what the number filter does to a typed letter). Nothing when after is other text.
std::optional<long> KeptCaret(const wxString& before, long caret, const wxString& after)
{
    std::size_t kept = 0;
    long keptBeforeCaret = 0;
    for (std::size_t i = 0; i < before.length(); ++i) {
        if (kept < after.length() && before[i] == after[kept]) ++kept;
        if (static_cast<long>(i) + 1 == caret) keptBeforeCaret = static_cast<long>(kept);
    }
    if (kept != after.length()) return std::nullopt;
    return keptBeforeCaret;
}

bool SameItems(const wxItemContainerImmutable& box, const std::vector<std::string>& items)
{
    if (box.GetCount() != static_cast<unsigned>(items.size())) return false;
    for (unsigned i = 0; i < box.GetCount(); ++i) {
        if (box.GetString(i) != Tx(items[i])) return false;
    }
    return true;
}

wxArrayString WxItems(const std::vector<std::string>& items)
{
    wxArrayString list;
    for (const auto& item : items)
        list.Add(Tx(item));
    return list;
}

} // namespace

struct ModelDialog::Item {
    wxWindow* window = nullptr; // a control ...
    int frame = -1;             // ... or a nested frame
    Kind kind = Kind::Label;
    int id = ui::kNoId;
    int labelId = ui::kNoId; // a slider's value label
};

struct ModelDialog::Frame {
    std::string title;
    int parent = -1;
    wxStaticBox* box = nullptr;
    std::vector<Item> items;
};

ModelDialog::ModelDialog(wxWindow* parent, ui::DialogModel& model, const DialogLayoutHints& hints,
                         const PictureFactory& pictures)
    : wxDialog(parent, wxID_ANY, Tx(model.Title()), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | (hints.resizable ? wxRESIZE_BORDER : 0)),
      model_(model)
{
    Build(hints, pictures);
    model_.SetObserver([this](int id) { OnModelChanged(id); });
    Bind(wxEVT_CLOSE_WINDOW, &ModelDialog::OnClose, this);
    // Escape puts a modeless dialog away, as its cancel command always did.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE) {
            Close();
            return;
        }
        event.Skip();
    });
}

ModelDialog::~ModelDialog()
{
    model_.SetObserver({});
}

void ModelDialog::SetWidestTexts(int id, std::function<std::vector<std::string>()> widest)
{
    if (const auto list = lists_.find(id); list != lists_.end()) {
        list->second->SetWidestTexts(std::move(widest));
        list->second->Sync();
    }
}

wxWindow* ModelDialog::Control(int id) const
{
    const auto found = widgets_.find(id);
    return found == widgets_.end() ? nullptr : found->second;
}

int ModelDialog::FrameOf(const std::string& title, int parentFrame)
{
    for (std::size_t frame = 1; frame < frames_.size(); ++frame) {
        if (frames_[frame].title == title) return static_cast<int>(frame);
    }
    Frame frame{.title = title,
                .parent = parentFrame,
                .box = new wxStaticBox(this, wxID_ANY, Tx(title)),
                .items = {}};
    frames_.push_back(std::move(frame));
    const int index = static_cast<int>(frames_.size()) - 1;
    frames_[static_cast<std::size_t>(parentFrame)].items.push_back({.frame = index});
    return index;
}

void ModelDialog::Build(const DialogLayoutHints& hints, const PictureFactory& pictures)
{
    SetFont(GetFont().Scaled(0.9f));
    frames_.push_back({.title = "", .parent = -1, .box = nullptr, .items = {}});
    const auto& controls = model_.Template().controls;

    // A frame that no group box draws is titled by the radio or box of that caption outside it:
    // that control heads the group.
    std::set<std::string> boxTitles;
    for (const auto& control : controls) {
        if (control.kind == Kind::GroupBox) boxTitles.insert(control.caption);
    }
    std::set<std::string> wanted;
    for (const auto& control : controls) {
        if (!control.frame.empty() && !boxTitles.contains(control.frame)) wanted.insert(control.frame);
    }

    std::set<int> valueLabels;
    for (const auto& control : controls) {
        if (control.kind == Kind::Slider && control.labelId != ui::kNoId) valueLabels.insert(control.labelId);
    }

    for (const auto& control : controls) {
        const int parent = control.frame.empty() ? 0 : FrameOf(control.frame, 0);
        if (control.kind == Kind::GroupBox) {
            FrameOf(control.caption, parent);
            continue;
        }
        wxWindow* widget = CreateWidget(control, pictures);
        if (control.id != ui::kNoId) {
            widgets_[control.id] = widget;
            BindInput(widget, control);
        }
        if (const auto found = hints.minSizes.find(control.id); found != hints.minSizes.end())
            widget->SetMinSize(found->second);
        if (valueLabels.contains(control.id)) {
            // Wide enough for any position, so that moving a slider never shifts the layout.
            widget->SetMinSize(wxSize(GetTextExtent("000000").x, -1));
            continue; // laid out beside its slider
        }

        const bool titlesFrame = (control.kind == Kind::Radio || control.kind == Kind::CheckBox) &&
                                 control.frame.empty() && wanted.contains(control.caption) &&
                                 std::none_of(frames_.begin(), frames_.end(), [&](const Frame& frame) {
                                     return frame.title == control.caption;
                                 });
        if (titlesFrame) {
            // The box is drawn untitled with its control as the first thing inside: a control as
            // a box's own label would leave the box's other controls outside its layout.
            wanted.erase(control.caption);
            frames_.push_back({.title = control.caption,
                               .parent = parent,
                               .box = new wxStaticBox(this, wxID_ANY, ""),
                               .items = {}});
            const int frame = static_cast<int>(frames_.size()) - 1;
            frames_[static_cast<std::size_t>(parent)].items.push_back({.frame = frame});
            frames_[static_cast<std::size_t>(frame)].items.push_back(
                {.window = widget, .kind = control.kind, .id = control.id, .labelId = control.labelId});
            continue;
        }
        frames_[static_cast<std::size_t>(parent)].items.push_back(
            {.window = widget, .kind = control.kind, .id = control.id, .labelId = control.labelId});
    }

    for (const int id : model_.Ids())
        Sync(id);
    LayOutTop(hints);
}

wxWindow* ModelDialog::CreateWidget(const ui::ControlTemplate& control, const PictureFactory& pictures)
{
    const bool recorded = control.id != ui::kNoId && model_.Has(control.id);
    // What the user types into an edit box is data, not a caption.
    const std::string& caption = recorded ? model_.Text(control.id) : control.caption;
    const wxString text = control.kind == Kind::EditBox ? Wx(caption) : Tx(caption);
    switch (control.kind) {
    case Kind::Button:
        return new wxButton(this, wxID_ANY, text);
    case Kind::CheckBox:
        return new wxCheckBox(this, wxID_ANY, text);
    case Kind::ThreeStateCheckBox:
        return new wxCheckBox(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                              wxCHK_3STATE | wxCHK_ALLOW_3RD_STATE_FOR_USER);
    case Kind::Radio: {
        // Radios of one set share a toolkit group, so checking one unchecks the others; a
        // hidden extra radio of the group stands for "none checked", which the toolkit cannot
        // show otherwise.
        const ui::ControlRecord* record = model_.Find(control.id);
        const int set = record ? record->radioSet : -1;
        const std::vector<int> members = set >= 0 ? model_.RadioSetOf(control.id) : std::vector<int>{};
        const bool first = !members.empty() && members.front() == control.id;
        long style = set < 0 ? wxRB_SINGLE : (first ? wxRB_GROUP : 0);
        auto* radio = new wxRadioButton(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize, style);
        if (!members.empty() && members.back() == control.id) {
            auto* none = new wxRadioButton(this, wxID_ANY, "");
            none->Hide();
            noRadio_[set] = none;
        }
        return radio;
    }
    case Kind::ListBox:
        return new wxListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_SINGLE);
    case Kind::ComboBox:
        return new wxChoice(this, wxID_ANY);
    case Kind::Slider: {
        sliderCaptions_[control.id] = new wxStaticText(this, wxID_ANY, text);
        return new wxSlider(this, wxID_ANY, control.position, control.rangeMin,
                            std::max(control.rangeMin, control.rangeMax), wxDefaultPosition,
                            wxSize(kSliderWidth, -1));
    }
    case Kind::ListView: {
        auto* list =
            new ModelListCtrl(this, model_, control.id, [this](const ControlInput& input) { Send(input); });
        lists_[control.id] = list;
        return list;
    }
    case Kind::EditBox:
        return new wxTextCtrl(this, wxID_ANY, text, wxDefaultPosition, wxSize(kEditWidth, -1));
    case Kind::Picture:
        if (pictures) {
            if (wxWindow* picture = pictures(this, control.id)) return picture;
        }
        return new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_SUNKEN);
    case Kind::UpDown:
        return new wxSpinButton(this, wxID_ANY);
    case Kind::RichEdit:
        return new wxTextCtrl(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                              wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2);
    case Kind::Label:
    case Kind::GroupBox:
        break;
    }
    return new wxStaticText(this, wxID_ANY, text);
}

void ModelDialog::BindInput(wxWindow* widget, const ui::ControlTemplate& control)
{
    const int id = control.id;
    using K = ControlInput::Kind;
    switch (control.kind) {
    case Kind::Button:
        widget->Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { Send({.kind = K::Click, .id = id}); });
        break;
    case Kind::CheckBox:
    case Kind::ThreeStateCheckBox:
        widget->Bind(wxEVT_CHECKBOX, [this, id](wxCommandEvent&) { Send({.kind = K::Click, .id = id}); });
        break;
    case Kind::Radio:
        widget->Bind(wxEVT_RADIOBUTTON, [this, id](wxCommandEvent&) { Send({.kind = K::Click, .id = id}); });
        break;
    case Kind::ListBox:
        widget->Bind(wxEVT_LISTBOX, [this, id](wxCommandEvent& event) {
            Send({.kind = K::Select, .id = id, .value = event.GetSelection()});
        });
        break;
    case Kind::ComboBox:
        widget->Bind(wxEVT_CHOICE, [this, id](wxCommandEvent& event) {
            Send({.kind = K::Select, .id = id, .value = event.GetSelection()});
        });
        break;
    case Kind::Slider:
        widget->Bind(wxEVT_SLIDER, [this, id](wxCommandEvent& event) {
            Send({.kind = K::Scroll, .id = id, .value = event.GetInt()});
        });
        break;
    case Kind::EditBox:
        widget->Bind(wxEVT_TEXT, [this, id, widget](wxCommandEvent&) {
            if (!syncing_)
                Send({.kind = K::Text, .id = id, .text = Utf8(static_cast<wxTextCtrl*>(widget)->GetValue())});
        });
        break;
    default:
        break;
    }
}

void ModelDialog::Send(const ControlInput& input)
{
    if (syncing_) return;
    // A row clicked just before is reported first: a button pressed right after it (削除) acts on
    // the selection the click made, not on the one before.
    if (!lists_.contains(input.id)) {
        for (auto& [id, list] : lists_)
            list->FlushPendingInput();
    }
    if (handler_)
        handler_(input);
    else
        ApplyToModel(model_, input);
    // Whatever the behaviour made of it, the widget shows the record (a refused click included).
    Sync(input.id);
}

wxSizer* ModelDialog::LayOut(int frameIndex, const DialogLayoutHints& hints)
{
    Frame& frame = frames_[static_cast<std::size_t>(frameIndex)];
    const auto& items = frame.items;

    int shown = 0;
    bool allShort = true;
    for (const Item& item : items) {
        if (item.frame >= 0 || !IsShort(item.kind)) allShort = false;
        if (item.window && model_.IsShown(item.id)) ++shown;
    }
    const bool row = allShort && shown <= 3;
    auto* sizer = new wxStaticBoxSizer(frame.box, row ? wxHORIZONTAL : wxVERTICAL);

    const auto add = [&](wxSizer* into, const Item& item, int proportion) {
        if (item.frame >= 0) {
            into->Add(LayOut(item.frame, hints), proportion, wxEXPAND | wxALL, kGap);
        } else if (item.kind == Kind::Slider) {
            auto* line = new wxBoxSizer(wxHORIZONTAL);
            line->Add(sliderCaptions_[item.id], 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
            line->Add(item.window, 1, wxALIGN_CENTER_VERTICAL);
            if (wxWindow* value = Control(item.labelId))
                line->Add(value, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kGap);
            into->Add(line, proportion, wxEXPAND | wxALL, kGap);
        } else {
            const int placement =
                row ? static_cast<int>(wxALIGN_CENTER_VERTICAL) : static_cast<int>(wxEXPAND);
            into->Add(item.window, proportion, placement | wxALL, kGap);
        }
    };

    if (row) {
        for (const Item& item : items)
            add(sizer, item, item.kind == Kind::ComboBox ? 1 : 0);
        return sizer;
    }
    for (std::size_t i = 0; i < items.size();) {
        const Item& item = items[i];
        std::size_t end = i + 1;
        const auto labelPairAt = [&](std::size_t k) {
            return k + 1 < items.size() && items[k].window && items[k].kind == Kind::Label &&
                   items[k + 1].window && TakesLabel(items[k + 1].kind);
        };
        if (labelPairAt(i)) {
            end = i + 2;
            for (int pairs = 1; pairs < hints.pairsPerLine && labelPairAt(end); ++pairs)
                end += 2;
        } else if (item.window && item.kind == Kind::Button) {
            while (end < items.size() && items[end].window && items[end].kind == Kind::Button)
                ++end;
        } else if (item.frame >= 0) {
            while (end < items.size() && items[end].frame >= 0)
                ++end;
        }
        if (end == i + 1) {
            add(sizer, item, 0);
        } else {
            auto* line = new wxBoxSizer(wxHORIZONTAL);
            for (std::size_t k = i; k < end; ++k) {
                const bool stretches = items[k].frame >= 0 || TakesLabel(items[k].kind);
                if (items[k].kind == Kind::Label && items[k].window)
                    line->Add(items[k].window, 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
                else
                    add(line, items[k], stretches ? 1 : 0);
            }
            sizer->Add(line, 0, wxEXPAND);
        }
        i = end;
    }
    return sizer;
}

void ModelDialog::LayOutTop(const DialogLayoutHints& hints)
{
    // Blocks: the top-level group boxes, and the top-level controls (a run of buttons together).
    std::vector<wxSizer*> blocks;
    std::vector<wxWindow*> stretching;
    const auto& items = frames_[0].items;
    for (std::size_t i = 0; i < items.size();) {
        const Item& item = items[i];
        std::size_t end = i + 1;
        if (item.frame >= 0) {
            blocks.push_back(LayOut(item.frame, hints));
        } else if (item.kind == Kind::ListView) {
            stretching.push_back(item.window);
        } else if (item.kind == Kind::Button) {
            while (end < items.size() && items[end].window && items[end].kind == Kind::Button)
                ++end;
            auto* line = new wxBoxSizer(wxHORIZONTAL);
            for (std::size_t k = i; k < end; ++k)
                line->Add(items[k].window, 1, wxALL, kGap);
            blocks.push_back(line);
        } else {
            auto* single = new wxBoxSizer(wxHORIZONTAL);
            single->Add(item.window, 1, wxALL | (item.kind == Kind::Picture ? wxEXPAND : 0), kGap);
            blocks.push_back(single);
        }
        i = end;
    }

    std::vector<int> heights;
    for (wxSizer* block : blocks)
        heights.push_back(block->CalcMin().y);
    const std::vector<int> columnOf = PartitionColumns(heights, hints.columns);

    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    std::vector<wxBoxSizer*> columnSizers;
    for (int c = 0; c < std::max(1, hints.columns); ++c) {
        columnSizers.push_back(new wxBoxSizer(wxVERTICAL));
        columns->Add(columnSizers.back(), 0, wxEXPAND | wxRIGHT, c + 1 < hints.columns ? kMargin : 0);
    }
    for (std::size_t b = 0; b < blocks.size(); ++b)
        columnSizers[static_cast<std::size_t>(columnOf[b])]->Add(blocks[b], 0, wxEXPAND | wxBOTTOM, kGap);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(columns, 0, wxEXPAND | wxALL, kMargin);
    for (wxWindow* list : stretching)
        top->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    SetSizerAndFit(top);
}

void ModelDialog::OnModelChanged(int id)
{
    if (id == ui::DialogModel::kWindowId)
        SyncWindow();
    else
        Sync(id);
}

void ModelDialog::SyncWindow()
{
    const wxString title = Tx(model_.Title());
    if (GetTitle() != title) SetTitle(title);
    if (modal_) {
        if (!model_.IsVisible() && IsModal()) EndModal(wxID_CANCEL);
        if (!model_.IsVisible() || IsModal() || modalPending_) return;
        // Not from inside the call that showed the model: the modal loop runs on its own.
        modalPending_ = true;
        CallAfter([this] {
            modalPending_ = false;
            if (!model_.IsVisible() || IsModal()) return;
            modal_(*this);
            if (model_.IsVisible()) model_.SetVisible(false);
        });
        return;
    }
    if (model_.IsVisible() != IsShown()) Show(model_.IsVisible());
}

void ModelDialog::SyncRadioSet(int id)
{
    const ui::ControlRecord* record = model_.Find(id);
    if (!record) return;
    const auto none = noRadio_.find(record->radioSet);
    if (none == noRadio_.end()) {
        if (auto* radio = dynamic_cast<wxRadioButton*>(Control(id))) radio->SetValue(record->check == 1);
        return;
    }
    for (const int member : model_.RadioSetOf(id)) {
        if (model_.Check(member) == 1) {
            if (auto* radio = dynamic_cast<wxRadioButton*>(Control(member)); radio && !radio->GetValue())
                radio->SetValue(true);
            return;
        }
    }
    none->second->SetValue(true);
}

void ModelDialog::Sync(int id)
{
    const ui::ControlRecord* record = model_.Find(id);
    wxWindow* widget = Control(id);
    if (!record || !widget) return;
    syncing_ = true;
    bool relayout = false;

    if (widget->IsEnabled() != record->enabled) widget->Enable(record->enabled);
    if (widget->IsShown() != record->shown) {
        widget->Show(record->shown);
        if (const auto caption = sliderCaptions_.find(id); caption != sliderCaptions_.end())
            caption->second->Show(record->shown);
        relayout = true;
    }
    const wxString text = record->kind == Kind::EditBox ? Wx(record->text) : Tx(record->text);
    const auto relabel = [&](wxWindow* window) {
        if (window->GetLabel() != text) {
            window->SetLabel(text);
            window->InvalidateBestSize();
            relayout = true;
        }
    };

    switch (record->kind) {
    case Kind::Button:
        relabel(widget);
        break;
    case Kind::CheckBox:
    case Kind::ThreeStateCheckBox: {
        relabel(widget);
        auto* box = static_cast<wxCheckBox*>(widget);
        if (box->Is3State()) {
            if (box->Get3StateValue() != CheckState(record->check))
                box->Set3StateValue(CheckState(record->check));
        } else if (box->GetValue() != (record->check == 1)) {
            box->SetValue(record->check == 1);
        }
        break;
    }
    case Kind::Radio:
        relabel(widget);
        SyncRadioSet(id);
        break;
    case Kind::ListBox:
    case Kind::ComboBox: {
        auto* items = dynamic_cast<wxItemContainer*>(widget);
        if (!items) break;
        if (!SameItems(*items, record->items)) {
            items->Set(WxItems(record->items));
            widget->InvalidateBestSize();
            relayout = true;
        }
        const int selection =
            record->selection >= 0 && record->selection < static_cast<int>(record->items.size())
                ? record->selection
                : wxNOT_FOUND;
        if (items->GetSelection() != selection) {
            if (auto* list = dynamic_cast<wxListBox*>(widget); list && selection == wxNOT_FOUND)
                list->DeselectAll();
            else
                items->SetSelection(selection);
        }
        break;
    }
    case Kind::Slider: {
        auto* slider = static_cast<wxSlider*>(widget);
        const int high = std::max(record->rangeMin, record->rangeMax);
        if (slider->GetMin() != record->rangeMin || slider->GetMax() != high)
            slider->SetRange(record->rangeMin, high);
        if (slider->GetValue() != record->position) slider->SetValue(record->position);
        if (const auto caption = sliderCaptions_.find(id);
            caption != sliderCaptions_.end() && caption->second->GetLabelText() != text)
            caption->second->SetLabelText(text);
        break;
    }
    case Kind::Label: {
        auto* label = static_cast<wxStaticText*>(widget);
        if (label->GetLabelText() != text) {
            label->SetLabelText(text);
            relayout = true;
        }
        break;
    }
    case Kind::EditBox: {
        auto* edit = static_cast<wxTextCtrl*>(widget);
        const wxString before = edit->GetValue();
        if (before != text) {
            const std::optional<long> caret = KeptCaret(before, edit->GetInsertionPoint(), text);
            edit->ChangeValue(text);
            if (caret) edit->SetInsertionPoint(*caret);
        }
        break;
    }
    case Kind::ListView:
        if (const auto list = lists_.find(id); list != lists_.end()) list->second->Sync();
        break;
    default:
        break;
    }
    syncing_ = false;
    if (relayout && GetSizer()) Layout();
}

void ModelDialog::OnClose(wxCloseEvent& event)
{
    // The program ending takes the dialog with the main window.
    if (!event.CanVeto()) {
        event.Skip();
        return;
    }
    if (close_)
        close_();
    else
        model_.SetVisible(false);
}

} // namespace front
