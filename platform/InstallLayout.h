#pragma once

namespace platform {

// Where an installed tree keeps the plug-in, relative to the folder of the programs (bin/). A
// plug-in beside the program wins, so a build tree runs without installing.
inline constexpr const char* installedModuleFolder = "../lib/lumtrace";

}  // namespace platform
