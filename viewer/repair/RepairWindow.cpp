#include "RepairWindow.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "ChangePreview.h"
#include "ChangeTreeModel.h"
#include "RepairOptionsPanel.h"
#include "RepairSave.h"
#include "viewer/UserInteraction.h"
#include "viewer/WaitCursor.h"
#include "viewer/preview/SubtitlePreview.h"

namespace repairwindow {

namespace {

QString counted(std::size_t count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// Top over Rest, Rest taking the height.
QWidget* stacked(QWidget* top, QWidget* rest) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(top);
    layout->addWidget(rest, 1);
    return box;
}

}  // namespace

RepairWindow::RepairWindow(const QString& fileName, repair::RepairSource source,
                           std::uint16_t codePage, OpenFile openWritten, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_fileName(fileName),
      m_source(std::move(source)),
      m_codePage(codePage),
      m_openWritten(std::move(openWritten)) {
    setObjectName(QStringLiteral("repairWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Repair %1").arg(QFileInfo(fileName).fileName()));

    m_options = new RepairOptionsPanel(repair::frameRate(m_source.document.gsi));
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_options);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setMinimumWidth(m_options->sizeHint().width() + 24);

    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(createChanges());
    right->addWidget(createPreviews());
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(scroll);
    split->addWidget(right);
    split->setStretchFactor(1, 1);

    auto* note = new QLabel;
    note->setObjectName(QStringLiteral("nonStandardLabel"));
    note->setWordWrap(true);
    if (m_source.check.canOpenReadOnly())
        note->setText(QStringLiteral("This is a non-standard file (%1), opened read-only: the "
                                     "repair is written to a new file.")
                          .arg(QString::fromStdString(m_source.check.reason)));
    note->setVisible(m_source.check.canOpenReadOnly());

    m_apply = new QPushButton(QStringLiteral("&Apply..."));
    m_apply->setObjectName(QStringLiteral("applyButton"));
    connect(m_apply, &QPushButton::clicked, this, [this] { apply(); });
    auto* close = new QPushButton(QStringLiteral("&Close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_summary = new QLabel, 1);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    buttons->addWidget(m_apply);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(m_options, &RepairOptionsPanel::optionsChanged, this, [this] { propose(); });
    connect(m_model, &ChangeTreeModel::chosenChanged, this, [this] { refreshChosen(); });
    m_options->chooseStartingFixes();

    QSize size(1200, 820);
    if (const QScreen* screen = parent ? parent->screen() : nullptr)
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
}

RepairWindow::~RepairWindow() = default;

QWidget* RepairWindow::createChanges() {
    m_model = new ChangeTreeModel(this);
    m_view = new QTreeView;
    m_view->setObjectName(QStringLiteral("changeView"));
    m_view->setModel(m_model);
    m_view->setUniformRowHeights(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setAllColumnsShowFocus(true);
    m_view->header()->setStretchLastSection(true);
    m_view->setColumnWidth(ChangeTreeModel::Place, 220);
    m_view->setColumnWidth(ChangeTreeModel::Field, 150);
    m_view->setColumnWidth(ChangeTreeModel::Before, 90);
    m_view->setColumnWidth(ChangeTreeModel::After, 90);
    m_view->setColumnWidth(ChangeTreeModel::Fixes, 90);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { showCurrent(); });

    m_all = new QCheckBox(QStringLiteral("All changes"));
    m_all->setObjectName(QStringLiteral("allBox"));
    m_all->setTristate(true);
    // A click chooses all unless all are chosen; the box itself only shows the state.
    connect(m_all, &QCheckBox::clicked, this,
            [this] { m_model->setAllChosen(m_model->allState() != Qt::Checked); });
    return stacked(m_all, m_view);
}

QWidget* RepairWindow::createPreviews() {
    m_before = new SubtitlePreview;
    m_before->setObjectName(QStringLiteral("previewBefore"));
    m_after = new SubtitlePreview;
    m_after->setObjectName(QStringLiteral("previewAfter"));
    m_beforeCaption = new QLabel(QStringLiteral("Before"));
    auto* previews = new QSplitter(Qt::Horizontal);
    previews->addWidget(stacked(m_beforeCaption, m_before));
    previews->addWidget(stacked(new QLabel(QStringLiteral("After this change")), m_after));
    return previews;
}

void RepairWindow::propose() {
    const std::optional<repair::Options> options = m_options->options();
    if (!options) {
        m_model->setProposal({});
        m_summary->setText(m_options->problem());
        return;
    }
    WaitCursor wait;
    m_model->setProposal(repair::propose(m_source.document, *options));
    // A fix's row reads across the columns: its name, counts and what it does.
    for (int group = 0; group < m_model->rowCount(); ++group) {
        m_view->setFirstColumnSpanned(group, {}, true);
        m_view->expand(m_model->index(group, 0));
    }
    // The first change shows at once, so the previews are never blank.
    const QModelIndex first = m_model->index(0, 0, m_model->index(0, 0));
    if (first.isValid())
        m_view->setCurrentIndex(first);
    else
        showCurrent();
}

void RepairWindow::refreshChosen() {
    const repair::Proposal& proposal = m_model->proposal();
    QString text = proposal.changes.empty()
                       ? QStringLiteral("Nothing to change.")
                       : QStringLiteral("%1, %2 chosen.")
                             .arg(counted(proposal.changes.size(), "change", "changes"))
                             .arg(m_model->chosenCount());
    if (!proposal.notFixed.empty())
        text += QStringLiteral(" %1 not fixed.").arg(proposal.notFixed.size());
    m_summary->setText(text);
    m_all->setCheckState(m_model->allState());
    m_all->setEnabled(!proposal.changes.empty());
    m_apply->setEnabled(m_model->chosenCount() > 0);
}

void RepairWindow::showCurrent() {
    const QModelIndex current = m_view->currentIndex();
    const repair::Change* change = m_model->changeAt(current);
    const repair::NotFixed* notFixed = m_model->notFixedAt(current);
    const repair::Place* place = change ? &change->place : notFixed ? &notFixed->place : nullptr;
    // A header change shows on the subtitle shown last (the display standard changes how it
    // looks), or on the first.
    if (place && !place->header)
        m_shownBlock = place->block;
    else if (m_shownBlock < 0 && !m_source.document.subtitles.empty())
        m_shownBlock = m_source.document.subtitles.front().firstBlock;
    if (m_shownBlock < 0) {
        m_before->clear();
        m_after->clear();
        return;
    }
    BeforeAfter shown = changePreview(m_source.document, static_cast<std::uint32_t>(m_shownBlock),
                                      change, m_codePage);
    m_before->showLayout(std::move(shown.before));
    m_after->showLayout(std::move(shown.after));
    m_beforeCaption->setText(place && !place->header
                                 ? QStringLiteral("Before: ") + placeText(*place)
                                 : QStringLiteral("Before"));
}

void RepairWindow::apply() {
    if (m_model->chosenCount() == 0) return;
    std::string bytes = m_source.bytes;
    repair::applyChanges(bytes, m_model->proposal(), m_model->chosen());
    const QString written =
        saveRepairedFile(this, m_fileName, m_source.check.canOpenReadOnly(), m_source.bytes, bytes);
    if (written.isEmpty()) return;
    // The changes were worked out for the file as it was; the new one is looked at from the
    // main window.
    close();
    if (m_openWritten) m_openWritten(written);
}

RepairWindow* showRepairWindow(const QString& fileName, std::uint16_t codePage, QWidget* parent,
                               RepairWindow::OpenFile openWritten) {
    WaitCursor wait;
    repair::RepairSource source =
        repair::readRepairSource(QFile::encodeName(fileName).toStdString());
    if (!source.error.empty()) {
        userInteraction().showError(parent,
                                    QStringLiteral("Cannot repair \"%1\": %2")
                                        .arg(fileName, QString::fromStdString(source.error)));
        return nullptr;
    }
    auto* window =
        new RepairWindow(fileName, std::move(source), codePage, std::move(openWritten), parent);
    window->show();
    return window;
}

}  // namespace repairwindow
