#include "ChangeTreeModel.h"

#include <QColor>
#include <QFont>
#include <QStringList>

namespace repairwindow {

namespace {

constexpr quintptr groupId = 0;

// The first byte written names the field and its block: a subtitle's text field has a change per
// block, all placed at the subtitle.
std::string keyOf(const repair::Change& change) {
    return std::string(repair::fixName(change.fix())) + '|' + change.field + '|' +
           (change.edits.empty() ? std::to_string(change.place.block)
                                 : std::to_string(change.edits.front().offset));
}

QString counted(std::size_t count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

QString placeText(const repair::Place& place) {
    if (place.header) return QStringLiteral("Header");
    return QStringLiteral("Subtitle %1 (%2)")
        .arg(place.number)
        .arg(QString::fromStdString(formatTimeCode(place.in)));
}

ChangeTreeModel::ChangeTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void ChangeTreeModel::setProposal(repair::Proposal proposal) {
    beginResetModel();
    m_proposal = std::move(proposal);
    m_groups.clear();
    std::vector<int> groupOfFix(repair::FIX_COUNT, -1);
    for (const repair::Fix fix : repair::allFixes()) {
        const bool used = std::any_of(m_proposal.changes.begin(), m_proposal.changes.end(),
                                      [fix](const repair::Change& c) { return c.fix() == fix; }) ||
                          std::any_of(m_proposal.notFixed.begin(), m_proposal.notFixed.end(),
                                      [fix](const repair::NotFixed& n) { return n.fix == fix; });
        if (!used) continue;
        groupOfFix[static_cast<std::size_t>(fix)] = static_cast<int>(m_groups.size());
        m_groups.push_back({fix, {}, {}, 0});
    }
    const std::size_t count = m_proposal.changes.size();
    m_groupOf.assign(count, 0);
    m_chosen.assign(count, false);
    m_chosenCount = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const repair::Change& change = m_proposal.changes[i];
        const int group = groupOfFix[static_cast<std::size_t>(change.fix())];
        m_groupOf[i] = group;
        m_groups[group].changes.push_back(i);
        if (!m_rejected.count(keyOf(change))) {
            m_chosen[i] = true;
            ++m_chosenCount;
            ++m_groups[group].chosen;
        }
    }
    for (std::size_t i = 0; i < m_proposal.notFixed.size(); ++i)
        m_groups[groupOfFix[static_cast<std::size_t>(m_proposal.notFixed[i].fix)]]
            .notFixed.push_back(i);
    endResetModel();
    emit chosenChanged();
}

Qt::CheckState ChangeTreeModel::allState() const {
    if (m_chosenCount == 0) return Qt::Unchecked;
    return m_chosenCount == m_chosen.size() ? Qt::Checked : Qt::PartiallyChecked;
}

void ChangeTreeModel::choose(std::size_t i, bool chosen) {
    if (m_chosen[i] == chosen) return;
    m_chosen[i] = chosen;
    Group& group = m_groups[m_groupOf[i]];
    if (chosen) {
        ++m_chosenCount;
        ++group.chosen;
        m_rejected.erase(keyOf(m_proposal.changes[i]));
    } else {
        --m_chosenCount;
        --group.chosen;
        m_rejected.insert(keyOf(m_proposal.changes[i]));
    }
}

void ChangeTreeModel::changedGroup(int group) {
    const QModelIndex row = index(group, Place);
    emit dataChanged(row, row, {Qt::CheckStateRole});
    const int children = rowCount(row);
    if (children > 0)
        emit dataChanged(index(0, Place, row), index(children - 1, Place, row),
                         {Qt::CheckStateRole});
}

void ChangeTreeModel::setAllChosen(bool chosen) {
    for (std::size_t i = 0; i < m_chosen.size(); ++i) choose(i, chosen);
    for (int group = 0; group < static_cast<int>(m_groups.size()); ++group) changedGroup(group);
    emit chosenChanged();
}

const repair::Change* ChangeTreeModel::changeAt(const QModelIndex& index) const {
    if (!index.isValid() || index.internalId() == groupId) return nullptr;
    const Group& group = m_groups[index.internalId() - 1];
    const auto row = static_cast<std::size_t>(index.row());
    return row < group.changes.size() ? &m_proposal.changes[group.changes[row]] : nullptr;
}

const repair::NotFixed* ChangeTreeModel::notFixedAt(const QModelIndex& index) const {
    if (!index.isValid() || index.internalId() == groupId) return nullptr;
    const Group& group = m_groups[index.internalId() - 1];
    const auto row = static_cast<std::size_t>(index.row());
    return row >= group.changes.size()
               ? &m_proposal.notFixed[group.notFixed[row - group.changes.size()]]
               : nullptr;
}

QModelIndex ChangeTreeModel::fixIndex(repair::Fix fix) const {
    for (int group = 0; group < static_cast<int>(m_groups.size()); ++group)
        if (m_groups[group].fix == fix) return index(group, Place);
    return {};
}

QModelIndex ChangeTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= ColumnCount || row >= rowCount(parent)) return {};
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row() + 1) : groupId);
}

