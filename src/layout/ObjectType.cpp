#include "layout/ObjectType.h"

#include <algorithm>
#include <cstdint>

namespace layout {

int ObjectType::UsedSnapCount() const
{
    int n = 0;
    while (n < kSnapPointCount && snaps[n].Used())
        ++n;
    return n;
}

int ObjectType::DrawableRoutes() const
{
    if (guide.empty() || routeCount <= 0) return 0;
    const std::uint32_t subsets = std::min<std::uint32_t>(guide.materialCount, INT32_MAX);
    return std::min(routeCount, static_cast<int>(subsets));
}

bool ObjectType::IsGuideSubset(int route) const
{
    return !guide.empty() && route >= 0 && static_cast<std::uint32_t>(route) < guide.materialCount;
}

} // namespace layout
