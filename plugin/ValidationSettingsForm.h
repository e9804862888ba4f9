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
class TValidationSettingList;

class TValidationSettingsForm : public QDialog {
public:
    explicit TValidationSettingsForm(QWidget* Owner = nullptr);
    ~TValidationSettingsForm() override;

    TValidationSettingList* FValidationSettingList = nullptr;  // the caller's, not owned
    TValidationSettingList* FWorkingValidationSettingList =
        nullptr;  // owned by EditValidationSettings
    int FSelectedIndex = -1;

    // Handlers, public so tests can drive them without a running dialog.
    void FormShow();
    void lvValidationSettingsChange();
    void UpdateSelected(int Index);
    void cbReportTypePropertiesChange();
    void cbEnabledPropertiesChange();

    QTreeWidget* lvValidationSettings;
    QGroupBox* GroupBox1;
    QLabel* lbID;
    QLineEdit* edID;
    QLabel* lbName;
    QLineEdit* edName;
    QLabel* Label1;
    QComboBox* cbReportType;
    QLabel* lbEnabled;
    QComboBox* cbEnabled;
    QLabel* lbDescription;
    QLineEdit* edDescription;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* Event) override;
};

// Shows the rule dialog modally on a working copy of List; on "OK" List takes the edited settings
// (true), otherwise List is untouched (false). Needs a QApplication.
bool EditValidationSettings(TValidationSettingList& List, QWidget* Owner = nullptr);
