// Tools → Validation.

#include "MainWindow.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"
#include "viewer/validation/ValidationWindow.h"

void MainWindow::onValidationTriggered() {
    platform::guardedVoid("TForm1.Validation1Click", [&] {
        if (!stlReader()) {
            userInteraction().showError(this, QStringLiteral("There is no file loaded."));
            return;
        }
        // Without the plug-in (not found at start-up, or not loadable) nothing opens and
        // nothing is said.
        if (validationModule().empty()) return;
        showValidationWindow(validationModule(), fileName(), this);
    });
}
