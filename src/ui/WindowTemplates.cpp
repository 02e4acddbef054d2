#include "ui/WindowTemplates.h"

namespace ui {

DialogTemplate MainWindowTemplate()
{
    using K = ControlKind;
    return {.resourceId = mainwin::kDialogId,
            .title = "KORVELA",
            .controls = {{.id = mainwin::kRenderView, .kind = K::Picture},
                         {.id = mainwin::kStart, .kind = K::Button, .caption = "起  動", .shown = false}}};
}

DialogTemplate MessageViewerTemplate()
{
    return {.resourceId = viewer::kDialogId,
            .title = "",
            .controls = {{.id = viewer::kText, .kind = ControlKind::RichEdit}}};
}

} // namespace ui
