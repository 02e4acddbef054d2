// Train files: which cars a train file loads, how they are formed into a line, and the values
// read from the train and car files.
#include "vehicles/TrainTestSupport.h"

#include <cmath>

namespace {

using traintest::TrainTest;
using vehicles::LeadPointKind;

constexpr float kTolerance = 1e-4f;

TEST_F(TrainTest, CarsOfLengthsFourAndSixWithGapPointTwoStandFivePointTwoApart)
{
    WriteCar("short", 4.0);
    WriteCar("long", 6.0);
    WriteTrainFile("mixed",
                   {"車両間距離=0.2", "1両目モデル名=short", "2両目モデル名=long", "3両目モデル名=short"});
    train.SetHome({2, 1, 3}, 0.0f);
    Load("mixed");
    ASSERT_EQ(train.CarCount(), 3);
    EXPECT_NEAR(train.Car(0).position.z - train.Car(1).position.z, 5.2f, kTolerance);
    EXPECT_NEAR(train.Car(1).position.z - train.Car(2).position.z, 5.2f, kTolerance);
    for (const vehicles::TrainCar& car : train.Cars()) {
        EXPECT_FLOAT_EQ(car.position.x, 2.0f);
        EXPECT_FLOAT_EQ(car.position.y, 1.0f);
    }
    EXPECT_FLOAT_EQ(train.Car(0).position.z, 3.0f);
    EXPECT_EQ(train.Speed(), 0.0f);

    // At home facing +x the line runs back along −x.
    train.SetHome({0, 0, 0}, 1.5707963f);
    Load("mixed");
    EXPECT_NEAR(train.Car(1).position.x, -5.2f, kTolerance);
    EXPECT_NEAR(train.Car(1).position.z, 0.0f, kTolerance);
    EXPECT_FLOAT_EQ(train.Car(2).yaw, 1.5707963f);
}

TEST_F(TrainTest, AModelTurnedAcrossTakesItsWidthAsItsLength)
{
    WriteCar("short", 4.0);
    // Turned by 90 degrees, the second car is 1.6 long: 2 + 0.2 + 0.8 behind the first.
    WriteTrainFile("turned", {"1両目モデル名=short", "2両目モデル名=short", "2両目回転角度=90"});
    Load("turned");
    EXPECT_NEAR(train.Car(1).position.z, -3.0f, kTolerance);
    EXPECT_NEAR(train.Car(1).modelAngle, 1.5707964f, 1e-6f);
}

TEST_F(TrainTest, SeventeenModelKeysLoadSixteenCars)
{
    WriteCar("car", 4.0);
    WriteConsist("long", "car", 17);
    Load("long");
    EXPECT_EQ(train.CarCount(), 16);
    EXPECT_EQ(train.LastCar(), 15);
}

TEST_F(TrainTest, AGapInTheNumberingEndsTheTrain)
{
    WriteCar("car", 4.0);
    WriteTrainFile("gap", {"1両目モデル名=car", "3両目モデル名=car"});
    Load("gap");
    EXPECT_EQ(train.CarCount(), 1);
}

TEST_F(TrainTest, ACarWhoseModelCannotBeLoadedEndsTheTrainBeforeIt)
{
    WriteCar("car", 4.0);
    WriteTrainFile("broken", {"1両目モデル名=car", "2両目モデル名=missing", "3両目モデル名=car"});
    testing::internal::CaptureStderr();
    Load("broken");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(train.CarCount(), 1);
    EXPECT_NE(said.find("missing"), std::string::npos);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);

    // A first car that cannot be loaded leaves the slot empty, without a crash.
    WriteTrainFile("nothing", {"1両目モデル名=missing"});
    testing::internal::CaptureStderr();
    Load("nothing");
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(train.Empty());
}

TEST_F(TrainTest, TeapotNeedsNoFileInTheFolder)
{
    WriteTrainFile("pot", {"1両目モデル名=Teapot", "2両目モデル名=Teapot"});
    Load("pot");
    ASSERT_EQ(train.CarCount(), 2);
    EXPECT_TRUE(train.Car(1).HasModel());
    EXPECT_GT(train.Car(0).bounds.maxZ - train.Car(0).bounds.minZ, 1.0f);
}

