// The one camera of the program: where it stands and what it looks at, chosen in the settings
// dialog's position and view-point lists, and the mouse and keypad navigation that steer it.
// It computes eye, target, up and the view and projection matrices; setting them on a device
// is the renderer's job (render/CameraTransforms.h), so this layer needs no graphics device.
#pragma once

#include "camera/CameraSources.h"
#include "math/Matrix.h"
#include "math/Vector.h"

#include <functional>

namespace input {
class CInput;
}
namespace ui {
class DialogModel;
class StatusBarModel;
} // namespace ui

namespace camera {

class CCamera {
  public:
    CCamera() = default;

    // --- the rig, once per pass of the main loop, before the frame is drawn

    // Eye, target and up for this frame from the settings dialog's position list (1031) and
    // view-point list (1032); writes status panes 1 and 2 with the lists' current texts.
    // editToolActive: one of the three editing tools of the tool bar is checked (the camera then
    // orbits the edit focus). A front, rear or seat view of a source that has none switches the
    // view-point list to "フリー" (to item 0 while F6 is held without Shift). The front and rear
    // views also turn the camera's yaw. With no selection in either list, eye and target stay.
    void UpdateRig(ui::DialogModel& setUp, ui::StatusBarModel& statusBar, const CameraSources& sources,
                   bool editToolActive, const input::CInput& input);

    // View and projection for a viewport of the given size, from eye, target and up and the
    // dialog's projection radios (1028/1029) and "画角" slider (1041). A view with no direction
    // (eye on the target, or looking along up) keeps the previous view matrix; a viewport with
    // no area counts as 1 × 1. The matrices are always finite.
    void BuildViewProjection(const ui::DialogModel& setUp, int viewportWidth, int viewportHeight);

    // The object dialog's preview camera looking at a bounding sphere (centre, radius) from the
    // preview angles; a radius of 0 (or one that is not a number) counts as 1. Perspective uses a
    // quarter turn of view angle and the preview window's aspect; orthographic as the main view.
    void BuildPreviewViewProjection(const ui::DialogModel& setUp, math::Vec3 centre, float radius,
                                    int windowWidth, int windowHeight);

    // --- navigation, called by the main loop before the frame

    // Right drag in the main view: turns yaw and pitch by half the mouse counts.
    void OrbitDrag(int dx, int dy);
    // The same for the preview angles, with the preview window's mouse counts.
    void PreviewOrbitDrag(int dx, int dy);
    // Middle drag: moves the "距離" slider (1038) by half the vertical counts (truncated). The
    // caller then lets the settings dialog refresh its slider labels.
    void DistanceDrag(int dy, ui::DialogModel& setUp);
    // Mouse wheel: one degree of view angle per notch, kept in step with the "画角" slider
    // (1041). sliderRefresh (the settings dialog's slider refresh, which stores the slider back
    // into WheelAngle) runs right after the slider is set, as the dialog's notification did.
    void WheelZoom(int delta, ui::DialogModel& setUp, const std::function<void()>& sliderRefresh = {});
    // Keypad steering of the edit focus while an editing tool is checked.
    void MoveEditFocus(const input::CInput& input);
    // Keypad steering of the free-standing camera point while "カメラ(F7)" (1021) is selected;
    // the direction depends on the view-point list's selection.
    void MoveCameraPoint(const input::CInput& input, const ui::DialogModel& setUp);
    // fromSelection: the edit focus jumps to the selected object ((0, 0, 0) when none);
    // otherwise to the current target, so that switching an editing tool keeps the picture.
    void SetEditFocus(bool fromSelection, const CameraSources& sources);

    // --- the record

    // "全体を表示": looks down on a sphere (the whole layout) from above and a little to the
    // south (−z), from where it fits a view of vertical field of view fovDegrees and the
    // aspect width / height. Editing (the camera orbits the edit focus) moves the focus to the
    // centre; otherwise the camera point goes to the eye, for the free view from it. Returns the
    // distance from the eye to the centre.
    float LookDownOn(math::Vec3 centre, float radius, float fovDegrees, float aspect, bool editing);

    float Yaw() const { return yaw_; }
    float Pitch() const { return pitch_; }
    void SetYaw(float degrees) { yaw_ = degrees; }
    void SetPitch(float degrees) { pitch_ = degrees; }
    float PreviewYaw() const { return previewYaw_; }
    float PreviewPitch() const { return previewPitch_; }
    void SetPreviewYaw(float degrees) { previewYaw_ = degrees; }
    void SetPreviewPitch(float degrees) { previewPitch_ = degrees; }
    // Field of view stepped by the wheel; the settings dialog stores the "画角" slider here.
    float WheelAngle() const { return wheelAngle_; }
    void SetWheelAngle(float degrees) { wheelAngle_ = degrees; }

    math::Vec3 Eye() const { return eye_; }
    math::Vec3 Target() const { return target_; }
    math::Vec3 Up() const { return up_; }
    math::Vec3 EditFocus() const { return editFocus_; }
    void SetEditFocusPoint(math::Vec3 focus) { editFocus_ = focus; }
    math::Vec3 CameraPoint() const { return cameraPoint_; }
    void SetCameraPoint(math::Vec3 point) { cameraPoint_ = point; }

    // The matrices of the last BuildViewProjection, for picking and culling.
    const math::Matrix& View() const { return view_; }
    const math::Matrix& Projection() const { return projection_; }
    // The matrices of the last BuildPreviewViewProjection.
    const math::Matrix& PreviewView() const { return previewView_; }
    const math::Matrix& PreviewProjection() const { return previewProjection_; }

    // The orbit point: centre + (d·cos β·sin α, s·d·sin β, −d·cos β·cos α) with the camera's yaw α
    // and pitch β; sign +1 puts it above the centre for a positive pitch, −1 below.
    math::Vec3 Orbit(math::Vec3 centre, float distance, float sign) const;

  private:
    // The first rule of the table that matches position p and view point v (both valid).
    void ApplyRule(int p, int v, float distance, const CameraSources& sources, ui::DialogModel& setUp,
                   const input::CInput& input);

    float yaw_ = 0;
    float pitch_ = 0;
    float previewYaw_ = 0;
    float previewPitch_ = 0;
    float wheelAngle_ = 25.0f;
    math::Matrix view_ = math::Identity();
    math::Matrix projection_ = math::Identity();
    math::Matrix previewView_ = math::Identity();
    math::Matrix previewProjection_ = math::Identity();
    bool hasView_ = false;
    bool hasPreviewView_ = false;
    math::Vec3 eye_;
    math::Vec3 target_;
    math::Vec3 up_{0, 1.0f, 0};
    math::Vec3 editFocus_;
    math::Vec3 cameraPoint_{0, 1.0f, 0};
};

} // namespace camera
