#include "app/dialogs/HelpTexts.h"

namespace app {
namespace {

// kHelpRtf and kMessagesRtf, generated from assets/source with the RTF files beside them.
#include "app/dialogs/HelpTexts.inc"

} // namespace

std::string_view BundledHelpRtf()
{
    return kHelpRtf;
}
std::string_view BundledMessagesRtf()
{
    return kMessagesRtf;
}

} // namespace app
