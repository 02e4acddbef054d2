#include "ui/OperationTemplate.h"

namespace ui {

DialogTemplate OperationTemplate()
{
    using K = ControlKind;
    using namespace operation;
    return {.resourceId = kDialogId,
            .title = kTitle,
            .controls = {
                {.id = kProtect, .kind = K::CheckBox, .caption = "衝突防止"},
                {.id = kSlots,
                 .kind = K::ListView,
                 .columns = {{"列車", ColumnAlign::Right, ColumnSort::Number},
                             {"自動運転"},
                             {"巡航速度", ColumnAlign::Right, ColumnSort::Number},
                             {"折り返し"},
                             {"行路"},
                             {"状態"}}},
                {.kind = K::GroupBox, .caption = "選択した列車"},
                {.id = kAuto, .kind = K::CheckBox, .caption = "自動運転", .frame = "選択した列車"},
                {.kind = K::Label, .caption = "巡航速度[km/h]", .frame = "選択した列車"},
                {.id = kCruise, .kind = K::EditBox, .caption = "60", .frame = "選択した列車"},
                {.id = kShuttle, .kind = K::CheckBox, .caption = "折り返し", .frame = "選択した列車"},
                {.kind = K::Label, .caption = "行路（駅の番号）", .frame = "選択した列車"},
                {.id = kItinerary, .kind = K::EditBox, .frame = "選択した列車"},
                {.id = kApply, .kind = K::Button, .caption = "設定", .frame = "選択した列車"},
                {.kind = K::GroupBox, .caption = "駅"},
                {.kind = K::Label, .caption = "停車時間[秒]", .frame = "駅"},
                {.id = kDwell, .kind = K::EditBox, .caption = "20", .frame = "駅"},
                {.id = kMarkStop, .kind = K::Button, .caption = "選択を駅にする", .frame = "駅"},
                {.id = kAddStop, .kind = K::Button, .caption = "駅を行路に追加", .frame = "駅"},
                {.id = kTerminus, .kind = K::CheckBox, .caption = "終点", .frame = "駅"},
                {.id = kReport, .kind = K::Label},
                {.id = kStops,
                 .kind = K::ListView,
                 .columns = {{"駅", ColumnAlign::Right, ColumnSort::Number},
                             {"停車時間[秒]", ColumnAlign::Right, ColumnSort::Number},
                             {"終点"},
                             {"線路"}}}}};
}

} // namespace ui