TEST_F(TrainTest, EveryCarProbesAtTheLeadCarsDistances)
{
    WriteCar("lead", 4.0, {"判定位置前方=1.5", "判定位置後方=2.5", "運転席座標y=2.0", "運転席座標z=1.75"});
    WriteCar("other", 4.0, {"判定位置前方=7", "判定位置後方=8", "運転席座標y=9"});
    WriteTrainFile("t", {"垂直方向オフセット=0.5", "1両目モデル名=lead", "2両目モデル名=other"});
    Load("t");
    for (const vehicles::TrainCar& car : train.Cars()) {
        EXPECT_FLOAT_EQ(car.frontProbe, 1.5f);
        EXPECT_FLOAT_EQ(car.rearProbe, 2.5f);
    }
    EXPECT_FLOAT_EQ(train.SeatY(), 1.5f); // less the vertical offset
    EXPECT_FLOAT_EQ(train.SeatZ(), 1.75f);
    EXPECT_FLOAT_EQ(train.VerticalOffset(), 0.5f);
}

TEST_F(TrainTest, VertexColourRemovalRewritesEveryCarsFileOnlyWhenAskedFor)
{
    const std::string coloured(testsupport::kVertexColouredX);
    for (const char* name : {"lead", "tail"})
        testsupport::WriteBytes(dir.Path() / "train" / (std::string(name) + ".x"), coloured);
    WriteTrainFile("t", {"1両目モデル名=lead", "2両目モデル名=tail"});
    Load("t");
    EXPECT_EQ(testsupport::ReadBytes(dir.Path() / "train" / "tail.x"), coloured);

    ASSERT_TRUE(train.LoadTrain(device.get(), "t", true));
    EXPECT_EQ(train.CarCount(), 2);
    for (const char* name : {"lead", "tail"}) {
        const std::string text = testsupport::ReadBytes(dir.Path() / "train" / (std::string(name) + ".x"));
        EXPECT_EQ(text.find("MeshVertexColors"), std::string::npos) << name;
        EXPECT_NE(text.find(" 1; 3; 0,1,2;;\r\n"), std::string::npos) << name;
    }
}

TEST_F(TrainTest, ValuesThatAreNoNumberFallBackToTheKeysDefaults)
{
    WriteCar("car", 4.0, {"判定位置前方=inf", "判定位置後方=nan", "運転席座標z=1e999"});
    WriteTrainFile("bad", {"車両間距離=nan", "垂直方向オフセット=-inf", "1両目モデル名=car",
                           "1両目回転角度=nan", "2両目モデル名=car"});
    Load("bad");
    EXPECT_FLOAT_EQ(train.CarGap(), 0.2f);
    EXPECT_FLOAT_EQ(train.VerticalOffset(), 0.0f);
    EXPECT_FLOAT_EQ(train.Car(0).modelAngle, 0.0f);
    EXPECT_FLOAT_EQ(train.Car(0).frontProbe, 1.0f);
    EXPECT_FLOAT_EQ(train.Car(0).rearProbe, 1.0f);
    EXPECT_FLOAT_EQ(train.SeatZ(), 0.0f);
    EXPECT_NEAR(train.Car(0).position.z - train.Car(1).position.z, 4.2f, kTolerance);
}

TEST_F(TrainTest, TrainFilesInUtf8AndUnderAnotherLetterCaseReadAlike)
{
    WriteCar("car", 4.0);
    testsupport::WriteBytes(dir.Path() / "train" / "Utf.TXT",
                            "\xEF\xBB\xBF[korvela]\n車両間距離=1.0\n1両目モデル名=car\n2両目モデル名=car\n");
    Load("Utf");
    ASSERT_EQ(train.CarCount(), 2);
    EXPECT_NEAR(train.Car(0).position.z - train.Car(1).position.z, 5.0f, kTolerance);
}

TEST_F(TrainTest, AFileWithoutAFirstModelLeavesTheSlotEmptyWithItsOtherValues)
{
    WriteTrainFile("none", {"車両間距離=0.7", "垂直方向オフセット=0.3"});
    Load("none");
    EXPECT_TRUE(train.Empty());
    EXPECT_FLOAT_EQ(train.CarGap(), 0.7f);
    EXPECT_FLOAT_EQ(train.VerticalOffset(), 0.3f);
}

