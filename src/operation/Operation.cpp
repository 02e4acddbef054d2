#include "operation/Operation.h"

#include "layout/CLayout.h"
#include "layout/TrackShapes.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace operation {

namespace {

// A car of another train this far beside the line still fouls it (a turnout's other route).
constexpr float kFoulReach = 3.0f;
// A train this close to where it must rest counts as standing there.
constexpr float kRestReach = 0.01f;
// A stop is made when the leading end stands this close to its target.
constexpr float kStopReach = 0.5f;
// The look-ahead gives up after this many lines (a loop shorter than the braking distance).
constexpr int kMaxLines = 512;

float BrakingDistance(double speed)
{
    return static_cast<float>(speed * speed / (2.0 * kBrakeRate) + speed);
}

float Cruise(const SlotSettings& slot)
{
    return static_cast<float>(slot.cruiseKmh / kKmhPerUnit);
}

} // namespace

float StoppingSpeed(float distance)
{
    if (!(distance > kRestReach)) return 0.0f;
    if (std::isinf(distance)) return kNoLimit;
    // v + (v − a) + (v − 2a) + … stays within v²/2a + v.
    const double v = kBrakeRate * (-1.0 + std::sqrt(1.0 + 2.0 * distance / kBrakeRate));
    return static_cast<float>(std::min<double>(v, distance));
}

const char* StateWord(TrainStateKind state)
{
    switch (state) {
    case TrainStateKind::Manual:
        return "manual";
    case TrainStateKind::Running:
        return "running";
    case TrainStateKind::Braking:
        return "braking";
    case TrainStateKind::Dwelling:
        return "dwelling";
    case TrainStateKind::Waiting:
        return "waiting";
    case TrainStateKind::Deadlock:
        return "deadlock";
    }
    return "manual";
}

bool OperationSettings::Any() const
{
    if (protect || !stops.empty()) return true;
    return std::any_of(slots.begin(), slots.end(), [](const SlotSettings& s) { return s.Set(); });
}

void Operation::SetSettings(OperationSettings settings)
{
    settings_ = std::move(settings);
    runtime_ = {};
    deadlock_.clear();
    reserved_.clear();
}

const SlotSettings& Operation::Slot(int slot) const
{
    static const SlotSettings kNone;
    if (slot < 1 || slot > kSlots) return kNone;
    return settings_.slots[static_cast<std::size_t>(slot - 1)];
}

void Operation::SetAutopilot(int slot, bool on)
{
    if (slot < 1 || slot > kSlots) return;
    settings_.slots[static_cast<std::size_t>(slot - 1)].autopilot = on;
}

void Operation::SetCruise(int slot, int kmh)
{
    if (slot < 1 || slot > kSlots) return;
    settings_.slots[static_cast<std::size_t>(slot - 1)].cruiseKmh = std::clamp(kmh, 0, 1000);
}

void Operation::SetShuttle(int slot, bool on)
{
    if (slot < 1 || slot > kSlots) return;
    settings_.slots[static_cast<std::size_t>(slot - 1)].shuttle = on;
}

void Operation::SetItinerary(int slot, std::vector<layout::ObjectId> stops)
{
    if (slot < 1 || slot > kSlots) return;
    settings_.slots[static_cast<std::size_t>(slot - 1)].itinerary = std::move(stops);
}

void Operation::MarkStop(layout::ObjectId piece, int seconds)
{
    if (piece == layout::kNoObjectId) return;
    if (seconds <= 0) {
        settings_.stops.erase(piece);
        settings_.termini.erase(piece);
    } else
        settings_.stops[piece] = std::min(seconds, 24 * 3600);
}

void Operation::SetTerminus(layout::ObjectId piece, bool on)
{
    if (!on)
        settings_.termini.erase(piece);
    else if (settings_.stops.contains(piece))
        settings_.termini.insert(piece);
}

void Operation::TakeOver(int slot)
{
    if (slot < 1 || slot > kSlots) return;
    settings_.slots[static_cast<std::size_t>(slot - 1)].autopilot = false;
    Runtime& rt = runtime_[static_cast<std::size_t>(slot - 1)];
    rt.status.dwellPasses = 0;
    rt.reverse = false;
}

