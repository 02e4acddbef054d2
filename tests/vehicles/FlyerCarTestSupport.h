// What the road car, aeroplane and helicopter tests share: a settings dialog, keys, a recording
// device with a camera looking down +z, and vehicle folders written on the fly.
#pragma once

#include "common/TestSupport.h"
#include "gfx/RecordingDevice.h"
#include "input/CInput.h"
#include "math/Matrix.h"
#include "math/Vector.h"
#include "platform/KeyState.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <string>

namespace vehicletest {

// One quad, 2 × 1 units, in front of its origin.
inline constexpr const char* kQuadX = "xof 0303txt 0032\n"
                                      "Mesh {\n"
                                      " 4;\n"
                                      " -1.0;0.0;0.0;,\n"
                                      " -1.0;1.0;0.0;,\n"
                                      " 1.0;1.0;0.0;,\n"
                                      " 1.0;0.0;0.0;;\n"
                                      " 2;\n"
                                      " 3;0,1,2;,\n"
                                      " 3;0,2,3;;\n"
                                      "}\n";

// A vehicle folder: models are written as name.x and name.ini with the keys given.
class ModelFolder {
  public:
    static constexpr const char* kSection = "KORVELA";

    std::string Path() const { return dir_.Path().string() + "/"; }
    void Add(const std::string& name, const std::string& iniKeys, const std::string& x = kQuadX) const
    {
        testsupport::WriteBytes(dir_.File(name + ".x"), x);
        testsupport::WriteBytes(dir_.File(name + ".ini"), std::string("[") + kSection + "]\r\n" + iniKeys);
    }
    void AddFile(const std::string& file, const std::string& bytes) const
    {
        testsupport::WriteBytes(dir_.File(file), bytes);
    }

  private:
    testsupport::TempDir dir_;
};

// Settings dialog, keys and device of one test. The camera stands at (0, 5, -50) looking at the
// origin with a 45° field of view; the culling distance is the template's 5000.
struct Rig {
    Rig()
    {
        device->SetTransform(gfx::TransformKind::View, math::LookAtLH(kEye, {0, 0, 0}, {0, 1, 0}));
        device->SetTransform(gfx::TransformKind::Projection,
                             math::PerspectiveFovLH(0.785398f, 640.0f / 480.0f, 1.0f, 10000.0f));
        device->ClearCalls();
    }

    void Hold(std::initializer_list<int> codes)
    {
        for (int vk : codes)
            keys.Press(vk);
    }
    void ReleaseAll() { keys.ReleaseAll(); }
    void Check(int id, bool on) { ASSERT_TRUE(setUp.SetCheck(id, on ? 1 : 0)); }
    std::size_t Draws() const { return device->Count<gfx::call::DrawSubset>(); }

    static constexpr math::Vec3 kEye{0.0f, 5.0f, -50.0f};
    platform::KeyState keys;
    input::CInput input{keys};
    ui::DialogModel setUp{ui::SetUpTemplate()};
    std::unique_ptr<gfx::RecordingDevice> device = gfx::RecordingDevice::Create().device;
};

inline void ExpectUnit(math::Vec3 v, float tolerance = 1e-4f)
{
    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
    EXPECT_NEAR(math::Length(v), 1.0f, tolerance);
}

// The angle in degrees between two directions.
inline double DegreesBetween(math::Vec3 a, math::Vec3 b)
{
    const double c = math::Dot(math::Normalize(a), math::Normalize(b));
    return std::acos(std::clamp(c, -1.0, 1.0)) * 180.0 / 3.14159265358979;
}

} // namespace vehicletest
