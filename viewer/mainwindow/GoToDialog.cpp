#include "GoToDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

GoToDialog::GoToDialog(QWidget* parent, std::function<QString(const QString&)> go)
    : QDialog(parent), m_go(std::move(go)) {
    setWindowTitle(QStringLiteral("Go To"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt =
        new QLabel(QStringLiteral("Subtitle &number, row (#12) or time code (HH:MM:SS:FF):"), this);
    m_edit = new QLineEdit(this);
    prompt->setBuddy(m_edit);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("goToMessage"));
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::WindowText, Qt::darkRed);
    m_message->setPalette(palette);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &GoToDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GoToDialog::reject);
    connect(m_edit, &QLineEdit::textEdited, m_message, &QLabel::clear);
    layout->addWidget(prompt);
    layout->addWidget(m_edit);
    layout->addWidget(m_message);
    layout->addWidget(buttons);
}

QString GoToDialog::message() const {
    return m_message->text();
}

void GoToDialog::accept() {
    const QString why = m_go(m_edit->text().trimmed());
    if (why.isEmpty()) {
        QDialog::accept();
        return;
    }
    m_message->setText(why);
    m_edit->selectAll();
    m_edit->setFocus();
}
