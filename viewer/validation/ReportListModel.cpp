#include "ReportListModel.h"

#include <QBrush>
#include <QFont>
#include <algorithm>

#include "host/BlockSubtitles.h"
#include "host/ReportList.h"
#include "plugin_api/QuorvexControlInterface.h"

namespace {

// Finding rows of a group carry the group's number plus one; top-level rows carry 0.
constexpr quintptr TOP_LEVEL = 0;

const char* severityName(Severity severity) {
    switch (severity) {
        case Severity::Info:
            return "Info";
        case Severity::Warning:
            return "Warning";
        case Severity::Error:
            return "Error";
        case Severity::Other:
            break;
    }
    return "";
}

// The subtitle a place names, as one number: findings in one subtitle give the same.
std::uint64_t subtitleKey(const validationhost::FindingPlace& place) {
    if (!place.hasSubtitle()) return (std::uint64_t{1} << 63) | std::uint32_t(place.block);
    const TimeCode& in = place.in;
    return std::uint64_t(place.subtitleNumber) << 32 |
           std::uint32_t(in.hours << 24 | in.minutes << 16 | in.seconds << 8 | in.frames);
}

}  // namespace

ReportListModel::ReportListModel(const ReportList& reports, QObject* parent)
    : QAbstractItemModel(parent), m_reports(reports) {}

ReportListModel::~ReportListModel() = default;

QModelIndex ReportListModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= ColumnCount) return {};
    if (!parent.isValid()) {
        return static_cast<std::size_t>(row) < m_tree.topCount()
                   ? createIndex(row, column, TOP_LEVEL)
                   : QModelIndex();
    }
    if (!isGroup(parent)) return {};
    const std::size_t group = m_tree.groupOf(static_cast<std::size_t>(parent.row()));
    if (static_cast<std::size_t>(row) >= m_tree.children(group).size()) return {};
    return createIndex(row, column, static_cast<quintptr>(group + 1));
}

QModelIndex ReportListModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == TOP_LEVEL) return {};
    const std::size_t group = child.internalId() - 1;
    return createIndex(static_cast<int>(m_tree.groupRow(group)), 0, TOP_LEVEL);
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return static_cast<int>(m_tree.topCount());
    if (parent.column() != 0 || !isGroup(parent)) return 0;
    return static_cast<int>(
        m_tree.children(m_tree.groupOf(static_cast<std::size_t>(parent.row()))).size());
}

int ReportListModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

bool ReportListModel::isGroup(const QModelIndex& index) const {
    return index.isValid() && index.internalId() == TOP_LEVEL &&
           static_cast<std::size_t>(index.row()) < m_tree.topCount() &&
           m_tree.isGroup(static_cast<std::size_t>(index.row()));
}

std::int64_t ReportListModel::findingOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return -1;
    const auto row = static_cast<std::size_t>(index.row());
    if (index.internalId() != TOP_LEVEL) {
        const std::vector<std::uint32_t>& children = m_tree.children(index.internalId() - 1);
        return row < children.size() ? children[row] : -1;
    }
    if (row >= m_tree.topCount() || m_tree.isGroup(row)) return -1;
    return m_tree.finding(row);
}

std::int32_t ReportListModel::blockOf(const QModelIndex& index) const {
    const std::int64_t finding = findingOf(index);
    return finding < 0 ? -1 : m_tree.blockOf(static_cast<std::uint32_t>(finding));
}

