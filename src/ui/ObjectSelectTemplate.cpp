#include "ui/ObjectSelectTemplate.h"

namespace ui {

DialogTemplate ObjectSelectTemplate()
{
    using namespace objsel;
    using K = ControlKind;
    DialogTemplate dialog{.resourceId = kDialogId, .title = "オブジェクト", .controls = {}};
    auto& c = dialog.controls;

    c.push_back({.id = kCatalogue, .kind = K::ComboBox});
    c.push_back({.id = kPreview, .kind = K::Picture});
    // Editing buttons stay disabled until map-creation mode switches them on.
    c.push_back({.id = kPlace, .kind = K::Button, .caption = "配置", .enabled = false});
    c.push_back({.id = kCopy, .kind = K::Button, .caption = "コピー", .enabled = false});
    c.push_back({.id = kDelete, .kind = K::Button, .caption = "削除", .enabled = false});
    // Laying track from the selected piece's open ends, right under 配置 (a row of its own keeps
    // the dialog narrow).
    const std::string laying = "線路をつなぐ";
    c.push_back({.kind = K::GroupBox, .caption = laying});
    c.push_back({.id = kAttach, .kind = K::Button, .caption = "つなぐ", .frame = laying, .enabled = false});
    c.push_back({.id = kNextEnd, .kind = K::Button, .caption = "次の端", .frame = laying, .enabled = false});

    const std::string move = "相対移動[cm]";
    c.push_back({.kind = K::GroupBox, .caption = move});
    const char* const labels[4] = {"X", "Y", "Z", "θ"};
    for (int box = 0; box < 4; ++box) {
        c.push_back({.kind = K::Label, .caption = labels[box], .frame = move});
        c.push_back(
            {.id = kMoveBoxes[box], .kind = K::EditBox, .caption = kMoveBoxDefaults[box], .frame = move});
    }
    c.push_back({.id = kClear, .kind = K::Button, .caption = "クリア", .frame = move});
    c.push_back({.id = kMove, .kind = K::Button, .caption = "移動", .frame = move, .enabled = false});
    c.push_back({.id = kRotate, .kind = K::Button, .caption = "回転", .frame = move, .enabled = false});

    // The template's text; the dialog writes the real count when it initialises.
    c.push_back({.id = kObjectCount, .kind = K::Label, .caption = "ｵﾌﾞｼﾞｪｸﾄ数 0 / 0"});
    c.push_back({.id = kFocusOnSelection, .kind = K::CheckBox, .caption = "フォーカスを合わせる"});
    // The list starts in placement order, hence the ascending mark on "No".
    c.push_back({.id = kPlacedList,
                 .kind = K::ListView,
                 .columns = {{"No▲", ColumnAlign::Left, ColumnSort::Number},
                             {"ｵﾌﾞｼﾞｪｸﾄ名", ColumnAlign::Left, ColumnSort::Text},
                             {"X", ColumnAlign::Right, ColumnSort::Number},
                             {"Y", ColumnAlign::Right, ColumnSort::Number},
                             {"Z", ColumnAlign::Right, ColumnSort::Number},
                             {"角度", ColumnAlign::Right, ColumnSort::Number},
                             {"キー", ColumnAlign::Left, ColumnSort::Text}}});
    return dialog;
}

} // namespace ui
