// Map files a user may be handed: every broken one is refused with the message the load shows,
// or read as far as it makes sense, and never leaves a non-finite object, a partly changed
// layout after a refusal, or a stray file behind.
#include "layout/MapFile.h"

#include "LayoutTestSupport.h"
#include "layout/MapFileVehicles.h"
#include "platform/Memory.h"
#include "platform/TextFile.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <unistd.h>

namespace {

using layout::MapOutcome;
namespace mapmsg = layout::mapmsg;

constexpr std::size_t kMiB = std::size_t{1} << 20;

class MapFileBadInputTest : public layouttest::LayoutTest, protected layouttest::MapMessageLog {
  protected:
    MapFileBadInputTest()
    {
        WriteType("t0", {"ポイント=2"});
        Scan();
    }

    std::set<std::string> FolderNames() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            names.insert(entry.path().filename().string());
        return names;
    }

    // A file of the given size holding text at its start and NUL bytes after it, without
    // writing those (a sparse file).
    void WriteSparse(const std::string& name, const std::string& start, std::size_t size) const
    {
        WriteFile(name, start);
        std::filesystem::resize_file(dir.Path() / name, size);
    }

    layout::StoredMapVehicles vehicles;
};

const std::string kGood = "KORVELA Map Data\r\n:Background\r\n\r\n:Object Name\r\nt0\r\n\r\n:Map Data\r\n"
                          "0 1 0 2 90 1 3\r\n0 -4 0.5 6 45 0 -1\r\n\r\n:Position Data 2\r\n1 0 2 0.5\r\n"
                          "\r\n:Vehicle Data 2\r\n電車\r\n";

TEST_F(MapFileBadInputTest, RefusedFilesShowTheirMessageAndChangeNothing)
{
    layout.Placed().Append({.type = 0, .x = 7});
    const struct {
        std::string label;
        std::function<void(const std::string& name)> make;
        std::string_view message;
    } cases[] = {
        {"missing file", [](const std::string&) {}, mapmsg::kOpenFailed},
        {"a folder", [&](const std::string& name) { std::filesystem::create_directory(dir.Path() / name); },
         mapmsg::kOpenFailed},
        {"empty file", [&](const std::string& name) { WriteFile(name, ""); }, mapmsg::kNotDataFile},
        {"wrong header", [&](const std::string& name) { WriteFile(name, "KORVELA Map Data 2\r\n" + kGood); },
         mapmsg::kNotDataFile},
        {"header without its line end, then more",
         [&](const std::string& name) { WriteFile(name, "KORVELA Map Data" + std::string(100, 'x')); },
         mapmsg::kNotDataFile},
        {"invalid UTF-8 header", [&](const std::string& name) { WriteFile(name, "\xef\xbb\xbf\xc0\xaf" "DATA\r\n"); },
         mapmsg::kNotDataFile},
        {"256 MiB of NUL bytes", [&](const std::string& name) { WriteSparse(name, "", 256 * kMiB); },
         mapmsg::kNotDataFile},
        {"a good header on a file past the size cap",
         [&](const std::string& name) { WriteSparse(name, kGood, platform::kMaxMapFileBytes + 1); },
         mapmsg::kOpenFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string name = "case.txt";
        std::filesystem::remove_all(dir.Path() / name);
        c.make(name);
        const std::set<std::string> before = FolderNames();
        const double peakBefore = platform::PeakResidentMb();
        shown.clear();

        EXPECT_EQ(Keep(layout::LoadMapFile(layout, folder + name, vehicles, {.device = device.get()})),
                  MapOutcome::Failed);
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(c.message)});
        EXPECT_EQ(layout.MapFilePath(), "");
        ASSERT_EQ(layout.Placed().Count(), 1);
        EXPECT_EQ(layout.Placed().Find(0)->x, 7.0f);
        EXPECT_EQ(vehicles.AppliedCount(), 0);

        shown.clear();
        EXPECT_EQ(Keep(layout::ImportMapFile(layout, folder + name, Down(0, 0))), MapOutcome::Failed);
        EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(c.message)});
        EXPECT_EQ(layout.Placed().Count(), 1);

        EXPECT_EQ(FolderNames(), before);
        // Neither the load nor the import read a large file whole.
        EXPECT_LT(platform::PeakResidentMb() - peakBefore, 50.0);
    }
}

