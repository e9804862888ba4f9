#include "Unit1.h"

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
#include "SubtitleListModel.h"
#include "SubtitleListView.h"
#include "WheelToKeyFilter.h"
#include "platform/CodePage.h"
#include "platform/Guarded.h"
#include "viewer/hex/HexViewUtils_Memo.h"

namespace {

constexpr const char* ProductName = "Lumtrace";
constexpr const char* PluginFileName = "Sievra.zkx";

QTreeWidget* CreateTree(QWidget* Parent, bool Editable) {
    auto* Tree = new QTreeWidget(Parent);
    Tree->setHeaderHidden(true);
    Tree->setColumnCount(1);
    Tree->setFont(listviewfont::DesignedListFont());
    // Lines are long and padded: scroll sideways rather than cut them.
    Tree->header()->setStretchLastSection(false);
    Tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Tree->setTextElideMode(Qt::ElideNone);
    Tree->setEditTriggers(Editable
                              ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                              : QAbstractItemView::NoEditTriggers);
    return Tree;
}

}  // namespace

TForm1::TForm1(QWidget* Parent)
    : QMainWindow(Parent), FListFontColor(listviewfont::WindowTextColor) {
    setWindowTitle(QString::fromLatin1(ProductName));
    CreateControls();
    CreateMenus();
    resize(DesignedClientWidth, DesignedClientHeight + menuBar()->sizeHint().height());

    // The wheel rewrite applies to every window of the program, as long as this window lives.
    FWheelFilter = new TWheelToKeyFilter(this);
    qApp->installEventFilter(FWheelFilter);

    tmUpdate = new QTimer(this);
    tmUpdate->setInterval(10000);
    connect(tmUpdate, &QTimer::timeout, this, [this] { tmUpdateTimer(); });
}

TForm1::~TForm1() {
    if (!FClosed) FormClose();
    if (FWheelFilter) qApp->removeEventFilter(FWheelFilter);
}

void TForm1::CreateControls() {
    auto* Central = new QWidget(this);
    auto* Layout = new QVBoxLayout(Central);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);

    Splitter1 = new QSplitter(Qt::Horizontal, Central);
    Splitter1->setChildrenCollapsible(false);

    Panel2 = new QWidget(Splitter1);
    auto* Panel2Layout = new QVBoxLayout(Panel2);
    Panel2Layout->setContentsMargins(0, 0, 0, 0);
    ListView1 = new TSubtitleListView(Panel2);
    ListModel = new TSubtitleListModel(ListView1);
    ListView1->setModel(ListModel);
    ListView1->setFont(listviewfont::DesignedListFont());
    ListView1->header()->resizeSection(TSubtitleListModel::CaptionColumn, 0);
    ListView1->header()->resizeSection(TSubtitleListModel::NumberColumn, 50);
    ListView1->header()->resizeSection(TSubtitleListModel::TCInColumn, 90);
    ListView1->header()->resizeSection(TSubtitleListModel::TCOutColumn, 90);
    ListView1->header()->resizeSection(TSubtitleListModel::TextColumn, 440);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    Panel2Layout->addWidget(ListView1);
    connect(ListView1, &TSubtitleListView::MouseDown, this, [this] { ListView1MouseDown(); });
    connect(ListView1, &TSubtitleListView::KeyUp, this, [this] { ListView1KeyUp(); });
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& At) {
        if (PopupMenu1) PopupMenu1->popup(ListView1->viewport()->mapToGlobal(At));
    });

    Panel3 = new QWidget(Splitter1);
    auto* Panel3Layout = new QVBoxLayout(Panel3);
    Panel3Layout->setContentsMargins(0, 0, 0, 0);
    Splitter2 = new QSplitter(Qt::Vertical, Panel3);
    TreeView1 = CreateTree(Splitter2, false);
    TreeView2 = CreateTree(Splitter2, true);
    Splitter2->setSizes({224, 300});
    Panel3Layout->addWidget(Splitter2);

    Splitter1->addWidget(Panel2);
    Splitter1->addWidget(Panel3);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({700, DesignedClientWidth - 700});
    Layout->addWidget(Splitter1, 1);

    Panel1 = new QWidget(Central);
    Panel1->setFixedHeight(210);
    auto* Panel1Layout = new QVBoxLayout(Panel1);
    Panel1Layout->setContentsMargins(2, 2, 2, 2);
    Panel1Layout->setSpacing(2);
    Panel1Layout->addWidget(new QLabel(QStringLiteral("Hex View"), Panel1));
    auto* HexRow = new QHBoxLayout();
    HexRow->setSpacing(0);
    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBar2 = new QScrollBar(Qt::Vertical, Panel1);
    HexRow->addWidget(Memo1, 1);
    HexRow->addWidget(ScrollBar2);
    Panel1Layout->addLayout(HexRow, 1);
    Layout->addWidget(Panel1);

    setCentralWidget(Central);
}

