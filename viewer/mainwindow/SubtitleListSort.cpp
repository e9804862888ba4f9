// Sorting the subtitle list: the model keeps a view order over the blocks, so the blocks, their
// facts and everything that follows a selection stay where they are. Rows without a value in the
// column (blocks that start no subtitle) stay after the others in either order.

#include <algorithm>
#include <numeric>
#include <optional>

#include "SubtitleListModel.h"

namespace {

// A sort key: valued rows by Value, then the rest; ties in file order.
struct Key {
    bool empty = true;
    double value = 0;
};

}  // namespace

std::vector<std::uint32_t> SubtitleListModel::sortedOrder(int column, Qt::SortOrder order) const {
    std::vector<std::uint32_t> blocks(m_rows.size());
    std::iota(blocks.begin(), blocks.end(), 0u);
    if (column < 0) return blocks;
    const bool descending = order == Qt::DescendingOrder;
    if (column == TextColumn) {
        // Without regard to case; a locale's collation would take seconds on a long file.
        const auto less = [&](std::uint32_t a, std::uint32_t b) {
            const auto text = [&](std::uint32_t row) {
                const std::u16string_view t = m_rows.textView(row);
                return QStringView(t.data(), static_cast<qsizetype>(t.size()));
            };
            return text(a).compare(text(b), Qt::CaseInsensitive) < 0;
        };
        std::stable_sort(blocks.begin(), blocks.end(), [&](std::uint32_t a, std::uint32_t b) {
            return descending ? less(b, a) : less(a, b);
        });
        return blocks;
    }
    std::vector<Key> keys(m_rows.size());
    for (std::uint32_t b = 0; b < keys.size(); ++b) {
        const int s = m_facts.subtitleStartingAt(b);
        std::optional<double> value;
        switch (column) {
            case NumberColumn:
                value = b;
                break;
            case TCInColumn:
            case TCOutColumn:
                value = m_rows.timeCodeKey(b, column == TCOutColumn);
                break;
            case DurationColumn:
                if (const auto d = m_facts.duration(s)) value = double(*d);
                break;
            case GapColumn:
                if (const auto g = m_facts.gapToNext(s)) value = double(*g);
                break;
            case CpsColumn:
                value = m_facts.charactersPerSecond(s);
                break;
            case RowsColumn:
                if (s >= 0 && m_facts.hasReadings()) value = m_facts.reading(s).rows;
                break;
            case LongestRowColumn:
                if (s >= 0 && m_facts.hasReadings()) value = m_facts.reading(s).longest;
                break;
            default:
                break;
        }
        if (value) keys[b] = Key{false, descending ? -*value : *value};
    }
    std::stable_sort(blocks.begin(), blocks.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (keys[a].empty != keys[b].empty) return keys[b].empty;
        return keys[a].value < keys[b].value;
    });
    return blocks;
}

void SubtitleListModel::setOrder(std::vector<std::uint32_t> order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> blocks;
    blocks.reserve(std::size_t(before.size()));
    for (const QModelIndex& index : before) blocks.push_back(blockAt(index.row()));
    m_rowOf.assign(order.size(), 0);
    for (std::size_t r = 0; r < order.size(); ++r) m_rowOf[order[r]] = static_cast<int>(r);
    m_order = std::move(order);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(rowOfBlock(blocks[std::size_t(i)]), before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SubtitleListModel::sort(int column, Qt::SortOrder order) {
    if (column >= ColumnCount) return;
    m_sortColumn = column;
    m_sortOrder = order;
    if (needsReadings(column)) ensureReadings();
    std::vector<std::uint32_t> sorted = sortedOrder(column, order);
    if (column < 0) sorted.clear();
    setOrder(std::move(sorted));
}
