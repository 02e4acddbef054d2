// The operation on a straight line of ten-unit pieces along +x (and a turnout), with trains moved
// the way CTrain moves them: the limits and the autopilot speed of one pass are obeyed by the
// next, at the keys' rate.
#include "layout/ObjectCatalogue.h"
#include "operation/Operation.h"
#include "operation/OperationFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace operation {
namespace {

constexpr float kPiece = 10.0f;

std::vector<PieceLine> Straight(int pieces)
{
    std::vector<PieceLine> lines;
    for (int i = 0; i < pieces; ++i)
        lines.push_back({.object = i, .route = 0, .points = {{i * kPiece, 0, 0}, {(i + 1) * kPiece, 0, 0}}});
    return lines;
}

// A one-car train on the line: its centre at x, facing +x.
struct SimTrain {
    float x = 0;
    float speed = 0;
    bool accelerate = false; // the accelerate key held

    TrainView View() const
    {
        const int front = static_cast<int>(std::floor((x + 4) / kPiece));
        const int rear = static_cast<int>(std::floor((x - 4) / kPiece));
        return {.runs = true,
                .speed = speed,
                .halfLength = 5.0f,
                .cars = {{.position = {x, 0, 0}, .yaw = std::numbers::pi_v<float> / 2, .below = front, .belowRear = rear}}};
    }
    void Drive(const TrainOrder& order)
    {
        if (const auto target = order.autoSpeed) {
            speed = speed < *target ? std::min(speed + 0.001f, *target) : std::max(speed - 0.001f, *target);
        } else if (accelerate) {
            speed += 0.001f;
        }
        speed = std::clamp(speed, -order.limitBackward, order.limitForward);
        x += speed;
    }
};

struct Line {
    Operation operation;
    std::vector<layout::PlacedObject> objects;
    std::vector<layout::ObjectId> ids;
    std::vector<SimTrain> trains;

