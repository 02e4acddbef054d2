#include "layout/MapFile.h"

#include "LayoutTestSupport.h"
#include "layout/MapFileVehicles.h"
#include "layout/TurnoutKeys.h"
#include "platform/Cp932.h"
#include "platform/TextFile.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <sys/resource.h>

namespace {

using layout::MapOutcome;
using layout::MapVehicle;
using layout::PlacedObject;
namespace mapmsg = layout::mapmsg;

std::string Crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string Lf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

class MapFileTest : public layouttest::LayoutTest, protected layouttest::MapMessageLog {
  protected:
    // Types t0 to t(n-1) in catalogue order.
    void WriteTypes(int n)
    {
        for (int i = 0; i < n; ++i)
            WriteType("t" + std::to_string(i), {"ポイント=2"});
    }

    MapOutcome Save(const std::string& name) { return Keep(layout::SaveMapFile(layout, folder + name, vehicles)); }
    MapOutcome Load(const std::string& name)
    {
        return Keep(layout::LoadMapFile(layout, folder + name, vehicles, {.device = device.get()}));
    }
    std::string Bytes(const std::string& name) const { return testsupport::ReadBytes(dir.Path() / name); }

    std::vector<PlacedObject> Objects() const { return {layout.Placed().All().begin(), layout.Placed().All().end()}; }

    layout::StoredMapVehicles vehicles;
};

// --- writing

TEST_F(MapFileTest, WritesTheUsedTypesInCatalogueOrderAndEveryLineAsTheFormatSays)
{
    WriteTypes(6);
    Scan();
    layout.Placed().Append(
        {.type = 5, .x = -0.0001f, .y = 1.5f, .z = 2, .angle = 90, .route = 1, .key = 3});
    layout.Placed().Append({.type = 2, .x = 0.5f, .y = -12.3456f, .z = 1000, .angle = 0, .route = 0});
    vehicles.SetTrainHome(2, {1.25f, 0, -3, 1.5f});
    vehicles.SetStartPosition(MapVehicle::Helicopter, {4, 5, 6});
    vehicles.SelectTrainChoice(1, "急行");
    vehicles.SelectVehicleChoice(MapVehicle::Car, "Bus");

    ASSERT_EQ(Save("map.txt"), MapOutcome::Done);
    const std::string expected = Crlf({
        "KORVELA Map Data",
        ":Background",
        "",
        ":Object Name",
        "t2", // file index 0
        "t5", // file index 1
        ":Map Data",
        "1 -0.000 1.500 2.000 90.000 1 3",
        "0 0.500 -12.346 1000.000 0.000 0 -1",
        ":Position Data 2",
        "-10.000 0.000 0.000 0.000",
        "1.250 0.000 -3.000 1.500",
        "-2.000 0.000 0.000 0.000",
        "2.000 0.000 0.000 0.000",
        "6.000 0.000 0.000 0.000",
        "10.000 0.000 0.000 0.000",
        "0.000 0.000 0.000",
        "4.000 5.000 6.000",
        "0.000 0.000 0.000",
        ":Vehicle Data 2",
        "急行",
        "電車なし",
        "電車なし",
        "電車なし",
        "電車なし",
        "電車なし",
        "",
        "",
        "Bus",
    });
    // Everything fits code page 932, so that is what is written.
    EXPECT_EQ(Bytes("map.txt"), platform::Utf8ToCp932(expected).value());
    EXPECT_EQ(layout.MapFilePath(), folder + "map.txt");
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(mapmsg::kSaved)});
    EXPECT_EQ(layout::MapWindowTitle("korvela", layout.MapFilePath()), "korvela - map");
}

TEST_F(MapFileTest, AnEmptyLayoutWritesNoNamesAndLoadsEmpty)
{
    WriteTypes(1);
    Scan();
    ASSERT_EQ(Save("empty.txt"), MapOutcome::Done);
    EXPECT_NE(Bytes("empty.txt").find(":Object Name\r\n:Map Data\r\n:Position Data 2\r\n"),
              std::string::npos);
    layout.Placed().Append({.type = 0});
    ASSERT_EQ(Load("empty.txt"), MapOutcome::Done);
    EXPECT_EQ(layout.Placed().Count(), 0);
}

