// How much memory the program uses, for run reports and long-run checks.
#pragma once

namespace platform {

// The most resident memory this process has had since it started, in MiB (0 when unknown).
double PeakResidentMb();

} // namespace platform
