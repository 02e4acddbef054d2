#include "ui/LayoutCheckTemplate.h"

namespace ui {

DialogTemplate LayoutCheckTemplate()
{
    using K = ControlKind;
    using namespace check;
    return {.resourceId = kDialogId,
            .title = kTitle,
            .controls = {
                {.id = kFindings,
                 .kind = K::ListView,
                 .columns = {{"種類"}, {"オブジェクト"}, {"値", ColumnAlign::Right, ColumnSort::Number}}},
                {.id = kCounts, .kind = K::Label},
                {.kind = K::Label, .caption = "勾配の上限[%]"},
                {.id = kGrade, .kind = K::EditBox, .caption = "4"},
                {.kind = K::Label, .caption = "建築限界"},
                {.id = kClearance, .kind = K::EditBox, .caption = "5"},
                {.id = kRecheck, .kind = K::Button, .caption = "再点検"},
                {.id = kMend, .kind = K::Button, .caption = "継ぎ目を合わせる"},
                {.id = kMendReport, .kind = K::Label}}};
}

} // namespace ui
