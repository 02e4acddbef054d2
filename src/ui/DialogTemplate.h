// Dialog templates: one table per dialog listing its controls (id, kind, caption, frame,
// radio group, range and state after the dialog has initialised itself), in tab order.
// The same table builds the core's DialogModel and the front end's widgets.
#pragma once

#include <string>
#include <vector>

namespace ui {

enum class ControlKind {
    Button,
    CheckBox,
    ThreeStateCheckBox,
    Radio,
    ListBox,
    ComboBox, // drop-down list: the user picks, never types
    Slider,
    ListView,
    Label,
    EditBox,
    GroupBox,
    Picture, // a plain frame something is drawn into
    UpDown,
    RichEdit,
};

// Controls that nothing addresses (group boxes, fixed labels) carry no id.
inline constexpr int kNoId = -1;

enum class ColumnAlign { Left, Right };

// How a list-view column compares when its heading is clicked.
enum class ColumnSort { Text, Number };

struct ColumnTemplate {
    std::string heading{};
    ColumnAlign align = ColumnAlign::Left;
    ColumnSort sort = ColumnSort::Text;
};

struct ControlTemplate {
    int id = kNoId;
    ControlKind kind = ControlKind::Label;
    // Button, check box and radio captions, label texts, the initial text of an edit box, a
    // group box's title, a slider's name shown beside it.
    std::string caption{};
    // Title of the group box that frames the control ("" for none).
    std::string frame{};
    // Radios: the name of the set in which checking one unchecks the others. Radios without a
    // name form a set with the unnamed radios next to them in tab order.
    std::string radioGroup{};
    bool shown = true;
    bool enabled = true;
    int check = 0; // 0 unchecked, 1 checked, 2 third state
    std::vector<std::string> items{};
    int selection = -1;
    int rangeMin = 0;
    int rangeMax = 0;
    int position = 0;
    int tickFrequency = 0; // 0: no ticks
    int labelId = kNoId;   // sliders: the label that shows the position as a number
    std::vector<ColumnTemplate> columns{};
};

struct DialogTemplate {
    int resourceId = 0;
    std::string title{};
    std::vector<ControlTemplate> controls{}; // in tab order
};

} // namespace ui
