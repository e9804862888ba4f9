#pragma once
// Both files' subtitles side by side in one table: number, in-time and text of A, what differs,
// then the same of B. Rows are coloured by the kind of their first difference; changed words show
// as [-removed-] in A's text and {+added+} in B's.

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

#include "CompareRows.h"

namespace comparewindow {

// The background a kind of difference is shown with (the legend uses the same).
QColor kindColour(compare::Difference::Kind kind);

class CompareModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ANumber, AIn, AText, Kind, BNumber, BIn, BText, ColumnCount };

    CompareModel(const compare::Comparison& comparison, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const std::vector<CompareRow>& rows() const { return m_rows; }

private:
    QString text(const CompareRow& row, bool sideA) const;

    const compare::Comparison& m_comparison;
    std::vector<CompareRow> m_rows;
};

}  // namespace comparewindow
