#include "CompareModel.h"

namespace comparewindow {

namespace {

using Kind = compare::Difference::Kind;
using compare::WordChange;

QString oneLine(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('\n'), QStringLiteral(" / "));
}

// One side of a text change: the kept words and, marked, the ones only this side has.
QString markedWords(const std::vector<WordChange>& words, WordChange::Kind own) {
    QStringList out;
    for (const WordChange& w : words) {
        if (w.kind != WordChange::Kind::Same && w.kind != own) continue;
        const QString word = QString::fromStdString(w.word);
        if (w.kind == WordChange::Kind::Same)
            out << word;
        else if (own == WordChange::Kind::Removed)
            out << QStringLiteral("[-") + word + QStringLiteral("-]");
        else
            out << QStringLiteral("{+") + word + QStringLiteral("+}");
    }
    return out.join(QLatin1Char(' '));
}

}  // namespace

QColor kindColour(Kind kind) {
    switch (kind) {
        case Kind::Added:
            return QColor(0xc8, 0xf0, 0xc8);
        case Kind::Removed:
            return QColor(0xf8, 0xc8, 0xc8);
        case Kind::Split:
        case Kind::Merged:
            return QColor(0xe0, 0xd0, 0xf4);
        case Kind::Text:
            return QColor(0xfc, 0xf0, 0xb0);
        case Kind::Time:
            return QColor(0xc8, 0xdc, 0xf8);
        case Kind::Position:
            return QColor(0xc0, 0xec, 0xec);
        case Kind::Style:
            return QColor(0xfc, 0xdc, 0xb8);
        case Kind::Comment:
        case Kind::Header:
            return QColor(0xdc, 0xdc, 0xdc);
    }
    return {};
}

CompareModel::CompareModel(const compare::Comparison& comparison, QObject* parent)
    : QAbstractTableModel(parent), m_comparison(comparison), m_rows(compareRows(comparison)) {}

int CompareModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CompareModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString CompareModel::text(const CompareRow& row, bool sideA) const {
    const int entry = sideA ? row.a : row.b;
    if (entry < 0) return {};
    for (const int d : row.differences) {
        const compare::Difference& difference = m_comparison.differences[d];
        if (difference.kind == Kind::Text)
            return markedWords(difference.words,
                               sideA ? WordChange::Kind::Removed : WordChange::Kind::Added);
    }
    const compare::Side& side = sideA ? m_comparison.a : m_comparison.b;
    return oneLine(side.entries[entry].text);
}

QVariant CompareModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const CompareRow& row = m_rows[index.row()];
    const int column = index.column();
    const bool sideA = column < Kind;
    const int entry = sideA ? row.a : row.b;
    if (role == Qt::BackgroundRole) {
        if (row.differences.empty()) return {};
        return kindColour(m_comparison.differences[row.differences.front()].kind);
    }
    if (role == Qt::ToolTipRole && column == Kind) {
        QStringList details;
        for (const int d : row.differences)
            details << QString::fromLatin1(compare::kindName(m_comparison.differences[d].kind)) +
                           QStringLiteral(": ") +
                           QString::fromStdString(m_comparison.differences[d].detail);
        return details.join(QLatin1Char('\n'));
    }
    if (role != Qt::DisplayRole) return {};
    if (column == Kind) {
        if (row.continuation) return QString();
        QStringList kinds;
        for (const int d : row.differences)
            kinds << QString::fromLatin1(compare::kindName(m_comparison.differences[d].kind));
        return kinds.join(QStringLiteral(", "));
    }
    if (entry < 0) return {};
    const compare::Entry& e = (sideA ? m_comparison.a : m_comparison.b).entries[entry];
    switch (column) {
        case ANumber:
        case BNumber:
            return e.number;
        case AIn:
        case BIn:
            return QString::fromStdString(formatTimeCode(e.in));
        default:
            return text(row, sideA);
    }
}

QVariant CompareModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[] = {"A #", "A in", "A text", "Kind", "B #", "B in", "B text"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section])
                                                 : QVariant();
}

}  // namespace comparewindow
