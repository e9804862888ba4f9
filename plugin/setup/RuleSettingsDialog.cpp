#include "RuleSettingsDialog.h"

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
#include <optional>
#include <stdexcept>

#include "RuleSettings.h"
#include "delivery/DeliveryRules.h"
#include "platform/Guarded.h"
#include "plugin_api/QuorvexControlInterface.h"

namespace {

enum Column { COLUMN_ID, COLUMN_NAME, COLUMN_TYPE, COLUMN_ENABLED, COLUMN_DESCRIPTION };

// Items of cbReportType stand for report types 1, 2 and 3.
constexpr int REPORT_TYPE_ITEM_OFFSET = REPORT_TYPE_INFO;

QLineEdit* readOnlyField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setEnabled(false);
    return field;
}

QString enabledText(bool enabled) {
    return enabled ? QStringLiteral("Yes") : QStringLiteral("No");
}

}  // namespace

RuleSettingsDialog::RuleSettingsDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle("Validation Settings");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(QFont("Tahoma", 8));
    setSizeGripEnabled(true);

    lvValidationSettings = new QTreeWidget(this);
    lvValidationSettings->setColumnCount(5);
    lvValidationSettings->setHeaderLabels({"ID", "Name", "Type", "Enabled", "Description"});
    const int widths[] = {30, 200, 80, 60, 200};
    for (int i = 0; i < 5; ++i) lvValidationSettings->setColumnWidth(i, widths[i]);
    lvValidationSettings->setRootIsDecorated(false);
    lvValidationSettings->setItemsExpandable(false);
    lvValidationSettings->setUniformRowHeights(true);
    lvValidationSettings->setSelectionMode(QAbstractItemView::SingleSelection);
    lvValidationSettings->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvValidationSettings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvValidationSettings->setAllColumnsShowFocus(true);
    // The selected row stays marked while the drop-downs have the focus.
    QPalette palette = lvValidationSettings->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    lvValidationSettings->setPalette(palette);

    m_ruleGroup = new QGroupBox("Validation", this);
    m_ruleGroup->setFixedWidth(222);
    lbID = new QLabel("ID", m_ruleGroup);
    edID = readOnlyField(m_ruleGroup);
    lbName = new QLabel("Name", m_ruleGroup);
    edName = readOnlyField(m_ruleGroup);
    m_reportTypeLabel = new QLabel("Report Type", m_ruleGroup);
    cbReportType = new QComboBox(m_ruleGroup);
    cbReportType->addItems({"Info", "Warning", "Error"});
    lbEnabled = new QLabel("Enabled", m_ruleGroup);
    cbEnabled = new QComboBox(m_ruleGroup);
    cbEnabled->addItems({"Yes", "No"});
    lbThreshold = new QLabel("Threshold", m_ruleGroup);
    edThreshold = new QLineEdit(m_ruleGroup);
    lbThreshold->setBuddy(edThreshold);
    lbDescription = new QLabel("Description", m_ruleGroup);
    edDescription = readOnlyField(m_ruleGroup);
    m_reportTypeLabel->setBuddy(cbReportType);
    lbEnabled->setBuddy(cbEnabled);

    auto* fields = new QFormLayout(m_ruleGroup);
    fields->setRowWrapPolicy(QFormLayout::WrapAllRows);
    fields->addRow(lbID, edID);
    fields->addRow(lbName, edName);
    fields->addRow(m_reportTypeLabel, cbReportType);
    fields->addRow(lbEnabled, cbEnabled);
    fields->addRow(lbThreshold, edThreshold);
    fields->addRow(lbDescription, edDescription);
    lbThreshold->hide();
    edThreshold->hide();

    btnOK = new QPushButton("OK", this);
    btnCancel = new QPushButton("Cancel", this);
    btnOK->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(lvValidationSettings, 1);
    top->addWidget(m_ruleGroup, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addLayout(buttons);

    connect(lvValidationSettings, &QTreeWidget::itemSelectionChanged, this,
            [this] { lvValidationSettingsChange(); });
    connect(cbReportType, &QComboBox::currentIndexChanged, this,
            [this] { cbReportTypePropertiesChange(); });
    connect(cbEnabled, &QComboBox::currentIndexChanged, this,
            [this] { cbEnabledPropertiesChange(); });
    connect(edThreshold, &QLineEdit::editingFinished, this, [this] { edThresholdChange(); });
    connect(btnOK, &QPushButton::clicked, this, [this] {
        edThresholdChange();  // a threshold still being typed counts
        accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });

    // The outer frame is at least 600 by 300 (584 by 261 of client area), and never so small
    // that the fields on the right are squashed: their height follows the font in use.
    setMinimumSize(QSize(584, 261).expandedTo(minimumSizeHint()));
    resize(QSize(842, 293).expandedTo(minimumSize()));
    if (const QScreen* shown = screen())
        move(shown->availableGeometry().center() - rect().center());
}

