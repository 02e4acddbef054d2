// Shared set-up of the camera tests: the settings dialog in its initialised state, the status
// bar, a key state and the camera, plus near-equality checks for points and matrices.
#pragma once

#include "camera/CCamera.h"
#include "input/CInput.h"
#include "math/Matrix.h"
#include "platform/KeyState.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"
#include "ui/StatusBarModel.h"

#include <cmath>
#include <gtest/gtest.h>

namespace camera_test {

inline ::testing::AssertionResult Near(math::Vec3 actual, math::Vec3 expected, float tolerance = 1e-3f)
{
    if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance &&
        std::fabs(actual.z - expected.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not (" << expected.x << ", "
           << expected.y << ", " << expected.z << ")";
}

inline ::testing::AssertionResult Near(const math::Matrix& actual, const math::Matrix& expected,
                                       float tolerance = 1e-4f)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(std::fabs(actual.m[r][c] - expected.m[r][c]) <= tolerance))
                return ::testing::AssertionFailure() << "element (" << r << ", " << c << ") is "
                                                     << actual.m[r][c] << ", expected " << expected.m[r][c];
    return ::testing::AssertionSuccess();
}

inline bool AllFinite(const math::Matrix& m)
{
    for (const auto& row : m.m)
        for (float x : row)
            if (!std::isfinite(x)) return false;
    return true;
}

class CameraFixture : public ::testing::Test {
  protected:
    ui::DialogModel setUp{ui::SetUpTemplate()};
    ui::StatusBarModel status;
    platform::KeyState keys;
    input::CInput input{keys};
    camera::CameraSources sources;
    camera::CCamera cam;

    void Choose(int position, int viewPoint)
    {
        setUp.SetSelection(ui::setup::kPositionList, position);
        setUp.SetSelection(ui::setup::kViewPointList, viewPoint);
    }
    void Rig(bool editTool = false) { cam.UpdateRig(setUp, status, sources, editTool, input); }
    int ViewPoint() const { return setUp.Selection(ui::setup::kViewPointList); }
};

} // namespace camera_test
