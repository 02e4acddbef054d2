#include "app/SettingsFile.h"

#include "AppTestSupport.h"
#include "ui/LayoutCheckTemplate.h"
#include "ui/SetUpTemplate.h"

#include <gtest/gtest.h>

namespace {

namespace su = ui::setup;
using apptest::AppFixture;

std::string IniPath(const AppFixture& f)
{
    return f.folder + "korvela.ini";
}

void WriteSettings(const AppFixture& f, const std::string& body)
{
    testsupport::WriteBytes(IniPath(f), "[korvela]\r\n" + body);
}

TEST(SettingsFileTest, WithoutAFileEverythingTakesItsDefault)
{
    AppFixture f;
    f.app->Startup();
    const ui::DialogModel& model = f.app->SetUp().Model();

    // Defaults are the executable folder itself, never that folder converted a second time.
    EXPECT_EQ(f.layout.objectFolder, f.folder);
    for (const auto& train : f.vehicles.trainFolders)
        EXPECT_EQ(train, f.folder);
    for (const auto& vehicle : f.vehicles.vehicleFolders)
        EXPECT_EQ(vehicle, f.folder);
    EXPECT_EQ(f.layout.mapFile, f.folder + "RailData.txt");
    EXPECT_EQ(f.layout.background, "");

    EXPECT_EQ(model.Selection(su::kPositionList), 0);
    EXPECT_EQ(model.Selection(su::kViewPointList), 0);
    EXPECT_EQ(model.Check(su::kTrack), 1);
    EXPECT_EQ(model.Check(su::kSprites), 1);
    EXPECT_EQ(model.Selection(su::kSpriteStyle), 0);
    EXPECT_EQ(model.Check(su::kText), 1);
    EXPECT_EQ(model.Position(su::kLight), 100);
    EXPECT_EQ(model.Check(su::kLines), 0);
    EXPECT_EQ(model.Check(su::kNoDeceleration), 1);
    EXPECT_EQ(model.Check(su::kSync), 1);
    EXPECT_EQ(model.Check(su::kRealTime), 1);
    EXPECT_TRUE(model.IsChecked(su::kDriveHelicopter));
    EXPECT_EQ(f.app->MainDlg().StatusBar().Text(3), "操作(F7)：ﾍﾘｺﾌﾟﾀｰ");
}

TEST(SettingsFileTest, AllNineteenKeysSurviveAWriteAndARead)
{
    std::string saved;
    {
        AppFixture f;
        f.app->Startup();
        ui::DialogModel& model = f.app->SetUp().Model();
        std::filesystem::create_directories(f.dir.Path() / "bin" / "Objects");
        f.layout.objectFolder = f.folder + "Objects/";
        f.layout.background = "空.x";
        f.layout.mapFile = f.folder + "Objects/Layout.txt";
        f.vehicles.trainFolders[0] = f.folder + "Train/";
        f.vehicles.vehicleFolders[0] = f.folder + "Plane/";
        f.vehicles.vehicleFolders[1] = f.folder + "Heli/";
        f.vehicles.vehicleFolders[2] = f.folder + "Car/";
        model.SetSelection(su::kPositionList, 3);
        model.SetSelection(su::kViewPointList, 14);
        model.SetCheck(su::kTrack, 2);
        model.SetCheck(su::kSprites, 0);
        model.SetSelection(su::kSpriteStyle, 2);
        model.SetCheck(su::kText, 0);
        model.SetPosition(su::kLight, 37);
        model.SetCheck(su::kLines, 1);
        model.SetCheck(su::kNoDeceleration, 0);
        model.SetCheck(su::kSync, 0);
        model.SetCheck(su::kRealTime, 0);
        f.app->SetUp().SelectDrivePlane();
        f.app->LayoutCheck().Dialog().SetText(ui::check::kGrade, "2.5");
        f.app->LayoutCheck().Dialog().SetText(ui::check::kClearance, "7.25");
        f.app->OnClose();

        saved = testsupport::ReadBytes(IniPath(f));
        EXPECT_NE(saved.find("Train=./Train/"), std::string::npos)
            << "folders below the program are relative";

        // A second run reads everything back.
        f.app.reset();
        f.layout = {};
        f.vehicles = {};
        f.app = std::make_unique<app::CSimulatorApp>(
            app::AppEnvironment{
                .executableFolder = f.folder,
                .executableName = "korvela",
                .deviceFactory = apptest::RecordingFactory(),
                .ports = {.layout = &f.layout, .vehicles = &f.vehicles, .viewers = &f.viewers}},
            f.dialogs, f.keys);
        f.app->Startup();
        const ui::DialogModel& back = f.app->SetUp().Model();
        EXPECT_EQ(f.layout.objectFolder, f.folder + "Objects/");
        EXPECT_EQ(f.layout.background, "空.x");
        EXPECT_EQ(f.layout.mapFile, f.folder + "Objects/Layout.txt");
        for (const auto& train : f.vehicles.trainFolders)
            EXPECT_EQ(train, f.folder + "Train/") << "one entry serves all six slots";
        EXPECT_EQ(f.vehicles.vehicleFolders[0], f.folder + "Plane/");
        EXPECT_EQ(f.vehicles.vehicleFolders[1], f.folder + "Heli/");
        EXPECT_EQ(f.vehicles.vehicleFolders[2], f.folder + "Car/");
        EXPECT_EQ(back.Selection(su::kPositionList), 3);
        EXPECT_EQ(back.Selection(su::kViewPointList), 14);
        EXPECT_EQ(back.Check(su::kTrack), 2);
        EXPECT_EQ(back.Check(su::kSprites), 0);
        EXPECT_EQ(back.Selection(su::kSpriteStyle), 2);
        EXPECT_EQ(back.Check(su::kText), 0);
        EXPECT_EQ(back.Position(su::kLight), 37);
        EXPECT_EQ(back.Text(su::kLightLabel), "37");
        EXPECT_EQ(back.Check(su::kLines), 1);
        EXPECT_EQ(back.Check(su::kNoDeceleration), 0);
        EXPECT_EQ(back.Check(su::kSync), 0);
        EXPECT_EQ(back.Check(su::kRealTime), 0);
        EXPECT_TRUE(back.IsChecked(su::kDrivePlane));
        EXPECT_EQ(f.app->LayoutCheck().Settings().maxGradePercent, 2.5f);
        EXPECT_EQ(f.app->LayoutCheck().Dialog().Text(ui::check::kClearance), "7.25");
    }
    // Keys in their fixed order, one section named after the program, the check's after them.
    std::size_t at = saved.find("[korvela]");
    ASSERT_NE(at, std::string::npos);
    for (const auto key : app::SettingsFile::kKeys) {
        const std::size_t next = saved.find("\n" + std::string(key) + "=", at);
        ASSERT_NE(next, std::string::npos) << key;
        at = next;
    }
    EXPECT_NE(saved.find("\r\nDriveType=1\r\nRealTime=0\r\nCheckGrade=2.5\r\nCheckClearance=7.25\r\n"), std::string::npos)
        << saved;
}

TEST(SettingsFileTest, CheckThresholdsThatAreNoPositiveNumberTakeTheirDefaults)
{
    AppFixture f;
    WriteSettings(f, "CheckGrade=abc\r\nCheckClearance=-2\r\n");
    f.app->Startup();
    EXPECT_EQ(f.app->LayoutCheck().Dialog().Text(ui::check::kGrade), "4");
    EXPECT_EQ(f.app->LayoutCheck().Dialog().Text(ui::check::kClearance), "5");
    // A box left holding no number keeps the threshold last used.
    f.app->LayoutCheck().Dialog().SetText(ui::check::kGrade, "");
    f.app->OnClose();
    const std::string saved = testsupport::ReadBytes(IniPath(f));
    EXPECT_NE(saved.find("CheckGrade=4\r\nCheckClearance=5\r\n"), std::string::npos) << saved;
}

TEST(SettingsFileTest, FoldersWithoutARelativePathAreStoredAbsoluteAndReadAsTheyStand)
{
    AppFixture f;
    // No common part with the executable's folder but the root.
    const std::string elsewhere = "/korvela-elsewhere/trains/";
    WriteSettings(f, "Train=" + elsewhere + "\r\nPlane=../Shared/Planes/\r\n");
    f.app->Startup();
    EXPECT_EQ(f.vehicles.trainFolders[3], elsewhere);
    EXPECT_EQ(f.vehicles.vehicleFolders[0], f.dir.Path().string() + "/Shared/Planes/");

    f.app->OnClose();
    const std::string saved = testsupport::ReadBytes(IniPath(f));
    EXPECT_NE(saved.find("Train=" + elsewhere + "\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Plane=../Shared/Planes/\r\n"), std::string::npos) << saved;
}

TEST(SettingsFileTest, LongPathsAreReadWholeAndWrittenBackUnchanged)
{
    AppFixture f;
    std::string longFolder = "./";
    while (longFolder.size() < 300)
        longFolder += "a-rather-long-folder-name/";
    WriteSettings(f, "Train=" + longFolder + "\r\n");
    f.app->Startup();
    EXPECT_EQ(f.vehicles.trainFolders[0], f.folder + longFolder.substr(2));
    f.app->OnClose();
    EXPECT_NE(testsupport::ReadBytes(IniPath(f)).find("Train=" + longFolder + "\r\n"), std::string::npos);
}

TEST(SettingsFileTest, IndicesOutsideTheirListsFallBackToTheFirstEntry)
{
    for (const char* style : {"7", "abc", "-1"}) {
        AppFixture f;
        WriteSettings(f, std::string("CamLocateIndex=-3\r\nCamViewIndex=99\r\nPointSpriteType=") + style +
                             "\r\n");
        f.app->Startup();
        const ui::DialogModel& model = f.app->SetUp().Model();
        EXPECT_EQ(model.Selection(su::kPositionList), 0);
        EXPECT_EQ(model.Selection(su::kViewPointList), 0);
        EXPECT_EQ(model.Selection(su::kSpriteStyle), 0) << style;
    }
    AppFixture f;
    WriteSettings(f, "CamLocateIndex=11\r\nCamViewIndex=15\r\nPointSpriteType=2\r\n");
    f.app->Startup();
    EXPECT_EQ(f.app->SetUp().Model().Selection(su::kPositionList), 11);
    EXPECT_EQ(f.app->SetUp().Model().Selection(su::kViewPointList), 15);
    EXPECT_EQ(f.app->SetUp().Model().Selection(su::kSpriteStyle), 2);
}

TEST(SettingsFileTest, CheckStatesABoxLacksFallBackToTheKeysDefault)
{
    AppFixture f;
    WriteSettings(f, "Moji=5\r\nKidou=3\r\nLight=500\r\nLine=-1\r\nGensoku=abc\r\nDouki=1x\r\n");
    f.app->Startup();
    const ui::DialogModel& model = f.app->SetUp().Model();
    EXPECT_EQ(model.Check(su::kText), 1);
    EXPECT_EQ(model.Check(su::kTrack), 1);
    EXPECT_EQ(model.Position(su::kLight), 100) << "the slider keeps itself in its range";
    EXPECT_EQ(model.Check(su::kLines), 0);
    EXPECT_EQ(model.Check(su::kNoDeceleration), 0) << "non-numeric text reads as 0";
    EXPECT_EQ(model.Check(su::kSync), 1);
    EXPECT_EQ(model.Check(su::kRealTime), 1) << "a file written before the key runs in real time";

    AppFixture third;
    WriteSettings(third, "Kidou=2\r\n");
    third.app->Startup();
    EXPECT_EQ(third.app->SetUp().Model().Check(su::kTrack), 2) << "the track box has a third state";
}

TEST(SettingsFileTest, DriveTypeClicksItsRadio)
{
    const std::pair<const char*, int> cases[] = {{"0", su::kDriveCamera},
                                                 {"1", su::kDrivePlane},
                                                 {"2", su::kDriveHelicopter},
                                                 {"9", su::kDriveHelicopter}};
    for (const auto& [value, radio] : cases) {
        AppFixture f;
        WriteSettings(f, std::string("DriveType=") + value + "\r\n");
        f.app->Startup();
        EXPECT_TRUE(f.app->SetUp().Model().IsChecked(radio)) << value;
        EXPECT_FALSE(f.app->MainDlg().StatusBar().Text(3).empty());
    }
}

TEST(SettingsFileTest, FileAndSectionFollowTheExecutablesName)
{
    AppFixture f(false, "Renamed");
    testsupport::WriteBytes(f.folder + "Renamed.ini",
                            "; kept\r\n[Other]\r\nLight=5\r\n[renamed]\r\nLight=20\r\n");
    f.app->Startup();
    EXPECT_EQ(f.app->SetUp().Model().Position(su::kLight), 20) << "sections match ignoring case";
    f.app->OnClose();
    const std::string saved = testsupport::ReadBytes(f.folder + "Renamed.ini");
    EXPECT_TRUE(saved.starts_with("; kept\r\n[Other]\r\nLight=5\r\n")) << "other lines are kept";
    EXPECT_FALSE(std::filesystem::exists(IniPath(f)));
}

} // namespace
