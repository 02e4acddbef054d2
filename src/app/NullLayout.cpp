#include "app/NullLayout.h"

namespace app {

bool NullLayout::LoadMapFile(const std::string& path)
{
    // Nothing can be read yet; the map path is taken over as a load would take it.
    mapFile_ = path;
    return true;
}

} // namespace app