QModelIndex ChangeTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == groupId) return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, groupId);
}

int ChangeTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return static_cast<int>(m_groups.size());
    if (parent.internalId() != groupId || parent.column() != 0) return 0;
    const Group& group = m_groups[parent.row()];
    return static_cast<int>(group.changes.size() + group.notFixed.size());
}

int ChangeTreeModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

Qt::CheckState ChangeTreeModel::groupState(const Group& group) const {
    if (group.chosen == 0) return Qt::Unchecked;
    return group.chosen == group.changes.size() ? Qt::Checked : Qt::PartiallyChecked;
}

QVariant ChangeTreeModel::groupData(const Group& group, int column, int role) const {
    if (role == Qt::FontRole) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (column == Place && role == Qt::CheckStateRole && !group.changes.empty())
        return groupState(group);
    if (column != Place) return {};
    const QString description = QString::fromLatin1(repair::fixDescription(group.fix));
    if (role == Qt::ToolTipRole) return description;
    if (role != Qt::DisplayRole) return {};
    // The row spans the table: the fix, its counts, and what it does.
    QString line = QString::fromLatin1(repair::fixName(group.fix)) + QStringLiteral(": ") +
                   counted(group.changes.size(), "change", "changes");
    if (!group.notFixed.empty())
        line += QStringLiteral(", ") + counted(group.notFixed.size(), "not fixed", "not fixed");
    return line + QStringLiteral(" \u2014 ") + description;
}

QVariant ChangeTreeModel::changeData(const repair::Change& change, std::size_t i, int column,
                                     int role) const {
    if (column == Place && role == Qt::CheckStateRole)
        return m_chosen[i] ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (column) {
        case Place:
            return placeText(change.place);
        case Field:
            return text(change.field);
        case Before:
            return text(change.before);
        case After:
            return text(change.after);
        case Fixes: {
            QStringList names;
            for (const repair::Fix fix : change.fixes)
                names << QString::fromLatin1(repair::fixName(fix));
            return names.join(QStringLiteral(", "));
        }
        default:
            return text(change.why);
    }
}

QVariant ChangeTreeModel::notFixedData(const repair::NotFixed& item, int column, int role) const {
    if (role == Qt::ForegroundRole) return QColor(0x80, 0x80, 0x80);
    if (role == Qt::FontRole) {
        QFont italic;
        italic.setItalic(true);
        return italic;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (column) {
        case Place:
            return placeText(item.place);
        case Field:
            return text(item.field);
        case After:
            return QStringLiteral("not fixed");
        case Fixes:
            return QString::fromLatin1(repair::fixName(item.fix));
        case Why:
            return text(item.why);
        default:
            return {};
    }
}

QVariant ChangeTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (index.internalId() == groupId)
        return groupData(m_groups[index.row()], index.column(), role);
    const Group& group = m_groups[index.internalId() - 1];
    const auto row = static_cast<std::size_t>(index.row());
    if (row < group.changes.size()) {
        const std::size_t i = group.changes[row];
        return changeData(m_proposal.changes[i], i, index.column(), role);
    }
    return notFixedData(m_proposal.notFixed[group.notFixed[row - group.changes.size()]],
                        index.column(), role);
}

bool ChangeTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable)) return false;
    const bool chosen = value.toInt() == Qt::Checked;
    if (index.internalId() == groupId) {
        for (const std::size_t i : m_groups[index.row()].changes) choose(i, chosen);
        changedGroup(index.row());
    } else {
        const int group = static_cast<int>(index.internalId() - 1);
        choose(m_groups[group].changes[index.row()], chosen);
        emit dataChanged(index, index, {Qt::CheckStateRole});
        const QModelIndex groupRow = this->index(group, Place);
        emit dataChanged(groupRow, groupRow, {Qt::CheckStateRole});
    }
    emit chosenChanged();
    return true;
}

Qt::ItemFlags ChangeTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != Place) return flags;
    const bool checkable = index.internalId() == groupId ? !m_groups[index.row()].changes.empty()
                                                         : changeAt(index) != nullptr;
    return checkable ? flags | Qt::ItemIsUserCheckable : flags;
}

QVariant ChangeTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[] = {"Subtitle", "Field", "Before", "After", "Fix", "Why"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section])
                                                 : QVariant();
}

}  // namespace repairwindow
