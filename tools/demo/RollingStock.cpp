#include "demo/RollingStock.h"

#include "demo/Materials.h"
#include "demo/Parts.h"
#include "demo/TrackPieces.h"

#include <cmath>

namespace demo {

namespace {

constexpr double kRailTop = track::kRailHeight;
constexpr double kWheelRadius = 0.43;
constexpr double kBodyHalfWidth = 1.45;

// Side wall of a body outline: the outline below gives per edge which part it is.
enum Part { Lower, Upper, RoofPart };

struct OutlinePoint {
    double x, y;
    Part edgeAfter; // the edge from this point to the next
};

// A car body cross-section, clockwise from the bottom left: sides up to the eaves, a rounded
// roof, and the floor as the closing edge. The sides change colour at colourLine.
std::vector<OutlinePoint> BodyOutline(double bottom, double colourLine, double eaves, double crown, double w)
{
    const double d = crown - eaves;
    const double roofX[] = {1.0, 0.93, 0.7, 0.35};
    const double roofY[] = {0.0, 0.45, 0.8, 0.96};
    std::vector<OutlinePoint> out{{-w, bottom, Lower}, {-w, colourLine, Upper}};
    for (int i = 0; i < 4; ++i)
        out.push_back({-w * roofX[i], eaves + d * roofY[i], RoofPart});
    out.push_back({0, crown, RoofPart});
    for (int i = 3; i >= 1; --i)
        out.push_back({w * roofX[i], eaves + d * roofY[i], RoofPart});
    out.push_back({w, eaves, Upper});
    out.push_back({w, colourLine, Lower});
    out.push_back({w, bottom, Lower}); // the edge after it closes the outline: the floor
    return out;
}

// Sweeps the outline along z, each edge in the material of its part, with both ends closed.
void AddBody(MeshBuilder& mesh, const std::vector<OutlinePoint>& outline, int lower, int upper, int roof,
             int floor, double z0, double z1)
{
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
        const OutlinePoint a = outline[i], b = outline[(i + 1) % n];
        const int material = i + 1 == n             ? floor
                             : a.edgeAfter == Lower ? lower
                             : a.edgeAfter == Upper ? upper
                                                    : roof;
        mesh.Face(material, {{a.x, a.y, z0}, {a.x, a.y, z1}, {b.x, b.y, z1}, {b.x, b.y, z0}});
    }
    std::vector<V3> back, front;
    for (std::size_t i = 0; i < n; ++i) {
        back.push_back({outline[i].x, outline[i].y, z0});
        front.push_back({outline[n - 1 - i].x, outline[n - 1 - i].y, z1});
    }
    mesh.Polygon(upper, back);
    mesh.Polygon(upper, front);
}

struct Running {
    int frame, tyre, hub;
};

Running RunningGear(MeshBuilder& mesh)
{
    return {mesh.Material(mat::Plain("Bogie", 0.10f, 0.10f, 0.11f)),
            mesh.Material(mat::Plain("Wheel", 0.22f, 0.21f, 0.20f)),
            mesh.Material(mat::Plain("WheelHub", 0.35f, 0.35f, 0.36f))};
}

// A two-axle bogie centred at z.
void AddBogie(MeshBuilder& mesh, const Running& r, double z, double wheelbase)
{
    const double axle = kRailTop + kWheelRadius;
    for (const double dz : {-wheelbase / 2, wheelbase / 2})
        for (const double x : {-track::kGauge / 2, track::kGauge / 2})
            AddWheelX(mesh, r.tyre, r.hub, {x, axle, z + dz}, kWheelRadius, 0.13);
    for (const double x : {-0.78, 0.78})
        AddBox(mesh, r.frame, {x - 0.08, axle - 0.22, z - wheelbase / 2 - 0.55},
               {x + 0.08, axle + 0.2, z + wheelbase / 2 + 0.55});
    AddBox(mesh, r.frame, {-0.8, axle + 0.05, z - 0.35}, {0.8, axle + 0.3, z + 0.35});
}

void AddCouplers(MeshBuilder& mesh, int material, double bodyEnd, double carEnd, double y)
{
    for (const double side : {-1.0, 1.0}) {
        const double a = side * bodyEnd, b = side * carEnd;
        AddBox(mesh, material, {-0.14, y - 0.12, std::min(a, b)}, {0.14, y + 0.12, std::max(a, b)});
    }
}

// A driving cab's face at z (facing +z): windscreen, headlights, tail lights and the number
// box; the windscreen in the body's mask colour.
void AddCabFace(MeshBuilder& mesh, double z, int glass, int mask, double eaves)
{
    const int head = mesh.Material(mat::Glowing("HeadLight", 0.95f, 0.92f, 0.75f));
    const int tail = mesh.Material(mat::LampRed());
    const int sign = mesh.Material(mat::Glowing("DestinationSign", 0.85f, 0.55f, 0.15f));
    EndPanel(mesh, mask, 1, z + 0.02, -1.3, 1.3, 1.3, eaves + 0.1);
    EndPanel(mesh, glass, 1, z + 0.04, -1.15, 1.15, 2.15, eaves - 0.25);
    EndPanel(mesh, sign, 1, z + 0.04, -0.55, 0.55, eaves - 0.15, eaves + 0.05);
    for (const double x : {-0.95, 0.95}) {
        EndPanel(mesh, head, 1, z + 0.04, x - 0.16, x + 0.16, 1.5, 1.7);
        EndPanel(mesh, tail, 1, z + 0.04, x + (x > 0 ? -0.42 : 0.2), x + (x > 0 ? -0.2 : 0.42), 1.52, 1.68);
    }
}

// Windows and doors along both sides: doors at the given centres, windows between them.
void AddSides(MeshBuilder& mesh, int glass, int door, double from, double to,
              const std::vector<double>& doors, double doorWidth, double windowY0, double windowY1,
              double bottom)
{
    const double x = kBodyHalfWidth;
    std::vector<double> edges{from};
    for (const double d : doors) {
        edges.push_back(d - doorWidth / 2 - 0.25);
        edges.push_back(d + doorWidth / 2 + 0.25);
    }
    edges.push_back(to);
    for (const int side : {-1, 1}) {
        for (const double d : doors) {
            SidePanel(mesh, door, side, x + 0.03, d - doorWidth / 2, d + doorWidth / 2, bottom + 0.2,
                      windowY1 + 0.15);
            SidePanel(mesh, glass, side, x + 0.05, d - doorWidth / 2 + 0.12, d + doorWidth / 2 - 0.12,
                      windowY0, windowY1);
        }
        for (std::size_t i = 0; i + 1 < edges.size(); i += 2) {
            const double a = edges[i], b = edges[i + 1];
            if (b - a < 0.8) continue;
            const int n = std::max(1, static_cast<int>((b - a) / 1.6));
            const double w = (b - a) / n;
            for (int k = 0; k < n; ++k)
                SidePanel(mesh, glass, side, x + 0.03, a + w * k + 0.08, a + w * (k + 1) - 0.08, windowY0,
                          windowY1);
        }
    }
}

void AddPantograph(MeshBuilder& mesh, double z, double roof)
{
    const int metal = mesh.Material(mat::Plain("Pantograph", 0.30f, 0.30f, 0.32f));
    const int insulator = mesh.Material(mat::White());
    for (const double x : {-0.5, 0.5})
        AddBox(mesh, insulator, {x - 0.08, roof - 0.05, z - 0.5}, {x + 0.08, roof + 0.15, z + 0.5});
    AddBox(mesh, metal, {-0.6, roof + 0.15, z - 0.55}, {0.6, roof + 0.22, z + 0.55});
    const V3 foot{-0.35, roof + 0.22, z - 0.45}, knee{-0.35, roof + 0.45, z + 0.6},
        head{-0.35, roof + 0.68, z - 0.1};
    for (const double x : {-0.35, 0.35}) {
        AddBeamYZ(mesh, metal, {x, foot.y, foot.z}, {x, knee.y, knee.z}, 0.03, 0.05);
        AddBeamYZ(mesh, metal, {x, knee.y, knee.z}, {x, head.y, head.z}, 0.03, 0.05);
    }
    AddBox(mesh, metal, {-0.85, head.y, head.z - 0.06}, {0.85, head.y + 0.05, head.z + 0.06});
}

// --- the cars

enum class Emu { Cab, Pantograph, Trailer };

CarModel CommuterCar(Emu kind)
{
    CarModel car;
    car.name = kind == Emu::Cab ? "ec_cab" : kind == Emu::Pantograph ? "ec_pantograph" : "ec_trailer";
    car.seatY = 2.6;
    car.seatZ = 9.2;
    car.front = car.rear = 7.0;
    MeshBuilder& mesh = car.mesh;
    const int body = mesh.Material(mat::Plain("Stainless", 0.58f, 0.60f, 0.62f));
    const int roof = mesh.Material(mat::Plain("CarRoof", 0.36f, 0.37f, 0.38f));
    const int stripe = mesh.Material(mat::Plain("LineBlue", 0.05f, 0.42f, 0.70f));
    const int glass = mesh.Material(mat::Glass());
    const int door = mesh.Material(mat::Plain("CarDoor", 0.50f, 0.52f, 0.54f));
    const int under = mesh.Material(mat::Plain("Underfloor", 0.12f, 0.12f, 0.13f));
    const int mask = mesh.Material(mat::SignalBlack());
    const Running gear = RunningGear(mesh);
    const double bottom = 1.0, eaves = 3.3, crown = 3.85, half = 9.8;
    AddBody(mesh, BodyOutline(bottom, 2.0, eaves, crown, kBodyHalfWidth), body, body, roof, under, -half,
            half);
    AddSides(mesh, glass, door, -half + 0.6, half - (kind == Emu::Cab ? 1.6 : 0.6), {-7.1, -2.4, 2.4, 7.1},
             1.3, 1.95, 2.85, bottom);
    for (const int side : {-1, 1})
        SidePanel(mesh, stripe, side, kBodyHalfWidth + 0.07, -half, half, 1.42, 1.62);
    if (kind == Emu::Cab) {
        AddCabFace(mesh, half, glass, mask, eaves);
        for (const int side : {-1, 1})
            SidePanel(mesh, glass, side, kBodyHalfWidth + 0.03, half - 1.3, half - 0.5, 2.1, 2.8);
    }
    for (const double z : {-7.0, 7.0})
        AddBogie(mesh, gear, z, 2.1);
    AddBox(mesh, under, {-1.1, 0.7, -5.2}, {1.1, bottom, 5.2});
    AddCouplers(mesh, under, half, 10.0, 0.95);
    // Air conditioners on the roof, a pantograph on the motor car.
    for (const double z : {-5.5, 0.0, 5.5})
        AddBox(mesh, roof, {-0.8, crown - 0.1, z - 1.1}, {0.8, crown + 0.22, z + 1.1});
    if (kind == Emu::Pantograph) AddPantograph(mesh, 7.8, crown - 0.05);
    return car;
}

CarModel Railcar()
{
    CarModel car;
    car.name = "dc_railcar";
    car.seatY = 2.5;
    car.seatZ = 9.2;
    car.front = car.rear = 7.0;
    MeshBuilder& mesh = car.mesh;
    const int cream = mesh.Material(mat::Plain("Cream", 0.78f, 0.68f, 0.48f));
    const int red = mesh.Material(mat::Plain("Vermilion", 0.62f, 0.13f, 0.10f));
    const int roof = mesh.Material(mat::Plain("CarRoof", 0.36f, 0.37f, 0.38f));
    const int glass = mesh.Material(mat::Glass());
    const int door = mesh.Material(mat::Plain("RailcarDoor", 0.55f, 0.12f, 0.09f));
    const int under = mesh.Material(mat::Plain("Underfloor", 0.12f, 0.12f, 0.13f));
    const Running gear = RunningGear(mesh);
    const double bottom = 1.05, eaves = 3.25, crown = 3.75, half = 9.8;
    AddBody(mesh, BodyOutline(bottom, 1.9, eaves, crown, kBodyHalfWidth), red, cream, roof, under, -half,
            half);
    AddSides(mesh, glass, door, -half + 0.6, half - 0.6, {-7.6, 7.2}, 1.0, 2.0, 2.85, bottom);
    AddCabFace(mesh, half, glass, red, eaves);
    for (const double z : {-7.0, 7.0})
        AddBogie(mesh, gear, z, 2.0);
    AddBox(mesh, under, {-1.1, 0.7, -5.0}, {1.1, bottom, 5.0});
    AddBox(mesh, under, {-0.15, crown - 0.1, -1.0}, {0.15, crown + 0.45, -0.6}); // exhaust
    AddCouplers(mesh, under, half, 10.0, 0.95);
    return car;
}

CarModel Locomotive()
{
    CarModel car;
    car.name = "el_loco";
    car.seatY = 2.6;
    car.seatZ = 7.0;
    car.front = car.rear = 4.5;
    MeshBuilder& mesh = car.mesh;
    const int blue = mesh.Material(mat::Plain("LocoBlue", 0.10f, 0.20f, 0.45f));
    const int cream = mesh.Material(mat::Plain("Cream", 0.78f, 0.68f, 0.48f));
    const int roof = mesh.Material(mat::Plain("CarRoof", 0.36f, 0.37f, 0.38f));
    const int glass = mesh.Material(mat::Glass());
    const int louvre = mesh.Material(mat::Plain("Louvre", 0.30f, 0.33f, 0.38f));
    const int under = mesh.Material(mat::Plain("Underfloor", 0.12f, 0.12f, 0.13f));
    const Running gear = RunningGear(mesh);
    const double bottom = 1.1, eaves = 3.4, crown = 3.8, half = 7.8;
    AddBody(mesh, BodyOutline(bottom, 1.7, eaves, crown, 1.4), blue, blue, roof, under, -half, half);
    for (const int side : {-1, 1}) {
        SidePanel(mesh, cream, side, 1.43, -half, half, 1.55, 1.7);
        for (double z = -4.5; z <= 4.6; z += 1.5)
            SidePanel(mesh, louvre, side, 1.43, z - 0.6, z + 0.6, 2.2, 3.0);
        SidePanel(mesh, glass, side, 1.43, half - 1.4, half - 0.5, 2.2, 3.0);
        SidePanel(mesh, glass, side, 1.43, -half + 0.5, -half + 1.4, 2.2, 3.0);
    }
    AddCabFace(mesh, half, glass, blue, eaves);
    // The rear cab looks the other way: the same face turned half round.
    MeshBuilder rear;
    const int rg = rear.Material(mat::Glass()),
              rb = rear.Material(mat::Plain("LocoBlue", 0.10f, 0.20f, 0.45f));
    AddCabFace(rear, half, rg, rb, eaves);
    mesh.Append(rear, {kPi, {}, 1});
    for (const double z : {-4.5, 4.5})
        AddBogie(mesh, gear, z, 2.4);
    AddBox(mesh, under, {-1.15, 0.75, -2.6}, {1.15, bottom, 2.6});
    AddCouplers(mesh, under, half, 8.0, 0.95);
    for (const double z : {-4.8, 4.8})
        AddPantograph(mesh, z, crown - 0.05);
    return car;
}

enum class Wagon { Box, Tank, Container };

CarModel FreightWagon(Wagon kind)
{
    CarModel car;
    car.name = kind == Wagon::Box ? "wagon_box" : kind == Wagon::Tank ? "wagon_tank" : "wagon_container";
    car.front = car.rear = 4.2;
    MeshBuilder& mesh = car.mesh;
    const int frame = mesh.Material(mat::Plain("WagonFrame", 0.09f, 0.09f, 0.09f));
    const Running gear = RunningGear(mesh);
    const double half = 5.8, deck = 1.15;
    AddBox(mesh, frame, {-1.35, 0.85, -half}, {1.35, deck, half});
    for (const double z : {-4.2, 4.2})
        AddBogie(mesh, gear, z, 1.8);
    AddCouplers(mesh, frame, half, 6.0, 0.95);
    if (kind == Wagon::Box) {
        const int brown = mesh.Material(mat::Plain("WagonBrown", 0.33f, 0.16f, 0.09f));
        const int roof = mesh.Material(mat::Plain("CarRoof", 0.36f, 0.37f, 0.38f));
        const int door = mesh.Material(mat::Plain("WagonDoor", 0.27f, 0.13f, 0.08f));
        AddBody(mesh, BodyOutline(deck, 2.0, 3.4, 3.75, 1.4), brown, brown, roof, frame, -half + 0.1,
                half - 0.1);
        for (const int side : {-1, 1})
            for (const double z : {-1.6, 1.6})
                SidePanel(mesh, door, side, 1.43, z - 1.4, z + 1.4, deck + 0.1, 3.2);
    } else if (kind == Wagon::Tank) {
        const int tank = mesh.Material(mat::Plain("TankBlack", 0.07f, 0.07f, 0.08f));
        const int band = mesh.Material(mat::Plain("TankBand", 0.55f, 0.45f, 0.10f));
        MeshBuilder barrel;
        const int t = barrel.Material(mat::Plain("TankBlack", 0.07f, 0.07f, 0.08f));
        AddCylinderZ(barrel, t, t, 1.3, -5.3, 5.3, 18);
        mesh.Append(barrel, {0, {0, deck + 1.3, 0}, 1});
        AddFrustumY(mesh, tank, {0, deck + 2.45, 0}, 0.45, 0, 0.45, 0.35);
        for (const double z : {-5.31, 5.31})
            EndPanel(mesh, band, z > 0 ? 1 : -1, z, -0.9, 0.9, deck + 1.2, deck + 1.45);
    } else {
        const int blue = mesh.Material(mat::Plain("ContainerBlue", 0.10f, 0.25f, 0.50f));
        const int orange = mesh.Material(mat::Plain("ContainerOrange", 0.72f, 0.36f, 0.07f));
        const int rib = mesh.Material(mat::Plain("ContainerRib", 0.5f, 0.5f, 0.5f));
        for (const auto& [z, colour] : {std::pair{-2.9, blue}, std::pair{2.9, orange}}) {
            AddBox(mesh, colour, {-1.25, deck, z - 2.75}, {1.25, deck + 2.5, z + 2.75}, true);
            for (const int side : {-1, 1})
                for (double dz = -2.2; dz <= 2.25; dz += 1.1)
                    SidePanel(mesh, rib, side, 1.27, z + dz - 0.05, z + dz + 0.05, deck + 0.1, deck + 2.4);
        }
    }
    return car;
}

} // namespace

