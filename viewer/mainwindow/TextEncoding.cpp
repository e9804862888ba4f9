// Which tables decode the text: the file's own (Automatic) or the code page the user chose, and
// the status bar line that says which.

#include <QLabel>
#include <QStatusBar>

#include "MainWindow.h"
#include "stl/TextTables.h"

std::uint16_t MainWindow::textCodePage() const {
    if (m_autoCodePage && m_stlReader) {
        if (const auto table = characterCodeTable(m_stlReader->generalSubtitleInformation()))
            return table->codePage;
    }
    return static_cast<std::uint16_t>(m_codePage);
}

std::uint16_t MainWindow::gsiTextCodePage() const {
    if (m_autoCodePage && m_stlReader) {
        if (const auto page = gsiCodePage(m_stlReader->generalSubtitleInformation())) return *page;
    }
    return 0;
}

QString MainWindow::encodingStatusText() const {
    const QString chosen = QStringLiteral("code page %1").arg(m_codePage);
    if (!m_stlReader)
        return m_autoCodePage ? QStringLiteral("Text: automatic, from the file")
                              : QStringLiteral("Text: ") + chosen;
    if (!m_autoCodePage) return QStringLiteral("Text: ") + chosen + QStringLiteral(" (chosen)");
    const GeneralSubtitleInformation& gsi = m_stlReader->generalSubtitleInformation();
    QString status;
    if (const auto table = characterCodeTable(gsi))
        status = QStringLiteral("Text: character code table %1, %2")
                     .arg(QString::fromLatin1(characterCodeTableText(gsi)),
                          QString::fromLatin1(table->name));
    else
        status = QStringLiteral("Text: character code table \"%1\" is unknown, shown with %2")
                     .arg(QString::fromLatin1(characterCodeTableText(gsi)), chosen);
    if (const auto page = gsiCodePage(gsi))
        status += QStringLiteral(" · Header: code page %1").arg(*page);
    else
        status += QStringLiteral(" · Header: the system's code page");
    return status;
}

void MainWindow::refreshEncodingStatus() {
    if (!m_encodingStatus) {
        m_encodingStatus = new QLabel(this);
        m_encodingStatus->setObjectName(QStringLiteral("encodingStatus"));
        statusBar()->addWidget(m_encodingStatus, 1);
    }
    m_encodingStatus->setText(encodingStatusText());
    refreshFileSummary();
}
