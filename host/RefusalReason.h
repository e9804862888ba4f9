#pragma once

#include <string>

namespace validationhost {

// Why the plug-in's reader refuses Path, in the reader's own words ("Invalid STL file Disk
// Format Code", ...). The plug-in turns such a file away before sending any finding, so the
// batch and the validation window ask the same reader again to tell the user what is wrong;
// empty when it cannot tell.
std::string refusalReason(const std::string& path);

}  // namespace validationhost
