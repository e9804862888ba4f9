#pragma once

#include <string>

namespace cli {

// Why the file cannot be opened for reading as a regular file ("No such file or directory",
// "is a folder", ...); empty when it can. The plug-in only says that it refused a file, so this
// tells the user the common reasons apart.
std::string unreadableReason(const std::string& path);

// The path the plug-in gets: absolute and without "." parts, as the validation window passes
// it.
std::string fullPath(const std::string& path);

}  // namespace cli
