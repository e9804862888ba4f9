#include "FindingFilterBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <algorithm>

namespace {

QToolButton* severityButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setCheckable(true);
    button->setChecked(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

}  // namespace

FindingFilterBar::FindingFilterBar(QWidget* parent) : QWidget(parent) {
    btnErrors = severityButton(this);
    btnWarnings = severityButton(this);
    btnInfos = severityButton(this);
    cbRule = new QComboBox(this);
    cbRule->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* ruleLabel = new QLabel(QStringLiteral("R&ule:"), this);
    ruleLabel->setBuddy(cbRule);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Show:"), this));
    for (QToolButton* button : {btnErrors, btnWarnings, btnInfos}) {
        layout->addWidget(button);
        connect(button, &QToolButton::toggled, this, &FindingFilterBar::filterChanged);
    }
    layout->addSpacing(12);
    layout->addWidget(ruleLabel);
    layout->addWidget(cbRule);
    layout->addStretch(1);
    connect(cbRule, &QComboBox::currentIndexChanged, this, &FindingFilterBar::filterChanged);
    setCounts(FindingTree());
}

void FindingFilterBar::setCounts(const FindingTree& tree) {
    const QSignalBlocker blocker(cbRule);
    btnErrors->setText(QStringLiteral("&Error (%1)").arg(tree.severityCount(Severity::Error)));
    btnWarnings->setText(
        QStringLiteral("&Warning (%1)").arg(tree.severityCount(Severity::Warning)));
    btnInfos->setText(QStringLiteral("&Info (%1)").arg(tree.severityCount(Severity::Info)));

    const QVariant chosen = cbRule->currentData();
    cbRule->clear();
    cbRule->addItem(QStringLiteral("All rules"), FindingFilter::AllRules);
    for (const FindingTree::RuleCount& rule : tree.ruleCounts()) {
        const QString name = rule.rule == FindingFilter::NoRule ? QStringLiteral("No rule")
                                                                : QString::number(rule.rule);
        cbRule->addItem(QStringLiteral("%1 (%2)").arg(name).arg(rule.count), rule.rule);
    }
    cbRule->setCurrentIndex(std::max(0, cbRule->findData(chosen)));
}

FindingFilter FindingFilterBar::filter() const {
    FindingFilter filter;
    filter.errors = btnErrors->isChecked();
    filter.warnings = btnWarnings->isChecked();
    filter.infos = btnInfos->isChecked();
    filter.rule = cbRule->currentData().toInt();
    return filter;
}
