// The planning outputs of a scripted session: the parts list and the plan, written as the
// windows write them, and the ruler.
#include "app/PlanOutputs.h"
#include "app/script/HeadlessSession.h"

#include <ostream>

namespace app::headless {

void Session::WritePartsList(const std::string& path)
{
    if (const platform::Status written = app::WritePartsList(app_, path); !written) {
        errors_ << "korvela: the parts list could not be written: " << written.error() << "\n";
        writeFailed_ = true;
    }
}

void Session::WritePlan(const std::string& path, int scale)
{
    plan::PlanOptions options;
    options.scale = scale;
    const auto written = app::WritePlan(app_, path, options);
    if (!written) {
        errors_ << "korvela: the plan could not be written: " << written.error() << "\n";
        writeFailed_ = true;
        return;
    }
    if (written->empty) errors_ << "korvela: " << path << ": the layout is empty; only the grid was drawn\n";
}

platform::Status Session::Measure(const Action& action)
{
    app_.ClearRuler();
    for (std::size_t i = 0; i < 4; i += 2) {
        const auto at = InView(action.numbers[i], action.numbers[i + 1]);
        if (!at) return platform::Fail(at.error());
        if (!app_.MeasureAt(at->first, at->second))
            return platform::Fail("measure: the point " + std::to_string(action.numbers[i]) + " " +
                                  std::to_string(action.numbers[i + 1]) + " meets neither an object nor the ground");
    }
    return platform::Ok{};
}

} // namespace app::headless
