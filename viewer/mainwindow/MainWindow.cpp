#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "EncodingMenu.h"
#include "FileDropFilter.h"
#include "ListViewFont.h"
#include "RecentFiles.h"
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "WheelToKeyFilter.h"
#include "platform/CodePage.h"
#include "platform/Guarded.h"
#include "platform/InstallLayout.h"
#include "viewer/UserInteraction.h"
#include "viewer/compare/CompareWindow.h"
#include "viewer/hex/HexView.h"

namespace {

constexpr const char* productName = "Lumtrace";

QTreeWidget* createTree(QWidget* parent, bool editable) {
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setFont(listviewfont::designedListFont());
    // Lines are long and padded: scroll sideways rather than cut them.
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree->setTextElideMode(Qt::ElideNone);
    tree->setEditTriggers(editable
                              ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                              : QAbstractItemView::NoEditTriggers);
    return tree;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_listFontColor(listviewfont::windowTextColor) {
    setWindowTitle(QString::fromLatin1(productName));
    createControls();
    createMenus();
    resize(designedClientWidth, designedClientHeight + menuBar()->sizeHint().height());

    // The wheel rewrite applies to every window of the program, as long as this window lives.
    m_wheelFilter = new WheelToKeyFilter(this);
    qApp->installEventFilter(m_wheelFilter);

    m_updateTimer = new QTimer(this);
    m_updateTimer->setInterval(10000);
    connect(m_updateTimer, &QTimer::timeout, this, [this] { onUpdateTimer(); });
}

MainWindow::~MainWindow() {
    if (!m_closed) onClose();
    if (m_wheelFilter) qApp->removeEventFilter(m_wheelFilter);
}

void MainWindow::createControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_mainSplitter = new QSplitter(Qt::Horizontal, central);
    m_mainSplitter->setChildrenCollapsible(false);

    m_listPanel = new QWidget(m_mainSplitter);
    auto* listPanelLayout = new QVBoxLayout(m_listPanel);
    listPanelLayout->setContentsMargins(0, 0, 0, 0);
    m_subtitleList = new SubtitleListView(m_listPanel);
    m_listModel = new SubtitleListModel(m_subtitleList);
    m_subtitleList->setModel(m_listModel);
    m_listFontWanted = listviewfont::designedListFace();
    m_subtitleList->setFont(listviewfont::designedListFont());
    m_subtitleList->header()->resizeSection(SubtitleListModel::CaptionColumn, 0);
    m_subtitleList->header()->resizeSection(SubtitleListModel::NumberColumn, 50);
    m_subtitleList->header()->resizeSection(SubtitleListModel::TCInColumn, 90);
    m_subtitleList->header()->resizeSection(SubtitleListModel::TCOutColumn, 90);
    m_subtitleList->header()->resizeSection(SubtitleListModel::TextColumn, 440);
    m_subtitleList->setContextMenuPolicy(Qt::CustomContextMenu);
    listPanelLayout->addWidget(m_subtitleList);
    connect(m_subtitleList, &SubtitleListView::mouseDown, this,
            [this] { onSubtitleListMousePressed(); });
    connect(m_subtitleList, &SubtitleListView::copyRequested, this,
            [this] { copySelectedSubtitle(); });
    connect(m_subtitleList, &SubtitleListView::keyUp, this,
            [this] { onSubtitleListKeyReleased(); });
    // However the row changes (keys, mouse, wheel, a rebuild), the tree and the hex view follow.
    connect(m_subtitleList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { followSelectedRow(); });
    connect(m_subtitleList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (m_listContextMenu)
            m_listContextMenu->popup(m_subtitleList->viewport()->mapToGlobal(at));
    });

    m_detailPanel = new QWidget(m_mainSplitter);
    auto* detailPanelLayout = new QVBoxLayout(m_detailPanel);
    detailPanelLayout->setContentsMargins(0, 0, 0, 0);
    m_treeSplitter = new QSplitter(Qt::Vertical, m_detailPanel);
    m_gsiTree = createTree(m_treeSplitter, false);
    m_ttiTree = createTree(m_treeSplitter, true);
    m_treeSplitter->setSizes({224, 300});
    detailPanelLayout->addWidget(m_treeSplitter);

