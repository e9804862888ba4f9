#include "FindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("findBar"));
    // The strip takes the list's width and never widens the list panel.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(new QLabel(QStringLiteral("Find:"), this));
    m_edit = new QLineEdit(this);
    m_edit->setClearButtonEnabled(true);
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 16);
    layout->addWidget(m_edit, 1);
    auto* previous = new QToolButton(this);
    previous->setArrowType(Qt::UpArrow);
    previous->setToolTip(QStringLiteral("Find Previous (Shift+F3)"));
    auto* next = new QToolButton(this);
    next->setArrowType(Qt::DownArrow);
    next->setToolTip(QStringLiteral("Find Next (F3)"));
    layout->addWidget(previous);
    layout->addWidget(next);
    m_ignoreCase = new QCheckBox(QStringLiteral("Ignore case and accents"), this);
    m_ignoreCase->setChecked(true);
    layout->addWidget(m_ignoreCase);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("findStatus"));
    layout->addWidget(m_status);
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("Close (Escape)"));
    close->setAutoRaise(true);
    layout->addWidget(close);

    connect(m_edit, &QLineEdit::textChanged, this, [this] { emit searchChanged(); });
    connect(m_ignoreCase, &QCheckBox::toggled, this, [this] { emit searchChanged(); });
    connect(previous, &QToolButton::clicked, this, [this] { emit findRequested(true); });
    connect(next, &QToolButton::clicked, this, [this] { emit findRequested(false); });
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        emit closed();
    });
}

QString FindBar::text() const {
    return m_edit->text();
}

bool FindBar::ignoreCaseAndAccents() const {
    return m_ignoreCase->isChecked();
}

void FindBar::setIgnoreCaseAndAccents(bool on) {
    m_ignoreCase->setChecked(on);
}

void FindBar::open() {
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void FindBar::setStatus(const QString& status) {
    m_status->setText(status);
}

QString FindBar::status() const {
    return m_status->text();
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        emit closed();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit findRequested(event->modifiers() & Qt::ShiftModifier);
        return;
    }
    QWidget::keyPressEvent(event);
}
