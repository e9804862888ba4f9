#pragma once
// The validation window: hosts the plug-in for one file, runs it, shows its findings in a
// coloured list and saves them as an XML report. It is the plug-in's report sink itself.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "host/PluginHost.h"

class FindingFilterBar;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeView;
class ReportListModel;

class ValidationWindow : public QDialog, public PluginHost {
    Q_OBJECT
public:
    explicit ValidationWindow(QWidget* parent = nullptr);
    ~ValidationWindow() override;

    // Plug-in path (native narrow text, as found beside the program) and the file to validate.
    void setPaths(std::string plugin, const QString& fileName);

    bool visualizeReports();
    // "Progress: 42.50%" with the user's decimal separator.
    static QString formatProgress(double progress);

    // Handlers, also called directly by tests.
    void onFirstShow();
    bool canClose() const;
    void onClose();
    void btnValidationClick();
    void btnSettingsClick();
    void btnSaveReportClick();
    void onPollTimer();

    bool isRunning() const;

    // Controls.
    QGroupBox* gbReport = nullptr;
    FindingFilterBar* filterBar = nullptr;
    QTreeView* lvReport = nullptr;
    ReportListModel* m_reportModel = nullptr;
    QPushButton* btnValidation = nullptr;
    QLineEdit* edProgress = nullptr;
    QPushButton* btnSettings = nullptr;
    QPushButton* btnSaveReport = nullptr;
    QPushButton* btnClose = nullptr;
    QTimer* m_pollTimer = nullptr;

    static constexpr int designedClientWidth = 1004;
    static constexpr int designedClientHeight = 351;

signals:
    // Double-click or Enter on a finding about a block: the block (0-based), for the main window
    // to select.
    void findingActivated(int block);

public slots:
    // Every way of closing (Close, Escape, the close box) ends here; refused while running.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void sizeColumnsToFont();
    void setRunning(bool running);
    void applyFilter();
    void saveReportAs(const QString& xmlFileName);

    QString m_displayFileName;
    // The plug-in's rules and thresholds as the last run began: what its report says was checked,
    // even when the settings changed since.
    std::optional<std::string> m_runListing;
    bool m_shown = false;
    bool m_closed = false;
};

// Shows the validation window modally for FileName with the plug-in at Plugin; OnFinding, when
// given, is called with the block of a finding the user activates. With a plug-in that cannot be
// loaded nothing is shown and the result is false.
bool showValidationWindow(const std::string& plugin, const QString& fileName,
                          QWidget* parent = nullptr,
                          const std::function<void(int)>& onFinding = {});
