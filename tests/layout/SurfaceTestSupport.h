// A layout over generated track pieces with its surface queries, for the surface-query tests
// and the train tests.
#pragma once

#include "layout/CLayoutSurface.h"
#include "layout/LayoutTestSupport.h"
#include "layout/SurfaceTracks.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace surfacetest {

class SurfaceTest : public layouttest::LayoutTest {
  protected:
    // Writes name.ini, name.x and (with routes) name_r.x into the object folder.
    void WriteTrack(const std::string& name, const tracks::TypeFiles& files, int routeCount) const
    {
        WriteFile(name + ".ini", tracks::IniText(layouttest::kSection, routeCount));
        WriteFile(name + ".x", files.visible);
        if (!files.guide.empty()) WriteFile(name + "_r.x", files.guide);
    }
    void WriteTrack(const std::string& name, const std::vector<tracks::Line>& routes) const
    {
        const tracks::TypeFiles files = tracks::TrackType(routes);
        WriteTrack(name, files, files.routes);
    }
    // A plain solid without a guide (a deck, a platform, a ground plate).
    void WriteSolid(const std::string& name, const std::string& mesh) const
    {
        WriteFile(name + ".ini", tracks::IniText(layouttest::kSection, 0));
        WriteFile(name + ".x", mesh);
    }

    int Type(const std::string& name) const
    {
        const int type = layout.Catalogue().FindTypeByName(name);
        EXPECT_GE(type, 0) << name;
        return type;
    }

    layout::CLayoutSurface surface{layout};
};

// Distance of a point from the circle of that radius round the origin, in the ground plan.
inline double OffCircle(float x, float z, double radius)
{
    return std::fabs(std::hypot(double(x), double(z)) - radius);
}

} // namespace surfacetest
