#pragma once
// The rule dialog: every rule with its report type and on/off switch. Edits go to a working copy
// that replaces the caller's list only when the user confirms.

#include <QDialog>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class RuleSettings;

class RuleSettingsDialog : public QDialog {
public:
    explicit RuleSettingsDialog(QWidget* owner = nullptr);
    ~RuleSettingsDialog() override;

    RuleSettings* m_ruleSettings = nullptr;         // the caller's, not owned
    RuleSettings* m_workingRuleSettings = nullptr;  // owned by EditValidationSettings
    int m_selectedIndex = -1;

    // Handlers, public so tests can drive them without a running dialog.
    void onFirstShow();
    void lvValidationSettingsChange();
    void updateSelected(int index);
    void cbReportTypePropertiesChange();
    void cbEnabledPropertiesChange();

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
    QLabel* lbDescription;
    QLineEdit* edDescription;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* event) override;
};

// Shows the rule dialog modally on a working copy of List; on "OK" List takes the edited settings
// (true), otherwise List is untouched (false). Needs a QApplication.
bool editValidationSettings(RuleSettings& list, QWidget* owner = nullptr);
