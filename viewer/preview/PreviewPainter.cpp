#include "PreviewPainter.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <algorithm>

#include "subtitle/TextRows.h"

namespace preview {
namespace {

constexpr int teletextGridRows = 25;  // rows 0-24; the subtitle rows are 1-23
constexpr int lastRow = 23;

QFont uiFont() {
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

// Label, note and ruler lines follow the desktop font, so a larger font or 200 % scaling is not
// cut.
int textLine() {
    return std::max(15, QFontMetrics(uiFont()).lineSpacing());
}

QString notesText(const Layout& layout) {
    QStringList lines;
    for (const std::string& note : layout.notes) lines << QString::fromStdString(note);
    return lines.join('\n');
}

// The notes wrap at the pane's width rather than run off its edge.
int noteLines(const Layout& layout, int width) {
    if (layout.notes.empty()) return 0;
    const QFontMetrics metrics(uiFont());
    const QRect needed = metrics.boundingRect(QRect(0, 0, std::max(1, width - 4), 1 << 20),
                                              Qt::TextWordWrap, notesText(layout));
    return (needed.height() + metrics.lineSpacing() - 1) / metrics.lineSpacing();
}

bool isTeletext(const Layout& layout) {
    return layout.mode != DisplayMode::OpenSubtitling;
}

QFont cellFont(int rowHeight, bool italic, bool underline) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(std::max(4, rowHeight * 4 / 5));
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

void drawMosaic(QPainter& painter, const QRect& rect, const Cell& cell, const QColor& colour) {
    const int gap = cell.separated ? std::max(1, rect.width() / 8) : 0;
    for (int bit = 0; bit < 6; ++bit) {
        if (!(cell.mosaic & (1 << bit))) continue;
        const int col = bit % 2, band = bit / 2;
        const int x0 = rect.left() + rect.width() * col / 2;
        const int x1 = rect.left() + rect.width() * (col + 1) / 2;
        const int y0 = rect.top() + rect.height() * band / 3;
        const int y1 = rect.top() + rect.height() * (band + 1) / 3;
        painter.fillRect(QRect(x0 + gap, y0, x1 - x0 - gap, y1 - y0 - gap), colour);
    }
}

// Text of one cell, stretched to the cell's size (double height and width scale the glyph).
void drawGlyph(QPainter& painter, const QRect& rect, const QRect& normal, const QString& text) {
    painter.save();
    painter.translate(rect.topLeft());
    painter.scale(double(rect.width()) / normal.width(), double(rect.height()) / normal.height());
    painter.drawText(QRect(0, 0, normal.width(), normal.height()), Qt::AlignCenter, text);
    painter.restore();
}

void drawFlashMark(QPainter& painter, const QRect& rect) {
    const int s = std::max(3, rect.width() / 3);
    QPainterPath path;
    path.moveTo(rect.right() - s, rect.top());
    path.lineTo(rect.right() + 1, rect.top());
    path.lineTo(rect.right() + 1, rect.top() + s);
    path.closeSubpath();
    painter.fillPath(path, markColour());
}

void outline(QPainter& painter, const QRect& rect, Qt::PenStyle style) {
    painter.save();
    painter.setPen(QPen(markColour(), 1, style));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void paintTeletextRow(QPainter& painter, const PreviewGeometry& g, const Row& row) {
    const QRect page(g.cell(1, 0).topLeft(), g.cell(lastRow, 39).bottomRight());
    painter.save();
    painter.setClipRect(page);
    int unclosedFrom = -1, unclosedTo = -1;
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        const Cell& cell = row.cells[i];
        const int column = row.column + static_cast<int>(i);
        if (column >= 40) break;
        if (cell.unclosedBox) {
            if (unclosedFrom < 0) unclosedFrom = column;
            unclosedTo = column;
        }
        if (cell.covered || !cell.boxed) continue;
        const QRect normal = g.cell(row.number, column);
        QRect rect = normal;
        const bool tall = cell.size == CellSize::DoubleHeight || cell.size == CellSize::DoubleSize;
        const bool wide = !cell.attribute &&
                          (cell.size == CellSize::DoubleWidth || cell.size == CellSize::DoubleSize);
        if (tall) rect.setHeight(2 * normal.height());
        if (wide) rect.setWidth(2 * normal.width());
        painter.fillRect(rect, teletextColour(cell.background));
        QColor ink = teletextColour(cell.foreground);
        if (cell.conceal) ink.setAlpha(100);
        if (cell.isMosaic && !cell.attribute) {
            drawMosaic(painter, rect, cell, ink);
        } else if (cell.length > 0) {
            painter.setPen(ink);
            drawGlyph(painter, rect, normal, QString::fromUtf16(cell.chars, cell.length));
        }
        if (cell.flash && !cell.attribute) drawFlashMark(painter, rect);
    }
    painter.restore();
    // Marks cover both halves of a double-height row.
    const int extra = row.doubleHeight && row.number < lastRow ? g.rowHeight() : 0;
    const auto span = [&](int from, int to) {
        return QRect(g.cell(row.number, from).topLeft(), g.cell(row.number, to).bottomRight())
            .adjusted(0, 0, 0, extra);
    };
    if (unclosedFrom >= 0) outline(painter, span(unclosedFrom, unclosedTo), Qt::DotLine);
    if (row.beyondLimit) outline(painter, span(std::max(0, row.column), 39), Qt::DashLine);
    if (row.tooWide) {
        const QRect end = span(39, 39);
        painter.fillRect(QRect(end.right() + 1, end.top(), 3, end.height()), markColour());
    }
    if (row.lowerHalfCut)
        painter.fillRect(QRect(page.left(), page.bottom() - 1, page.width(), 3), markColour());
}

Qt::Alignment openAlignment(int justification) {
    switch (justification) {
        case 1:
            return Qt::AlignLeft | Qt::AlignAbsolute;
        case 3:
            return Qt::AlignRight | Qt::AlignAbsolute;
        default:
            return Qt::AlignHCenter;
    }
}

// An open-subtitle row is text, not cells: Qt lays it out (right-to-left scripts in their order,
// joined letters) across the safe area, aligned by JC.
void paintOpenRow(QPainter& painter, const PreviewGeometry& g, const Row& row) {
    const QRect rect = g.openRow(row);
    QString text;
    QList<QTextLayout::FormatRange> formats;
    for (const subtitle::Run& run : subtitle::runsOf(row)) {
        QTextLayout::FormatRange range;
        range.start = int(text.size());
        range.length = int(run.text.size());
        range.format.setFontItalic(run.italic);
        range.format.setFontUnderline(run.underline);
        if (run.boxed) range.format.setBackground(Qt::black);
        formats.append(range);
        text += QString::fromUtf16(run.text.data(), qsizetype(run.text.size()));
    }
    QFont font = cellFont(rect.height(), false, false);
    font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    QTextLayout layout(text, font);
    QTextOption option(openAlignment(row.justification));
    option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(rect.width());
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
    painter.save();
    painter.setClipRect(g.picture());
    painter.setPen(Qt::white);
    const qreal lineTop = rect.top() + (rect.height() - (line.isValid() ? line.height() : 0)) / 2;
    layout.draw(&painter, QPointF(rect.left(), lineTop));
    painter.restore();
    if (row.beyondLimit) outline(painter, rect, Qt::DashLine);
    if (line.isValid() && line.naturalTextWidth() > rect.width())
        painter.fillRect(QRect(rect.right() + 1, rect.top(), 3, rect.height()), markColour());
}

void paintGuides(QPainter& painter, const PreviewGeometry& g, const Layout& layout,
                 const PaintOptions& options) {
    painter.setFont(QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont));
    painter.setPen(QColor(120, 120, 120));
    const bool teletext = isTeletext(layout);
    if (options.ruler) {
        const int columns = teletext ? 40 : layout.columns;
        const int line = textLine();
        for (int c = 0; c < columns; ++c) {
            const QRect cell = g.cell(teletext ? 1 : 0, c);
            const int y = g.picture().top() - 3;
            painter.drawLine(cell.left(), y, cell.left(), y + ((c % 5) ? 1 : 3));
            if (c % 5 == 0)
                painter.drawText(QRect(cell.left() - 10, y - line + 2, 20, line), Qt::AlignCenter,
                                 QString::number(c + 1));
        }
    }
    if (options.rowNumbers && teletext) {
        for (int r = 1; r <= lastRow; ++r) {
            const QRect cell = g.cell(r, 0);
            painter.drawText(QRect(0, cell.top(), g.picture().left() - 3, cell.height()),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(r));
        }
    }
}

}  // namespace

PreviewGeometry::PreviewGeometry(const Layout& layout, const QSize& area,
                                 const PaintOptions& options)
    : m_teletext(isTeletext(layout)), m_maximumRows(layout.maximumRows) {
    const int line = textLine();
    m_labelHeight = layout.label.empty() ? 0 : line;
    const int top = m_labelHeight + (options.ruler ? line : 2);
    const int left = options.rowNumbers ? 24 : 2;
    m_notesHeight = noteLines(layout, area.width()) * QFontMetrics(uiFont()).lineSpacing();
    const int bottom = m_notesHeight + 2;
    const int availableWidth = std::max(40, area.width() - left - 2);
    const int availableHeight = std::max(30, area.height() - top - bottom);
    // A 4:3 picture, as large as fits.
    int width = availableWidth;
    int height = width * 3 / 4;
    if (height > availableHeight) {
        height = availableHeight;
        width = height * 4 / 3;
    }
    m_picture = QRect(left + (availableWidth - width) / 2, top, width, height);
    const int columns = m_teletext ? 40 : std::max(1, layout.columns);
    m_cellWidth = std::max(1, m_teletext ? width / 42 : width * 9 / 10 / columns);
    m_rowHeight = std::max(1, m_teletext ? height / teletextGridRows : height / lastRow);
    const int gridRows = m_teletext ? teletextGridRows : lastRow;
    m_grid = QRect(m_picture.left() + (width - columns * m_cellWidth) / 2,
                   m_picture.top() + (height - gridRows * m_rowHeight) / 2, columns * m_cellWidth,
                   gridRows * m_rowHeight);
    m_notesTop = m_picture.bottom() + 4;
}

QRect PreviewGeometry::cell(int row, int column) const {
    return QRect(m_grid.left() + column * m_cellWidth, m_grid.top() + row * m_rowHeight,
                 m_cellWidth, m_rowHeight);
}

QRect PreviewGeometry::openRow(const Row& row) const {
    const double top = subtitle::openRowTop(row.verticalPosition, row.line, m_maximumRows);
    const double height = subtitle::openRowHeight(row.verticalPosition, m_maximumRows);
    const int margin = m_picture.width() / 10;
    return QRect(m_picture.left() + margin, m_picture.top() + int(top * m_picture.height()),
                 m_picture.width() - 2 * margin, std::max(4, int(height * m_picture.height())));
}

QColor teletextColour(Colour colour) {
    const int c = static_cast<int>(colour);
    return QColor((c & 1) ? 255 : 0, (c & 2) ? 255 : 0, (c & 4) ? 255 : 0);
}

QColor pictureColour() {
    return QColor(52, 64, 80);
}

QColor markColour() {
    return QColor(255, 140, 0);
}

void paintPreview(QPainter& painter, const QSize& area, const Layout& layout,
                  const PaintOptions& options) {
    const PreviewGeometry g(layout, area, options);
    const QFont font = uiFont();
    painter.fillRect(QRect(QPoint(0, 0), area), QColor(32, 32, 32));
    if (!layout.label.empty()) {
        QFont bold = font;
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(markColour());
        const QString label = QFontMetrics(bold).elidedText(QString::fromStdString(layout.label),
                                                            Qt::ElideRight, area.width() - 4);
        painter.drawText(QRect(2, 0, area.width() - 4, g.labelHeight()),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
    }
    painter.fillRect(g.picture(), pictureColour());
    paintGuides(painter, g, layout, options);
    if (layout.showsText) {
        painter.setFont(cellFont(g.rowHeight(), false, false));
        for (const Row& row : layout.lines) {
            if (row.offPage || row.hiddenByAbove) continue;
            if (isTeletext(layout))
                paintTeletextRow(painter, g, row);
            else
                paintOpenRow(painter, g, row);
        }
    }
    painter.setFont(font);
    painter.setPen(QColor(200, 200, 200));
    painter.drawText(QRect(2, g.notesTop(), area.width() - 4, g.notesHeight()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, notesText(layout));
}

}  // namespace preview