void Operation::RefreshGraph(const layout::CLayout& layout)
{
    const std::uint64_t revision = layout.Placed().Revision();
    if (graphBuilt_ && revision == graphRevision_) return;
    const layout::TrackShapes shapes(layout);
    graph_.Build(TrackGraph::LayoutLines(layout, shapes), layout.Placed().Count());
    graphRevision_ = revision;
    graphBuilt_ = true;
    ++graphVersion_;
    // Object indexes may have moved.
    reserved_.clear();
}

void Operation::SetGraph(std::vector<PieceLine> lines, int objectCount)
{
    graph_.Build(std::move(lines), objectCount);
    graphBuilt_ = false;
    ++graphVersion_;
    reserved_.clear();
}

bool Operation::Occupies(int slot, int object) const
{
    const auto [from, to] = std::equal_range(occupants_.begin(), occupants_.end(), Occupant{object, 0, {}, 0.0f});
    return std::any_of(from, to, [slot](const Occupant& o) { return o.slot == slot; });
}

bool Operation::IsTurnout(int object) const
{
    const auto [first, last] = graph_.LinesOf(object);
    const auto& lines = graph_.Lines();
    for (int l = first; l < last; ++l)
        if (lines[static_cast<std::size_t>(l)].piece.route != 0) return true;
    return false;
}

int Operation::Holder(int object) const
{
    const auto found = reserved_.find(object);
    return found == reserved_.end() ? 0 : found->second;
}

void Operation::Reserve(int slot, bool moving, int turnoutAhead)
{
    for (auto it = reserved_.begin(); it != reserved_.end();) {
        if (it->second == slot && !Occupies(slot, it->first) && !(moving && it->first == turnoutAhead))
            it = reserved_.erase(it);
        else
            ++it;
    }
    if (moving && turnoutAhead >= 0 && Holder(turnoutAhead) == 0) reserved_[turnoutAhead] = slot;
}

int Operation::NextStopObject(int slot, std::span<const layout::ObjectId> ids) const
{
    const auto& itinerary = settings_.slots[static_cast<std::size_t>(slot - 1)].itinerary;
    if (itinerary.empty()) return -1;
    const layout::ObjectId id = itinerary[runtime_[static_cast<std::size_t>(slot - 1)].nextStop % itinerary.size()];
    const auto found = std::find(ids.begin(), ids.end(), id);
    return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
}

const std::vector<float>& Operation::DistancesTo(int slot, int object)
{
    Runtime& rt = runtime_[static_cast<std::size_t>(slot - 1)];
    if (rt.distanceTarget == object && rt.distanceGraph == graphVersion_) return rt.distance;
    rt.distanceTarget = object;
    rt.distanceGraph = graphVersion_;
    const auto& lines = graph_.Lines();
    // State 2l: line l entered at end 0 (running towards end 1); 2l + 1: entered at end 1.
    rt.distance.assign(lines.size() * 2, kNoLimit);
    using Entry = std::pair<float, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    const auto [first, last] = graph_.LinesOf(object);
    for (int l = first; l < last; ++l) {
        for (const int state : {2 * l, 2 * l + 1}) {
            rt.distance[static_cast<std::size_t>(state)] = 0;
            open.push({0.0f, state});
        }
    }
    // Backwards: a state is reached from the lines whose far end meets the end it is entered at.
    while (!open.empty()) {
        const auto [d, state] = open.top();
        open.pop();
        if (d > rt.distance[static_cast<std::size_t>(state)]) continue;
        const int line = state / 2;
        const int entered = state % 2;
        for (const LineEnd& link : lines[static_cast<std::size_t>(line)].links[entered]) {
            // That line runs towards the end that meets us: it was entered at its other end.
            const int before = 2 * link.line + (1 - link.end);
            const float through = d + lines[static_cast<std::size_t>(link.line)].length;
            if (through < rt.distance[static_cast<std::size_t>(before)]) {
                rt.distance[static_cast<std::size_t>(before)] = through;
                open.push({through, before});
            }
        }
    }
    return rt.distance;
}