TEST_F(MapFileTest, TwoThousandObjectsSurviveSaveLoadSaveByteForByte)
{
    WriteTypes(3);
    WriteFile("ground.x", layouttest::UnitBoxX());
    Scan();
    layout.Catalogue().SetBackgroundName("ground");
    std::uint32_t seed = 12345;
    const auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
    };
    for (int i = 0; i < layout::kMaxPlacedObjects; ++i) {
        const PlacedObject object{.type = next(3),
                                  .x = static_cast<float>(next(2000001) - 1000000) * 0.0137f,
                                  .y = static_cast<float>(next(20001) - 10000) * 0.001f,
                                  .z = static_cast<float>(next(200001) - 100000) * 0.25f,
                                  .angle = static_cast<float>(next(3600)) * 0.1f,
                                  .route = next(3),
                                  .key = next(13) - 1};
        ASSERT_TRUE(layout.Placed().Append(object).ok());
    }
    for (int slot = 1; slot <= layout::kMapTrainSlots; ++slot)
        vehicles.SetTrainHome(slot, {static_cast<float>(slot) * 1.111f, 0.5f, -2.25f, 0.0174f * slot});
    vehicles.SetStartPosition(MapVehicle::Plane, {1, 2, 3});
    vehicles.SelectTrainChoice(3, "Local");
    vehicles.SelectVehicleChoice(MapVehicle::Plane, "Jet");

    ASSERT_EQ(Save("first.txt"), MapOutcome::Done);
    const std::vector<PlacedObject> saved = Objects();
    layout::StoredMapVehicles reloaded;
    ASSERT_EQ(Keep(layout::LoadMapFile(layout, folder + "first.txt", reloaded, {.device = device.get()})),
              MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), layout::kMaxPlacedObjects);
    EXPECT_EQ(layout.Catalogue().BackgroundName(), "ground");
    EXPECT_EQ(reloaded.TrainChoice(3), "Local");
    EXPECT_EQ(reloaded.AppliedCount(), 1);
    for (int i = 0; i < layout.Placed().Count(); ++i) {
        // Types, routes and keys exactly; positions to the file's three decimals.
        const PlacedObject& a = saved[static_cast<std::size_t>(i)];
        const PlacedObject& b = *layout.Placed().Find(i);
        ASSERT_EQ(a.type, b.type) << i;
        ASSERT_EQ(a.route, b.route) << i;
        ASSERT_EQ(a.key, b.key) << i;
        ASSERT_NEAR(a.x, b.x, 0.01f) << i;
        ASSERT_NEAR(a.angle, b.angle, 0.001f) << i;
    }

    shown.clear();
    ASSERT_EQ(Keep(layout::SaveMapFile(layout, folder + "second.txt", reloaded)), MapOutcome::Done);
    EXPECT_EQ(Bytes("first.txt"), Bytes("second.txt"));
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(mapmsg::kSaved)});
}

TEST_F(MapFileTest, ANameWithoutACodePageCodeIsWrittenAsUtf8WithAByteOrderMarkAndReadsBack)
{
    WriteType("Café", {});
    WriteType("直線", {});
    Scan();
    layout.Placed().Append({.type = layout.Catalogue().FindTypeByName("Café"), .x = 1});
    layout.Placed().Append({.type = layout.Catalogue().FindTypeByName("直線"), .x = 2});
    ASSERT_EQ(Save("mixed.txt"), MapOutcome::Done);
    const std::string bytes = Bytes("mixed.txt");
    ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"
                                  "KORVELA Map Data\r\n"));
    EXPECT_NE(bytes.find("Café\r\n直線\r\n"), std::string::npos);

    layout.ClearPlacedObjects();
    ASSERT_EQ(Load("mixed.txt"), MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), 2);
    EXPECT_EQ(layout.Catalogue().TypeName(layout.Placed().Find(0)->type), "Café");
    EXPECT_EQ(layout.Catalogue().TypeName(layout.Placed().Find(1)->type), "直線");
}