    explicit Line(int pieces)
    {
        operation.SetGraph(Straight(pieces), pieces);
        objects.resize(static_cast<std::size_t>(pieces));
        for (int i = 0; i < pieces; ++i)
            ids.push_back(static_cast<layout::ObjectId>(i + 1));
    }
    void Pass()
    {
        std::vector<TrainView> views;
        for (const SimTrain& t : trains)
            views.push_back(t.View());
        const auto orders = operation.Step(views, objects, ids);
        for (std::size_t i = 0; i < trains.size(); ++i)
            trains[i].Drive(orders[i]);
    }
};

TEST(TrackGraph, JoinsEndsFollowsTheCurrentRouteAndEndsOpen)
{
    // A turnout (object 1) whose route 1 leaves the line towards +z.
    std::vector<PieceLine> lines = Straight(3);
    lines.push_back({.object = 1, .route = 1, .points = {{10, 0, 0}, {15, 0, 1}, {20, 0, 5}}});
    lines.push_back({.object = 3, .route = 0, .points = {{20, 0, 5}, {30, 0, 5}}});
    TrackGraph graph;
    graph.Build(lines, 4);
    std::vector<layout::PlacedObject> objects(4);
    const LinePlace start = graph.Locate(0, {5, 0, 0}, {1, 0, 0}, 0);
    ASSERT_TRUE(start.Valid());
    EXPECT_EQ(start.dir, 1);
    EXPECT_NEAR(start.s, 5.0f, 1e-4f);
    EXPECT_EQ(graph.Lines()[static_cast<std::size_t>(graph.Next(start.line, 1, objects).line)].piece.route, 0);
    objects[1].route = 1;
    const LinePlace diverging = graph.Next(start.line, 1, objects);
    EXPECT_EQ(graph.Lines()[static_cast<std::size_t>(diverging.line)].piece.route, 1);
    EXPECT_EQ(graph.Lines()[static_cast<std::size_t>(graph.Next(diverging.line, 1, objects).line)].piece.object, 3);
    // Facing the other way on the first piece there is nothing: an open end.
    EXPECT_FALSE(graph.Next(start.line, 0, objects).Valid());
}

TEST(Protection, AFollowerNeverComesCloserThanTheMarginAndAStandingTrainHoldsItAtAnEnd)
{
    Line line(40);
    line.operation.SetProtect(true);
    line.trains = {{.x = 20, .accelerate = true}, {.x = 150, .speed = 0.1f}};
    float closest = 1e9f;
    for (int pass = 0; pass < 20000; ++pass) {
        line.trains[1].speed = pass < 3000 ? 0.1f : (pass < 8000 ? 0.0f : 0.1f);
        line.Pass();
        closest = std::min(closest, line.trains[1].x - line.trains[0].x);
    }
    EXPECT_GE(closest, 5.0f + 5.0f + kMargin - 0.05f);
    // Train 2 ran off towards the end of the line and stands at it; train 1 stands behind it.
    EXPECT_LE(line.trains[1].x + 5.0f, 400.0f - kMargin + 0.05f);
    EXPECT_EQ(line.trains[0].speed, 0.0f);
    EXPECT_EQ(line.operation.Status(1).waitingFor, 2);
}

// Train 1 on autopilot from x = 20 with the given pieces marked as stops of dwell seconds, run
// until its first stop.
Line RunToFirstStop(std::initializer_list<int> stops, int dwell)
{
    Line line(40);
    line.operation.SetAutopilot(1, true);
    for (const int piece : stops)
        line.operation.MarkStop(line.ids[static_cast<std::size_t>(piece)], dwell);
    line.trains = {{.x = 20}};
    for (int pass = 0; pass < 5000 && line.operation.Status(1).stopsMade == 0; ++pass)
        line.Pass();
    return line;
}

TEST(Autopilot, StopsAtTheFarEndOfTheStopDwellsAndLeavesAndSaysWhenTheTrainIsLongerThanIt)
{
    // Pieces 10 and 11: the stop runs to x = 120.
    Line line = RunToFirstStop({10, 11}, 3);
    ASSERT_EQ(line.operation.Status(1).stopsMade, 1);
    const float stoodAt = line.trains[0].x + 5.0f;
    EXPECT_NEAR(stoodAt, 120.0f - kMargin, 0.5f);
    EXPECT_FALSE(line.operation.Status(1).tooLong);
    int dwelling = 0;
    while (line.operation.Status(1).state == TrainStateKind::Dwelling) {
        ++dwelling;
        line.Pass();
    }
    EXPECT_EQ(dwelling, 3 * kPassesPerSecond);
    for (int pass = 0; pass < 200; ++pass)
        line.Pass();
    EXPECT_GT(line.trains[0].x + 5.0f, stoodAt + 5.0f);
    EXPECT_EQ(line.operation.Status(1).stopsMade, 1);

    // One piece of ten units: the car (ten long) standing a margin short of its end reaches out
    // of it behind; it stops, dwells and leaves all the same. Piece 20 is a stop of its own; 11
    // joins 10's run.
    Line shortStop = RunToFirstStop({10, 20}, 2);
    ASSERT_EQ(shortStop.operation.Status(1).stopsMade, 1);
    EXPECT_EQ(shortStop.operation.Status(1).state, TrainStateKind::Dwelling);
    EXPECT_TRUE(shortStop.operation.Status(1).tooLong);
    EXPECT_NEAR(shortStop.trains[0].x + 5.0f, 110.0f - kMargin, 0.5f);
    for (int pass = 0; pass < 200; ++pass)
        shortStop.Pass();
    EXPECT_EQ(shortStop.operation.Status(1).state, TrainStateKind::Running);
    EXPECT_FALSE(shortStop.operation.Status(1).tooLong);
    shortStop.operation.MarkStop(shortStop.ids[11], 2);
    EXPECT_EQ(shortStop.operation.StopRuns(shortStop.ids), (std::vector<std::vector<int>>{{10, 11}, {20}}));
}

TEST(Autopilot, AShuttleReversesAtBothEndsAndTrainsFacingEachOtherDeadlock)
{
    Line shuttle(10);
    shuttle.operation.SetAutopilot(1, true);
    shuttle.operation.SetShuttle(1, true);
    shuttle.operation.SetCruise(1, 100);
    shuttle.trains = {{.x = 50}};
    for (int pass = 0; pass < 8000; ++pass)
        shuttle.Pass();
    EXPECT_GE(shuttle.operation.Status(1).reversals, 2);
    EXPECT_GE(shuttle.trains[0].x - 5.0f, kMargin - 0.05f);
    EXPECT_LE(shuttle.trains[0].x + 5.0f, 100.0f - kMargin + 0.05f);

    // A stop marked as a terminus turns a shuttle back though the track goes on; one marked
    // piece, the run's first, makes the whole run (12 and 13, up to x = 140) a terminus.
    Line terminus(20);
    terminus.operation.SetAutopilot(1, true);
    terminus.operation.SetShuttle(1, true);
    terminus.operation.SetCruise(1, 100);
    terminus.operation.MarkStop(terminus.ids[12], 1);
    terminus.operation.MarkStop(terminus.ids[13], 1);
    terminus.operation.SetTerminus(terminus.ids[5], true); // no stop: ignored
    terminus.operation.SetTerminus(terminus.ids[12], true);
    EXPECT_EQ(terminus.operation.Settings().termini, (std::set<layout::ObjectId>{terminus.ids[12]}));
    terminus.trains = {{.x = 50}};
    float farthest = 0;
    for (int pass = 0; pass < 12000; ++pass) {
        terminus.Pass();
        farthest = std::max(farthest, terminus.trains[0].x + 5.0f);
    }
    EXPECT_NEAR(farthest, 140.0f - kMargin, 0.5f);
    EXPECT_GE(terminus.operation.Status(1).reversals, 3);
    EXPECT_GE(terminus.operation.Status(1).stopsMade, 2);
    // Unmarking the piece takes its terminus with it.
    terminus.operation.MarkStop(terminus.ids[12], 0);
    EXPECT_TRUE(terminus.operation.Settings().termini.empty());

    Line single(20);
    single.operation.SetAutopilot(1, true);
    single.operation.SetAutopilot(2, true);
    single.trains = {{.x = 30, .speed = 0.01f}, {.x = 150, .speed = -0.01f}};
    for (int pass = 0; pass < 3000; ++pass)
        single.Pass();
    EXPECT_EQ(single.operation.Deadlock(), (std::vector<int>{1, 2}));
    EXPECT_EQ(single.operation.Status(1).state, TrainStateKind::Deadlock);
    EXPECT_GE(single.trains[1].x - single.trains[0].x, 5.0f + 5.0f + kMargin - 0.05f);
}

TEST(Itinerary, SetsTheFacingTurnoutForItsNextStopOrWaitsForAPath)
{
    // Piece 1 is a turnout whose route 1 leads to piece 3 beside piece 2.
    Line line(4);
    std::vector<PieceLine> lines = Straight(3);
    lines.push_back({.object = 1, .route = 1, .points = {{10, 0, 0}, {20, 0, 5}}});
    lines.push_back({.object = 3, .route = 0, .points = {{20, 0, 5}, {40, 0, 5}}});
    line.operation.SetGraph(lines, 4);
    line.operation.SetAutopilot(1, true);
    line.operation.MarkStop(line.ids[3], 5);
    line.operation.SetItinerary(1, {line.ids[3]});
    line.trains = {{.x = 4.5f}};
    line.Pass();
    ASSERT_EQ(line.operation.RouteSettings().size(), 1u);
    EXPECT_EQ(line.operation.RouteSettings()[0].object, 1);
    EXPECT_EQ(line.operation.RouteSettings()[0].route, 1);

    // A stop behind the train cannot be reached going on: it stops short of the end and says so.
    line.operation.SetItinerary(1, {line.ids[0]});
    line.objects[1].route = 0;
    line.trains = {{.x = 14.0f}};
    for (int pass = 0; pass < 2000; ++pass)
        line.Pass();
    EXPECT_EQ(line.operation.Status(1).state, TrainStateKind::Waiting);
    EXPECT_EQ(line.operation.Status(1).waitingFor, kWaitsForPath);
}

// A one-car train driven along a path of pieces (each its object and points, in the direction
// of travel), facing that way.
struct PathTrain {
    std::vector<std::pair<int, std::vector<math::Vec3>>> pieces;
    float at = 0;
    float speed = 0;

