#pragma once
// The proposed changes of a repair as a tree: one row per fix, with the changes it proposes and,
// greyed, what it could not fix. Changes and fixes have check boxes; a fix's box is partly ticked
// while only some of its changes are. A change the user rejected stays rejected when the options
// change and it is proposed again (the same fix on the same field of the same subtitle).

#include <QAbstractItemModel>
#include <set>
#include <string>
#include <vector>

#include "repair/Repair.h"

namespace repairwindow {

class ChangeTreeModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { Place, Field, Before, After, Fixes, Why, ColumnCount };

    explicit ChangeTreeModel(QObject* parent = nullptr);

    void setProposal(repair::Proposal proposal);
    const repair::Proposal& proposal() const { return m_proposal; }
    // One flag per change of the proposal: whether Apply writes it.
    const std::vector<bool>& chosen() const { return m_chosen; }
    std::size_t chosenCount() const { return m_chosenCount; }
    Qt::CheckState allState() const;
    void setAllChosen(bool chosen);

    // What a row shows; null for a fix's row and for the other kind.
    const repair::Change* changeAt(const QModelIndex& index) const;
    const repair::NotFixed* notFixedAt(const QModelIndex& index) const;
    // The row of a fix; invalid when it has neither changes nor anything left unfixed.
    QModelIndex fixIndex(repair::Fix fix) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void chosenChanged();

private:
    struct Group {
        repair::Fix fix;
        std::vector<std::size_t> changes;   // into Proposal::changes
        std::vector<std::size_t> notFixed;  // into Proposal::notFixed
        std::size_t chosen = 0;
    };

    QVariant groupData(const Group& group, int column, int role) const;
    QVariant changeData(const repair::Change& change, std::size_t i, int column, int role) const;
    QVariant notFixedData(const repair::NotFixed& item, int column, int role) const;
    Qt::CheckState groupState(const Group& group) const;
    // Marks change I and keeps its fix's count and the rejected keys in step.
    void choose(std::size_t i, bool chosen);
    void changedGroup(int group);

    repair::Proposal m_proposal;
    std::vector<Group> m_groups;
    std::vector<int> m_groupOf;  // each change's group
    std::vector<bool> m_chosen;
    std::size_t m_chosenCount = 0;
    std::set<std::string> m_rejected;
};

// "Subtitle 12 (10:00:01:00)", or "Header".
QString placeText(const repair::Place& place);

}  // namespace repairwindow