// A layout whose replacement writes only part of the file and then fails, as on a full disk.
platform::Status FailingReplace(const std::string& path,
                                const std::function<bool(const platform::ChunkWriter&)>& produce)
{
    return platform::ReplaceFile(path, [&produce](const platform::ChunkWriter& write) {
        return produce([&write](std::string_view chunk) {
            write(chunk.substr(0, 10));
            return false;
        });
    });
}

TEST_F(MapFileTest, AFailedWriteKeepsTheOldFileAndSaysSoInsteadOfSuccess)
{
    WriteTypes(1);
    Scan();
    layout.Placed().Append({.type = 0, .x = 3});
    layout.SetMapFilePath(folder + "current.txt");
    WriteFile("keep.txt", "old map\r\n");

    EXPECT_EQ(Keep(layout::SaveMapFile(layout, folder + "keep.txt", vehicles, FailingReplace)), MapOutcome::Failed);
    EXPECT_EQ(Bytes("keep.txt"), "old map\r\n");
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(mapmsg::kWriteFailed)});
    EXPECT_EQ(shown.front().kind, layout::MapMessage::Kind::Error);
    // The layout still belongs to the file it was saved to or loaded from.
    EXPECT_EQ(layout.MapFilePath(), folder + "current.txt");

    // A file that cannot even be created is the old "open failed".
    shown.clear();
    EXPECT_EQ(Save("no such folder/map.txt"), MapOutcome::Failed);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(mapmsg::kOpenFailed)});
}

TEST_F(MapFileTest, AWriteCutShortByTheFileSizeLimitKeepsTheOldFile)
{
    WriteTypes(1);
    Scan();
    for (int i = 0; i < 20; ++i)
        layout.Placed().Append({.type = 0, .x = static_cast<float>(i)});
    WriteFile("keep.txt", "old map\r\n");

    // The kernel refuses writes past the limit (EFBIG) once the signal is ignored: a real failed
    // write, in this process only, undone at once.
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 200;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const MapOutcome outcome = Save("keep.txt");
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(outcome, MapOutcome::Failed);
    EXPECT_EQ(Bytes("keep.txt"), "old map\r\n");
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(mapmsg::kWriteFailed)});
    // No half-written temporary file is left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        files += entry.path().filename().string().starts_with(".keep.txt") ? 1 : 0;
    EXPECT_EQ(files, 0);
}

// A C locale that writes a decimal comma: an installed one, or one built into a scratch folder.
bool SetCommaCLocale(std::optional<testsupport::TempDir>& scratch)
{
    const auto trySet = [](const char* name) {
        return std::setlocale(LC_NUMERIC, name) && std::string(std::localeconv()->decimal_point) == ",";
    };
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (trySet(name)) return true;
    if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")) return false;
    scratch.emplace();
    const std::string folder = scratch->Path().string();
    const std::string command = "localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    ::setenv("LOCPATH", folder.c_str(), 1);
    return trySet("de_DE.UTF-8");
}

TEST_F(MapFileTest, NumbersIgnoreADecimalCommaLocale)
{
    struct CommaPunct : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    WriteTypes(1);
    Scan();
    layout.Placed().Append({.type = 0, .x = 1.5f});
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    std::optional<testsupport::TempDir> scratch;
    const bool commaC = SetCommaCLocale(scratch);

    const MapOutcome saved = Save("comma.txt");
    const MapOutcome loaded = Load("comma.txt");
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
    std::locale::global(previous);

    ASSERT_EQ(saved, MapOutcome::Done);
    ASSERT_EQ(loaded, MapOutcome::Done);
    EXPECT_NE(Bytes("comma.txt").find("0 1.500 0.000"), std::string::npos);
    EXPECT_EQ(layout.Placed().Find(0)->x, 1.5f);
    if (!commaC) GTEST_SKIP() << "no decimal-comma C locale can be made here; only the C++ locale was tried";
}

// --- reading

