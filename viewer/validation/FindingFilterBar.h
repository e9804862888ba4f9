#pragma once
// The controls above the validation window's list: which severities to show, each with its
// count, and one rule or all of them, each rule with its count.

#include <QWidget>
#include <vector>

#include "FindingTree.h"

class QComboBox;
class QToolButton;

class FindingFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit FindingFilterBar(QWidget* parent = nullptr);

    // Counts of a new run; a rule still there stays chosen.
    void setCounts(const FindingTree& tree);
    FindingFilter filter() const;

    QToolButton* btnErrors = nullptr;
    QToolButton* btnWarnings = nullptr;
    QToolButton* btnInfos = nullptr;
    QComboBox* cbRule = nullptr;

signals:
    void filterChanged();
};
