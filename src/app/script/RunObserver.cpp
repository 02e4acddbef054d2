#include "app/script/RunObserver.h"

#include "platform/Memory.h"

namespace app::headless {

OperationReport CollectOperation(const operation::Operation& operation)
{
    OperationReport report;
    report.protect = operation.Protect();
    report.deadlock = operation.Deadlock();
    for (int slot = 1; slot <= operation::kSlots; ++slot) {
        const operation::TrainStatus& status = operation.Status(slot);
        OperationReport::Train train;
        train.slot = slot;
        train.autopilot = operation.Slot(slot).autopilot;
        train.state = operation::StateWord(status.state);
        train.stopsMade = status.stopsMade;
        train.reversals = status.reversals;
        if (status.waitingFor > 0)
            train.waitingFor = status.waitingFor;
        else if (status.waitingFor == operation::kWaitsForEnd)
            train.waitingWord = "end";
        else if (status.waitingFor == operation::kWaitsForPath)
            train.waitingWord = "path";
        if (status.offTrack) report.offTrack.push_back(slot);
        report.trains.push_back(std::move(train));
    }
    return report;
}

RunReport CollectRunReport(CSimulatorApp& app, const RunObserver& observer, std::vector<std::string> messages)
{
    RunReport report;
    const PassTimes& times = app.Times();
    report.frames = times.passes;
    if (times.passes > 0) {
        report.simulationMs = times.simulationMs / times.passes;
        report.drawingMs = times.drawingMs / times.passes;
    }
    report.eye = app.Camera().Eye();
    report.target = app.Camera().Target();
    report.types = app.Layout().TypeNames();
    for (int slot = 1; slot <= kTrainSlotCount; ++slot)
        report.trains.push_back({app.Vehicles().Train(slot), observer.Distance(slot)});
    report.objects = app.Layout().PlacedObjects();
    report.missingTypes = app.Layout().Placeholders();
    report.history = app.Layout().History();
    report.measure = app.Ruler().Reading();
    if (app.Operation().InUse()) report.operation = CollectOperation(app.Operation());
    report.routeChanges = observer.Changes();
    report.car = app.Vehicles().RoadCar();
    report.plane = app.Vehicles().Plane();
    report.helicopter = app.Vehicles().Helicopter();
    report.messages = std::move(messages);
    report.peakRssMb = platform::PeakResidentMb();
    const PassClock& clock = app.Clock();
    report.clock = {
        .paused = clock.Paused(), .rate = clock.Rate(), .passes = clock.Passes(), .frames = clock.Frames(),
                    .seconds = clock.Seconds()};
    return report;
}

RunReport CollectReport(CSimulatorApp& app, const RunObserver& observer,
                        const platform::RecordingDialogService& dialogs, const FinishedFrames& finished)
{
    RunReport report = CollectRunReport(app, observer, dialogs.MessageTexts());
    if (finished.frames > 0) report.frameGlMs = finished.totalMs / finished.frames;
    return report;
}

} // namespace app::headless