    m_mainSplitter->addWidget(m_listPanel);
    m_mainSplitter->addWidget(m_detailPanel);
    m_mainSplitter->setStretchFactor(0, 0);
    m_mainSplitter->setStretchFactor(1, 1);
    // The list gives up width so the trees show values beside their padded names.
    applyDefaultPanelWidths();
    layout->addWidget(m_mainSplitter, 1);
    createFindBar(central);  // under the list, across the window

    m_hexPanel = new QWidget(central);
    m_hexPanel->setFixedHeight(210);
    auto* hexPanelLayout = new QVBoxLayout(m_hexPanel);
    hexPanelLayout->setContentsMargins(2, 2, 2, 2);
    hexPanelLayout->setSpacing(2);
    hexPanelLayout->addWidget(new QLabel(QStringLiteral("Hex View"), m_hexPanel));
    auto* hexRow = new QHBoxLayout();
    hexRow->setSpacing(0);
    m_hexText = new QPlainTextEdit(m_hexPanel);
    m_hexText->setReadOnly(true);
    m_hexText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_hexText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_hexScrollBar = new QScrollBar(Qt::Vertical, m_hexPanel);
    hexRow->addWidget(m_hexText, 1);
    hexRow->addWidget(m_hexScrollBar);
    hexPanelLayout->addLayout(hexRow, 1);
    layout->addWidget(m_hexPanel);

