#include "platform/Memory.h"

#include <sys/resource.h>

namespace platform {

double PeakResidentMb()
{
    struct rusage usage {};
    if (::getrusage(RUSAGE_SELF, &usage) != 0) return 0.0;
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // Linux gives KiB
}

} // namespace platform
