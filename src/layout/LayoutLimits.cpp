#include "layout/LayoutLimits.h"

namespace layout {

std::string LimitMessage(LimitKind kind)
{
    std::string beginning;
    int limit = kMaxPlacedObjects;
    switch (kind) {
    case LimitKind::RegisterTypes:
        beginning = "登録できるオブジェクトは、";
        limit = kMaxObjectTypes;
        break;
    case LimitKind::PlaceObjects:
        beginning = "配置できるオブジェクトは、";
        break;
    case LimitKind::UseObjects:
        beginning = "使用できるオブジェクトは、";
        break;
    }
    return beginning + std::to_string(limit) + "個までです。\n\n連絡頂ければ、最大値を変更致します。";
}

} // namespace layout
