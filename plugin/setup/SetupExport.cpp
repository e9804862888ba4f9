// The setup module's only export, found by the plug-in when a host asks for its settings.

#include "SetupDialog.h"
#include "SetupModule.h"

extern "C" __attribute__((visibility("default"))) bool SievraShowSetup(
    QVX_HWND owner, std::int32_t& loadTimeout, std::int32_t& unloadTimeout,
    std::int32_t& playTimeout, std::int32_t& stopTimeout, RuleSettings& list,
    DeliverySettings* delivery) {
    return showSetupDialog(owner, loadTimeout, unloadTimeout, playTimeout, stopTimeout, list,
                           delivery);
}

// Checked at compile time against what the plug-in looks up.
static_assert(std::is_same_v<decltype(&SievraShowSetup), SetupEntryFunction>);