TEST_F(MapFileTest, ReadsCodePage932AndUtf8WithEitherLineEnd)
{
    WriteType("直線", {});
    WriteType("分岐", {"ポイント=2"});
    Scan();
    const std::vector<std::string> lines = {
        "KORVELA Map Data",
        ":Object Name",
        "直線",
        "分岐",
        ":Map Data",
        "1 1.000 2.000 3.000 45.000 1 4",
        "0 -1.000 0.000 0.000 0.000 0 -1",
    };
    const std::vector<std::pair<std::string, std::string>> files = {
        {"sjis-crlf.txt", platform::Utf8ToCp932(Crlf(lines)).value()},
        {"sjis-lf.txt", platform::Utf8ToCp932(Lf(lines)).value()},
        {"utf8-lf.txt", Lf(lines)},
        {"utf8bom-crlf.txt", "\xEF\xBB\xBF" + Crlf(lines)},
    };
    for (const auto& [name, bytes] : files) {
        WriteFile(name, bytes);
        layout.ClearPlacedObjects();
        shown.clear();
        ASSERT_EQ(Load(name), MapOutcome::Done) << name;
        ASSERT_EQ(layout.Placed().Count(), 2) << name;
        EXPECT_EQ(*layout.Placed().Find(0), (PlacedObject{.type = layout.Catalogue().FindTypeByName("分岐"),
                                                       .x = 1,
                                                       .y = 2,
                                                       .z = 3,
                                                       .angle = 45,
                                                       .route = 1,
                                                       .key = 4}))
            << name;
        EXPECT_EQ(layout.Placed().Find(1)->type, layout.Catalogue().FindTypeByName("直線")) << name;
        EXPECT_TRUE(ShownTexts().empty()) << name;
    }
}

TEST_F(MapFileTest, ReadsTheOlderFormatWithFourTrainsAndShortLines)
{
    WriteTypes(1);
    WriteFile("bg.x", layouttest::UnitBoxX());
    Scan();
    WriteFile("old.txt", Lf({"DATA",
                             ":Background",
                             "bg",
                             ":Object Name",
                             "t0",
                             ":Map Data",
                             "0 1.0 2.0 3.0 45.0 1",
                             ":Position Data",
                             "1 2 3 0.5",
                             "4 5 6 0.25",
                             "7 8 9 0",
                             "10 11 12 0",
                             "20 21 22",
                             "30 31 32",
                             "40 41 42",
                             ":Vehicle Data",
                             "A",
                             "B",
                             "C",
                             "D",
                             "Jet",
                             "Heli",
                             "Bus"}));
    vehicles.SetTrainHome(6, {99, 99, 99, 9});
    ASSERT_EQ(Load("old.txt"), MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), 1);
    EXPECT_EQ(layout.Placed().Find(0)->route, 1);
    EXPECT_EQ(layout.Placed().Find(0)->key, layout::kNoKey) << "a six-field line has no key";
    EXPECT_EQ(layout.Catalogue().BackgroundName(), "bg");
    EXPECT_EQ(vehicles.TrainHome(1), (layout::TrainHomePose{1, 2, 3, 0.5f}));
    EXPECT_EQ(vehicles.TrainHome(4), (layout::TrainHomePose{10, 11, 12, 0}));
    EXPECT_EQ(vehicles.TrainHome(5), (layout::TrainHomePose{6, 0, 0, 0}));
    EXPECT_EQ(vehicles.TrainHome(6), (layout::TrainHomePose{10, 0, 0, 0}));
    EXPECT_EQ(vehicles.StartPosition(MapVehicle::Plane), (math::Vec3{20, 21, 22}));
    EXPECT_EQ(vehicles.StartPosition(MapVehicle::Car), (math::Vec3{40, 41, 42}));
    EXPECT_EQ(vehicles.TrainChoice(4), "D");
    EXPECT_EQ(vehicles.TrainChoice(5), "電車なし");
    EXPECT_EQ(vehicles.VehicleChoice(MapVehicle::Plane), "Jet");
    EXPECT_EQ(vehicles.VehicleChoice(MapVehicle::Car), "Bus");
    EXPECT_EQ(vehicles.AppliedCount(), 1);
    EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(MapFileTest, NamesDifferingOnlyInLetterCaseFindTheirTypeButAnExactNameWins)
{
    WriteType("Rail", {});
    WriteType("Tree", {});
    Scan();
    WriteFile("case.txt", Crlf({"KORVELA Map Data", ":Object Name", "RAIL", "tree", ":Map Data",
                                "1 0 0 0 0 0 -1", "0 0 0 0 0 0 -1"}));
    ASSERT_EQ(Load("case.txt"), MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), 2);
    EXPECT_EQ(layout.Catalogue().TypeName(layout.Placed().Find(0)->type), "Tree");
    EXPECT_EQ(layout.Catalogue().TypeName(layout.Placed().Find(1)->type), "Rail");

    // A Linux folder may hold both spellings; each object keeps its own through a save and load.
    WriteType("rail", {});
    Scan();
    const int lower = layout::FindMapTypeName(layout, "rail");
    const int upper = layout::FindMapTypeName(layout, "Rail");
    ASSERT_NE(lower, upper);
    layout.Placed().Append({.type = lower});
    layout.Placed().Append({.type = upper});
    ASSERT_EQ(Save("both.txt"), MapOutcome::Done);
    ASSERT_EQ(Load("both.txt"), MapOutcome::Done);
    EXPECT_EQ(layout.Placed().Find(0)->type, lower);
    EXPECT_EQ(layout.Placed().Find(1)->type, upper);
}

