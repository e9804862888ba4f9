// Edit > Go To: a subtitle by its number, a block by its row number (#12), or the subtitle on
// screen at a time code (or the next one to come).

#include <QRegularExpression>

#include "GoToDialog.h"
#include "MainWindow.h"
#include "SubtitleListModel.h"
#include "platform/Guarded.h"

namespace {

// Frames of HH:MM:SS:FF at Fps; nullopt for anything else or a frame past the second.
std::optional<std::int64_t> timeCodeFrames(const QString& text, int fps) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,2}):(\\d{2}):(\\d{2})[:;.](\\d{2})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int h = m.captured(1).toInt(), mi = m.captured(2).toInt(), s = m.captured(3).toInt(),
              f = m.captured(4).toInt();
    if (mi > 59 || s > 59 || f >= fps) return std::nullopt;
    return (std::int64_t{h} * 3600 + mi * 60 + s) * fps + f;
}

// The subtitle on screen at Frame (the first in file order), or else the next to start; -1.
int subtitleAtOrAfter(const SubtitleFacts& facts, std::int64_t frame) {
    int next = -1;
    const auto& subtitles = facts.subtitles();
    for (std::size_t i = 0; i < subtitles.size(); ++i) {
        const auto& s = subtitles[i];
        if (s.comment) continue;
        if (s.in <= frame && frame < s.out) return static_cast<int>(i);
        if (s.in > frame && (next < 0 || s.in < subtitles[std::size_t(next)].in))
            next = static_cast<int>(i);
    }
    return next;
}

}  // namespace

QString MainWindow::goTo(const QString& target) {
    const SubtitleFacts& facts = m_listModel->facts();
    const int blocks = m_listModel->rowCount();
    if (target.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const int row = target.mid(1).toInt(&ok);
        if (!ok || row < 1 || row > blocks) return QStringLiteral("No row %1.").arg(target);
        selectRow(row - 1);
        return {};
    }
    bool isNumber = false;
    const int number = target.toInt(&isNumber);
    if (isNumber) {
        for (const auto& s : facts.subtitles())
            if (s.number == number) {
                selectRow(static_cast<int>(s.firstBlock));
                return {};
            }
        return QStringLiteral("No subtitle number %1.").arg(target);
    }
    if (const auto frame = timeCodeFrames(target, facts.framesPerSecond())) {
        const int s = subtitleAtOrAfter(facts, *frame);
        if (s < 0) return QStringLiteral("No subtitle at or after %1.").arg(target);
        selectRow(static_cast<int>(facts.subtitles()[std::size_t(s)].firstBlock));
        return {};
    }
    return QStringLiteral(
        "Type a subtitle number, a row number such as #12 or a time code HH:MM:SS:FF.");
}

void MainWindow::onGoToTriggered() {
    platform::guardedVoid("GoTo", [&] {
        if (!m_stlReader) return;
        GoToDialog dialog(this, [this](const QString& target) { return goTo(target); });
        dialog.exec();
    });
}
