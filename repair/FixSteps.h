#pragma once
// The fixes by kind, each adding its changes to the work in the order a repair makes them:
// timing first (the header's first in-cue follows the times), text, header, then the revision,
// which is made only when something else changed.

#include "RepairWork.h"

namespace repair {

void fixTiming(RepairWork& work);
void fixText(RepairWork& work);
void fixHeader(RepairWork& work);
void fixRevision(RepairWork& work);

}  // namespace repair
