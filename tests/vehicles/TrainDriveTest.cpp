// The speed rule of DriveStep with the drive-type keys, and the advance of the cars.
#include "vehicles/TrainTestSupport.h"

#include <cmath>

namespace {

using traintest::TrainTest;

class TrainDriveTest : public TrainTest {
  protected:
    void SetUp() override
    {
        WriteCar("car", 4.0);
        WriteConsist("t", "car", 2);
        Load("t");
    }
    float Step()
    {
        train.DriveStep(input, drive);
        return train.Speed();
    }
};

TEST_F(TrainDriveTest, TheNaturalSlowDownStopsInsideTheDeadBand)
{
    train.SetSpeed(0.00025f);
    EXPECT_NEAR(Step(), 0.00015f, 1e-9f);
    EXPECT_EQ(Step(), 0.0f);

    train.SetSpeed(-0.0005f);
    EXPECT_NEAR(Step(), -0.0004f, 1e-9f);
    for (int frame = 0; frame < 4; ++frame)
        Step();
    EXPECT_EQ(train.Speed(), 0.0f); // exactly, not a hair off
    EXPECT_EQ(Step(), 0.0f);
}

TEST_F(TrainDriveTest, NoDecelerationKeepsTheSpeed)
{
    drive.noDeceleration = true;
    train.SetSpeed(0.3f);
    EXPECT_EQ(Step(), 0.3f);
    train.SetSpeed(-0.00005f);
    EXPECT_EQ(Step(), -0.00005f);
}

TEST_F(TrainDriveTest, KeysAccelerateDecelerateThroughZeroAndStop)
{
    keys.Press('Q'); // QAZ: Q accelerates, A stops, Z decelerates
    EXPECT_NEAR(Step(), 0.001f, 1e-9f);
    EXPECT_NEAR(Step(), 0.002f, 1e-9f);
    keys.Release('Q');
    keys.Press('Z');
    for (int frame = 0; frame < 5; ++frame)
        Step();
    EXPECT_NEAR(train.Speed(), -0.003f, 1e-8f); // backwards now
    keys.Press('A');
    EXPECT_EQ(Step(), 0.0f);
}

TEST_F(TrainDriveTest, StopWinsOverAccelerate)
{
    train.SetSpeed(0.2f);
    keys.Press('Q');
    keys.Press('A');
    EXPECT_EQ(Step(), 0.0f);
    EXPECT_EQ(Step(), 0.0f);
}

TEST_F(TrainDriveTest, AReversedColumnSwapsAccelerateAndDecelerate)
{
    vehicles::CTrain second{2, traintest::kSection};
    second.SetFolder(trainFolder);
    ASSERT_TRUE(second.LoadTrain(device.get(), "t"));
    const vehicles::DriveControls reversed{.driveType = 10}; // "逆 QAZ"
    keys.Press('Q');
    train.DriveStep(input, drive);
    second.DriveStep(input, reversed);
    EXPECT_NEAR(train.Speed(), 0.001f, 1e-9f);
    EXPECT_NEAR(second.Speed(), -0.001f, 1e-9f);

    // Two slots on the same column are driven together.
    vehicles::CTrain third{3, traintest::kSection};
    third.DriveStep(input, drive);
    EXPECT_NEAR(third.Speed(), 0.001f, 1e-9f);
}

TEST_F(TrainDriveTest, TheLastColumnUsesTheSemicolonKeyToStop)
{
    const vehicles::DriveControls column{.driveType = 9, .noDeceleration = true}; // "P;/"
    train.SetSpeed(0.1f);
    keys.Press('A');
    train.DriveStep(input, column);
    EXPECT_EQ(train.Speed(), 0.1f);
    keys.Press(187);
    train.DriveStep(input, column);
    EXPECT_EQ(train.Speed(), 0.0f);
}

TEST_F(TrainDriveTest, ADriveTypeOutsideTheTableGivesNoKeys)
{
    for (const int key : {int{'Q'}, int{'A'}, int{'Z'}, int{'W'}, int{'S'}, int{'X'}, int{'P'}, 187, 191})
        keys.Press(key);
    for (const int row : {-1, 20, 1000}) {
        const vehicles::DriveControls bad{.driveType = row, .noDeceleration = true};
        train.SetSpeed(0.05f);
        train.DriveStep(input, bad);
        EXPECT_EQ(train.Speed(), 0.05f) << row;
    }
}

TEST_F(TrainDriveTest, AnAutopilotThatTurnsTheTrainRoundLeadsWithTheLastCarUntilItTurnsAgainOrIsTakenOver)
{
    // The keys' reverse running: the lead car stays ahead and the read-out shows minus.
    train.SetSpeed(-0.3f);
    EXPECT_FALSE(train.LastCarLeads());
    EXPECT_EQ(train.SpeedText(), "-60km/h");
    // Turned round by the autopilot: the last car leads, through a dwell too, and the read-out
    // counts towards it.
    train.SetAutoSpeed(-0.3f);
    EXPECT_TRUE(train.LastCarLeads());
    EXPECT_EQ(train.SpeedText(), "60km/h");
    train.SetAutoSpeed(0.0f);
    EXPECT_TRUE(train.LastCarLeads());
    // The leading end's point is the last car's rear end, behind the lead car (cars face +z).
    EXPECT_LT(train.CarPoint(train.LastCar(), vehicles::LeadPointKind::Rear).z,
              train.LeadPoint(vehicles::LeadPointKind::Rear).z);
    train.SetAutoSpeed(0.3f);
    EXPECT_FALSE(train.LastCarLeads());
    train.SetAutoSpeed(-0.3f);
    keys.Press('A');
    Step();
    EXPECT_TRUE(train.TookOver());
    EXPECT_FALSE(train.LastCarLeads());
    train.SetAutoSpeed(-0.3f);
    train.SetAutoSpeed(std::nullopt);
    EXPECT_FALSE(train.LastCarLeads());
}

TEST_F(TrainDriveTest, EveryCarAdvancesAlongItsOwnLevelHeading)
{
    drive.noDeceleration = true;
    train.SetSpeed(0.5f);
    train.MutableCar(0).yaw = 1.5707963f;
    train.MutableCar(1).pitch = 1.0471976f; // 60 degrees up: half the speed is level
    const math::Vec3 lead = train.Car(0).position;
    const math::Vec3 second = train.Car(1).position;
    Step();
    EXPECT_NEAR(train.Car(0).position.x - lead.x, 0.5f, 1e-6f);
    EXPECT_NEAR(train.Car(0).position.z - lead.z, 0.0f, 1e-6f);
    EXPECT_NEAR(train.Car(1).position.z - second.z, 0.25f, 1e-6f);
    EXPECT_EQ(train.Car(1).position.y, second.y); // height comes only from the track
}

} // namespace
