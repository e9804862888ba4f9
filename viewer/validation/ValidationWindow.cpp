#include "ValidationWindow.h"

#include <malloc.h>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "FindingFilterBar.h"
#include "ReportListModel.h"

#include "host/HostText.h"
#include "host/RefusalReason.h"
#include "platform/Guarded.h"
#include "stl/FormatCheck.h"
#include "viewer/GridLineDelegate.h"
#include "viewer/UserInteraction.h"

using platform::guarded;
using platform::guardedVoid;

namespace {

const QString startCaption = QStringLiteral("&Start Validation");
const QString stopCaption = QStringLiteral("S&top Validation");

QString fromNarrow(const std::string& text) {
    return QString::fromStdString(validationhost::narrowToUtf8(text));
}

// Why the plug-in turned the file away: its reader's words, and what the format check finds
// (a file opened anyway is shown by the viewer but refused by the plug-in). Empty when neither
// can tell.
QString whyNotValidated(const std::string& path) {
    QString text;
    const std::string refusal = validationhost::refusalReason(path);
    if (!refusal.empty())
        text += QStringLiteral("\n\nThe validation plug-in refuses it: ") + fromNarrow(refusal) +
                QLatin1Char('.');
    const FormatCheck check = checkStlFormat(path);
    if (!check.reason.empty()) text += QStringLiteral("\n\n") + fromNarrow(check.reason);
    return text;
}

}  // namespace

ValidationWindow::ValidationWindow(QWidget* parent)
    : QDialog(parent), PluginHost("TMediaValidationForm") {
    createControls();
}

ValidationWindow::~ValidationWindow() {
    // Never leave the plug-in's worker reporting into a window that is going away.
    m_pollTimer->stop();
    if (isRunning()) stopValidation();
    // The list goes before the host part's findings, which it reads while the dialog hides it;
    // its row layout for a big run is given back with it.
    delete gbReport;
    malloc_trim(0);
}

