#pragma once
// File > Compare With...: the open file (A) and another version of it (B) side by side, aligned
// as the comparison engine aligns them, with the shift between them, the header fields that
// differ, F7 / Shift+F7 to the next or previous difference and both subtitles of the selected
// row drawn underneath.

#include <QWidget>
#include <memory>

#include "ComparedFile.h"
#include "compare/Comparison.h"

class QLabel;
class QTableView;
class SubtitlePreview;

namespace comparewindow {

class CompareModel;

class CompareWindow final : public QWidget {
    Q_OBJECT
public:
    CompareWindow(compare::Comparison comparison, ComparedFile a, ComparedFile b,
                  QWidget* parent = nullptr);
    ~CompareWindow() override;

    // Selects the next (or previous) row that starts a difference, wrapping around.
    void goToDifference(bool backwards);

    QTableView* table() const { return m_table; }
    CompareModel* model() const { return m_model; }
    SubtitlePreview* previewA() const { return m_previewA; }
    SubtitlePreview* previewB() const { return m_previewB; }
    // Block of each side the previews show now (-1: none).
    std::int64_t shownBlockA() const { return m_shownA; }
    std::int64_t shownBlockB() const { return m_shownB; }

private:
    QWidget* createSummary();
    QWidget* createLegend();
    void showSelectedRow();

    compare::Comparison m_comparison;
    ComparedFile m_a, m_b;
    CompareModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    SubtitlePreview* m_previewA = nullptr;
    SubtitlePreview* m_previewB = nullptr;
    std::int64_t m_shownA = -1, m_shownB = -1;
};

// Asks for the file to compare FileName with and opens the window; a file that cannot be read is
// reported and opens nothing. The window belongs to Parent.
CompareWindow* compareWith(QWidget* parent, const QString& fileName);

}  // namespace comparewindow
