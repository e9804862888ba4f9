// Tools → Validation.

#include "Unit1.h"
#include "viewer/UserInteraction.h"

void TForm1::Validation1Click() {
    if (!STLReader()) userInteraction().showError(this, "There is no file loaded.");
}