RuleSettingsDialog::~RuleSettingsDialog() = default;

void RuleSettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) onFirstShow();
}

void RuleSettingsDialog::onFirstShow() {
    platform::guardedVoid("TValidationSettingsForm.FormShow", [&] {
        // Grid lines between the cells. Once the items have a style sheet of their own, the
        // selection must be given one too, or the style paints it pale under white text.
        lvValidationSettings->setStyleSheet(
            "QTreeView::item { border-right: 1px solid palette(midlight); border-bottom: 1px solid "
            "palette(midlight); }"
            "QTreeView::item:selected { background: palette(highlight); color: "
            "palette(highlighted-text); }");
        m_selectedIndex = -1;
        if (!m_ruleSettings) throw std::logic_error("no settings list");
        lvValidationSettings->clear();
        QList<QTreeWidgetItem*> rows;
        for (std::int32_t i = 0; i < m_ruleSettings->count(); ++i) {
            const RuleSetting* setting = m_ruleSettings->getValidationSetting(i);
            rows.push_back(new QTreeWidgetItem(QStringList{
                QString::number(setting->id), QString::fromStdString(setting->name),
                QString::fromLatin1(reportTypeName(setting->reportType)),
                enabledText(setting->enabled), QString::fromStdString(setting->description)}));
        }
        if (m_workingDeliverySettings)
            for (const DeliveryRule& rule : m_workingDeliverySettings->rules())
                rows.push_back(new QTreeWidgetItem(
                    QStringList{QString::number(rule.id), QString::fromUtf8(rule.name),
                                QString::fromLatin1(reportTypeName(rule.reportType)),
                                enabledText(rule.enabled), QString::fromUtf8(rule.description)}));
        lvValidationSettings->addTopLevelItems(rows);
        if (!rows.isEmpty()) lvValidationSettings->setCurrentItem(rows.front());
    });
}

void RuleSettingsDialog::lvValidationSettingsChange() {
    const QList<QTreeWidgetItem*> selected = lvValidationSettings->selectedItems();
    const int index =
        selected.isEmpty() ? -1 : lvValidationSettings->indexOfTopLevelItem(selected.front());
    if (index < 0 || index == m_selectedIndex) return;
    edThresholdChange();  // the threshold typed for the row left behind counts
    m_selectedIndex = index;
    updateSelected(index);
}

void RuleSettingsDialog::updateSelected(int index) {
    platform::guardedVoid("TValidationSettingsForm.UpdateSelected", [&] {
        if (!m_workingRuleSettings) throw std::logic_error("no working copy");
        if (const DeliveryRule* rule = deliveryRuleAt(index)) return showDeliveryRule(*rule);
        lbThreshold->hide();
        edThreshold->hide();
        const RuleSetting* setting = m_workingRuleSettings->getValidationSetting(index);
        if (!setting) return;
        edID->setText(QString::number(setting->id));
        edName->setText(QString::fromStdString(setting->name));
        showDescription(QString::fromStdString(setting->description));
        // Showing a row is not an edit: the drop-downs change silently.
        const QSignalBlocker blockType(cbReportType);
        const QSignalBlocker blockEnabled(cbEnabled);
        // No item names any other type (the row says "Unknown"): the choice stays as it was.
        if (setting->reportType >= REPORT_TYPE_INFO && setting->reportType <= REPORT_TYPE_ERROR)
            cbReportType->setCurrentIndex(setting->reportType - REPORT_TYPE_ITEM_OFFSET);
        cbReportType->setEnabled(setting->reportTypeEditable);
        cbEnabled->setCurrentIndex(setting->enabled ? 0 : 1);
        cbEnabled->setEnabled(setting->enabledEditable);
    });
}

void RuleSettingsDialog::cbReportTypePropertiesChange() {
    platform::guardedVoid("TValidationSettingsForm.cbReportTypePropertiesChange", [&] {
        if (m_selectedIndex < 0 || !m_workingRuleSettings || cbReportType->currentIndex() < 0)
            return;
        if (DeliveryRule* rule = deliveryRuleAt(m_selectedIndex)) {
            rule->reportType = cbReportType->currentIndex() + REPORT_TYPE_ITEM_OFFSET;
            if (QTreeWidgetItem* row = lvValidationSettings->topLevelItem(m_selectedIndex))
                row->setText(COLUMN_TYPE, QString::fromLatin1(reportTypeName(rule->reportType)));
            return;
        }
        RuleSetting* setting = m_workingRuleSettings->getValidationSetting(m_selectedIndex);
        if (!setting) return;
        setting->reportType = cbReportType->currentIndex() + REPORT_TYPE_ITEM_OFFSET;
        if (QTreeWidgetItem* row = lvValidationSettings->topLevelItem(m_selectedIndex))
            row->setText(COLUMN_TYPE, QString::fromLatin1(reportTypeName(setting->reportType)));
    });
}

