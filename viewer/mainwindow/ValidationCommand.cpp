// Tools → Validation.

#include <QCoreApplication>
#include <QDir>

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
        if (validationModule().empty()) {
            userInteraction().showError(
                this, QStringLiteral("Validation is not available: the validation plug-in %1 was "
                                     "not found beside the program in\n%2")
                          .arg(QString::fromLatin1(pluginFileName),
                               QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
            return;
        }
        showValidationWindow(validationModule(), fileName(), this,
                             [this](int block) { selectRow(block); });
    });
}
