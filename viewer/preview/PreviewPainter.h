#pragma once
// Paints a laid-out subtitle: the picture, the cells on it, the marks for what the bytes get
// wrong, and the notes under the picture.

#include <QColor>
#include <QRect>

#include "TeletextLayout.h"

class QPainter;

namespace preview {

struct PaintOptions {
    bool rowNumbers = false;
    bool ruler = false;
};

// Where everything goes in an area of the given size.
class PreviewGeometry {
public:
    PreviewGeometry(const Layout& layout, const QSize& area, const PaintOptions& options);
    QRect picture() const { return m_picture; }
    // The cell of teletext row Row (1-23) and column Column (0-39); for open subtitling the
    // line slot Row of a block at vertical position 0.
    QRect cell(int row, int column) const;
    // Where an open-subtitle row is drawn: its slot across the picture's safe area.
    QRect openRow(const Row& row) const;
    int cellWidth() const { return m_cellWidth; }
    int rowHeight() const { return m_rowHeight; }
    int notesTop() const { return m_notesTop; }
    int notesHeight() const { return m_notesHeight; }
    int labelHeight() const { return m_labelHeight; }

private:
    QRect m_picture;
    QRect m_grid;
    int m_cellWidth = 1;
    int m_rowHeight = 1;
    int m_notesTop = 0;
    int m_notesHeight = 0;
    int m_labelHeight = 0;
    bool m_teletext = true;
    int m_maximumRows = 23;
};

QColor teletextColour(Colour colour);
// Where no box is: the television picture.
QColor pictureColour();
// Outlines and bars that mark what the bytes get wrong.
QColor markColour();

void paintPreview(QPainter& painter, const QSize& area, const Layout& layout,
                  const PaintOptions& options);

}  // namespace preview
