// Tools → Validation.

#include "Unit1.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"
#include "viewer/validation/MediaValidationFrm.h"

void TForm1::Validation1Click() {
    platform::guardedVoid("TForm1.Validation1Click", [&] {
        if (!STLReader()) {
            userInteraction().showError(this, QStringLiteral("There is no file loaded."));
            return;
        }
        // Without the plug-in (not found at start-up, or not loadable) nothing opens and
        // nothing is said.
        if (ValidationModule().empty()) return;
        ShowMediaValidation(ValidationModule(), FileName(), this);
    });
}
