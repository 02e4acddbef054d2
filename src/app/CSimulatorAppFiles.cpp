// The application's commands of the map file beyond load and save: the map a start opens,
// "最近使ったファイル", "上書き保存" and "終了"; and "全体を表示", which looks at the whole map.
#include "app/CSimulatorApp.h"

#include "ui/CommandIds.h"
#include "ui/SetUpTemplate.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace app {

namespace {

namespace cmd = ui::cmd;
namespace su = ui::setup;

bool IsFile(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

} // namespace

std::string CSimulatorApp::StartMap() const
{
    if (std::string last = settings_.MapFile(); IsFile(last)) return last;
    if (std::string demo = environment_.executableFolder + std::string(kDemoMap); IsFile(demo)) return demo;
    return {};
}

void CSimulatorApp::OpenStartMap()
{
    const std::string map = environment_.startMap.empty() ? StartMap() : environment_.startMap;
    if (!map.empty()) LoadMapFile(map);
}

void CSimulatorApp::MapFileUsed(const std::string& path)
{
    recent_.Add(path);
    RefreshRecentMenu();
    // Another layout, or the same saved: the check window checks again.
    checkedAt_.reset();
}

void CSimulatorApp::RefreshRecentMenu()
{
    ui::MenuModel& menu = mainDlg_.Menu();
    const std::vector<std::string>& paths = recent_.Paths();
    for (int item = 0; item < cmd::kRecentCount; ++item) {
        const auto position = static_cast<std::size_t>(item);
        menu.SetSuffix(cmd::kRecentFirst + item,
                       position < paths.size() ? RecentMaps::MenuText(position, paths[position]) : "");
    }
}

void CSimulatorApp::OpenRecentMap(int position)
{
    const std::vector<std::string>& paths = recent_.Paths();
    if (position < 0 || static_cast<std::size_t>(position) >= paths.size()) return;
    if (!ConfirmUnsavedChanges()) return;
    const std::string path = paths[static_cast<std::size_t>(position)];
    // The load says why it failed; a map that is gone leaves the list.
    if (!LoadMapFile(path)) {
        recent_.Remove(path);
        RefreshRecentMenu();
    }
}

void CSimulatorApp::SaveMapOver()
{
    layout_->SaveMapOver();
    RefreshEditState();
}

void CSimulatorApp::Quit()
{
    if (environment_.requestClose) {
        environment_.requestClose();
        return;
    }
    if (ConfirmUnsavedChanges()) OnClose();
}

void CSimulatorApp::ShowWholeLayout()
{
    // The box of every placed object's sphere; an empty layout shows the ground round the origin.
    const layout::CLayout& core = appLayout_.Core();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    math::Vec3 low{kInfinity, kInfinity, kInfinity};
    math::Vec3 high{-kInfinity, -kInfinity, -kInfinity};
    for (const layout::PlacedObject& object : core.Placed().All()) {
        const layout::ObjectType* type = core.Catalogue().FindType(object.type);
        const float reach = type ? math::Length(type->sphere.center) + type->sphere.radius : 0.0f;
        const math::Vec3 at{object.x, object.y, object.z};
        if (!std::isfinite(reach) || !std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z)) continue;
        low = {std::min(low.x, at.x - reach), std::min(low.y, at.y - reach), std::min(low.z, at.z - reach)};
        high = {std::max(high.x, at.x + reach), std::max(high.y, at.y + reach), std::max(high.z, at.z + reach)};
    }
    constexpr float kEmptyRadius = 50.0f;
    const bool empty = !(low.x <= high.x);
    const math::Vec3 centre = empty ? math::Vec3{} : 0.5f * (low + high);
    const float radius = empty ? kEmptyRadius : std::max(0.5f * math::Length(high - low), 1.0f);

    ui::DialogModel& setUp = setUp_.Model();
    const bool editing = mainDlg_.EditingMode();
    const float aspect = static_cast<float>(mainDlg_.DeviceWidth()) / static_cast<float>(std::max(1, mainDlg_.DeviceHeight()));
    const float distance = camera_.LookDownOn(centre, radius, static_cast<float>(setUp.Position(su::kFieldOfView)),
                                              aspect, editing);
    if (editing) {
        // The orbit's distance is the slider's, as far as it goes.
        setUp.SetPosition(su::kDistance, static_cast<int>(std::ceil(distance)));
    } else {
        // Set as a program sets a list: the free view from the camera point.
        setUp.SetSelection(su::kPositionList, camera::entry::kCameraPoint);
        setUp.SetSelection(su::kViewPointList, camera::entry::kFree);
    }
    // The far side of the layout stays within the culling distance.
    if (setUp.Position(su::kCulling) < distance + radius)
        setUp.SetPosition(su::kCulling, static_cast<int>(std::ceil(distance + radius)));
    setUp_.OnHScroll();
    if (!started_) Paint();
}

} // namespace app
