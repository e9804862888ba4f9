#pragma once
// The validation window: hosts the plug-in for one file, runs it, shows its findings in a
// coloured list and saves them as an XML report. It is the plug-in's report sink itself.

#include <QColor>
#include <QDialog>
#include <QString>
#include <optional>
#include <string>

#include "PluginHost.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class TMediaValidationForm : public QDialog, public TPluginHost {
    Q_OBJECT
public:
    explicit TMediaValidationForm(QWidget* Parent = nullptr);
    ~TMediaValidationForm() override;

    // Plug-in path (native narrow text, as found beside the program) and the file to validate.
    void SetPaths(std::string Plugin, const QString& FileName);

    bool VisualizeReports();
    // Background of a row by its type name (column 2).
    void lvReportCustomDrawItem(QTreeWidgetItem* Item);
    // Brush colour for a type name; none for names without one.
    static std::optional<QColor> ReportTypeColor(const QString& TypeName);
    // "Progress: 42.50%" with the user's decimal separator.
    static QString FormatProgress(double Progress);

    // Handlers, also called directly by tests.
    void FormShow();
    bool FormCloseQuery() const;
    void FormClose();
    void btnValidationClick();
    void btnSettingsClick();
    void btnSaveReportClick();
    void Timer1Timer();

    bool IsRunning() const;

    // Controls.
    QGroupBox* gbReport = nullptr;
    QTreeWidget* lvReport = nullptr;
    QPushButton* btnValidation = nullptr;
    QLineEdit* edProgress = nullptr;
    QPushButton* btnSettings = nullptr;
    QPushButton* btnSaveReport = nullptr;
    QPushButton* btnClose = nullptr;
    QTimer* Timer1 = nullptr;

    static constexpr int DesignedClientWidth = 1004;
    static constexpr int DesignedClientHeight = 351;

public slots:
    // Every way of closing (Close, Escape, the close box) ends here; refused while running.
    void done(int Result) override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void CreateControls();
    void SetRunning(bool Running);
    void SaveReportAs(const QString& XMLFileName);

    QString FDisplayFileName;
    bool FShown = false;
    bool FClosed = false;
};

// Shows the validation window modally for FileName with the plug-in at Plugin. With a plug-in
// that cannot be loaded nothing is shown and the result is false.
bool ShowMediaValidation(const std::string& Plugin, const QString& FileName,
                         QWidget* Parent = nullptr);
