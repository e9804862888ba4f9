#include "FixSteps.h"

namespace repair {

void fixText(RepairWork&) {}

}  // namespace repair
