#pragma once
// The subtitle list's rows: one per TTI block present, computed in one pass when a file loads or
// the code page changes. Each row keeps only its time-code bytes and the span of its decoded text
// in one shared buffer; the view asks for the few rows it paints. The columns a subtitler reads
// come from the subtitle model (SubtitleFacts) and show on the block that starts a subtitle. The
// rows can be sorted by any column; the model keeps the order, so a view row and a block index
// differ once sorted (blockAt, rowOfBlock).

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "SubtitleFacts.h"

#include "stl/StlTypes.h"

class SubtitleRows {
public:
    void append(const TextAndTimingInformation& block, std::uint16_t codePage);
    void reserve(std::size_t rows);
    std::size_t size() const { return m_rows.size(); }
    QString timeCodeIn(std::size_t row) const;
    QString timeCodeOut(std::size_t row) const;
    QString text(std::size_t row) const;
    std::u16string_view textView(std::size_t row) const;
    // TimeCodeIn (or Out) as one number that sorts as the time codes do.
    std::uint32_t timeCodeKey(std::size_t row, bool out) const;

private:
    struct Row {
        std::uint8_t timeCodes[8];  // TimeCodeIn then TimeCodeOut, as stored
        std::uint32_t textStart;
        std::uint32_t textLength;
    };
    std::vector<Row> m_rows;
    std::u16string m_texts;
};

class SubtitleListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Column 0 carries the (always empty) row caption and stays hidden.
    enum Column {
        CaptionColumn,
        NumberColumn,
        TCInColumn,
        TCOutColumn,
        TextColumn,
        DurationColumn,
        CpsColumn,
        RowsColumn,
        LongestRowColumn,
        GapColumn,
        ColumnCount
    };
    static constexpr int firstFactColumn = DurationColumn;
    // Columns that need the subtitles' rows read (SubtitleFacts::buildReadings).
    static bool needsReadings(int column) {
        return column == CpsColumn || column == RowsColumn || column == LongestRowColumn;
    }

    explicit SubtitleListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces every row at once; the sort in force is applied to the new rows.
    void setRows(SubtitleRows rows, SubtitleFacts facts = {});
    void clear();
    // Sorts by Column (-1: file order); selections follow their blocks.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const SubtitleFacts& facts() const { return m_facts; }
    // Reads the subtitles' rows when they are not read yet (Provide does it, given the facts).
    void setReadingsProvider(std::function<void(SubtitleFacts&)> provide) {
        m_provideReadings = std::move(provide);
    }
    void ensureReadings();
    // The code page changed: the rows are read again when next needed.
    void dropReadings();

    std::uint32_t blockAt(int row) const {
        return m_order.empty() ? static_cast<std::uint32_t>(row) : m_order[std::size_t(row)];
    }
    int rowOfBlock(std::uint32_t block) const {
        return m_order.empty() ? static_cast<int>(block) : m_rowOf[block];
    }

private:
    static QVariant alignment(int column);
    QVariant factData(std::uint32_t block, int column) const;
    std::vector<std::uint32_t> sortedOrder(int column, Qt::SortOrder order) const;
    void setOrder(std::vector<std::uint32_t> order);

    SubtitleRows m_rows;
    SubtitleFacts m_facts;
    std::function<void(SubtitleFacts&)> m_provideReadings;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::vector<std::uint32_t> m_order;  // view row -> block; empty for file order
    std::vector<int> m_rowOf;            // block -> view row, with Order
};
