// What the object dialog asks of the program around it: where the view centre looks (for
// placing), the main window's turnout controls, the editing mode, the camera and the preview.
// Every call does nothing by default, so a test overrides only what it watches.
#pragma once

#include "layout/PickRay.h"

#include <string>

namespace app {

class ObjectSelectHost {
  public:
    virtual ~ObjectSelectHost() = default;

    // The ray through the centre of the render view; "配置" puts the new object where it meets
    // the ground. The default ray is level and places nothing.
    virtual layout::PickRay ViewCentreRay() const { return {}; }
    // The turnout menu and the point buttons, after the selection or the objects changed.
    virtual void RefreshTurnoutControls() {}
    // "マップの作成" is checked.
    virtual bool MapCreationMode() const { return false; }
    // The camera's edit focus jumps to the selected object.
    virtual void FocusOnSelection() {}
    // Both camera lists of the settings dialog switch to "選択ｵﾌﾞｼﾞｪｸﾄ".
    virtual void FollowSelection() {}
    // Draws the preview of the type chosen in the catalogue list.
    virtual void RenderPreview() {}
    // A warning box over the object dialog: why an edit could not be done.
    virtual void ShowWarning(const std::string& /*text*/) {}
    // "つなぐ" and "次の端": laying track from the selected piece's open ends.
    virtual void AttachTrack() {}
    virtual void NextTrackEnd() {}
};

} // namespace app
