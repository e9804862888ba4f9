#pragma once
// The rule dialog: every rule with its report type and on/off switch, then the delivery rules with
// their thresholds. Edits go to working copies that replace the caller's only when the user
// confirms.

#include <QDialog>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class RuleSettings;
class DeliverySettings;
struct DeliveryRule;

class RuleSettingsDialog : public QDialog {
public:
    explicit RuleSettingsDialog(QWidget* owner = nullptr);
    ~RuleSettingsDialog() override;

    RuleSettings* m_ruleSettings = nullptr;                 // the caller's, not owned
    RuleSettings* m_workingRuleSettings = nullptr;          // owned by EditValidationSettings
    DeliverySettings* m_workingDeliverySettings = nullptr;  // optional; listed after the others
    int m_selectedIndex = -1;

    // Handlers, public so tests can drive them without a running dialog.
    void onFirstShow();
    void lvValidationSettingsChange();
    void updateSelected(int index);
    void cbReportTypePropertiesChange();
    void cbEnabledPropertiesChange();
    void edThresholdChange();

    QTreeWidget* lvValidationSettings;
    QGroupBox* m_ruleGroup;
    QLabel* lbID;
    QLineEdit* edID;
    QLabel* lbName;
    QLineEdit* edName;
    QLabel* m_reportTypeLabel;
    QComboBox* cbReportType;
    QLabel* lbEnabled;
    QComboBox* cbEnabled;
    QLabel* lbThreshold;
    QLineEdit* edThreshold;  // shown for a delivery rule with a threshold
    QLabel* lbDescription;
    QLineEdit* edDescription;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The delivery rule of a row, null for the rows of the other rules.
    DeliveryRule* deliveryRuleAt(int index) const;
    void showDeliveryRule(const DeliveryRule& rule);
    void showDescription(const QString& text);
};

// Shows the rule dialog modally on a working copy of List (and of Delivery, when given); on "OK"
// they take the edited settings (true), otherwise they are untouched (false). Needs a
// QApplication.
bool editValidationSettings(RuleSettings& list, QWidget* owner = nullptr,
                            DeliverySettings* delivery = nullptr);
