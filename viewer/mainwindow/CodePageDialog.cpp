#include "CodePageDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <algorithm>

#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"

namespace {

constexpr int maxCodePage = 65535;

// An optional sign and digits, nothing else (blanks around it allowed).
bool parseInteger(const QString& text, qlonglong& value) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    int i = (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-')) ? 1 : 0;
    if (i == t.size()) return false;
    for (int j = i; j < t.size(); ++j)
        if (!t[j].isDigit() || t[j].unicode() > 0x7F) return false;
    bool ok = false;
    value = t.toLongLong(&ok);
    // Too many digits for 64 bits: still a number, and far above the range.
    if (!ok) value = t[0] == QLatin1Char('-') ? -1 : maxCodePage + 1LL;
    return true;
}

}  // namespace

CodePageSpinBox::CodePageSpinBox(QWidget* parent) : QSpinBox(parent) {
    setRange(0, maxCodePage);
    setSingleStep(1);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(true);
}

int CodePageSpinBox::fieldValue() const {
    qlonglong value = 0;
    if (!parseInteger(lineEdit()->text(), value)) return 0;
    return static_cast<int>(std::clamp<qlonglong>(value, 0, maxCodePage));
}

QValidator::State CodePageSpinBox::validate(QString& input, int&) const {
    qlonglong value = 0;
    if (parseInteger(input, value) && value >= 0 && value <= maxCodePage)
        return QValidator::Acceptable;
    // Anything else may stand in the field; reading it brings it into the range.
    return QValidator::Intermediate;
}

int CodePageSpinBox::valueFromText(const QString&) const {
    return fieldValue();
}

void CodePageSpinBox::fixup(QString& input) const {
    input = QString::number(fieldValue());
}

void CodePageSpinBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && text[0].isPrint() &&
        !event->modifiers().testFlag(Qt::ControlModifier)) {
        const QChar c = text[0];
        const QString decimal = locale().decimalPoint();
        const bool allowed = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             c == QLatin1Char('+') || c == QLatin1Char('-') || decimal.contains(c);
        if (!allowed) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QSpinBox::keyPressEvent(event);
}

CodePageDialog::CodePageDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Encoding"));
    setFixedSize(180, 76);
    move(50, 100);
    m_codePageSpin = new CodePageSpinBox(this);
    m_codePageSpin->setGeometry(10, 10, 160, 22);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setGeometry(10, 41, 75, 25);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setGeometry(95, 41, 75, 25);
    connect(m_okButton, &QPushButton::clicked, this, [this] {
        onOkClicked();
        accept();
    });
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    m_codePageSpin->installEventFilter(this);
}

void CodePageDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    onFirstShow();
}

void CodePageDialog::onFirstShow() {
    platform::guardedVoid("TCodePageForm.FormShow", [&] {
        m_codePageSpin->field()->setText(QString::number(m_codePage));
        m_codePageSpin->setFocus();
        m_codePageSpin->selectAll();
    });
}

bool CodePageDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the field clicks OK, as a mouse click would.
    if (watched == m_codePageSpin && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_okButton->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CodePageDialog::onOkClicked() {
    try {
        m_codePage = m_codePageSpin->fieldValue();
    } catch (...) {
        m_codePage = -1;
        userInteraction().showMessage(this, QStringLiteral("Not valid code page number"));
        platform::reportFailure("TCodePageForm.BOKClick", "vld:");
    }
}

bool getEncoding(std::int32_t& codePage, QWidget* parent) {
    return platform::guarded("GetEncoding", false, [&] {
        CodePageDialog form(parent);
        form.m_codePage = codePage;
        if (form.exec() != QDialog::Accepted) return false;
        if (form.m_codePage >= 0) codePage = form.m_codePage;
        return true;
    });
}