    std::pair<int, math::Vec3> PieceAt(float along, math::Vec3* tangent = nullptr) const
    {
        for (const auto& [object, points] : pieces) {
            for (std::size_t i = 1; i < points.size(); ++i) {
                const float length = math::Length(points[i] - points[i - 1]);
                if (along <= length || (&points == &pieces.back().second && i + 1 == points.size())) {
                    if (tangent) *tangent = math::Normalize(points[i] - points[i - 1]);
                    return {object, points[i - 1] + (points[i] - points[i - 1]) * (along / length)};
                }
                along -= length;
            }
        }
        return {-1, {}};
    }
    TrainView View() const
    {
        math::Vec3 tangent;
        const auto [object, position] = PieceAt(at, &tangent);
        return {.runs = true,
                .speed = speed,
                .halfLength = 5.0f,
                .cars = {{.position = position,
                          .yaw = std::atan2(tangent.x, tangent.z),
                          .below = PieceAt(at + 4).first,
                          .belowRear = PieceAt(at - 4).first}}};
    }
};

TEST(Protection, OneTrainAtATimeTakesATurnoutWhateverLegsTheyComeFrom)
{
    // Piece 2 is a turnout: route 0 on along x to piece 3, route 1 over to piece 4 beside it.
    const std::vector<math::Vec3> route0{{20, 0, 0}, {30, 0, 0}}, route1{{20, 0, 0}, {25, 0, 1}, {30, 0, 5}};
    const std::vector<PieceLine> lines{{.object = 0, .route = 0, .points = {{0, 0, 0}, {10, 0, 0}}},
                                       {.object = 1, .route = 0, .points = {{10, 0, 0}, {20, 0, 0}}},
                                       {.object = 2, .route = 0, .points = route0},
                                       {.object = 2, .route = 1, .points = route1},
                                       {.object = 3, .route = 0, .points = {{30, 0, 0}, {90, 0, 0}}},
                                       {.object = 4, .route = 0, .points = {{30, 0, 5}, {90, 0, 5}}}};
    Operation operation;
    operation.SetGraph(lines, 5);
    operation.SetProtect(true);
    operation.SetAutopilot(1, true);
    operation.SetAutopilot(2, true);
    std::vector<layout::PlacedObject> objects(5);
    const std::vector<layout::ObjectId> ids{1, 2, 3, 4, 5};
    // Train 1 runs along route 0 to piece 3; train 2 comes back from piece 4 over route 1 and on
    // along pieces 1 and 0, each as far from the turnout as the other.
    PathTrain one{.pieces = {{0, {{0, 0, 0}, {10, 0, 0}}}, {1, {{10, 0, 0}, {20, 0, 0}}}, {2, route0}, {3, {{30, 0, 0}, {90, 0, 0}}}},
                  .at = 5};
    PathTrain two{.pieces = {{4, {{90, 0, 5}, {30, 0, 5}}},
                             {2, {route1.rbegin(), route1.rend()}},
                             {1, {{20, 0, 0}, {10, 0, 0}}},
                             {0, {{10, 0, 0}, {0, 0, 0}}}},
                  .at = 45};
    const auto on = [](const TrainView& view, int object) {
        return view.cars[0].below == object || view.cars[0].belowRear == object;
    };
    int together = 0;
    for (int pass = 0; pass < 3000; ++pass) {
        const std::vector<TrainView> views{one.View(), two.View()};
        together += on(views[0], 2) && on(views[1], 2);
        const auto orders = operation.Step(views, objects, ids);
        for (auto [train, order] : {std::pair{&one, orders[0]}, std::pair{&two, orders[1]}}) {
            train->speed = std::min(train->speed + 0.001f, *order.autoSpeed);
            train->speed = std::min(train->speed, order.limitForward);
            train->at += train->speed;
        }
    }
    EXPECT_EQ(together, 0);
    // Both went their ways.
    EXPECT_GT(one.at, 60.0f);
    EXPECT_GT(two.at, 75.0f);
    EXPECT_TRUE(operation.Deadlock().empty());
}

TEST(Protection, StoppingSpeedBrakesWithinTheDistance)
{
    for (const float distance : {0.005f, 0.3f, 5.0f, 60.0f}) {
        double v = StoppingSpeed(distance);
        double run = 0;
        while (v > 0) {
            run += v;
            v -= kBrakeRate;
        }
        EXPECT_LE(run, distance + 1e-4) << distance;
    }
    EXPECT_EQ(StoppingSpeed(-1.0f), 0.0f);
}

TEST(OperationFile, WritesOnlyWhatIsSetAndReadsBadLinesSafely)
{
    const layout::ObjectCatalogue catalogue("korvela");
    const layout::PlacedObjects placed(catalogue);
    OperationSettings settings;
    EXPECT_TRUE(OperationLines(settings, placed).empty());
    settings.protect = true;
    settings.slots[1] = {.autopilot = true, .cruiseKmh = 45, .shuttle = true, .itinerary = {}};
    const std::vector<std::string> lines = OperationLines(settings, placed);
    EXPECT_EQ(lines, (std::vector<std::string>{"protect,1", "slot,2,1,45,1"}));
    EXPECT_EQ(ReadOperationLines(lines, placed), settings);
    // Slots, speeds and pieces out of range, stray fields and junk are left out.
    const OperationSettings bad = ReadOperationLines(
        {"slot,7,1,60,0", "slot,1,1,99999,0", "slot,1,1", "stop,0,20", "stop,-1,5", "itinerary,1,3", "x", ""},
        placed);
    EXPECT_EQ(bad, OperationSettings{});
}

} // namespace
} // namespace operation
