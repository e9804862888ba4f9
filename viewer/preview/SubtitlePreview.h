#pragma once
// The preview pane: the selected subtitle drawn as a viewer would see it, with a context menu to
// copy or save the picture and to switch row numbers and the column ruler on.

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "PreviewPainter.h"
#include "TeletextLayout.h"

class QAction;
class QMenu;
class StlReader;

class SubtitlePreview : public QWidget {
    Q_OBJECT
public:
    explicit SubtitlePreview(QWidget* parent = nullptr);

    // Lays out block Index of the open file with the code page the subtitle list uses.
    void showBlock(const StlReader& reader, std::uint32_t index, std::uint16_t codePage);
    void showLayout(preview::Layout layout);
    void clear();

    const preview::Layout& currentLayout() const { return m_layout; }
    preview::PaintOptions paintOptions() const { return m_options; }
    void setRowNumbers(bool on);
    void setRuler(bool on);
    // The picture as painted, at the pane's size.
    QImage renderImage() const;
    // A cell in pane coordinates (teletext row and column; see PreviewGeometry).
    QRect cellRect(int row, int column) const;

    QMenu* contextMenu() const { return m_menu; }
    QAction* copyAction() const { return m_copyAction; }
    QAction* saveAction() const { return m_saveAction; }
    QAction* rowNumbersAction() const { return m_rowNumbersAction; }
    QAction* rulerAction() const { return m_rulerAction; }

    QSize sizeHint() const override { return {420, 330}; }
    QSize minimumSizeHint() const override { return {160, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void copyPreview();
    void savePreview();

    preview::Layout m_layout;
    preview::PaintOptions m_options;
    QMenu* m_menu = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_rowNumbersAction = nullptr;
    QAction* m_rulerAction = nullptr;
};
