// Help → About and the update check driven by tmUpdate.

#include <QCoreApplication>
#include <QTimer>
#include <QUrl>

#include "LumtraceBuildConfig.h"
#include "Unit1.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"
#include "viewer/product/NewVerCheck.h"
#include "viewer/product/VantorelAbout.h"

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

void TForm1::About1Click() {
    ShowAbout("Lumtrace", "2.0", "2012", this);
}

void TForm1::tmUpdateTimer() {
    platform::guardedVoid("TForm1.tmUpdateTimer", [this] {
        if (tmUpdateTag == 0) {
            tmUpdateTag = 1;
            InitializeVantorelUpdate();
            // A check still waiting on a silent server must not hold up the program's exit.
            connect(qApp, &QCoreApplication::aboutToQuit, qApp,
                    [] { DeinitializeVantorelUpdate(); });
        }
        bool needToUpdate = false;
        if (!CheckVantorelUpdateResult(needToUpdate)) return;
        tmUpdate->stop();
        DeinitializeVantorelUpdate();
        if (!FCheckForUpdates || !needToUpdate) return;
        const QString page = QStringLiteral(LUMTRACE_UPDATE_PAGE);
        if (userInteraction().confirm(this, updatePrompt()) && !page.isEmpty())
            userInteraction().openUrl(QUrl(page));
    });
}
