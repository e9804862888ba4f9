#pragma once
// The validation window's list: the rows are the host's stored findings themselves, read as the
// view paints them, so a run with hundreds of thousands of findings costs no more than the store.

#include <QAbstractTableModel>
#include <QColor>
#include <optional>

class ReportList;

class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NumberColumn, ModuleColumn, TypeColumn, MessageColumn, ColumnCount };

    explicit ReportListModel(const ReportList& reports, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Shows the first Rows findings of the store (all that are there when fewer).
    void showRows(std::size_t rows);
    void clear();

    // Row background by type name: pale blue, yellow and red for Info, Warning and Error.
    static std::optional<QColor> reportTypeColor(const QString& typeName);

private:
    const ReportList& m_reports;
    int m_rows = 0;
};
