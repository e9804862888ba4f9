#pragma once
// Turns the file arguments into the list of files to validate.

#include <istream>
#include <string>
#include <vector>

namespace cli {

struct Input {
    std::string path;    // as the user spelled it, or as found in a folder
    std::string reason;  // set when the argument gives nothing to validate (an empty folder)
};

// A folder stands for its files whose names end in ".stl" in any case, in name order, with
// those of its subfolders when Recursive; "-" stands for the names read from Names, one per
// line or, with NulSeparated, each ended by NUL (empty names are skipped). Anything else is
// kept as given, so a missing file is still reported as one.
std::vector<Input> expandInputs(const std::vector<std::string>& arguments, bool recursive,
                                bool nulSeparated, std::istream& names);

}  // namespace cli
