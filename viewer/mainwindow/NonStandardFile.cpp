// Refused files: the reason in the message, and a read-only look at the two kinds of
// non-standard file real deliveries contain (an unusual frame rate, blocks missing at the end).

#include <QBoxLayout>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include "MainWindow.h"
#include "SubtitleListModel.h"
#include "stl/FormatCheck.h"
#include "viewer/UserInteraction.h"
#include "viewer/WaitCursor.h"

namespace {

QString refusalText(const FormatCheck& check) {
    QString text = QStringLiteral("Not valid EBU STL file");
    if (!check.reason.empty())
        text += QStringLiteral("\n\n") + QString::fromStdString(check.reason);
    return text;
}

}  // namespace

void MainWindow::explainRefusal(const QString& fileName) {
    const FormatCheck check = checkStlFormat(QFile::encodeName(fileName).toStdString());
    if (!check.canOpenReadOnly()) {
        userInteraction().showMessage(this, refusalText(check));
        return;
    }
    offerOpenAnyway(fileName, check);
}

bool MainWindow::offerOpenAnyway(const QString& fileName, const FormatCheck& check) {
    const QString text = refusalText(check) +
                         QStringLiteral(
                             "\n\nIt can be opened read-only; nothing is written to it unless you "
                             "save a hex edit.");
    if (!userInteraction().offer(this, text, QStringLiteral("Open Anyway"))) return false;
    WaitCursor wait;
    if (loadFile(fileName, check.framesPerSecond)) {
        showNonStandardBanner(QString::fromStdString(check.reason));
        return true;
    }
    userInteraction().showMessage(this, QStringLiteral("Cannot load file."));
    return false;
}

void MainWindow::openChosenFile(const QString& fileName) {
    // A file that can only be opened anyway is asked about before anything is unloaded, so that
    // Cancel leaves the file that was open as it was.
    const std::string path = QFile::encodeName(fileName).toStdString();
    if (!isStlFile(path, true)) {
        const FormatCheck check = checkStlFormat(path);
        if (check.canOpenReadOnly()) {
            offerOpenAnyway(fileName, check);
            return;
        }
    }
    WaitCursor wait;
    if (!loadFile(fileName)) explainRefusal(fileName);
}

bool MainWindow::reloadFile(const QString& fileName) {
    const bool openedAnyway = m_nonStandardFramesPerSecond != 0;
    const auto load = [&](int framesPerSecond) {
        WaitCursor wait;
        return loadFile(fileName, framesPerSecond);
    };
    unloadFile();
    // A file opened anyway is opened the same way again, with what it is now: an edit may have
    // made it standard, or changed why it is not.
    const FormatCheck check = checkStlFormat(QFile::encodeName(fileName).toStdString());
    if (!openedAnyway || check.verdict == FormatCheck::Verdict::Standard) {
        if (load(0)) return true;
        explainRefusal(fileName);
        return m_stlReader != nullptr;
    }
    if (!check.canOpenReadOnly()) {
        m_listModel->clear();
        userInteraction().showMessage(this, refusalText(check));
        return false;
    }
    if (!load(check.framesPerSecond)) {
        userInteraction().showMessage(this, QStringLiteral("Cannot load file."));
        return false;
    }
    showNonStandardBanner(QString::fromStdString(check.reason));
    return true;
}

void MainWindow::openNamedFile(const QString& fileName) {
    if (!QFileInfo(fileName).isFile()) {
        userInteraction().showError(this, QStringLiteral("Cannot find the file %1.").arg(fileName));
        return;
    }
    openChosenFile(fileName);
}

void MainWindow::showNonStandardBanner(const QString& reason) {
    if (!m_nonStandardBanner) {
        if (reason.isEmpty()) return;
        m_nonStandardBanner = new QLabel(m_listPanel);
        m_nonStandardBanner->setObjectName(QStringLiteral("nonStandardBanner"));
        m_nonStandardBanner->setWordWrap(true);
        m_nonStandardBanner->setMargin(4);
        // Colours from the palette's own roles, so the banner reads in light and dark themes.
        m_nonStandardBanner->setBackgroundRole(QPalette::ToolTipBase);
        m_nonStandardBanner->setForegroundRole(QPalette::ToolTipText);
        m_nonStandardBanner->setAutoFillBackground(true);
        if (auto* layout = qobject_cast<QBoxLayout*>(m_listPanel->layout()))
            layout->insertWidget(0, m_nonStandardBanner);
    }
    m_nonStandardBanner->setText(
        QStringLiteral("Non-standard file, opened anyway; only a saved hex edit writes to it: ") +
        reason);
    m_nonStandardBanner->setVisible(!reason.isEmpty());
}
