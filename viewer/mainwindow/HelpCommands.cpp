// Help → About and the update check driven by tmUpdate.

#include <QCoreApplication>
#include <QTimer>
#include <QUrl>

#include "LumtraceBuildConfig.h"
#include "MainWindow.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"
#include "viewer/product/AboutDialog.h"
#include "viewer/product/UpdateCheck.h"

namespace {

QString updatePrompt() {
    QString text = QStringLiteral(
                       "A new version of Lumtrace is available on the Vantorel web "
                       "site:\n%1")
                       .arg(QStringLiteral(LUMTRACE_WEB_SITE));
    const QString notes = QStringLiteral(LUMTRACE_RELEASE_NOTES);
    if (!notes.isEmpty()) text += QStringLiteral("\n\nWhat is new: %1").arg(notes);
    return text + QStringLiteral("\n\nDo you want to update to the latest version?");
}

}  // namespace

void MainWindow::onAboutTriggered() {
    showAbout("Lumtrace", "2.0", "2012", this);
}

void MainWindow::onUpdateTimer() {
    platform::guardedVoid("TForm1.tmUpdateTimer", [this] {
        if (m_updateTimerTag == 0) {
            m_updateTimerTag = 1;
            initializeVantorelUpdate();
            // A check still waiting on a silent server must not hold up the program's exit.
            connect(qApp, &QCoreApplication::aboutToQuit, qApp,
                    [] { deinitializeVantorelUpdate(); });
        }
        bool needToUpdate = false;
        if (!checkVantorelUpdateResult(needToUpdate)) return;
        m_updateTimer->stop();
        deinitializeVantorelUpdate();
        if (!m_checkForUpdates || !needToUpdate) return;
        const QString page = QStringLiteral(LUMTRACE_UPDATE_PAGE);
        if (userInteraction().confirm(this, updatePrompt()) && !page.isEmpty())
            userInteraction().openUrl(QUrl(page));
    });
}