void ValidationWindow::createControls() {
    setWindowTitle(QStringLiteral("Media Validation"));
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));

    gbReport = new QGroupBox(QStringLiteral("Report"), this);
    lvReport = new QTreeView(gbReport);
    m_reportModel = new ReportListModel(reportList(), lvReport);
    lvReport->setModel(m_reportModel);
    sizeColumnsToFont();
    lvReport->setRootIsDecorated(false);
    lvReport->setUniformRowHeights(true);
    lvReport->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvReport->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvReport->setSelectionMode(QAbstractItemView::SingleSelection);
    // Double-click and Enter do the same: a group opens or closes, a finding leads to its
    // subtitle in the main window.
    lvReport->setExpandsOnDoubleClick(false);
    connect(lvReport, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (m_reportModel->isGroup(index)) {
            // The view keeps a row's open state on its first cell.
            const QModelIndex group = index.siblingAtColumn(0);
            lvReport->setExpanded(group, !lvReport->isExpanded(group));
            return;
        }
        const std::int32_t block = m_reportModel->blockOf(index);
        if (block >= 0) emit findingActivated(block);
    });
    filterBar = new FindingFilterBar(gbReport);
    connect(filterBar, &FindingFilterBar::filterChanged, this, [this] { applyFilter(); });
    auto* reportLayout = new QVBoxLayout(gbReport);
    reportLayout->addWidget(filterBar);
    reportLayout->addWidget(lvReport);

    btnValidation = new QPushButton(startCaption, this);
    edProgress = new QLineEdit(QStringLiteral("Progress:"), this);
    edProgress->setEnabled(false);
    btnSettings = new QPushButton(QStringLiteral("Se&ttings"), this);
    btnSaveReport = new QPushButton(QStringLiteral("Save &Report"), this);
    btnClose = new QPushButton(QStringLiteral("&Close"), this);
    // Enter in the window must not start or stop anything by itself.
    for (QPushButton* button : {btnValidation, btnSettings, btnSaveReport, btnClose})
        button->setAutoDefault(false);
    // Space starts the run from the keyboard as soon as the window opens.
    btnValidation->setFocus();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnValidation);
    buttons->addWidget(edProgress, 1);
    buttons->addWidget(btnSettings);
    buttons->addWidget(btnSaveReport);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbReport, 1);
    layout->addLayout(buttons);

    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(100);

    connect(btnValidation, &QPushButton::clicked, this, [this] { btnValidationClick(); });
    connect(btnSettings, &QPushButton::clicked, this, [this] { btnSettingsClick(); });
    connect(btnSaveReport, &QPushButton::clicked, this, [this] { btnSaveReportClick(); });
    connect(btnClose, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_pollTimer, &QTimer::timeout, this, [this] { onPollTimer(); });

    resize(designedClientWidth, designedClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void ValidationWindow::sizeColumnsToFont() {
    // The designed widths hold the texts only in the designed font; wider fonts get wider columns.
    const QFontMetrics metrics(lvReport->font());
    const int margins =
        2 * (lvReport->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lvReport) + 1) +
        metrics.averageCharWidth();
    const auto widest = [&](int designed, const std::vector<QString>& texts) {
        int width = designed;
        for (const QString& text : texts)
            width = std::max(width, metrics.horizontalAdvance(text) + margins);
        return width;
    };
    std::vector<QString> modules{QStringLiteral("Module")};
    for (std::int32_t module : {0, 1, 2, 3, 4, 5, 6, 7, 8, 99, 101})
        modules.push_back(QString::fromLatin1(moduleDisplayName(module)));
    std::vector<QString> types{QStringLiteral("Type")};
    for (std::int32_t type = -1; type <= 3; ++type)
        types.push_back(QString::fromLatin1(reportTypeName(type)));
    // The number column also holds a group's open mark. In the designed font the columns fit
    // the window, so choosing a finding does not scroll its number out of sight; a long message
    // is elided and shown whole as its tip.
    lvReport->setColumnWidth(
        ReportListModel::NumberColumn,
        widest(0, {QStringLiteral("#"), QStringLiteral("0000000")}) + lvReport->indentation());
    lvReport->setColumnWidth(ReportListModel::ModuleColumn, widest(160, modules));
    lvReport->setColumnWidth(ReportListModel::TypeColumn, widest(60, types));
    lvReport->setColumnWidth(
        ReportListModel::SubtitleColumn,
        widest(0, {QStringLiteral("Subtitle"), QStringLiteral("00000  00:00:00:00")}));
    lvReport->setColumnWidth(ReportListModel::MessageColumn, 400);
}

void ValidationWindow::setPaths(std::string plugin, const QString& fileName) {
    setPlugin(std::move(plugin));
    // The plug-in gets the path's own bytes: no file is unreachable because of its name.
    setFileName(QFile::encodeName(fileName).toStdString());
    m_displayFileName = fileName;
}

bool ValidationWindow::isRunning() const {
    return btnValidation->text() != startCaption;
}

void ValidationWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        onFirstShow();
    }
}

void ValidationWindow::onFirstShow() {
    guardedVoid("TMediaValidationForm.FormShow", [&] {
        // Grid lines between the cells.
        if (!dynamic_cast<GridLineDelegate*>(lvReport->itemDelegate()))
            lvReport->setItemDelegate(new GridLineDelegate(lvReport));
        setWindowTitle(windowTitle() + " - " + m_displayFileName + " [" + fromNarrow(moduleName()) +
                       "]");
    });
}

bool ValidationWindow::canClose() const {
    return !isRunning();
}

void ValidationWindow::done(int result) {
    if (!canClose()) return;
    if (!m_closed) {
        m_closed = true;
        onClose();
    }
    QDialog::done(result);
}