void TForm1::CreateMenus() {
    QMenu* File = menuBar()->addMenu(QStringLiteral("&File"));
    Open1 = File->addAction(QStringLiteral("&Open"), this, [this] { Open1Click(); });
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Close1 = File->addAction(QStringLiteral("&Close"), this, [this] { Close1Click(); });
    File->addSeparator();
    Exit1 = File->addAction(QStringLiteral("E&xit"), this, [this] { Exit1Click(); });
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* Options = menuBar()->addMenu(QStringLiteral("Options"));
    Font1 = Options->addAction(QStringLiteral("Font"), this, [this] { Font1Click(); });
    CreateEncodingMenu(Options);

    QMenu* Tools = menuBar()->addMenu(QStringLiteral("Tools"));
    HexEditGSI1 =
        Tools->addAction(QStringLiteral("Hex Edit GSI"), this, [this] { HexEditClick(0); });
    HexEditSelectedTTI1 = Tools->addAction(QStringLiteral("Hex Edit Selected TTI"), this,
                                           [this] { HexEditClick(1); });
    Tools->addSeparator();
    Validation1 =
        Tools->addAction(QStringLiteral("Validation"), this, [this] { Validation1Click(); });

    QMenu* Help = menuBar()->addMenu(QStringLiteral("Help"));
    CheckForUpdates1 = Help->addAction(QStringLiteral("Check For Updates"), this,
                                       [this] { CheckForUpdates1Click(); });
    CheckForUpdates1->setCheckable(true);
    CheckForUpdates1->setChecked(true);
    About1 = Help->addAction(QStringLiteral("About"), this, [this] { About1Click(); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(QStringLiteral("Hex Edit Selected TTI"), this,
                          [this] { HexEditClick(1); });
}

void TForm1::CreateEncodingMenu(QMenu* Options) {
    Encoding1 = Options->addMenu(QStringLiteral("Encoding"));
    EncodingGroup = new QActionGroup(this);
    EncodingGroup->setExclusive(true);
    auto AddItem = [this](const QString& Caption, int Tag) {
        QAction* Item = Encoding1->addAction(Caption);
        Item->setData(Tag);
        Item->setCheckable(true);
        EncodingGroup->addAction(Item);
        return Item;
    };
    AutomaticfromGSIblock1 =
        AddItem(QStringLiteral("Automatic (from GSI block)"), AutomaticEncodingTag);
    AutomaticfromGSIblock1->setVisible(false);
    connect(AutomaticfromGSIblock1, &QAction::triggered, this,
            [this] { AutomaticfromGSIblock1Click(); });
    for (const TEncodingItem& Fixed : FixedEncodings) {
        QAction* Item = AddItem(QString::fromLatin1(Fixed.Caption), Fixed.Tag);
        connect(Item, &QAction::triggered, this, [this, Item] { GeneralEncodingClick(Item); });
    }
    Encoding1->addSeparator();
    Otherentercodepagemanually1 =
        AddItem(QStringLiteral("Other (enter code page manually)"), OtherEncodingTag);
    connect(Otherentercodepagemanually1, &QAction::triggered, this,
            [this] { Otherentercodepagemanually1Click(); });
}

void TForm1::setVisible(bool Visible) {
    // Settings are applied before the window first appears, so it opens where it was left.
    if (Visible && !FShown) {
        FShown = true;
        FormShow();
    }
    QMainWindow::setVisible(Visible);
    if (Visible) ApplyStoredOuterSize();
}

void TForm1::closeEvent(QCloseEvent* Event) {
    if (!FClosed) FormClose();
    Event->accept();
}

void TForm1::FormShow() {
    platform::guardedVoid("TForm1.FormShow", [&] {
        FValidationModule.clear();
        FCheckForUpdates = true;
        RefreshCaption();
        LoadRegistrySettings();
        RefreshEncodingMenu(FCodePage, FAutoCodePage);
        ListView1->header()->resizeSection(TSubtitleListModel::CaptionColumn, 0);
        ListView1->setColumnHidden(TSubtitleListModel::CaptionColumn, true);
        if (!FDropFilter)
            FDropFilter = new TFileDropFilter(
                ListView1->viewport(), [this](const QStringList& Names) { DropFiles(Names); });
        RefreshCaption();
        FindValidationModule();
        CheckForUpdates1->setChecked(FCheckForUpdates);
        tmUpdateTag = 0;
        tmUpdate->start();
    });
}

void TForm1::FindValidationModule() {
    FValidationModule.clear();
    QString Dir = QCoreApplication::applicationDirPath();
    if (!Dir.endsWith(QLatin1Char('/'))) Dir += QLatin1Char('/');
    const QString Path = Dir + QString::fromLatin1(PluginFileName);
    // The path is kept as 8-bit text; one that does not survive the round trip is not usable.
    const QByteArray Local = QFile::encodeName(Path);
    if (QFile::decodeName(Local) != Path) return;
    if (QFileInfo(Path).isFile()) FValidationModule = Local.toStdString();
}

void TForm1::FormClose() {
    if (FClosed) return;
    FClosed = true;
    platform::guardedVoid("TForm1.FormClose", [&] {
        tmUpdate->stop();
        if (FDropFilter) FDropFilter->Detach();
        FSTLReader.reset();
        SaveRegistrySettings();
        FHexView.reset();
    });
}

void TForm1::RefreshCaption() {
    platform::guardedVoid("TForm1.RefreshCaption", [&] {
        QString Caption = QString::fromLatin1(ProductName);
        if (!FFileName.isEmpty()) Caption += QStringLiteral(" (") + FFileName + QStringLiteral(")");
        setWindowTitle(Caption);
    });
}

int TForm1::SelectedRow() const {
    const QModelIndexList Rows = ListView1->selectionModel()->selectedRows();
    return Rows.isEmpty() ? -1 : Rows.first().row();
}
