#pragma once
// The validation window's list: the rows are the host's stored findings themselves, read as the
// view paints them, so a run with hundreds of thousands of findings costs little more than the
// store. A rule that fires often is one expandable group row; filters pick rows by index.

#include <QAbstractItemModel>
#include <QColor>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FindingTree.h"

class ReportList;
namespace validationhost {
class BlockSubtitles;
}

class ReportListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column {
        NumberColumn,
        ModuleColumn,
        TypeColumn,
        SubtitleColumn,
        MessageColumn,
        ColumnCount
    };

    explicit ReportListModel(const ReportList& reports, QObject* parent = nullptr);
    ~ReportListModel() override;

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The file the findings are about: their subtitles are read from it when first shown.
    void setFile(std::string file);
    // Shows the first Rows findings of the store (all that are there when fewer).
    void showRows(std::size_t rows);
    void clear();
    void setFilter(const FindingFilter& filter);
    const FindingFilter& filter() const { return m_filter; }
    const FindingTree& tree() const { return m_tree; }

    bool isGroup(const QModelIndex& index) const;
    // The block the row's finding is about; -1 for none and for group rows.
    std::int32_t blockOf(const QModelIndex& index) const;

    // Row background by type name: pale blue, yellow and red for Info, Warning and Error.
    static std::optional<QColor> reportTypeColor(const QString& typeName);

private:
    // The store index of a finding row, -1 for a group row.
    std::int64_t findingOf(const QModelIndex& index) const;
    QVariant findingData(std::uint32_t finding, int column) const;
    QVariant groupData(std::size_t group, int column) const;
    QString subtitleOf(std::int32_t block) const;
    const validationhost::BlockSubtitles& subtitles() const;
    void labelGroups();

    const ReportList& m_reports;
    std::string m_file;
    FindingTree m_tree;
    FindingFilter m_filter;
    std::vector<QString> m_groupLabels;
    mutable std::unique_ptr<validationhost::BlockSubtitles> m_subtitles;
};
