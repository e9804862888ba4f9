#pragma once
// The subtitle list's rows: one per TTI block present, computed in one pass when a file loads or
// the code page changes. Each row keeps only its time-code bytes and the span of its decoded text
// in one shared buffer; the view asks for the few rows it paints.

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "stl/StlTypes.h"

class SubtitleRows {
public:
    void append(const TextAndTimingInformation& block, std::uint16_t codePage);
    void reserve(std::size_t rows);
    std::size_t size() const { return m_rows.size(); }
    QString timeCodeIn(std::size_t row) const;
    QString timeCodeOut(std::size_t row) const;
    QString text(std::size_t row) const;

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
    enum Column { CaptionColumn, NumberColumn, TCInColumn, TCOutColumn, TextColumn, ColumnCount };

    explicit SubtitleListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces every row at once.
    void setRows(SubtitleRows rows);
    void clear();

private:
    static QVariant alignment(int column);
    SubtitleRows m_rows;
};
