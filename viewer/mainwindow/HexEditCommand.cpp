// Tools → Hex Edit GSI / Hex Edit Selected TTI.

#include "Unit1.h"
#include "viewer/UserInteraction.h"

void TForm1::HexEditClick(int /*Tag*/) {
    if (!STLReader()) userInteraction().showError(this, "There is no file loaded.");
}
