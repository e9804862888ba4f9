#pragma once
// Tools > Repair...: the fixes to make (a profile's, or chosen one by one with their parameters),
// every change they propose with a check box (all, per fix, per change), what they could not fix,
// the selected change's subtitle before and after it, and Apply, which writes the checked changes
// to a new file and has the main window open it. Nothing is written before Apply.

#include <QWidget>
#include <cstdint>
#include <functional>

#include "repair/RepairFile.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeView;
class SubtitlePreview;

namespace repairwindow {

class ChangeTreeModel;
class RepairOptionsPanel;

class RepairWindow final : public QWidget {
    Q_OBJECT
public:
    using OpenFile = std::function<void(const QString&)>;

    // Source is FileName as read for repair; its text is shown with CodePage. OpenWritten opens
    // the file Apply wrote.
    RepairWindow(const QString& fileName, repair::RepairSource source, std::uint16_t codePage,
                 OpenFile openWritten, QWidget* parent = nullptr);
    ~RepairWindow() override;

    // The changes of the options as they stand now.
    void propose();
    // Writes the checked changes where the user says, then opens that file.
    void apply();

    RepairOptionsPanel* optionsPanel() const { return m_options; }
    ChangeTreeModel* model() const { return m_model; }
    QTreeView* changeView() const { return m_view; }
    QCheckBox* allBox() const { return m_all; }
    QLabel* summary() const { return m_summary; }
    QPushButton* applyButton() const { return m_apply; }
    SubtitlePreview* previewBefore() const { return m_before; }
    SubtitlePreview* previewAfter() const { return m_after; }

private:
    QWidget* createChanges();
    QWidget* createPreviews();
    void showCurrent();
    void refreshChosen();

    QString m_fileName;
    repair::RepairSource m_source;
    std::uint16_t m_codePage;
    OpenFile m_openWritten;
    RepairOptionsPanel* m_options = nullptr;
    ChangeTreeModel* m_model = nullptr;
    QTreeView* m_view = nullptr;
    QCheckBox* m_all = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_apply = nullptr;
    SubtitlePreview* m_before = nullptr;
    SubtitlePreview* m_after = nullptr;
    QLabel* m_beforeCaption = nullptr;
    std::int64_t m_shownBlock = -1;  // the block the previews show; -1 before the first
};

// Reads FileName and opens the window on it; a file that cannot be read is reported and opens
// nothing. The window belongs to Parent.
RepairWindow* showRepairWindow(const QString& fileName, std::uint16_t codePage, QWidget* parent,
                               RepairWindow::OpenFile openWritten);

}  // namespace repairwindow
