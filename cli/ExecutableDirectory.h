#pragma once

#include <string>

namespace cli {

// Folder of the running executable, with symbolic links resolved; empty when it cannot be told.
std::string executableDirectory();

}  // namespace cli
