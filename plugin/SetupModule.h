#pragma once
// The setup dialogs live in a module of their own beside the plug-in, loaded the first time a
// host asks for them. Hosts that never do, like the command line, then never load Qt, whose
// libraries took most of a short validation's start-up.

#include <cstdint>
#include <string>

#include "plugin_api/QuorvexControlInterface.h"

class DeliverySettings;
class RuleSettings;

inline constexpr char SETUP_MODULE_NAME[] = "SievraSetup.so";
inline constexpr char SETUP_ENTRY_NAME[] = "SievraShowSetup";

// What the module exports: shows the setup dialog (see showSetupDialog) and says whether the user
// confirmed. Both sides come from one build, so C++ types may cross.
using SetupEntryFunction = bool (*)(QVX_HWND owner, std::int32_t& loadTimeout,
                                    std::int32_t& unloadTimeout, std::int32_t& playTimeout,
                                    std::int32_t& stopTimeout, RuleSettings& list,
                                    DeliverySettings* delivery);

// The entry of the module in the plug-in's folder, loaded once and kept for the life of the
// process (Qt cannot be unloaded safely). Null when it cannot be loaded; Error then says why.
SetupEntryFunction setupEntry(std::string& error);