TEST_F(MapFileTest, UntrustedContentLoadsOnlyWhatFitsAndWarnsOnce)
{
    WriteTypes(2);
    Scan();
    std::vector<std::string> lines = {"KORVELA Map Data",
                                      ":Object Name",
                                      "t0",
                                      "t1",
                                      ":Map Data",
                                      "7 1 2 3 0 0 0",  // no such file index
                                      "-1 1 2 3 0 0 0", // nor this
                                      "   ",            // no fields at all
                                      "0 1 2 3 0 0 12", // key 12
                                      "1 1 2 3 0 5 -7", // key -7, route 5 kept
                                      "0 nan 1e999 -inf 0 0 1",
                                      "1 5 6 7"}; // four fields
    for (int i = 0; i < 2100; ++i)
        lines.push_back("0 " + std::to_string(i) + ".000 0.000 0.000 0.000 0 -1");
    WriteFile("crafted.txt", Crlf(lines));

    ASSERT_EQ(Load("crafted.txt"), MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), layout::kMaxPlacedObjects);
    for (const PlacedObject& object : layout.Placed().All()) {
        EXPECT_TRUE(layout::IsValidKey(object.key));
        EXPECT_TRUE(std::isfinite(object.x) && std::isfinite(object.y) && std::isfinite(object.z) &&
                    std::isfinite(object.angle));
    }
    EXPECT_EQ(*layout.Placed().Find(0), (PlacedObject{.type = 0, .x = 1, .y = 2, .z = 3, .key = -1}));
    EXPECT_EQ(*layout.Placed().Find(1),
              (PlacedObject{.type = 1, .x = 1, .y = 2, .z = 3, .route = 5, .key = -1}));
    EXPECT_EQ(*layout.Placed().Find(2), (PlacedObject{.type = 0, .key = 1}));
    EXPECT_EQ(*layout.Placed().Find(3), (PlacedObject{.type = 1, .x = 5, .y = 6, .z = 7, .key = -1}));
    EXPECT_EQ(layout.Placed().Find(1999)->x, 1995.0f);
    // One warning for everything left out; the limit is the one named.
    EXPECT_EQ(ShownTexts(),
              std::vector<std::string>{layout::LimitMessage(layout::LimitKind::PlaceObjects)});

    // Without the limit, the other lines still say that something was left out.
    lines.resize(12);
    WriteFile("crafted.txt", Crlf(lines));
    shown.clear();
    ASSERT_EQ(Load("crafted.txt"), MapOutcome::Done);
    EXPECT_EQ(layout.Placed().Count(), 4);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(mapmsg::kLinesLeftOut)});
}

