// Options → Font, Options → Encoding and Help → Check For Updates.

#include <QAction>
#include <QActionGroup>
#include <QFontInfo>

#include "CodePageDialog.h"
#include "EncodingMenu.h"
#include "MainWindow.h"
#include "SubtitleListView.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"

void MainWindow::refreshEncodingMenu(std::int32_t codePage, bool automatic) {
    if (automatic) {
        m_automaticEncodingAction->setChecked(true);
        return;
    }
    for (QAction* item : m_encodingGroup->actions()) {
        const int tag = item->data().toInt();
        if (tag >= 0 && tag == codePage) {
            item->setChecked(true);
            return;
        }
    }
    m_otherEncodingAction->setChecked(true);
}

void MainWindow::onEncodingTriggered(QAction* sender) {
    platform::guardedVoid("TForm1.GeneralEncodingClick", [&] {
        m_codePage = sender->data().toInt();
        m_autoCodePage = false;
        refreshTexts();
        refreshEncodingMenu(m_codePage, m_autoCodePage);
    });
}

void MainWindow::onOtherCodePageTriggered() {
    platform::guardedVoid("TForm1.Otherentercodepagemanually1Click", [&] {
        getEncoding(m_codePage, this);
        m_autoCodePage = false;
        refreshTexts();
        refreshEncodingMenu(m_codePage, m_autoCodePage);
    });
}

void MainWindow::onAutomaticCodePageTriggered() {
    platform::guardedVoid("TForm1.AutomaticfromGSIblock1Click", [&] {
        m_autoCodePage = true;
        refreshTexts();
        refreshEncodingMenu(m_codePage, m_autoCodePage);
    });
}

void MainWindow::refreshTexts() {
    refreshSubtitleList();
    if (m_stlReader) fillGsiTree(m_stlReader->generalSubtitleInformation());
    refreshEncodingStatus();
}

void MainWindow::onFontTriggered() {
    platform::guardedVoid("TForm1.Font1Click", [&] {
        // The dialog opens on the face the list really shows.
        QFont shown = m_subtitleList->font();
        shown.setFamily(QFontInfo(shown).family());
        // Without the face's own style name the dialog preselects its first style ("Oblique").
        shown.setStyleName(QFontInfo(shown).styleName());
        if (const auto font = userInteraction().chooseFont(this, shown)) {
            m_listFontWanted = *font;
            m_subtitleList->setFont(*font);
        }
    });
}

void MainWindow::onCheckForUpdatesTriggered() {
    m_checkForUpdates = !m_checkForUpdates;
    m_checkForUpdatesAction->setChecked(m_checkForUpdates);
}
