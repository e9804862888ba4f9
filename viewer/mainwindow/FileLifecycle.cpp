// Opening, loading, unloading and closing files in the main window.

#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "MainWindow.h"
#include "RecentFiles.h"
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"
#include "viewer/WaitCursor.h"
#include "viewer/hex/HexView.h"

namespace {

bool isExistingFile(const QString& name) {
    return QFileInfo(name).isFile();
}

}  // namespace

void MainWindow::clearDetails() {
    if (m_hexView)
        m_hexView->closeFile();
    else
        m_hexText->clear();
    m_gsiTree->clear();
    m_ttiTree->clear();
    refreshPreview(nullptr, -1);
}

bool MainWindow::loadFile(const QString& fileName, int nonStandardFramesPerSecond) {
    return platform::guarded("TForm1.LoadFile", false, [&] {
        clearDetails();
        m_fileName = fileName;
        m_stlReader.reset();
        m_nonStandardFramesPerSecond = nonStandardFramesPerSecond;
        const std::string path = QFile::encodeName(m_fileName).toStdString();

        showNonStandardBanner(QString());
        if (nonStandardFramesPerSecond == 0 && !isStlFile(path, true)) {
            // A file that is not STL leaves the window in the state without a file: the rows and
            // the caption of an earlier file would otherwise suggest it is still loaded.
            m_fileName.clear();
            m_nonStandardFramesPerSecond = 0;
            m_listModel->clear();
            clearDetails();
            refreshCaption();
            refreshEncodingStatus();
            m_subtitleList->viewport()->update();
            return false;
        }
        refreshCaption();

        m_stlReader = std::make_unique<StlReader>(StlVariant::Viewer);
        m_stlReader->allowNonStandard(nonStandardFramesPerSecond);
        if (m_stlReader->openFile(path, true) != S_OK) {
            userInteraction().showMessage(this, QStringLiteral("Cannot load file."));
            return false;
        }
        PGeneralSubtitleInformation gsi = nullptr;
        if (m_stlReader->getGeneralSubtitleInformation(&gsi) != S_OK || !gsi) {
            userInteraction().showMessage(this, QStringLiteral("Cannot load GSI."));
            return false;
        }
        fillGsiTree(*gsi);
        refreshSubtitleList();
        refreshEncodingStatus();

        m_hexView = std::make_unique<HexView>();
        m_hexView->init(m_hexText, m_hexScrollBar);
        m_hexView->openFile(path);
        m_subtitleList->viewport()->update();
        if (m_recentFiles) m_recentFiles->add(m_fileName);
        return true;
    });
}

bool MainWindow::unloadFile() {
    return platform::guarded("TForm1.UnloadFile", false, [&] {
        m_fileName.clear();
        m_stlReader.reset();
        m_nonStandardFramesPerSecond = 0;
        refreshCaption();
        m_subtitleList->viewport()->update();
        clearDetails();
        showNonStandardBanner(QString());
        refreshEncodingStatus();
        return true;
    });
}

void MainWindow::onOpenTriggered() {
    platform::guardedVoid("TForm1.Open1Click", [&] {
        const QString name = userInteraction().getOpenFileName(
            this, QString(), QString(), QStringLiteral("EBU STL Files (*.stl);;All Files (*)"));
        if (name.isEmpty()) return;
        // The file is opened by the bytes of its name; a name the dialog could only show with
        // replacement characters (not valid in the locale's encoding) names no file.
        if (QFile::decodeName(QFile::encodeName(name)) != name || !isExistingFile(name)) {
            userInteraction().showError(
                this, QStringLiteral("Cannot open \"%1\": no such file, or its name cannot be "
                                     "read in this locale.")
                          .arg(name));
            return;
        }
        openChosenFile(name);
    });
}

void MainWindow::onCloseTriggered() {
    platform::guardedVoid("TForm1.Close1Click", [&] {
        unloadFile();
        m_listModel->clear();
    });
}

void MainWindow::onExitTriggered() {
    close();
}

void MainWindow::dropFiles(const QStringList& fileNames) {
    platform::guardedVoid("TForm1.WMDROPFILES", [&] {
        WaitCursor wait;
        for (const QString& name : fileNames) {
            if (!isExistingFile(name)) continue;
            unloadFile();
            loadFile(name);
        }
    });
}