LinePlace Operation::Steer(int slot, int target, int line, int end, std::span<const layout::PlacedObject> objects)
{
    const auto& lines = graph_.Lines();
    const auto& links = lines[static_cast<std::size_t>(line)].links[end != 0 ? 1 : 0];
    const std::vector<float>& distance = DistancesTo(slot, target);
    const LineEnd* best = nullptr;
    float nearest = kNoLimit;
    for (const LineEnd& link : links) {
        const float d = distance[static_cast<std::size_t>(2 * link.line + link.end)];
        if (d < nearest) {
            nearest = d;
            best = &link;
        }
    }
    if (!best) return {};
    const PieceLine& piece = lines[static_cast<std::size_t>(best->line)].piece;
    const int object = piece.object;
    if (object >= 0 && object < static_cast<int>(objects.size()) &&
        objects[static_cast<std::size_t>(object)].route != piece.route) {
        // A turnout under another train stays as it is; the way on is then the one it is set for.
        const auto [from, to] = std::equal_range(occupants_.begin(), occupants_.end(), Occupant{object, 0, {}, 0.0f});
        const int holder = Holder(object);
        if ((holder != 0 && holder != slot) ||
            std::any_of(from, to, [slot](const Occupant& o) { return o.slot != slot; }))
            return graph_.Next(line, end, objects);
        routeSettings_.push_back({object, piece.route});
    }
    const TrackGraph::Line& to = lines[static_cast<std::size_t>(best->line)];
    return best->end == 0 ? LinePlace{best->line, 0.0f, 1} : LinePlace{best->line, to.length, -1};
}

const TrainStatus& Operation::Status(int slot) const
{
    static const TrainStatus kNone;
    if (slot < 1 || slot > kSlots) return kNone;
    return runtime_[static_cast<std::size_t>(slot - 1)].status;
}

int Operation::StopSeconds(int object, std::span<const layout::ObjectId> ids) const
{
    if (settings_.stops.empty() || object < 0 || object >= static_cast<int>(ids.size())) return 0;
    const auto found = settings_.stops.find(ids[static_cast<std::size_t>(object)]);
    return found == settings_.stops.end() ? 0 : found->second;
}

bool Operation::IsTerminus(int object, std::span<const layout::ObjectId> ids) const
{
    if (settings_.termini.empty() || object < 0 || object >= static_cast<int>(ids.size())) return false;
    return settings_.termini.contains(ids[static_cast<std::size_t>(object)]);
}

LinePlace Operation::Place(const TrainView& train, int direction, std::span<const layout::PlacedObject> objects) const
{
    const TrainView::Car& lead = direction > 0 ? train.cars.front() : train.cars.back();
    const math::Vec3 heading{std::sin(lead.yaw) * static_cast<float>(direction), 0.0f,
                             std::cos(lead.yaw) * static_cast<float>(direction)};
    LinePlace best;
    float nearest = kNoLimit;
    for (const int object : {lead.below, lead.belowRear}) {
        if (object < 0 || object >= static_cast<int>(objects.size())) continue;
        const LinePlace place =
            graph_.Locate(object, lead.position, heading, objects[static_cast<std::size_t>(object)].route);
        if (!place.Valid()) continue;
        const float d = PlanDistance(graph_.PointAt(place.line, place.s), lead.position);
        if (d < nearest) {
            nearest = d;
            best = place;
        }
    }
    return best;
}

template <typename Test>
bool Operation::RunBehindHas(LinePlace at, Test test, std::span<const layout::PlacedObject> objects,
                             std::span<const layout::ObjectId> ids) const
{
    const auto& lines = graph_.Lines();
    at.dir = -at.dir; // walking back
    for (int step = 0; step < kMaxLines && at.Valid(); ++step) {
        const int object = lines[static_cast<std::size_t>(at.line)].piece.object;
        if (test(object)) return true;
        if (StopSeconds(object, ids) == 0) return false;
        at = graph_.Next(at.line, at.dir > 0 ? 1 : 0, objects);
    }
    return false;
}

