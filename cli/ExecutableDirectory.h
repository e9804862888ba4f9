#pragma once

#include <string>

namespace cli {

// Folder of the running executable, with symbolic links resolved; empty when it cannot be told.
std::string executableDirectory();

// Path of the module FileName: beside the executable, else in the installed tree's module
// folder; the first when neither holds it, so a failure names where it was expected.
std::string modulePath(const std::string& fileName);

}  // namespace cli
