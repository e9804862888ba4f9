#pragma once
// The subtitle list's rows: one per TTI block present, computed in one pass when a file loads or
// the code page changes. Each row keeps only its time-code bytes and the span of its decoded text
// in one shared buffer; the view asks for the few rows it paints.

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "stl/STLTypes.h"

class TSubtitleRows {
public:
    void Append(const TTextAndTimingInformation& Block, std::uint16_t CodePage);
    void Reserve(std::size_t Rows);
    std::size_t Size() const { return FRows.size(); }
    QString TimeCodeIn(std::size_t Row) const;
    QString TimeCodeOut(std::size_t Row) const;
    QString Text(std::size_t Row) const;

private:
    struct Row {
        std::uint8_t TimeCodes[8];  // TimeCodeIn then TimeCodeOut, as stored
        std::uint32_t TextStart;
        std::uint32_t TextLength;
    };
    std::vector<Row> FRows;
    std::u16string FTexts;
};

class TSubtitleListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Column 0 carries the (always empty) row caption and stays hidden.
    enum Column { CaptionColumn, NumberColumn, TCInColumn, TCOutColumn, TextColumn, ColumnCount };

    explicit TSubtitleListModel(QObject* Parent = nullptr);

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation,
                        int Role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;

    // Replaces every row at once.
    void SetRows(TSubtitleRows Rows);
    void Clear();

private:
    static QVariant Alignment(int Column);
    TSubtitleRows FRows;
};