float Operation::RunLengthBehind(LinePlace at, std::span<const layout::PlacedObject> objects,
                                 std::span<const layout::ObjectId> ids) const
{
    const auto& lines = graph_.Lines();
    if (!at.Valid() || StopSeconds(lines[static_cast<std::size_t>(at.line)].piece.object, ids) == 0) return 0.0f;
    float length = at.dir > 0 ? at.s : lines[static_cast<std::size_t>(at.line)].length - at.s;
    at.dir = -at.dir;
    for (int step = 0; step < kMaxLines; ++step) {
        at = graph_.Next(at.line, at.dir > 0 ? 1 : 0, objects);
        if (!at.Valid()) break;
        const TrackGraph::Line& line = lines[static_cast<std::size_t>(at.line)];
        if (StopSeconds(line.piece.object, ids) == 0) break;
        length += line.length;
    }
    return length;
}

std::vector<std::vector<int>> Operation::StopRuns(std::span<const layout::ObjectId> ids) const
{
    std::vector<int> marked;
    for (int object = 0; object < static_cast<int>(ids.size()); ++object)
        if (StopSeconds(object, ids) > 0) marked.push_back(object);
    // Joined pieces share a root; a root is the run's smallest index.
    std::map<int, int> root;
    for (const int object : marked) root[object] = object;
    const auto find = [&root](int object) {
        while (root[object] != object) object = root[object] = root[root[object]];
        return object;
    };
    const auto& lines = graph_.Lines();
    for (const int object : marked) {
        const auto [first, last] = graph_.LinesOf(object);
        for (int l = first; l < last; ++l) {
            for (const auto& links : lines[static_cast<std::size_t>(l)].links) {
                for (const LineEnd& link : links) {
                    const int other = lines[static_cast<std::size_t>(link.line)].piece.object;
                    if (!root.contains(other)) continue;
                    const int a = find(object), b = find(other);
                    root[std::max(a, b)] = std::min(a, b);
                }
            }
        }
    }
    std::map<int, std::vector<int>> runs;
    for (const int object : marked) runs[find(object)].push_back(object);
    std::vector<std::vector<int>> result;
    for (auto& [first, run] : runs) result.push_back(std::move(run));
    return result;
}

Operation::Ahead Operation::LookAhead(int slot, const TrainView& train, int direction, float reach,
                                      std::span<const layout::PlacedObject> objects,
                                      std::span<const layout::ObjectId> ids, bool stops, bool* onStop)
{
    Ahead best;
    LinePlace at = Place(train, direction, objects);
    if (!at.Valid()) {
        runtime_[static_cast<std::size_t>(slot - 1)].status.offTrack = true;
        return best;
    }
    const float own = train.halfLength + kMargin;
    const auto offer = [&best](float distance, int waitsFor) {
        if (distance < best.distance) {
            best = Ahead{.distance = distance, .waitsFor = waitsFor};
            return true;
        }
        return false;
    };
    const auto& lines = graph_.Lines();
    bool skipServed = stops && runtime_[static_cast<std::size_t>(slot - 1)].served;
    // With an itinerary only the run of its next stop counts, and the way there is steered.
    const int target = stops ? NextStopObject(slot, ids) : -1;
    const bool itinerary = !settings_.slots[static_cast<std::size_t>(slot - 1)].itinerary.empty();
    bool runHasTarget = false;
    int runSeconds = 0; // of the stop run the walk is in
    bool runTerminus = false;
    int turnout = -1;
    float walked = 0;
    for (int step = 0; step < kMaxLines; ++step) {
        const TrackGraph::Line& line = lines[static_cast<std::size_t>(at.line)];
        const int object = line.piece.object;
        if (stops) {
            const int seconds = StopSeconds(object, ids);
            if (step == 0 && onStop) *onStop = seconds > 0;
            if (seconds == 0) {
                skipServed = false;
                if (runSeconds > 0 && (!itinerary || runHasTarget) && offer(walked - own, kWaitsForNothing)) {
                    best.stop = true;
                    best.terminus = runTerminus;
                    best.dwellSeconds = runSeconds;
                }
                runSeconds = 0;
                runTerminus = false;
                runHasTarget = false;
            } else if (!skipServed) {
                runSeconds = seconds;
                // A train already inside the stop's run may have passed its target piece or
                // the piece that makes the run a terminus.
                const auto isTerminus = [this, ids](int piece) { return IsTerminus(piece, ids); };
                runTerminus = runTerminus || IsTerminus(object, ids) ||
                              (step == 0 && !settings_.termini.empty() && RunBehindHas(at, isTerminus, objects, ids));
                runHasTarget = runHasTarget || object == target ||
                               (step == 0 && RunBehindHas(at, [target](int piece) { return piece == target; }, objects, ids));
            }
        }
        // Cars of other trains on this piece, as far along the line as they stand.
        const auto [from, to] = std::equal_range(occupants_.begin(), occupants_.end(), Occupant{object, 0, {}, 0.0f});
        for (auto it = from; it != to; ++it) {
            if (it->slot == slot) continue;
            const TrackGraph::Projection there = graph_.Project(at.line, it->centre);
            if (there.distance > kFoulReach) continue;
            const float s = there.s;
            float ahead = (s - at.s) * static_cast<float>(at.dir);
            if (step == 0 && ahead < 0) continue;
            ahead = std::max(ahead, 0.0f);
            offer(walked + ahead - own - it->halfLength, it->slot);
        }
        const float remaining = at.dir > 0 ? line.length - at.s : at.s;
        walked += remaining;
        if (walked - own > reach || walked - own - 40.0f > best.distance) break;
        const int end = at.dir > 0 ? 1 : 0;
        const bool steering = stops && target >= 0 && object != target;
        const LinePlace next = steering ? Steer(slot, target, at.line, end, objects) : graph_.Next(at.line, end, objects);
        if (!next.Valid() && steering && !line.links[end].empty()) {
            offer(walked - own, kWaitsForPath);
            break;
        }
        if (!next.Valid()) {
            if (runSeconds > 0 && (!itinerary || runHasTarget) && offer(walked - own, kWaitsForNothing)) {
                best.stop = true;
                best.terminus = true;
                best.dwellSeconds = runSeconds;
            } else {
                offer(walked - own, kWaitsForEnd);
            }
            break;
        }
        // A turnout ahead: held by another train, it ends the way on; free and within reach,
        // short of anything else, it is the one this train may take.
        const int nextObject = lines[static_cast<std::size_t>(next.line)].piece.object;
        if (const int holder = Holder(nextObject); holder != 0 && holder != slot && !Occupies(slot, nextObject)) {
            offer(walked - own, holder);
            break;
        }
        if (turnout < 0 && walked - own <= reach && walked - own < best.distance && IsTurnout(nextObject))
            turnout = nextObject;
        at = next;
    }
    best.turnout = turnout;
    return best;
}

