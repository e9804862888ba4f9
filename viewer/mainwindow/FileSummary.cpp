// The status bar's note on the open file: its subtitles and blocks, how long the programme runs
// (from the first subtitle in to the last out) and its frame rate.

#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <algorithm>

#include "MainWindow.h"
#include "SubtitleListModel.h"
#include "stl/StlUtils.h"

QString MainWindow::fileSummaryText() const {
    if (!m_stlReader) return {};
    const SubtitleFacts& facts = m_listModel->facts();
    const QLocale english(QLocale::English);
    const auto count = [&](std::size_t n, const char* one, const char* many) {
        return english.toString(static_cast<qulonglong>(n)) + QLatin1Char(' ') +
               QString::fromLatin1(n == 1 ? one : many);
    };
    QStringList parts{count(facts.subtitles().size(), "subtitle", "subtitles"),
                      count(std::size_t(m_listModel->rowCount()), "block", "blocks")};
    std::int64_t first = 0, last = 0;
    bool any = false;
    for (const auto& s : facts.subtitles()) {
        if (s.comment) continue;
        first = any ? std::min(first, s.in) : s.in;
        last = any ? std::max(last, s.out) : s.out;
        any = true;
    }
    const int fps = facts.framesPerSecond();
    if (any && last > first)
        parts << QStringLiteral("%1 long").arg(
            QString::fromStdString(formatFrames(last - first, fps)));
    parts << QStringLiteral("%1 fps").arg(fps);
    return parts.join(QStringLiteral(" · "));
}

void MainWindow::refreshFileSummary() {
    if (!m_fileSummary) {
        m_fileSummary = new QLabel(this);
        m_fileSummary->setObjectName(QStringLiteral("fileSummary"));
        statusBar()->addPermanentWidget(m_fileSummary);
    }
    m_fileSummary->setText(fileSummaryText());
}
