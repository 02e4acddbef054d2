#include "ui/PlanTemplates.h"

namespace ui {

DialogTemplate PartsListTemplate()
{
    using K = ControlKind;
    using namespace partslist;
    constexpr ColumnAlign kRight = ColumnAlign::Right;
    constexpr ColumnSort kNumber = ColumnSort::Number;
    return {.resourceId = kDialogId,
            .title = kTitle,
            .controls = {{.id = kRows,
                          .kind = K::ListView,
                          .columns = {{"種類"},
                                      {"個数", kRight, kNumber},
                                      {"線路長", kRight, kNumber},
                                      {"分岐の他の経路"},
                                      {"選択中の個数", kRight, kNumber},
                                      {"選択中の線路長", kRight, kNumber},
                                      {"模型[mm]", kRight, kNumber},
                                      {"選択中の模型[mm]", kRight, kNumber}}},
                         {.id = kTotals, .kind = K::Label},
                         {.id = kSaveCsv, .kind = K::Button, .caption = "CSVで保存"},
                         {.id = kCopy, .kind = K::Button, .caption = "コピー"},
                         {.id = kReport, .kind = K::Label}}};
}

DialogTemplate PlanExportTemplate()
{
    using K = ControlKind;
    using namespace planexport;
    return {.resourceId = kDialogId,
            .title = kTitle,
            .controls = {
                {.kind = K::GroupBox, .caption = "ファイル"},
                {.id = kFile, .kind = K::EditBox, .frame = "ファイル"},
                {.id = kChoose, .kind = K::Button, .caption = "参照...", .frame = "ファイル"},
                {.kind = K::GroupBox, .caption = "縮尺"},
                {.id = kFit, .kind = K::Radio, .caption = "1ページに合わせる", .frame = "縮尺", .radioGroup = "scale",
                 .check = 1},
                {.id = kScale87, .kind = K::Radio, .caption = "1:87", .frame = "縮尺", .radioGroup = "scale"},
                {.id = kScale150, .kind = K::Radio, .caption = "1:150", .frame = "縮尺", .radioGroup = "scale"},
                {.id = kScale220, .kind = K::Radio, .caption = "1:220", .frame = "縮尺", .radioGroup = "scale"},
                {.id = kScaleTyped, .kind = K::Radio, .caption = "1:N", .frame = "縮尺", .radioGroup = "scale"},
                {.id = kScaleText, .kind = K::EditBox, .caption = "100", .frame = "縮尺"},
                {.kind = K::GroupBox, .caption = "用紙"},
                {.id = kA4, .kind = K::Radio, .caption = "A4", .frame = "用紙", .radioGroup = "paper", .check = 1},
                {.id = kA3, .kind = K::Radio, .caption = "A3", .frame = "用紙", .radioGroup = "paper"},
                {.kind = K::GroupBox, .caption = "向き"},
                {.id = kAutoOrientation, .kind = K::Radio, .caption = "自動", .frame = "向き",
                 .radioGroup = "orientation", .check = 1},
                {.id = kPortrait, .kind = K::Radio, .caption = "縦", .frame = "向き", .radioGroup = "orientation"},
                {.id = kLandscape, .kind = K::Radio, .caption = "横", .frame = "向き", .radioGroup = "orientation"},
                {.kind = K::GroupBox, .caption = "描くもの"},
                {.id = kGrid, .kind = K::CheckBox, .caption = "方眼", .frame = "描くもの", .check = 1},
                {.id = kKeys, .kind = K::CheckBox, .caption = "分岐のキー", .frame = "描くもの", .check = 1},
                {.id = kScenery, .kind = K::CheckBox, .caption = "風景", .frame = "描くもの", .check = 1},
                {.id = kWrite, .kind = K::Button, .caption = "書き出し"},
                {.id = kCancel, .kind = K::Button, .caption = "キャンセル"}}};
}

} // namespace ui