TEST_F(MapFileTest, MoreThanTwoHundredNamesAreIgnoredWithTheLinesThatUseThem)
{
    WriteTypes(1);
    Scan();
    std::vector<std::string> lines = {"KORVELA Map Data", ":Object Name"};
    for (int i = 0; i < 205; ++i)
        lines.push_back("t0"); // the names past 200 are not even looked up
    lines.push_back(":Map Data");
    lines.push_back("199 1 0 0 0 0 -1");
    lines.push_back("200 2 0 0 0 0 -1");
    WriteFile("names.txt", Crlf(lines));
    ASSERT_EQ(Load("names.txt"), MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), 1);
    EXPECT_EQ(layout.Placed().Find(0)->x, 1.0f);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{std::string(mapmsg::kLinesLeftOut)});
}

// A load that fails, whether the file is missing or no map file, leaves the open layout as it
// was: its objects, its history, its map path and object folder.
TEST_F(MapFileTest, AFailedLoadChangesNothingOfTheOpenLayout)
{
    WriteTypes(1);
    Scan();
    layout.SetMapFilePath(folder + "current.txt");
    ASSERT_TRUE(layout.AddObjects({{.type = 0, .x = 2}}).ok());
    std::filesystem::create_directories(dir.Path() / "other");
    const std::string other = folder + "other/";
    testsupport::WriteBytes(other + "plain.txt", "hello\r\nworld\r\n");
    const std::string before = layout::MapFileText(layout, vehicles);

    for (const std::string& path : {other + "gone.txt", other + "plain.txt"}) {
        EXPECT_EQ(Keep(layout::LoadMapFile(layout, path, vehicles, {})), MapOutcome::Failed) << path;
        EXPECT_EQ(layout::MapFileText(layout, vehicles), before) << path;
        EXPECT_EQ(layout.MapFilePath(), folder + "current.txt");
        EXPECT_EQ(layout.Catalogue().ObjectFolder(), folder);
        EXPECT_EQ(layout.History().UndoCount(), 1u);
        EXPECT_TRUE(layout.History().Changed());
    }
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{std::string(mapmsg::kOpenFailed),
                                                       std::string(mapmsg::kNotDataFile)}));
    EXPECT_EQ(vehicles.TrainChoice(1), "電車なし");
    EXPECT_EQ(vehicles.AppliedCount(), 0);
    // A restore of such a text fails the same way.
    EXPECT_EQ(Keep(layout::RestoreMapText(layout, folder + "x.txt", testsupport::ReadBytes(other + "plain.txt"),
                                          vehicles, {})),
              MapOutcome::Failed);
    EXPECT_EQ(layout::MapFileText(layout, vehicles), before);
    EXPECT_EQ(layout.MapFilePath(), folder + "current.txt");
}

// Objects of types the folder lacks stay in the layout as placeholders: the rest loads, one
// message names every missing type, the object dialog lists them with "(なし)", they can be
// picked and edited, the save gives back the file byte for byte, and once their files are back
// they become the real objects.
TEST_F(MapFileTest, TypesTheFolderLacksAreKeptAsPlaceholdersUntilTheirFilesAppear)
{
    for (const char* name : {"a", "b", "c", "d"})
        WriteType(name, {});
    Scan();
    Place(0, 1, 0, 0);
    Place(1, 5, 0, 5, 90);
    Place(3, -5, 2, 0);
    Place(2, 0, 0, 9);
    Place(1, 20, 0, 20);
    vehicles.SelectTrainChoice(1, "急行");
    ASSERT_EQ(Save("orig.txt"), MapOutcome::Done);
    for (const char* file : {"b.x", "b.ini", "d.x", "d.ini"})
        std::filesystem::remove(dir.Path() / file);
    shown.clear();

    ASSERT_EQ(Load("orig.txt"), MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), 5);
    EXPECT_EQ(layout.PlaceholderCount(), 3);
    EXPECT_EQ(layout.PlaceholdersByType(), (std::vector<std::pair<std::string, int>>{{"b", 2}, {"d", 1}}));
    // After the note that the map names no background.
    EXPECT_EQ(ShownTexts().back(), layout::MissingObjectsMessage({"b", "d"}, 3));
    EXPECT_EQ(layout.ObjectDialog().Items(ui::objsel::kCatalogue),
              (std::vector<std::string>{"a", "c", "b(なし)", "d(なし)"}));
    EXPECT_EQ(layout.ObjectDialog().List(ui::objsel::kPlacedList).Cell(1, 1), "b(なし)");
    ASSERT_EQ(Save("copy.txt"), MapOutcome::Done);
    EXPECT_EQ(Bytes("copy.txt"), Bytes("orig.txt"));

    // The flat 2 x 2 frame is what picking hits; a move and its undo keep the record exact.
    Pick(Down(5.9f, 5.9f));
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{1});
    Pick(Down(6.5f, 5));
    EXPECT_TRUE(layout.Selection().Selected().empty());
    Pick(Down(5, 5));
    ASSERT_TRUE(layout.MoveSelectedBy(1, 0, 0).ok());
    EXPECT_EQ(layout.Placed().Find(1)->x, 6.0f);
    ASSERT_TRUE(layout.Undo());
    ASSERT_EQ(Save("copy.txt"), MapOutcome::Done);
    EXPECT_EQ(Bytes("copy.txt"), Bytes("orig.txt"));

    WriteType("b", {});
    EXPECT_EQ(layout.LoadMissingTypes(device.get()), 1);
    EXPECT_EQ(layout.PlaceholdersByType(), (std::vector<std::pair<std::string, int>>{{"d", 1}}));
    EXPECT_NE(layout.Catalogue().FindType(layout.Placed().Find(1)->type)->visible.mesh, nullptr);
    EXPECT_EQ(layout.ObjectDialog().List(ui::objsel::kPlacedList).Cell(1, 1), "b");
    EXPECT_EQ(layout.LoadMissingTypes(device.get()), 0);
}