CarModel TeapotSettings()
{
    CarModel teapot;
    teapot.name = kTeapotModel;
    teapot.seatY = 1.3;
    teapot.seatZ = 1.2;
    teapot.front = teapot.rear = 1.2;
    return teapot;
}

std::vector<CarModel> CarModels()
{
    std::vector<CarModel> cars;
    cars.push_back(CommuterCar(Emu::Cab));
    cars.push_back(CommuterCar(Emu::Pantograph));
    cars.push_back(CommuterCar(Emu::Trailer));
    cars.push_back(Railcar());
    cars.push_back(Locomotive());
    cars.push_back(FreightWagon(Wagon::Box));
    cars.push_back(FreightWagon(Wagon::Tank));
    cars.push_back(FreightWagon(Wagon::Container));
    return cars;
}

std::vector<TrainFile> TrainFiles()
{
    std::vector<TrainFile> trains;
    trains.push_back(
        {"electric_4car", 0, 0.2, {{"ec_cab", 0}, {"ec_pantograph", 0}, {"ec_trailer", 0}, {"ec_cab", 180}}});
    trains.push_back({"diesel_2car", 0, 0.2, {{"dc_railcar", 0}, {"dc_railcar", 180}}});
    trains.push_back(
        {"freight",
         0,
         0.2,
         {{"el_loco", 0}, {"wagon_box", 0}, {"wagon_tank", 0}, {"wagon_container", 0}, {"wagon_box", 0}}});
    // The built-in teapot is 1.575 high and centred on its origin: lifted so that it stands on
    // the rails, turned so that its spout leads.
    trains.push_back({"teapot_express",
                      -(1.575 / 2 + track::kRailHeight),
                      0.4,
                      {{kTeapotModel, 270}, {kTeapotModel, 270}, {kTeapotModel, 270}}});
    return trains;
}

} // namespace demo