void RuleSettingsDialog::cbEnabledPropertiesChange() {
    platform::guardedVoid("TValidationSettingsForm.cbEnabledPropertiesChange", [&] {
        if (m_selectedIndex < 0 || !m_workingRuleSettings || cbEnabled->currentIndex() < 0) return;
        if (DeliveryRule* rule = deliveryRuleAt(m_selectedIndex)) {
            rule->enabled = cbEnabled->currentIndex() == 0;
            if (QTreeWidgetItem* row = lvValidationSettings->topLevelItem(m_selectedIndex))
                row->setText(COLUMN_ENABLED, enabledText(rule->enabled));
            return;
        }
        RuleSetting* setting = m_workingRuleSettings->getValidationSetting(m_selectedIndex);
        if (!setting) return;
        setting->enabled = cbEnabled->currentIndex() == 0;
        if (QTreeWidgetItem* row = lvValidationSettings->topLevelItem(m_selectedIndex))
            row->setText(COLUMN_ENABLED, enabledText(setting->enabled));
    });
}

void RuleSettingsDialog::edThresholdChange() {
    platform::guardedVoid("TValidationSettingsForm.edThresholdChange", [&] {
        DeliveryRule* rule = deliveryRuleAt(m_selectedIndex);
        if (!rule || rule->kind == ThresholdKind::None) return;
        // Text that is no threshold gives way to the threshold in force.
        setThresholdFromText(*rule, edThreshold->text().toStdString());
        edThreshold->setText(QString::fromStdString(editableThresholdText(*rule)));
    });
}

DeliveryRule* RuleSettingsDialog::deliveryRuleAt(int index) const {
    if (!m_workingDeliverySettings || !m_workingRuleSettings) return nullptr;
    const int described = m_workingRuleSettings->count();
    const auto& rules = m_workingDeliverySettings->rules();
    if (index < described || index - described >= static_cast<int>(rules.size())) return nullptr;
    return m_workingDeliverySettings->find(rules[static_cast<std::size_t>(index - described)].id);
}

void RuleSettingsDialog::showDescription(const QString& text) {
    // The field is narrow and most descriptions are longer: its start shows, the tip shows all.
    edDescription->setText(text);
    edDescription->setCursorPosition(0);
    edDescription->setToolTip(text);
}

void RuleSettingsDialog::showDeliveryRule(const DeliveryRule& rule) {
    edID->setText(QString::number(rule.id));
    edName->setText(QString::fromUtf8(rule.name));
    showDescription(QString::fromUtf8(rule.description));
    const QSignalBlocker blockType(cbReportType);
    const QSignalBlocker blockEnabled(cbEnabled);
    if (rule.reportType >= REPORT_TYPE_INFO && rule.reportType <= REPORT_TYPE_ERROR)
        cbReportType->setCurrentIndex(rule.reportType - REPORT_TYPE_ITEM_OFFSET);
    cbReportType->setEnabled(true);
    cbEnabled->setCurrentIndex(rule.enabled ? 0 : 1);
    cbEnabled->setEnabled(true);
    const bool threshold = rule.kind != ThresholdKind::None;
    lbThreshold->setVisible(threshold);
    edThreshold->setVisible(threshold);
    edThreshold->setText(QString::fromStdString(editableThresholdText(rule)));
    edThreshold->setToolTip(threshold ? QString::fromStdString(allowedThresholdText(rule))
                                      : QString());
}

bool editValidationSettings(RuleSettings& list, QWidget* owner, DeliverySettings* delivery) {
    return platform::guarded("EditValidationSettings", false, [&] {
        RuleSettingsDialog form(owner);
        form.m_ruleSettings = &list;
        RuleSettings working;
        if (!working.assignValidationSettingList(list)) throw std::runtime_error("copy failed");
        form.m_workingRuleSettings = &working;
        std::optional<DeliverySettings> workingDelivery;
        if (delivery) form.m_workingDeliverySettings = &workingDelivery.emplace(*delivery);
        if (form.exec() != QDialog::Accepted) return false;
        if (!list.assignValidationSettingList(working))
            throw std::runtime_error("write-back failed");
        if (delivery) *delivery = *workingDelivery;
        return true;
    });
}
