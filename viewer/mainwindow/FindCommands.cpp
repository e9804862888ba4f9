// Edit menu and Find: the find bar under the subtitle list searches the subtitles' text as read
// (the subtitle model's plain rows), selects each match in the list and says where it stands.

#include <QAction>
#include <QKeySequence>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>

#include "FindBar.h"
#include "MainWindow.h"
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "TextSearch.h"
#include "platform/Guarded.h"

namespace {

QString grouped(int n) {
    return QLocale(QLocale::English).toString(n);
}

// Searches from the selected row: Direction 0 takes a match on it, 1 and -1 move past it.
void findFrom(MainWindow& form, int direction) {
    FindBar& bar = *form.m_findBar;
    SubtitleListModel& model = *form.m_listModel;
    if (bar.text().isEmpty()) {
        bar.setStatus(QString());
        return;
    }
    model.ensureReadings();
    const std::vector<int> subtitles =
        subtitlesContaining(model.facts(), bar.text().toStdU16String(), bar.ignoreCaseAndAccents());
    std::vector<int> rows;
    rows.reserve(subtitles.size());
    for (const int s : subtitles)
        rows.push_back(model.rowOfBlock(model.facts().subtitles()[std::size_t(s)].firstBlock));
    std::sort(rows.begin(), rows.end());
    const QModelIndex current = form.m_subtitleList->currentIndex();
    const FindStep step = stepThrough(rows, current.isValid() ? current.row() : -1, direction);
    if (step.match < 0) {
        bar.setStatus(QStringLiteral("No match"));
        return;
    }
    const int row = rows[std::size_t(step.match)];
    form.selectRow(static_cast<int>(model.blockAt(row)));
    QString status = QStringLiteral("%1 of %2")
                         .arg(grouped(step.match + 1), grouped(static_cast<int>(rows.size())));
    if (step.wrapped)
        status += direction < 0 ? QStringLiteral(" · Search wrapped to the bottom")
                                : QStringLiteral(" · Search wrapped to the top");
    bar.setStatus(status);
}

}  // namespace

void MainWindow::createEditMenu() {
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    m_copyAction =
        edit->addAction(QStringLiteral("&Copy"), this, [this] { copySelectedSubtitle(); });
    m_copyAction->setShortcut(QKeySequence::Copy);
    // Ctrl+C copies a subtitle only where the list has the focus; elsewhere it copies as usual.
    m_copyAction->setShortcutContext(Qt::WidgetShortcut);
    m_subtitleList->addAction(m_copyAction);
    edit->addSeparator();
    m_findAction = edit->addAction(QStringLiteral("&Find..."), this, [this] { onFindTriggered(); });
    m_findAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_findNextAction =
        edit->addAction(QStringLiteral("Find &Next"), this, [this] { findAgain(false); });
    m_findNextAction->setShortcut(QKeySequence(Qt::Key_F3));
    m_findPreviousAction =
        edit->addAction(QStringLiteral("Find Pre&vious"), this, [this] { findAgain(true); });
    m_findPreviousAction->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    edit->addSeparator();
    m_goToAction =
        edit->addAction(QStringLiteral("&Go To..."), this, [this] { onGoToTriggered(); });
    m_goToAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
}

void MainWindow::createFindBar(QWidget* central) {
    m_findBar = new FindBar(central);
    central->layout()->addWidget(m_findBar);
    m_findBar->hide();
    connect(m_findBar, &FindBar::searchChanged, this,
            [this] { platform::guardedVoid("Find", [&] { findFrom(*this, 0); }); });
    connect(m_findBar, &FindBar::findRequested, this,
            [this](bool backwards) { findAgain(backwards); });
    connect(m_findBar, &FindBar::closed, this, [this] { m_subtitleList->setFocus(); });
}

void MainWindow::onFindTriggered() {
    platform::guardedVoid("Find", [&] {
        m_findBar->open();
        // The texts are read now rather than on the first key typed.
        m_listModel->ensureReadings();
    });
}

void MainWindow::findAgain(bool backwards) {
    platform::guardedVoid("Find", [&] {
        if (m_findBar->text().isEmpty()) {
            onFindTriggered();
            return;
        }
        if (m_findBar->isHidden()) m_findBar->show();
        findFrom(*this, backwards ? -1 : 1);
    });
}
