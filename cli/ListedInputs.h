#pragma once
// --skip-listed: the files an earlier --format jsonl run has already reported, so that a run
// cut short, or shared between machines, carries on where it stopped.

#include <set>
#include <string>
#include <vector>

namespace cli {

// The "path" of every complete line of Files, as given and as a full path. A file that does not
// exist lists nothing (a first run has none yet); a line cut off or not JSON, or one whose
// validation process died, is passed over.
// Error tells which file could not be read.
std::set<std::string> listedInputs(const std::vector<std::string>& files, std::string& error);

// Whether Path is in Listed. The lines hold names as UTF-8, so a name that is not is looked for
// as the report wrote it.
bool isListed(const std::set<std::string>& listed, const std::string& path);

}  // namespace cli