TEST_F(TrainTest, WithoutADeviceNothingLoads)
{
    WriteCar("car", 4.0);
    WriteConsist("t", "car", 2);
    Load("t");
    EXPECT_FALSE(train.LoadTrain(nullptr, "t"));
    EXPECT_TRUE(train.Empty());
    EXPECT_EQ(train.Name(), "");
}

TEST_F(TrainTest, ReleasingEmptiesTheSlotButKeepsItsHome)
{
    WriteCar("car", 4.0);
    WriteConsist("t", "car", 3);
    train.SetHome({5, 0, 5}, 0.5f);
    Load("t");
    EXPECT_EQ(train.Name(), "t");
    train.ReleaseCars();
    EXPECT_TRUE(train.Empty());
    EXPECT_FALSE(train.Car(1).HasModel());
    EXPECT_EQ(train.HomePosition(), (math::Vec3{5, 0, 5}));
    EXPECT_FLOAT_EQ(train.HomeYaw(), 0.5f);
}

TEST_F(TrainTest, TrainNamesAreTheTextFilesOfTheFolder)
{
    WriteConsist("b-train", "car", 1);
    WriteConsist("a-train", "car", 1);
    testsupport::WriteBytes(dir.Path() / "train" / "notes.md", "x");
    EXPECT_EQ(train.TrainNames(), (std::vector<std::string>{"a-train", "b-train"}));
}

TEST_F(TrainTest, StoreHomeTakesTheLeadCarsPose)
{
    WriteCar("car", 4.0);
    WriteConsist("t", "car", 2);
    Load("t");
    train.MutableCar(0).position = {3, 1, 4};
    train.MutableCar(0).yaw = 2.0f;
    train.StoreHome();
    EXPECT_EQ(train.HomePosition(), (math::Vec3{3, 1, 4}));
    EXPECT_FLOAT_EQ(train.HomeYaw(), 2.0f);
    // An empty slot has no lead car: its home stays.
    train.ReleaseCars();
    train.StoreHome();
    EXPECT_EQ(train.HomePosition(), (math::Vec3{3, 1, 4}));
}

TEST_F(TrainTest, LeadPointsLieOnTheLeadCarsRoofLine)
{
    WriteCar("car", 4.0);
    WriteTrainFile("t", {"垂直方向オフセット=0.25", "1両目モデル名=car"});
    train.SetHome({10, 0, 0}, 1.5707963f); // facing +x
    Load("t");
    const math::Vec3 front = train.LeadPoint(LeadPointKind::Front);
    EXPECT_NEAR(front.x, 12.0f, kTolerance);
    EXPECT_NEAR(front.y, 1.25f, kTolerance);
    EXPECT_NEAR(front.z, 0.0f, kTolerance);
    EXPECT_NEAR(train.LeadPoint(LeadPointKind::Rear).x, 8.0f, kTolerance);
    EXPECT_NEAR(train.LeadPoint(LeadPointKind::Middle).x, 10.0f, kTolerance);
    EXPECT_FLOAT_EQ(train.LeadRoofHeight(), 1.5f);

    // Nose up by 90 degrees: the front end's roof point stands above the origin's front.
    train.MutableCar(0).pitch = 1.5707963f;
    const math::Vec3 raised = train.LeadPoint(LeadPointKind::Front);
    EXPECT_NEAR(raised.y, 2.0f - 0.25f, kTolerance);
    EXPECT_NEAR(raised.x, 10.0f - 1.5f, kTolerance);
}

TEST_F(TrainTest, SpeedTextsTruncateTowardsZero)
{
    train.SetSpeed(0.5f);
    EXPECT_EQ(train.SpeedText(), "100km/h");
    train.SetSpeed(-0.0012f);
    EXPECT_EQ(train.SpeedText(), "0km/h");
    train.SetSpeed(-0.5f);
    EXPECT_EQ(train.SpeedText(), "-100km/h");
    train.SetSpeed(std::nanf(""));
    EXPECT_EQ(train.SpeedText(), "0km/h");
    train.SetSpeed(1e30f);
    EXPECT_EQ(train.SpeedText(), std::to_string(INT32_MAX) + "km/h");
}

} // namespace
