// The planning outputs of a scripted session: the parts list and the plan, written as the
// windows write them.
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

} // namespace app::headless