std::array<TrainOrder, kSlots> Operation::Step(std::span<const TrainView> trains,
                                               std::span<const layout::PlacedObject> objects,
                                               std::span<const layout::ObjectId> ids)
{
    std::array<TrainOrder, kSlots> orders{};
    occupants_.clear();
    routeSettings_.clear();
    const int count = std::min<int>(static_cast<int>(trains.size()), kSlots);
    for (int i = 0; i < count; ++i) {
        const TrainView& train = trains[static_cast<std::size_t>(i)];
        if (!train.runs) continue;
        for (const TrainView::Car& car : train.cars) {
            occupants_.push_back({car.below, i + 1, car.position, train.halfLength});
            if (car.belowRear != car.below)
                occupants_.push_back({car.belowRear, i + 1, car.position, train.halfLength});
        }
    }
    std::stable_sort(occupants_.begin(), occupants_.end());

    for (int i = 0; i < count; ++i) {
        const int slot = i + 1;
        const TrainView& train = trains[static_cast<std::size_t>(i)];
        const SlotSettings& settings = settings_.slots[static_cast<std::size_t>(i)];
        Runtime& rt = runtime_[static_cast<std::size_t>(i)];
        TrainStatus& status = rt.status;
        status.offTrack = false;
        status.held = false;
        status.waitingFor = kWaitsForNothing;
        if (status.dwellPasses == 0) status.tooLong = false;
        if (!train.runs || train.cars.empty()) {
            status.state = settings.autopilot ? TrainStateKind::Waiting : TrainStateKind::Manual;
            rt.wasAuto = false;
            Reserve(slot, false, -1);
            continue;
        }
        const bool autopilot = settings.autopilot;
        if (autopilot && !rt.wasAuto) {
            rt.direction = train.speed < 0 ? -1 : 1;
            status.dwellPasses = 0;
        }
        rt.wasAuto = autopilot;
        const float cruise = Cruise(settings);
        const int travel = autopilot ? rt.direction : (train.speed < 0 ? -1 : 1);
        TrainOrder& order = orders[static_cast<std::size_t>(i)];
        Ahead travelAhead;
        bool onStop = false;
        if (settings_.protect || autopilot) {
            for (const int dir : {1, -1}) {
                const double along = dir * static_cast<double>(train.speed);
                const double wanted = autopilot && dir == rt.direction ? cruise : 0.0;
                const float reach = BrakingDistance(std::max({along, wanted, 0.0}) + 2 * kBrakeRate) + 1.0f;
                const Ahead ahead = LookAhead(slot, train, dir, reach, objects, ids,
                                              autopilot && dir == rt.direction, &onStop);
                (dir > 0 ? order.limitForward : order.limitBackward) = StoppingSpeed(ahead.distance);
                if (dir == travel) travelAhead = ahead;
            }
        }
        if (!onStop) rt.served = false;
        const float limit = travel > 0 ? order.limitForward : order.limitBackward;
        Reserve(slot, limit > 0.0f && (train.speed != 0.0f || autopilot), travelAhead.turnout);
        const bool standing = train.speed == 0.0f;

        if (!autopilot) {
            status.state = TrainStateKind::Manual;
            status.dwellPasses = 0;
            status.held = limit <= std::fabs(train.speed) && limit < kNoLimit;
            if (status.held && limit == 0.0f) status.waitingFor = travelAhead.waitsFor;
            continue;
        }
        const bool atRest = standing && status.dwellPasses == 0 && travelAhead.distance < kStopReach && limit == 0.0f;
        if (atRest && (travelAhead.stop || (travelAhead.waitsFor == kWaitsForEnd && settings.shuttle))) {
            // This pass is the dwell's first.
            status.dwellPasses = std::max(1, travelAhead.dwellSeconds * kPassesPerSecond);
            if (travelAhead.stop) {
                ++status.stopsMade;
                ++rt.nextStop;
                // From the leading car's centre back to the rear end of the last car.
                const float behind = train.halfLength * static_cast<float>(2 * train.cars.size() - 1);
                status.tooLong = behind > RunLengthBehind(Place(train, rt.direction, objects), objects, ids) + kRestReach;
            }
            rt.reverse = settings.shuttle && (travelAhead.terminus || !travelAhead.stop);
        }
        if (status.dwellPasses > 0) {
            order.autoSpeed = 0.0f;
            status.state = TrainStateKind::Dwelling;
            if (--status.dwellPasses == 0) {
                rt.served = true;
                if (rt.reverse) {
                    rt.direction = -rt.direction;
                    ++status.reversals;
                    rt.reverse = false;
                }
            }
            continue;
        }
        order.autoSpeed = static_cast<float>(rt.direction * cruise);
        if (atRest) {
            status.state = TrainStateKind::Waiting;
            status.waitingFor = travelAhead.waitsFor;
        } else if (limit < cruise && limit <= std::fabs(train.speed) + static_cast<float>(kBrakeRate)) {
            status.state = TrainStateKind::Braking;
        } else {
            status.state = TrainStateKind::Running;
        }
    }
    FindDeadlock();
    return orders;
}

void Operation::FindDeadlock()
{
    deadlock_.clear();
    const auto waitsOn = [this](int slot) {
        const TrainStatus& s = runtime_[static_cast<std::size_t>(slot - 1)].status;
        return s.state == TrainStateKind::Waiting && s.waitingFor > 0 ? s.waitingFor : 0;
    };
    std::array<bool, kSlots + 1> inCycle{};
    for (int start = 1; start <= kSlots; ++start) {
        int at = start;
        for (int hop = 0; hop < kSlots; ++hop) {
            at = waitsOn(at);
            if (at == 0) break;
            if (at == start) {
                inCycle[static_cast<std::size_t>(start)] = true;
                break;
            }
        }
    }
    for (int slot = 1; slot <= kSlots; ++slot) {
        if (!inCycle[static_cast<std::size_t>(slot)]) continue;
        runtime_[static_cast<std::size_t>(slot - 1)].status.state = TrainStateKind::Deadlock;
        deadlock_.push_back(slot);
    }
}

} // namespace operation
