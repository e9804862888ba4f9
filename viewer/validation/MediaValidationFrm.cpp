#include "MediaValidationFrm.h"

#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "HostText.h"
#include "platform/Guarded.h"
#include "viewer/GridLineDelegate.h"
#include "viewer/UserInteraction.h"

using platform::guarded;
using platform::guardedVoid;

namespace {

const QString StartCaption = QStringLiteral("Start Validation");
const QString StopCaption = QStringLiteral("Stop Validation");

QString FromNarrow(const std::string& Text) {
    return QString::fromStdString(validationhost::NarrowToUtf8(Text));
}

}  // namespace

TMediaValidationForm::TMediaValidationForm(QWidget* Parent)
    : QDialog(Parent), TPluginHost("TMediaValidationForm") {
    CreateControls();
}

TMediaValidationForm::~TMediaValidationForm() {
    // Never leave the plug-in's worker reporting into a window that is going away.
    Timer1->stop();
    if (IsRunning()) StopValidation();
}

void TMediaValidationForm::CreateControls() {
    setWindowTitle(QStringLiteral("Media Validation"));
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));

    gbReport = new QGroupBox(QStringLiteral("Report"), this);
    lvReport = new QTreeWidget(gbReport);
    lvReport->setColumnCount(4);
    lvReport->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Module"),
                               QStringLiteral("Type"), QStringLiteral("Message")});
    lvReport->setColumnWidth(1, 160);
    lvReport->setColumnWidth(2, 60);
    lvReport->setColumnWidth(3, 680);
    lvReport->setRootIsDecorated(false);
    lvReport->setUniformRowHeights(true);
    lvReport->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvReport->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvReport->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* reportLayout = new QVBoxLayout(gbReport);
    reportLayout->addWidget(lvReport);

    btnValidation = new QPushButton(StartCaption, this);
    edProgress = new QLineEdit(QStringLiteral("Progress:"), this);
    edProgress->setEnabled(false);
    btnSettings = new QPushButton(QStringLiteral("Settings"), this);
    btnSaveReport = new QPushButton(QStringLiteral("Save Report"), this);
    btnClose = new QPushButton(QStringLiteral("Close"), this);
    // Enter in the window must not start or stop anything by itself.
    for (QPushButton* button : {btnValidation, btnSettings, btnSaveReport, btnClose})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnValidation);
    buttons->addWidget(edProgress, 1);
    buttons->addWidget(btnSettings);
    buttons->addWidget(btnSaveReport);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbReport, 1);
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);

    connect(btnValidation, &QPushButton::clicked, this, [this] { btnValidationClick(); });
    connect(btnSettings, &QPushButton::clicked, this, [this] { btnSettingsClick(); });
    connect(btnSaveReport, &QPushButton::clicked, this, [this] { btnSaveReportClick(); });
    connect(btnClose, &QPushButton::clicked, this, [this] { accept(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    resize(DesignedClientWidth, DesignedClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TMediaValidationForm::SetPaths(std::string Plugin, const QString& FileName) {
    SetPlugin(std::move(Plugin));
    // The plug-in gets the path's own bytes: no file is unreachable because of its name.
    SetFileName(QFile::encodeName(FileName).toStdString());
    FDisplayFileName = FileName;
}

bool TMediaValidationForm::IsRunning() const {
    return btnValidation->text() != StartCaption;
}

void TMediaValidationForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TMediaValidationForm::FormShow() {
    guardedVoid("TMediaValidationForm.FormShow", [&] {
        // Grid lines between the cells.
        if (!dynamic_cast<TGridLineDelegate*>(lvReport->itemDelegate()))
            lvReport->setItemDelegate(new TGridLineDelegate(lvReport));
        setWindowTitle(windowTitle() + " - " + FDisplayFileName + " [" + FromNarrow(ModuleName()) +
                       "]");
    });
}

bool TMediaValidationForm::FormCloseQuery() const {
    return !IsRunning();
}

void TMediaValidationForm::done(int Result) {
    if (!FormCloseQuery()) return;
    if (!FClosed) {
        FClosed = true;
        FormClose();
    }
    QDialog::done(Result);
}

void TMediaValidationForm::FormClose() {
    guardedVoid("TMediaValidationForm.FormClose", [&] {
        ClearReports();
        UnloadPlugin();
    });
}

void TMediaValidationForm::SetRunning(bool Running) {
    btnSettings->setEnabled(!Running);
    btnClose->setEnabled(!Running);
    btnValidation->setText(Running ? StopCaption : StartCaption);
}

void TMediaValidationForm::btnValidationClick() {
    guardedVoid("TMediaValidationForm.btnValidationClick", [&] {
        if (!IsBound()) return;
        if (!IsRunning()) {
            SetRunning(true);
            lvReport->clear();
            if (StartValidation()) {
                Timer1->start();
            } else {
                SetRunning(false);
                userInteraction().showMessage(this, QStringLiteral("Cannot validate file."));
            }
        } else {
            Timer1->stop();
            StopValidation();
            SetRunning(false);
        }
    });
}

void TMediaValidationForm::btnSettingsClick() {
    guardedVoid("TMediaValidationForm.btnSettingsClick", [&] {
        if (IsBound()) Configure(0);
    });
}

QString TMediaValidationForm::FormatProgress(double Progress) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return QStringLiteral("Progress: ") + locale.toString(Progress, 'f', 2) + QLatin1Char('%');
}

void TMediaValidationForm::Timer1Timer() {
    guardedVoid("TMediaValidationForm.Timer1Timer", [&] {
        if (!IsBound()) return;
        double progress = 0;
        // A failed poll tells nothing: the display keeps the last figure read.
        if (FAILED(GetProgress(progress))) return;
        edProgress->setText(FormatProgress(progress));
        if (!IsValidationComplete(progress)) return;
        btnValidationClick();
        VisualizeReports();
        userInteraction().showMessage(this, QStringLiteral("Done"));
    });
}

bool TMediaValidationForm::VisualizeReports() {
    return guarded("TMediaValidationForm.VisualizeReports", false, [&] {
        const std::vector<TCustomReport> reports = Reports();
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(reports.size()));
        int position = 0;
        for (const TCustomReport& report : reports) {
            auto* item = new QTreeWidgetItem(QStringList{
                QString::number(++position), QString::fromLatin1(ModuleDisplayName(report.Module)),
                QString::fromLatin1(ReportTypeName(report.ReportType)),
                QString::fromStdString(report.ReportMessage)});
            lvReportCustomDrawItem(item);
            items.append(item);
        }
        lvReport->addTopLevelItems(items);
        return true;
    });
}

std::optional<QColor> TMediaValidationForm::ReportTypeColor(const QString& TypeName) {
    if (TypeName == QLatin1String("Info")) return QColor(0xEE, 0xEE, 0xFF);
    if (TypeName == QLatin1String("Warning")) return QColor(0xFF, 0xFF, 0xCC);
    if (TypeName == QLatin1String("Error")) return QColor(0xFF, 0xCC, 0xCC);
    return std::nullopt;
}

void TMediaValidationForm::lvReportCustomDrawItem(QTreeWidgetItem* Item) {
    guardedVoid("TMediaValidationForm.lvReportCustomDrawItem", [&] {
        if (!Item || Item->columnCount() < 3) return;
        const std::optional<QColor> color = ReportTypeColor(Item->text(2));
        if (!color) return;
        // Dark text as well, so a dark colour scheme still reads on the pale brushes.
        for (int column = 0; column < Item->columnCount(); ++column) {
            Item->setBackground(column, *color);
            Item->setForeground(column, QColor(Qt::black));
        }
    });
}

bool ShowMediaValidation(const std::string& Plugin, const QString& FileName, QWidget* Parent) {
    return guarded("ShowMediaValidation", false, [&] {
        TMediaValidationForm form(Parent);
        form.SetPaths(Plugin, FileName);
        if (!form.LoadPlugin()) return false;
        form.exec();
        form.UnloadPlugin();
        return true;
    });
}