TEST_F(MapFileTest, AMissingBackgroundIsReportedAndTheOldNameKept)
{
    WriteTypes(1);
    WriteFile("sky.x", layouttest::UnitBoxX());
    Scan();
    layout.Catalogue().SetBackgroundName("sky");
    WriteFile("nobg.txt", Crlf({"KORVELA Map Data", ":Background", "", ":Object Name", ":Map Data"}));
    WriteFile("cloud.txt", Crlf({"KORVELA Map Data", ":Background", "cloud"}));
    ASSERT_EQ(Load("nobg.txt"), MapOutcome::Done);
    ASSERT_EQ(Load("cloud.txt"), MapOutcome::Done);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"背景ファイル .x がありません。",
                                                                "背景ファイル cloud.x がありません。"}));
    EXPECT_EQ(layout.Catalogue().BackgroundName(), "sky");
}

// --- import

class MapImportTest : public MapFileTest {
  protected:
    void SetUp() override
    {
        WriteTypes(2);
        Scan();
    }

    // A map written by the program itself holding these objects.
    void WriteImportFile(const std::string& name, const std::vector<PlacedObject>& objects)
    {
        layout::CLayout other(layouttest::kSection);
        other.Catalogue().SetObjectFolder(folder);
        other.ScanObjectFolder(device.get());
        for (const PlacedObject& object : objects)
            ASSERT_TRUE(other.Placed().Append(object).ok());
        ASSERT_EQ(Keep(layout::SaveMapFile(other, folder + name, vehicles)), MapOutcome::Done);
        shown.clear();
    }

    void Fill(int count)
    {
        for (int i = 0; i < count; ++i)
            layout.Placed().Append({.type = 0, .x = static_cast<float>(i)});
    }
};

