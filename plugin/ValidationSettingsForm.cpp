#include "ValidationSettingsForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <stdexcept>

#include "ValidationSettings.h"
#include "platform/Guarded.h"
#include "plugin_api/QuorvexControlInterface.h"

namespace {

enum Column { COLUMN_ID, COLUMN_NAME, COLUMN_TYPE, COLUMN_ENABLED, COLUMN_DESCRIPTION };

// Items of cbReportType stand for report types 1, 2 and 3.
constexpr int REPORT_TYPE_ITEM_OFFSET = REPORT_TYPE_INFO;

QLineEdit* ReadOnlyField(QWidget* Parent) {
    auto* Field = new QLineEdit(Parent);
    Field->setReadOnly(true);
    Field->setEnabled(false);
    return Field;
}

QString EnabledText(bool Enabled) {
    return Enabled ? QStringLiteral("Yes") : QStringLiteral("No");
}

}  // namespace

TValidationSettingsForm::TValidationSettingsForm(QWidget* Owner) : QDialog(Owner) {
    setWindowTitle("Validation Settings");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(QFont("Tahoma", 8));
    setSizeGripEnabled(true);

    lvValidationSettings = new QTreeWidget(this);
    lvValidationSettings->setColumnCount(5);
    lvValidationSettings->setHeaderLabels({"ID", "Name", "Type", "Enabled", "Description"});
    const int Widths[] = {30, 200, 80, 60, 200};
    for (int i = 0; i < 5; ++i) lvValidationSettings->setColumnWidth(i, Widths[i]);
    lvValidationSettings->setRootIsDecorated(false);
    lvValidationSettings->setItemsExpandable(false);
    lvValidationSettings->setUniformRowHeights(true);
    lvValidationSettings->setSelectionMode(QAbstractItemView::SingleSelection);
    lvValidationSettings->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvValidationSettings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvValidationSettings->setAllColumnsShowFocus(true);
    // The selected row stays marked while the drop-downs have the focus.
    QPalette Palette = lvValidationSettings->palette();
    Palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     Palette.color(QPalette::Active, QPalette::Highlight));
    Palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     Palette.color(QPalette::Active, QPalette::HighlightedText));
    lvValidationSettings->setPalette(Palette);

    GroupBox1 = new QGroupBox("Validation", this);
    GroupBox1->setFixedWidth(222);
    lbID = new QLabel("ID", GroupBox1);
    edID = ReadOnlyField(GroupBox1);
    lbName = new QLabel("Name", GroupBox1);
    edName = ReadOnlyField(GroupBox1);
    Label1 = new QLabel("Report Type", GroupBox1);
    cbReportType = new QComboBox(GroupBox1);
    cbReportType->addItems({"Info", "Warning", "Error"});
    lbEnabled = new QLabel("Enabled", GroupBox1);
    cbEnabled = new QComboBox(GroupBox1);
    cbEnabled->addItems({"Yes", "No"});
    lbDescription = new QLabel("Description", GroupBox1);
    edDescription = ReadOnlyField(GroupBox1);
    Label1->setBuddy(cbReportType);
    lbEnabled->setBuddy(cbEnabled);

    auto* Fields = new QFormLayout(GroupBox1);
    Fields->setRowWrapPolicy(QFormLayout::WrapAllRows);
    Fields->addRow(lbID, edID);
    Fields->addRow(lbName, edName);
    Fields->addRow(Label1, cbReportType);
    Fields->addRow(lbEnabled, cbEnabled);
    Fields->addRow(lbDescription, edDescription);

    btnOK = new QPushButton("OK", this);
    btnCancel = new QPushButton("Cancel", this);
    btnOK->setDefault(true);

    auto* Top = new QHBoxLayout;
    Top->addWidget(lvValidationSettings, 1);
    Top->addWidget(GroupBox1, 0, Qt::AlignTop);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    Buttons->addWidget(btnOK);
    Buttons->addWidget(btnCancel);
    auto* Main = new QVBoxLayout(this);
    Main->addLayout(Top, 1);
    Main->addLayout(Buttons);

    connect(lvValidationSettings, &QTreeWidget::itemSelectionChanged, this,
            [this] { lvValidationSettingsChange(); });
    connect(cbReportType, &QComboBox::currentIndexChanged, this,
            [this] { cbReportTypePropertiesChange(); });
    connect(cbEnabled, &QComboBox::currentIndexChanged, this,
            [this] { cbEnabledPropertiesChange(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { accept(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });

    // The outer frame is at least 600 by 300; this is the client area inside it.
    setMinimumSize(584, 261);
    resize(842, 293);
    if (const QScreen* Screen = screen())
        move(Screen->availableGeometry().center() - rect().center());
}

TValidationSettingsForm::~TValidationSettingsForm() = default;

void TValidationSettingsForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (!Event->spontaneous()) FormShow();
}

void TValidationSettingsForm::FormShow() {
    platform::guardedVoid("TValidationSettingsForm.FormShow", [&] {
        lvValidationSettings->setStyleSheet(
            "QTreeView::item { border-right: 1px solid palette(midlight); border-bottom: 1px solid "
            "palette(midlight); }");
        FSelectedIndex = -1;
        if (!FValidationSettingList) throw std::logic_error("no settings list");
        lvValidationSettings->clear();
        QList<QTreeWidgetItem*> Rows;
        for (std::int32_t i = 0; i < FValidationSettingList->Count(); ++i) {
            const TValidationSetting* Setting = FValidationSettingList->GetValidationSetting(i);
            Rows.push_back(new QTreeWidgetItem(QStringList{
                QString::number(Setting->ID), QString::fromStdString(Setting->Name),
                QString::fromLatin1(ReportTypeName(Setting->ReportType)),
                EnabledText(Setting->Enabled), QString::fromStdString(Setting->Description)}));
        }
        lvValidationSettings->addTopLevelItems(Rows);
        if (!Rows.isEmpty()) lvValidationSettings->setCurrentItem(Rows.front());
    });
}

void TValidationSettingsForm::lvValidationSettingsChange() {
    const QList<QTreeWidgetItem*> Selected = lvValidationSettings->selectedItems();
    const int Index =
        Selected.isEmpty() ? -1 : lvValidationSettings->indexOfTopLevelItem(Selected.front());
    if (Index < 0 || Index == FSelectedIndex) return;
    FSelectedIndex = Index;
    UpdateSelected(Index);
}

void TValidationSettingsForm::UpdateSelected(int Index) {
    platform::guardedVoid("TValidationSettingsForm.UpdateSelected", [&] {
        if (!FWorkingValidationSettingList) throw std::logic_error("no working copy");
        const TValidationSetting* Setting =
            FWorkingValidationSettingList->GetValidationSetting(Index);
        if (!Setting) return;
        edID->setText(QString::number(Setting->ID));
        edName->setText(QString::fromStdString(Setting->Name));
        edDescription->setText(QString::fromStdString(Setting->Description));
        // Showing a row is not an edit: the drop-downs change silently.
        const QSignalBlocker BlockType(cbReportType);
        const QSignalBlocker BlockEnabled(cbEnabled);
        // No item names any other type (the row says "Unknown"): the choice stays as it was.
        if (Setting->ReportType >= REPORT_TYPE_INFO && Setting->ReportType <= REPORT_TYPE_ERROR)
            cbReportType->setCurrentIndex(Setting->ReportType - REPORT_TYPE_ITEM_OFFSET);
        cbReportType->setEnabled(Setting->ReportTypeEditable);
        cbEnabled->setCurrentIndex(Setting->Enabled ? 0 : 1);
        cbEnabled->setEnabled(Setting->EnabledEditable);
    });
}

void TValidationSettingsForm::cbReportTypePropertiesChange() {
    platform::guardedVoid("TValidationSettingsForm.cbReportTypePropertiesChange", [&] {
        if (FSelectedIndex < 0 || !FWorkingValidationSettingList ||
            cbReportType->currentIndex() < 0)
            return;
        TValidationSetting* Setting =
            FWorkingValidationSettingList->GetValidationSetting(FSelectedIndex);
        if (!Setting) return;
        Setting->ReportType = cbReportType->currentIndex() + REPORT_TYPE_ITEM_OFFSET;
        if (QTreeWidgetItem* Row = lvValidationSettings->topLevelItem(FSelectedIndex))
            Row->setText(COLUMN_TYPE, QString::fromLatin1(ReportTypeName(Setting->ReportType)));
    });
}

void TValidationSettingsForm::cbEnabledPropertiesChange() {
    platform::guardedVoid("TValidationSettingsForm.cbEnabledPropertiesChange", [&] {
        if (FSelectedIndex < 0 || !FWorkingValidationSettingList || cbEnabled->currentIndex() < 0)
            return;
        TValidationSetting* Setting =
            FWorkingValidationSettingList->GetValidationSetting(FSelectedIndex);
        if (!Setting) return;
        Setting->Enabled = cbEnabled->currentIndex() == 0;
        if (QTreeWidgetItem* Row = lvValidationSettings->topLevelItem(FSelectedIndex))
            Row->setText(COLUMN_ENABLED, EnabledText(Setting->Enabled));
    });
}

bool EditValidationSettings(TValidationSettingList& List, QWidget* Owner) {
    return platform::guarded("EditValidationSettings", false, [&] {
        TValidationSettingsForm Form(Owner);
        Form.FValidationSettingList = &List;
        TValidationSettingList Working;
        if (!Working.AssignValidationSettingList(List)) throw std::runtime_error("copy failed");
        Form.FWorkingValidationSettingList = &Working;
        if (Form.exec() != QDialog::Accepted) return false;
        if (!List.AssignValidationSettingList(Working))
            throw std::runtime_error("write-back failed");
        return true;
    });
}