std::optional<QColor> ReportListModel::reportTypeColor(const QString& typeName) {
    if (typeName == QLatin1String("Info")) return QColor(0xEE, 0xEE, 0xFF);
    if (typeName == QLatin1String("Warning")) return QColor(0xFF, 0xFF, 0xCC);
    if (typeName == QLatin1String("Error")) return QColor(0xFF, 0xCC, 0xCC);
    return std::nullopt;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const bool group = isGroup(index);
    const std::int64_t finding = findingOf(index);
    if (!group && finding < 0) return {};
    switch (role) {
        case Qt::DisplayRole:
            return group ? groupData(m_tree.groupOf(static_cast<std::size_t>(index.row())),
                                     index.column())
                         : findingData(static_cast<std::uint32_t>(finding), index.column());
        case Qt::ToolTipRole:
            if (group || index.column() != MessageColumn) return {};
            return findingData(static_cast<std::uint32_t>(finding), MessageColumn);
        case Qt::FontRole: {
            if (!group) return {};
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        case Qt::BackgroundRole:
        case Qt::ForegroundRole: {
            const Severity severity =
                group ? m_tree.groupSeverity(m_tree.groupOf(static_cast<std::size_t>(index.row())))
                      : m_tree.severityOf(static_cast<std::uint32_t>(finding));
            const std::optional<QColor> color =
                reportTypeColor(QString::fromLatin1(severityName(severity)));
            if (!color) return {};
            // Dark text on the pale brushes, so a dark colour scheme still reads.
            return role == Qt::BackgroundRole ? QBrush(*color) : QBrush(Qt::black);
        }
        default:
            return {};
    }
}

QVariant ReportListModel::findingData(std::uint32_t finding, int column) const {
    switch (column) {
        case NumberColumn:
            return QString::number(std::uint64_t{finding} + 1);
        case SubtitleColumn:
            return subtitleOf(m_tree.blockOf(finding));
        default:
            break;
    }
    const CustomReport report = m_reports.at(finding);
    if (column == ModuleColumn) return QString::fromLatin1(moduleDisplayName(report.module));
    if (column == TypeColumn) return QString::fromLatin1(reportTypeName(report.reportType));
    return QString::fromStdString(report.reportMessage);
}

QVariant ReportListModel::groupData(std::size_t group, int column) const {
    switch (column) {
        case ModuleColumn: {
            const CustomReport first = m_reports.at(m_tree.children(group).front());
            return QString::fromLatin1(moduleDisplayName(first.module));
        }
        case TypeColumn:
            return QString::fromLatin1(severityName(m_tree.groupSeverity(group)));
        case MessageColumn:
            return group < m_groupLabels.size() ? m_groupLabels[group] : QString();
        default:
            return QString();
    }
}

QString ReportListModel::subtitleOf(std::int32_t block) const {
    if (block < 0) return {};
    validationhost::FindingPlace place;
    place.block = block;
    subtitles().place(place);
    if (!place.hasSubtitle()) return {};
    std::string text = std::to_string(place.subtitleNumber) + "  ";
    validationhost::appendTimeCode(text, place.in);
    return QString::fromLatin1(text);
}

const validationhost::BlockSubtitles& ReportListModel::subtitles() const {
    // Read once a run, when the first finding about a block is shown or grouped.
    if (!m_subtitles) m_subtitles = std::make_unique<validationhost::BlockSubtitles>(m_file);
    return *m_subtitles;
}

void ReportListModel::labelGroups() {
    m_groupLabels.clear();
    std::vector<std::uint64_t> keys;
    for (std::size_t group = 0; group < m_tree.groupCount(); ++group) {
        const std::vector<std::uint32_t>& children = m_tree.children(group);
        const QString rule = QString::number(m_tree.groupRule(group)) + QStringLiteral(" — ");
        keys.clear();
        for (std::uint32_t child : children) {
            validationhost::FindingPlace place;
            place.block = m_tree.blockOf(child);
            if (place.block < 0) break;
            subtitles().place(place);
            keys.push_back(subtitleKey(place));
        }
        if (keys.size() < children.size()) {
            m_groupLabels.push_back(rule + QStringLiteral("%1 findings").arg(children.size()));
            continue;
        }
        std::sort(keys.begin(), keys.end());
        const auto subtitleCount =
            static_cast<std::size_t>(std::unique(keys.begin(), keys.end()) - keys.begin());
        QString label = rule + QStringLiteral("%1 subtitles").arg(subtitleCount);
        if (subtitleCount != children.size())
            label += QStringLiteral(" (%1 findings)").arg(children.size());
        m_groupLabels.push_back(label);
    }
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[ColumnCount] = {"#", "Module", "Type", "Subtitle", "Message"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section])
                                                 : QVariant();
}

void ReportListModel::setFile(std::string file) {
    m_file = std::move(file);
    m_subtitles.reset();
}

void ReportListModel::showRows(std::size_t rows) {
    beginResetModel();
    m_subtitles.reset();
    m_tree.build(m_reports, rows, m_filter);
    labelGroups();
    endResetModel();
}

void ReportListModel::setFilter(const FindingFilter& filter) {
    if (filter == m_filter) return;
    beginResetModel();
    m_filter = filter;
    m_tree.apply(m_filter);
    labelGroups();
    endResetModel();
}

void ReportListModel::clear() {
    beginResetModel();
    m_tree.clear();
    m_groupLabels.clear();
    m_subtitles.reset();
    endResetModel();
}
