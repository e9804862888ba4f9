// Refused files: the reason in the message, and a read-only look at the two kinds of
// non-standard file real deliveries contain (an unusual frame rate, blocks missing at the end).

#include <QBoxLayout>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include "MainWindow.h"
#include "stl/FormatCheck.h"
#include "viewer/UserInteraction.h"
#include "viewer/WaitCursor.h"

void MainWindow::explainRefusal(const QString& fileName) {
    const FormatCheck check = checkStlFormat(QFile::encodeName(fileName).toStdString());
    QString text = QStringLiteral("Not valid EBU STL file");
    if (!check.reason.empty())
        text += QStringLiteral("\n\n") + QString::fromStdString(check.reason);
    if (!check.canOpenReadOnly()) {
        userInteraction().showMessage(this, text);
        return;
    }
    text += QStringLiteral(
        "\n\nIt can be opened read-only; nothing is written to it unless you "
        "save a hex edit.");
    if (!userInteraction().offer(this, text, QStringLiteral("Open Anyway"))) return;
    WaitCursor wait;
    if (loadFile(fileName, check.framesPerSecond))
        showNonStandardBanner(QString::fromStdString(check.reason));
    else
        userInteraction().showMessage(this, QStringLiteral("Cannot load file."));
}

void MainWindow::openNamedFile(const QString& fileName) {
    if (!QFileInfo(fileName).isFile()) {
        userInteraction().showError(this, QStringLiteral("Cannot find the file %1.").arg(fileName));
        return;
    }
    WaitCursor wait;
    if (!loadFile(fileName)) explainRefusal(fileName);
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
    m_nonStandardBanner->setText(QStringLiteral("Non-standard file, shown read-only: ") + reason);
    m_nonStandardBanner->setVisible(!reason.isEmpty());
}