    setCentralWidget(central);
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_openAction = file->addAction(QStringLiteral("&Open"), this, [this] { onOpenTriggered(); });
    m_openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_closeAction = file->addAction(QStringLiteral("&Close"), this, [this] { onCloseTriggered(); });
    m_recentFiles = new RecentFiles(this, file, m_closeAction,
                                    [this](const QString& name) { openNamedFile(name); });
    m_exportAction =
        file->addAction(QStringLiteral("&Export..."), this, [this] { onExportTriggered(); });
    m_compareAction =
        file->addAction(QStringLiteral("Co&mpare With..."), this, [this] { onCompareTriggered(); });
    m_compareAction->setEnabled(false);
    // Enabled while a file is loaded; looked at whenever the menu opens.
    connect(file, &QMenu::aboutToShow, this,
            [this] { m_compareAction->setEnabled(m_stlReader != nullptr); });
    file->addSeparator();
    m_exitAction = file->addAction(QStringLiteral("E&xit"), this, [this] { onExitTriggered(); });
    m_exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    createEditMenu();

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    m_fontAction = options->addAction(QStringLiteral("&Font"), this, [this] { onFontTriggered(); });
    createEncodingMenu(options);
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    createPreviewPane(view);
    createColumnsMenu(view);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    m_hexEditGsiAction =
        tools->addAction(QStringLiteral("Hex Edit &GSI"), this, [this] { onHexEditTriggered(0); });
    m_hexEditTtiAction = tools->addAction(QStringLiteral("Hex Edit Selected &TTI"), this,
                                          [this] { onHexEditTriggered(1); });
    tools->addSeparator();
    m_validationAction =
        tools->addAction(QStringLiteral("&Validation"), this, [this] { onValidationTriggered(); });
    m_repairAction =
        tools->addAction(QStringLiteral("&Repair..."), this, [this] { onRepairTriggered(); });
    m_repairAction->setEnabled(false);
    connect(tools, &QMenu::aboutToShow, this,
            [this] { m_repairAction->setEnabled(m_stlReader != nullptr); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    m_checkForUpdatesAction = help->addAction(QStringLiteral("Check For &Updates"), this,
                                              [this] { onCheckForUpdatesTriggered(); });
    m_checkForUpdatesAction->setCheckable(true);
    m_checkForUpdatesAction->setChecked(true);
    m_aboutAction = help->addAction(QStringLiteral("&About"), this, [this] { onAboutTriggered(); });

    m_listContextMenu = new QMenu(this);
    m_listContextMenu->addAction(QStringLiteral("Hex Edit Selected &TTI"), this,
                                 [this] { onHexEditTriggered(1); });
}

void MainWindow::createEncodingMenu(QMenu* options) {
    m_encodingMenu = options->addMenu(QStringLiteral("&Encoding"));
    m_encodingGroup = new QActionGroup(this);
    m_encodingGroup->setExclusive(true);
    auto addItem = [this](const QString& caption, int tag) {
        QAction* item = m_encodingMenu->addAction(caption);
        item->setData(tag);
        item->setCheckable(true);
        m_encodingGroup->addAction(item);
        return item;
    };
    m_automaticEncodingAction =
        addItem(QStringLiteral("Automatic (from GSI block)"), automaticEncodingTag);
    connect(m_automaticEncodingAction, &QAction::triggered, this,
            [this] { onAutomaticCodePageTriggered(); });
    for (const EncodingItem& fixed : fixedEncodings) {
        QAction* item = addItem(QString::fromLatin1(fixed.caption), fixed.tag);
        connect(item, &QAction::triggered, this, [this, item] { onEncodingTriggered(item); });
    }
    m_encodingMenu->addSeparator();
    m_otherEncodingAction =
        addItem(QStringLiteral("Other (enter code page manually)"), otherEncodingTag);
    connect(m_otherEncodingAction, &QAction::triggered, this,
            [this] { onOtherCodePageTriggered(); });
}

void MainWindow::setVisible(bool visible) {
    // Settings are applied before the window first appears, so it opens where it was left.
    if (visible && !m_shown) {
        m_shown = true;
        onFirstShow();
    }
    QMainWindow::setVisible(visible);
    if (visible) {
        // Some window managers tell the frame without moving the window.
        QTimer::singleShot(250, this, [this] { noteFrame(); });
        QTimer::singleShot(1000, this, [this] { noteFrame(); });
    }
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    noteFrame();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    noteFrame();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_closed) onClose();
    event->accept();
}

void MainWindow::onFirstShow() {
    platform::guardedVoid("TForm1.FormShow", [&] {
        m_validationModule.clear();
        m_checkForUpdates = true;
        refreshCaption();
        loadRegistrySettings();
        refreshEncodingMenu(m_codePage, m_autoCodePage);
        refreshEncodingStatus();
        m_subtitleList->header()->resizeSection(SubtitleListModel::CaptionColumn, 0);
        m_subtitleList->setColumnHidden(SubtitleListModel::CaptionColumn, true);
        if (!m_dropFilter)
            m_dropFilter = new FileDropFilter(
                m_subtitleList->viewport(), [this](const QStringList& names) { dropFiles(names); });
        refreshCaption();
        findValidationModule();
        m_checkForUpdatesAction->setChecked(m_checkForUpdates);
        m_updateTimerTag = 0;
        m_updateTimer->start();
    });
}

void MainWindow::findValidationModule() {
    m_validationModule.clear();
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    // Beside the program first (a build tree), then the installed tree's plug-in folder.
    for (const QString& folder :
         {dir, dir + QString::fromLatin1(platform::installedModuleFolder) + QLatin1Char('/')}) {
        const QString path = folder + QString::fromLatin1(pluginFileName);
        // The path is kept as 8-bit text; one that does not survive the round trip is not usable.
        const QByteArray local = QFile::encodeName(path);
        if (QFile::decodeName(local) != path) continue;
        if (QFileInfo(path).isFile()) {
            m_validationModule = local.toStdString();
            return;
        }
    }
}

void MainWindow::onClose() {
    if (m_closed) return;
    m_closed = true;
    platform::guardedVoid("TForm1.FormClose", [&] {
        m_updateTimer->stop();
        if (m_dropFilter) m_dropFilter->detach();
        m_stlReader.reset();
        saveRegistrySettings();
        m_hexView.reset();
    });
}

void MainWindow::refreshCaption() {
    platform::guardedVoid("TForm1.RefreshCaption", [&] {
        QString caption = QString::fromLatin1(productName);
        if (!m_fileName.isEmpty())
            caption += QStringLiteral(" (") + m_fileName + QStringLiteral(")");
        setWindowTitle(caption);
    });
}

void MainWindow::onCompareTriggered() {
    platform::guardedVoid("TForm1.Compare1Click", [&] {
        if (!m_stlReader) {
            userInteraction().showError(this, QStringLiteral("There is no file loaded."));
            return;
        }
        comparewindow::compareWith(this, m_fileName);
    });
}

int MainWindow::selectedRow() const {
    const QModelIndexList rows = m_subtitleList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : static_cast<int>(m_listModel->blockAt(rows.first().row()));
}
