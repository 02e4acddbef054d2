#include "app/script/RunReport.h"

#include "app/script/JsonWriter.h"

namespace app {

namespace {

void WriteVector(JsonWriter& json, std::string_view key, math::Vec3 v)
{
    json.Key(key).BeginArray().Number(v.x).Number(v.y).Number(v.z).EndArray();
}

void WritePosition(JsonWriter& json, float x, float y, float z)
{
    json.Field("x", x).Field("y", y).Field("z", z);
}

} // namespace

std::string ReportJson(const RunReport& report)
{
    JsonWriter json;
    json.BeginObject();
    json.Field("frames", report.frames);
    json.Key("ms_per_pass")
        .BeginObject()
        .Field("simulation", report.simulationMs)
        .Field("drawing", report.drawingMs);
    if (report.frameGlMs) json.Field("frame_gl", *report.frameGlMs);
    json.EndObject();
    json.Field("peak_rss_mb", report.peakRssMb);
    json.Key("camera").BeginObject();
    WriteVector(json, "eye", report.eye);
    WriteVector(json, "target", report.target);
    json.EndObject();

    json.Key("types").BeginArray();
    for (const auto& type : report.types)
        json.String(type);
    json.EndArray();

    json.Key("trains").BeginArray();
    for (const auto& train : report.trains) {
        json.BeginObject()
            .Field("slot", train.state.slot)
            .Field("name", train.state.name)
            .Field("speed", train.state.speed)
            .Field("distance", train.distance);
        json.Key("cars").BeginArray();
        for (const auto& car : train.state.cars) {
            json.BeginObject();
            WritePosition(json, car.x, car.y, car.z);
            json.Field("pitch", car.pitch)
                .Field("yaw", car.yaw)
                .Field("below", car.below)
                .Field("below_rear", car.belowRear)
                .EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray();

    json.Key("objects").BeginArray();
    for (const auto& object : report.objects) {
        json.BeginObject().Field("index", object.index).Field("type", object.type);
        WritePosition(json, object.x, object.y, object.z);
        json.Field("angle", object.angle).Field("route", object.route).Field("key", object.key).EndObject();
    }
    json.EndArray();

    if (!report.missingTypes.empty()) {
        int placeholders = 0;
        json.Key("missing_types").BeginObject();
        for (const auto& [name, count] : report.missingTypes) {
            json.Field(name, count);
            placeholders += count;
        }
        json.EndObject();
        json.Field("placeholders", placeholders);
    }

    json.Key("route_changes").BeginArray();
    for (const auto& change : report.routeChanges) {
        json.BeginObject()
            .Field("frame", change.frame)
            .Field("index", change.index)
            .Field("from", change.from)
            .Field("to", change.to)
            .EndObject();
    }
    json.EndArray();

    json.Key("car").BeginObject();
    WritePosition(json, report.car.x, report.car.y, report.car.z);
    json.Field("speed", report.car.speed).Field("heading", report.car.heading).EndObject();

    json.Key("plane").BeginObject();
    WritePosition(json, report.plane.x, report.plane.y, report.plane.z);
    json.Field("speed", report.plane.speed).Field("heading", report.plane.heading);
    WriteVector(json, "forward", report.plane.forward);
    WriteVector(json, "up", report.plane.up);
    json.EndObject();

    json.Key("helicopter").BeginObject();
    WritePosition(json, report.helicopter.x, report.helicopter.y, report.helicopter.z);
    WriteVector(json, "velocity", report.helicopter.velocity);
    json.Field("heading", report.helicopter.heading);
    WriteVector(json, "forward", report.helicopter.forward);
    WriteVector(json, "up", report.helicopter.up);
    json.EndObject();

    json.Key("messages").BeginArray();
    for (const auto& message : report.messages)
        json.String(message);
    json.EndArray();

    json.Key("history").BeginObject();
    json.Field("undo", report.history.undo).Field("redo", report.history.redo).Field("changed", report.history.changed);
    json.EndObject();
    if (report.interrupted) json.Field("interrupted", true);

    json.Key("clock")
        .BeginObject()
        .Field("paused", report.clock.paused)
        .Field("rate", report.clock.rate)
        .Field("passes", report.clock.passes)
        .Field("seconds", report.clock.seconds)
        .Field("frames", report.clock.frames)
        .EndObject();

    if (report.measure) {
        json.Key("measure").BeginObject();
        json.Field("plan", report.measure->plan).Field("height", report.measure->height);
        json.Field("grade", report.measure->grade).EndObject();
    }

    if (report.operation) {
        json.Key("operation").BeginObject().Field("protect", report.operation->protect);
        json.Key("deadlock").BeginArray();
        for (const int slot : report.operation->deadlock)
            json.Int(slot);
        json.EndArray();
        json.Key("off_track").BeginArray();
        for (const int slot : report.operation->offTrack)
            json.Int(slot);
        json.EndArray();
        json.Key("trains").BeginArray();
        for (const OperationReport::Train& train : report.operation->trains) {
            json.BeginObject().Field("slot", train.slot).Field("auto", train.autopilot).Field("state", train.state);
            json.Key("waiting_for");
            if (train.waitingFor)
                json.Int(*train.waitingFor);
            else if (!train.waitingWord.empty())
                json.String(train.waitingWord);
            else
                json.Null();
            json.Field("stops_made", train.stopsMade).Field("reversals", train.reversals).EndObject();
        }
        json.EndArray().EndObject();
    }

    json.EndObject();
    return json.Text() + "\n";
}

} // namespace app