TEST_F(MapFileBadInputTest, DamagedContentLoadsWhatItCanAsFiniteObjects)
{
    const struct {
        std::string label;
        std::string bytes;
        std::size_t objects;
        std::vector<std::string> messageEnds; // each message shown ends with its entry
    } cases[] = {
        {"UTF-16 with its mark", "\xff\xfe" + [] {
             std::string wide;
             for (char c : std::string("KORVELA Map Data\r\n:Object Name\r\nt0\r\n\r\n:Map Data\r\n0 1 2 3 4\r\n")) {
                 wide += c;
                 wide += '\0';
             }
             return wide;
         }(),
         1, {}},
        {"LF and CR line ends", "DATA\n:Object Name\rt0\n\n:Map Data\n0 1 2 3 4\r", 1, {}},
        {"non-finite and huge numbers", "DATA\r\n:Object Name\r\nt0\r\n:Map Data\r\n0 nan 1e30 -1e999 1e38 0 -1\r\n",
         1, {}},
        {"huge and negative indices and keys",
         "DATA\r\n:Object Name\r\nt0\r\n:Map Data\r\n99999999999 1 2 3\r\n-5 1 2 3\r\n0 1 2 3 0 -99 99999999999\r\n",
         1, {std::string(mapmsg::kLinesLeftOut)}},
        {"an over-long line", "DATA\r\n:Object Name\r\nt0\r\n:Map Data\r\n0 " + std::string(2 * kMiB, '9') + "\r\n", 1,
         {}},
        {"invalid Shift-JIS in a name", "DATA\r\n:Object Name\r\nt\x82\xff\r\n:Map Data\r\n0 1 2 3\r\n", 1,
         {"そのまま書き戻します。"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteFile("case.txt", c.bytes);
        layout.ClearPlacedObjects();
        shown.clear();
        (void)Keep(layout::LoadMapFile(layout, folder + "case.txt", vehicles, {.device = device.get()}));
        EXPECT_EQ(static_cast<std::size_t>(layout.Placed().Count()), c.objects);
        const std::vector<std::string> messages = ShownTexts();
        ASSERT_EQ(messages.size(), c.messageEnds.size());
        for (std::size_t i = 0; i < messages.size(); ++i)
            EXPECT_TRUE(messages[i].ends_with(c.messageEnds[i])) << messages[i];
        for (const layout::PlacedObject& o : layout.Placed().All()) {
            EXPECT_TRUE(std::isfinite(o.x) && std::isfinite(o.y) && std::isfinite(o.z) && std::isfinite(o.angle));
            EXPECT_LE(std::fabs(o.y), 1e6f);
        }
    }
}

TEST_F(MapFileBadInputTest, AFileCutAnywhereLoadsOrFailsCleanly)
{
    for (std::size_t cut = 0; cut <= kGood.size(); ++cut) {
        SCOPED_TRACE(cut);
        WriteFile("cut.txt", kGood.substr(0, cut));
        layout.ClearPlacedObjects();
        shown.clear();
        const MapOutcome outcome = Keep(layout::LoadMapFile(layout, folder + "cut.txt", vehicles, {.device = device.get()}));
        // A cut inside the header refuses the file; after it, whatever is there is read, and a
        // name cut short is a type that is not there, kept as a placeholder.
        const std::vector<std::string> messages = ShownTexts();
        if (cut < layout::kMapFileHeader.size()) {
            EXPECT_EQ(messages, std::vector<std::string>{std::string(mapmsg::kNotDataFile)});
        } else if (outcome == MapOutcome::Failed) {
            ASSERT_FALSE(messages.empty());
            EXPECT_TRUE(messages.back().ends_with("オブジェクトファイルがありません")) << messages.back();
        }
        EXPECT_LE(layout.Placed().Count(), 2);
    }
}

TEST_F(MapFileBadInputTest, AFileThatCannotBeReadIsReportedAsSuch)
{
    if (::geteuid() == 0) GTEST_SKIP() << "running as root, which reads any file; case skipped";
    WriteFile("locked.txt", kGood);
    std::filesystem::permissions(dir.Path() / "locked.txt", std::filesystem::perms::none);
    EXPECT_EQ(Keep(layout::LoadMapFile(layout, folder + "locked.txt", vehicles, {.device = device.get()})),
              MapOutcome::Failed);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(mapmsg::kOpenFailed)});
}

} // namespace