void ValidationWindow::onClose() {
    guardedVoid("TMediaValidationForm.FormClose", [&] {
        m_reportModel->clear();
        clearReports();
        unloadPlugin();
        // A big run leaves the heap with many free pages: give them back now, not at exit.
        malloc_trim(0);
    });
}

void ValidationWindow::setRunning(bool running) {
    btnSettings->setEnabled(!running);
    btnClose->setEnabled(!running);
    btnValidation->setText(running ? stopCaption : startCaption);
}

void ValidationWindow::btnValidationClick() {
    guardedVoid("TMediaValidationForm.btnValidationClick", [&] {
        if (!isBound()) return;
        if (!isRunning()) {
            setRunning(true);
            m_reportModel->clear();
            filterBar->setCounts(m_reportModel->tree());
            std::string listing;
            m_runListing.reset();
            if (SUCCEEDED(ruleListing(listing))) m_runListing = std::move(listing);
            if (startValidation()) {
                m_pollTimer->start();
            } else {
                setRunning(false);
                userInteraction().showMessage(
                    this, QStringLiteral("Cannot validate file.") + whyNotValidated(fileName()));
            }
        } else {
            m_pollTimer->stop();
            stopValidation();
            setRunning(false);
        }
    });
}

void ValidationWindow::btnSettingsClick() {
    guardedVoid("TMediaValidationForm.btnSettingsClick", [&] {
        // The plug-in writes why on stderr; the user at least learns that nothing opened.
        if (isBound() && FAILED(configure(0)))
            userInteraction().showMessage(this,
                                          QStringLiteral("Cannot open the plug-in settings."));
    });
}

QString ValidationWindow::formatProgress(double progress) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return QStringLiteral("Progress: ") + locale.toString(progress, 'f', 2) + QLatin1Char('%');
}

void ValidationWindow::onPollTimer() {
    guardedVoid("TMediaValidationForm.Timer1Timer", [&] {
        if (!isBound()) return;
        double progress = 0;
        // A failed poll tells nothing: the display keeps the last figure read.
        if (FAILED(getProgress(progress))) return;
        edProgress->setText(formatProgress(progress));
        if (!isValidationComplete(progress)) return;
        btnValidationClick();
        visualizeReports();
        userInteraction().showMessage(this, QStringLiteral("Done"));
    });
}

bool ValidationWindow::visualizeReports() {
    return guarded("TMediaValidationForm.VisualizeReports", false, [&] {
        m_reportModel->setFile(fileName());
        m_reportModel->showRows(reportCount());
        filterBar->setCounts(m_reportModel->tree());
        applyFilter();
        return true;
    });
}

void ValidationWindow::applyFilter() {
    // Groups the user opened stay open through a change of filter.
    const FindingTree& tree = m_reportModel->tree();
    const auto groupIndex = [&](std::size_t group) {
        return m_reportModel->index(static_cast<int>(tree.groupRow(group)), 0);
    };
    std::vector<int> expanded;
    for (std::size_t group = 0; group < tree.groupCount(); ++group)
        if (lvReport->isExpanded(groupIndex(group))) expanded.push_back(tree.groupRule(group));
    m_reportModel->setFilter(filterBar->filter());
    lvReport->setRootIsDecorated(tree.groupCount() > 0);
    for (std::size_t group = 0; group < tree.groupCount(); ++group) {
        if (std::find(expanded.begin(), expanded.end(), tree.groupRule(group)) != expanded.end())
            lvReport->expand(groupIndex(group));
    }
}

bool showValidationWindow(const std::string& plugin, const QString& fileName, QWidget* parent,
                          const std::function<void(int)>& onFinding) {
    return guarded("ShowMediaValidation", false, [&] {
        ValidationWindow form(parent);
        if (onFinding) QObject::connect(&form, &ValidationWindow::findingActivated, onFinding);
        form.setPaths(plugin, fileName);
        if (!form.loadPlugin()) return false;
        form.exec();
        form.unloadPlugin();
        return true;
    });
}
