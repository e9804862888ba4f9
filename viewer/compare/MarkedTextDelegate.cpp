#include "MarkedTextDelegate.h"

#include <QApplication>
#include <QPainter>

namespace comparewindow {

namespace {

struct Piece {
    QString text;
    int mark;  // 0 plain, -1 removed, +1 added
};

std::vector<Piece> pieces(const QString& text) {
    std::vector<Piece> out;
    int at = 0;
    while (at < text.size()) {
        const int removed = text.indexOf(QStringLiteral("[-"), at);
        const int added = text.indexOf(QStringLiteral("{+"), at);
        int start = removed < 0 ? added : added < 0 ? removed : std::min(removed, added);
        const bool isRemoved = start == removed;
        const int end =
            start < 0
                ? -1
                : text.indexOf(isRemoved ? QStringLiteral("-]") : QStringLiteral("+}"), start + 2);
        if (start < 0 || end < 0) {
            out.push_back({text.mid(at), 0});
            break;
        }
        if (start > at) out.push_back({text.mid(at, start - at), 0});
        out.push_back({text.mid(start, end + 2 - start), isRemoved ? -1 : 1});
        at = end + 2;
    }
    return out;
}

}  // namespace

void MarkedTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    const std::vector<Piece> parts = pieces(text);
    if (parts.size() <= 1 && (parts.empty() || parts.front().mark == 0)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // Background, selection and focus as usual; the text drawn piece by piece on top.
    opt.text.clear();
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget).adjusted(2, 0, -2, 0);
    const bool selected = opt.state & QStyle::State_Selected;
    painter->save();
    painter->setClipRect(area);
    int x = area.left();
    for (const Piece& part : parts) {
        QFont font = opt.font;
        QColor colour = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        if (part.mark < 0) {
            font.setStrikeOut(true);
            if (!selected) colour = QColor(0xa0, 0x10, 0x10);
        } else if (part.mark > 0) {
            font.setBold(true);
            if (!selected) colour = QColor(0x10, 0x70, 0x10);
        }
        painter->setFont(font);
        painter->setPen(colour);
        const QFontMetrics metrics(font);
        painter->drawText(QRect(x, area.top(), area.right() - x + 1, area.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, part.text);
        x += metrics.horizontalAdvance(part.text);
        if (x > area.right()) break;
    }
    painter->restore();
}

}  // namespace comparewindow
