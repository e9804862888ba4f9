#include "SubtitleListModel.h"

#include <limits>
#include <stdexcept>

#include "BlockDisplay.h"
#include "stl/CodePage.h"
#include "stl/StlUtils.h"
#include "stl/TextTables.h"

void SubtitleRows::reserve(std::size_t rows) {
    m_rows.reserve(rows);
    // Most subtitles are well below a full text field; this avoids most regrowth.
    m_texts.reserve(rows * 48);
}

void SubtitleRows::append(const TextAndTimingInformation& block, std::uint16_t codePage) {
    const std::u16string text = subtitleDisplayText(block, codePage);
    if (m_texts.size() > std::numeric_limits<std::uint32_t>::max() - text.size())
        throw std::length_error("subtitle texts exceed 4 GiB");
    Row r;
    std::copy_n(&block.bytes[tti::timeCodeIn.offset], 8, r.timeCodes);
    r.textStart = static_cast<std::uint32_t>(m_texts.size());
    r.textLength = static_cast<std::uint32_t>(text.size());
    m_texts += text;
    m_rows.push_back(r);
}

QString SubtitleRows::timeCodeIn(std::size_t row) const {
    return timeCodeText(m_rows[row].timeCodes);
}

QString SubtitleRows::timeCodeOut(std::size_t row) const {
    return timeCodeText(m_rows[row].timeCodes + 4);
}

QString SubtitleRows::text(std::size_t row) const {
    const auto& r = m_rows[row];
    return QString::fromUtf16(m_texts.data() + r.textStart, static_cast<qsizetype>(r.textLength));
}

SubtitleListModel::SubtitleListModel(QObject* parent) : QAbstractTableModel(parent) {}

int SubtitleListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SubtitleListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SubtitleListModel::alignment(int column) {
    switch (column) {
        case NumberColumn:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        case TCInColumn:
        case TCOutColumn:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        default:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
}

QVariant SubtitleListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::TextAlignmentRole) return alignment(index.column());
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
        case NumberColumn:
            return role == Qt::DisplayRole ? QVariant(QString::number(index.row() + 1))
                                           : QVariant();
        // Time codes with three-digit parts may be cut too; the tool tip shows them whole.
        case TCInColumn:
            return m_rows.timeCodeIn(row);
        case TCOutColumn:
            return m_rows.timeCodeOut(row);
        case TextColumn:
            // Long texts are cut by the column; the tool tip shows them whole.
            return m_rows.text(row);
        default:
            return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    }
}

QVariant SubtitleListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::TextAlignmentRole) return alignment(section);
    if (role != Qt::DisplayRole) return {};
    static const char* const headings[ColumnCount] = {"", "#", "TC In", "TC Out", "Text"};
    return QString::fromLatin1(headings[section]);
}

Qt::ItemFlags SubtitleListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void SubtitleListModel::setRows(SubtitleRows rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void SubtitleListModel::clear() {
    setRows(SubtitleRows());
}
