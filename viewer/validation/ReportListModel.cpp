#include "ReportListModel.h"

#include <QBrush>
#include <climits>

#include "host/PluginHost.h"
#include "plugin_api/QuorvexControlInterface.h"

ReportListModel::ReportListModel(const ReportList& reports, QObject* parent)
    : QAbstractTableModel(parent), m_reports(reports) {}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

std::optional<QColor> ReportListModel::reportTypeColor(const QString& typeName) {
    if (typeName == QLatin1String("Info")) return QColor(0xEE, 0xEE, 0xFF);
    if (typeName == QLatin1String("Warning")) return QColor(0xFF, 0xFF, 0xCC);
    if (typeName == QLatin1String("Error")) return QColor(0xFF, 0xCC, 0xCC);
    return std::nullopt;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows) return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
        case Qt::DisplayRole: {
            if (index.column() == NumberColumn) return QString::number(index.row() + 1);
            const CustomReport report = m_reports.at(row);
            if (index.column() == ModuleColumn)
                return QString::fromLatin1(moduleDisplayName(report.module));
            if (index.column() == TypeColumn)
                return QString::fromLatin1(reportTypeName(report.reportType));
            return QString::fromStdString(report.reportMessage);
        }
        case Qt::BackgroundRole:
        case Qt::ForegroundRole: {
            const std::optional<QColor> color =
                reportTypeColor(QString::fromLatin1(reportTypeName(m_reports.reportTypeAt(row))));
            if (!color) return {};
            // Dark text on the pale brushes, so a dark colour scheme still reads.
            return role == Qt::BackgroundRole ? QBrush(*color) : QBrush(Qt::black);
        }
        default:
            return {};
    }
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[ColumnCount] = {"#", "Module", "Type", "Message"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section])
                                                 : QVariant();
}

void ReportListModel::showRows(std::size_t rows) {
    beginResetModel();
    m_rows = static_cast<int>(std::min<std::size_t>({rows, m_reports.count(), INT_MAX}));
    endResetModel();
}

void ReportListModel::clear() {
    showRows(0);
}
