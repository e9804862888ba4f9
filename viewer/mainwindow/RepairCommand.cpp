// Tools > Repair...: the window works on the loaded file as it is on disk and hands the file it
// writes back to be opened here.

#include "MainWindow.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"
#include "viewer/repair/RepairWindow.h"

void MainWindow::onRepairTriggered() {
    platform::guardedVoid("TForm1.Repair1Click", [&] {
        if (!stlReader()) {
            userInteraction().showError(this, QStringLiteral("There is no file loaded."));
            return;
        }
        repairwindow::showRepairWindow(fileName(), textCodePage(), this,
                                       [this](const QString& written) { openChosenFile(written); });
    });
}