TEST_F(MapImportTest, ObjectsAreCentredWhereTheViewMeetsTheGroundAndSelected)
{
    WriteImportFile("import.txt", {{.type = 1, .x = 90, .y = 0, .z = 100, .angle = 30, .route = 1, .key = 2},
                                   {.type = 0, .x = 100, .y = 2, .z = 100},
                                   {.type = 1, .x = 110, .y = 5, .z = 100}});
    layout.Placed().Append({.type = 0, .x = -50}, true);
    layout.SetMapFilePath(folder + "current.txt");

    ASSERT_EQ(Keep(layout::ImportMapFile(layout, folder + "import.txt", Down(0, 0))), MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), 4);
    EXPECT_EQ(*layout.Placed().Find(1),
              (PlacedObject{.type = 1, .x = -10, .y = 0, .z = 0, .angle = 30, .route = 1, .key = 2}));
    EXPECT_EQ(*layout.Placed().Find(2), (PlacedObject{.type = 0, .x = 0, .y = 2, .z = 0}));
    EXPECT_EQ(*layout.Placed().Find(3), (PlacedObject{.type = 1, .x = 10, .y = 5, .z = 0}));
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{1, 2, 3}));
    // The list shows the last new row, then the first.
    const auto& scrolls = layout.ObjectDialog().List(ui::objsel::kPlacedList).ScrollRequests();
    ASSERT_EQ(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[0].row, 3);
    EXPECT_EQ(scrolls[1].row, 1);
    EXPECT_GT(scrolls[1].serial, scrolls[0].serial);
    EXPECT_EQ(layout.Selection().Primary(), -1);
    EXPECT_EQ(layout.MapFilePath(), folder + "current.txt");
    EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(MapImportTest, ALevelViewImportsAtTheStoredPlaces)
{
    WriteImportFile("import.txt", {{.type = 0, .x = 90, .z = 100}, {.type = 0, .x = 110, .z = 120}});
    const layout::PickRay level{{0, 1, 0}, {0, 1, 100}};
    ASSERT_EQ(Keep(layout::ImportMapFile(layout, folder + "import.txt", level)), MapOutcome::Done);
    ASSERT_EQ(layout.Placed().Count(), 2);
    EXPECT_EQ(layout.Placed().Find(0)->x, 90.0f);
    EXPECT_EQ(layout.Placed().Find(1)->z, 120.0f);
}

TEST_F(MapImportTest, TheLimitCountsTheObjectsAlreadyPlaced)
{
    std::vector<PlacedObject> ten(10, PlacedObject{.type = 0});
    WriteImportFile("ten.txt", ten);
    ten.push_back({.type = 1});
    WriteImportFile("eleven.txt", ten);
    Fill(1990);

    ASSERT_EQ(Keep(layout::ImportMapFile(layout, folder + "eleven.txt", Down(0, 0))), MapOutcome::Failed);
    EXPECT_EQ(layout.Placed().Count(), 1990);
    EXPECT_EQ(ShownTexts(),
              std::vector<std::string>{layout::LimitMessage(layout::LimitKind::PlaceObjects)});
    ASSERT_EQ(Keep(layout::ImportMapFile(layout, folder + "ten.txt", Down(0, 0))), MapOutcome::Done);
    EXPECT_EQ(layout.Placed().Count(), 2000);
}

TEST_F(MapImportTest, AFileItCannotFullyUseChangesNothing)
{
    Fill(3);
    layout.Selection().SetSelected(1, true);
    const std::vector<PlacedObject> before = Objects();
    const std::vector<std::pair<std::string, std::vector<std::string>>> files = {
        {"badindex.txt",
         {"KORVELA Map Data", ":Background", "", ":Object Name", "t0", ":Map Data", "0 1 0 0 0 0 -1",
          "3 1 0 0 0 0 -1"}},
        {"order.txt", {"KORVELA Map Data", ":Object Name", "t0", ":Map Data", "0 1 0 0 0 0 -1"}},
        {"vehicles.txt",
         {"KORVELA Map Data", ":Background", "", ":Object Name", ":Position Data 2", "1 2 3 4"}},
        {"plain.txt", {"hello"}},
    };
    for (const auto& [name, lines] : files) {
        WriteFile(name, Crlf(lines));
        EXPECT_EQ(Keep(layout::ImportMapFile(layout, folder + name, Down(0, 0))), MapOutcome::Failed) << name;
    }
    EXPECT_EQ(Keep(layout::ImportMapFile(layout, folder + "none.txt", Down(0, 0))), MapOutcome::Failed);
    EXPECT_EQ(Objects(), before);
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{1});
    EXPECT_EQ(
        ShownTexts(),
        (std::vector<std::string>{std::string(mapmsg::kNotDataFile), std::string(mapmsg::kNotDataFile),
                                  std::string(mapmsg::kNotDataFile),
                                  std::string(mapmsg::kNotDataFile), std::string(mapmsg::kOpenFailed)}));
}

} // namespace
