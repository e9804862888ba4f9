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

std::u16string_view SubtitleRows::textView(std::size_t row) const {
    const auto& r = m_rows[row];
    return std::u16string_view(m_texts).substr(r.textStart, r.textLength);
}

std::uint32_t SubtitleRows::timeCodeKey(std::size_t row, bool out) const {
    const std::uint8_t* tc = m_rows[row].timeCodes + (out ? 4 : 0);
    return std::uint32_t{tc[0]} << 24 | std::uint32_t{tc[1]} << 16 | std::uint32_t{tc[2]} << 8 |
           tc[3];
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
        case DurationColumn:
        case CpsColumn:
        case RowsColumn:
        case LongestRowColumn:
        case GapColumn:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        default:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
}

QVariant SubtitleListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const std::uint32_t block = blockAt(index.row());
    const auto row = static_cast<std::size_t>(block);
    if (role == Qt::TextAlignmentRole) return alignment(index.column());
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (index.column() >= firstFactColumn)
        return role == Qt::DisplayRole ? factData(block, index.column()) : QVariant();
    switch (index.column()) {
        case NumberColumn:
            return role == Qt::DisplayRole ? QVariant(QString::number(block + 1)) : QVariant();
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
    if (role == Qt::ToolTipRole) {
        static const char* const tips[ColumnCount - firstFactColumn] = {
            "Duration in seconds", "Characters per second, as the reading-speed rule counts them",
            "Rows of text", "Characters of the longest row", "Frames to the next subtitle"};
        return section >= firstFactColumn ? QString::fromLatin1(tips[section - firstFactColumn])
                                          : QVariant();
    }
    if (role != Qt::DisplayRole) return {};
    static const char* const headings[ColumnCount] = {"",         "#",   "TC In", "TC Out",  "Text",
                                                      "Duration", "CPS", "Rows",  "Longest", "Gap"};
    return QString::fromLatin1(headings[section]);
}

Qt::ItemFlags SubtitleListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QVariant SubtitleListModel::factData(std::uint32_t block, int column) const {
    const int s = m_facts.subtitleStartingAt(block);
    if (s < 0) return QString();
    const double fps = m_facts.framesPerSecond();
    switch (column) {
        case DurationColumn:
            return QString::number(double(*m_facts.duration(s)) / fps, 'f', 2);
        case GapColumn:
            if (const auto gap = m_facts.gapToNext(s)) return QString::number(*gap);
            return QString();
        default:
            break;
    }
    if (!m_facts.hasReadings()) return QString();
    switch (column) {
        case CpsColumn:
            if (const auto cps = m_facts.charactersPerSecond(s))
                return QString::number(*cps, 'f', 2);
            return QString();
        case RowsColumn:
            return QString::number(m_facts.reading(s).rows);
        case LongestRowColumn:
            return QString::number(m_facts.reading(s).longest);
        default:
            return QString();
    }
}

void SubtitleListModel::setRows(SubtitleRows rows, SubtitleFacts facts) {
    beginResetModel();
    m_rows = std::move(rows);
    m_facts = std::move(facts);
    m_order.clear();
    m_rowOf.clear();
    if (m_sortColumn >= 0) {
        if (needsReadings(m_sortColumn)) ensureReadings();
        std::vector<std::uint32_t> order = sortedOrder(m_sortColumn, m_sortOrder);
        m_rowOf.assign(order.size(), 0);
        for (std::size_t r = 0; r < order.size(); ++r) m_rowOf[order[r]] = static_cast<int>(r);
        m_order = std::move(order);
    }
    endResetModel();
}

void SubtitleListModel::ensureReadings() {
    if (m_facts.hasReadings() || !m_provideReadings || m_rows.size() == 0) return;
    m_provideReadings(m_facts);
    if (rowCount() > 0)
        emit dataChanged(index(0, firstFactColumn), index(rowCount() - 1, ColumnCount - 1),
                         {Qt::DisplayRole});
}

void SubtitleListModel::dropReadings() {
    m_facts.dropReadings();
}

void SubtitleListModel::clear() {
    setRows(SubtitleRows(), SubtitleFacts());
}
