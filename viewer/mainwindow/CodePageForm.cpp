#include "CodePageForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <algorithm>

#include "platform/Guarded.h"
#include "viewer/UserInteraction.h"

namespace {

constexpr int MaxCodePage = 65535;

// An optional sign and digits, nothing else (blanks around it allowed).
bool ParseInteger(const QString& Text, qlonglong& Value) {
    const QString T = Text.trimmed();
    if (T.isEmpty()) return false;
    int i = (T[0] == QLatin1Char('+') || T[0] == QLatin1Char('-')) ? 1 : 0;
    if (i == T.size()) return false;
    for (int j = i; j < T.size(); ++j)
        if (!T[j].isDigit() || T[j].unicode() > 0x7F) return false;
    bool Ok = false;
    Value = T.toLongLong(&Ok);
    // Too many digits for 64 bits: still a number, and far above the range.
    if (!Ok) Value = T[0] == QLatin1Char('-') ? -1 : MaxCodePage + 1LL;
    return true;
}

}  // namespace

TCodePageSpinEdit::TCodePageSpinEdit(QWidget* Parent) : QSpinBox(Parent) {
    setRange(0, MaxCodePage);
    setSingleStep(1);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(true);
}

int TCodePageSpinEdit::FieldValue() const {
    qlonglong Value = 0;
    if (!ParseInteger(lineEdit()->text(), Value)) return 0;
    return static_cast<int>(std::clamp<qlonglong>(Value, 0, MaxCodePage));
}

QValidator::State TCodePageSpinEdit::validate(QString& Input, int&) const {
    qlonglong Value = 0;
    if (ParseInteger(Input, Value) && Value >= 0 && Value <= MaxCodePage)
        return QValidator::Acceptable;
    // Anything else may stand in the field; reading it brings it into the range.
    return QValidator::Intermediate;
}

int TCodePageSpinEdit::valueFromText(const QString&) const {
    return FieldValue();
}

void TCodePageSpinEdit::fixup(QString& Input) const {
    Input = QString::number(FieldValue());
}

void TCodePageSpinEdit::keyPressEvent(QKeyEvent* Event) {
    const QString Text = Event->text();
    if (Text.size() == 1 && Text[0].isPrint() &&
        !Event->modifiers().testFlag(Qt::ControlModifier)) {
        const QChar C = Text[0];
        const QString Decimal = locale().decimalPoint();
        const bool Allowed = (C >= QLatin1Char('0') && C <= QLatin1Char('9')) ||
                             C == QLatin1Char('+') || C == QLatin1Char('-') || Decimal.contains(C);
        if (!Allowed) {
            QApplication::beep();
            Event->accept();
            return;
        }
    }
    QSpinBox::keyPressEvent(Event);
}

TCodePageForm::TCodePageForm(QWidget* Parent) : QDialog(Parent) {
    setWindowTitle(QStringLiteral("Encoding"));
    setFixedSize(180, 76);
    move(50, 100);
    SpinEdit1 = new TCodePageSpinEdit(this);
    SpinEdit1->setGeometry(10, 10, 160, 22);
    BOK = new QPushButton(QStringLiteral("OK"), this);
    BOK->setGeometry(10, 41, 75, 25);
    BOK->setDefault(true);
    BCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BCancel->setGeometry(95, 41, 75, 25);
    connect(BOK, &QPushButton::clicked, this, [this] {
        BOKClick();
        accept();
    });
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    SpinEdit1->installEventFilter(this);
}

void TCodePageForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    FormShow();
}

void TCodePageForm::FormShow() {
    platform::guardedVoid("TCodePageForm.FormShow", [&] {
        SpinEdit1->Field()->setText(QString::number(FCodePage));
        SpinEdit1->setFocus();
        SpinEdit1->selectAll();
    });
}

bool TCodePageForm::eventFilter(QObject* Watched, QEvent* Event) {
    // Enter in the field clicks OK, as a mouse click would.
    if (Watched == SpinEdit1 && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            BOK->click();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

void TCodePageForm::BOKClick() {
    try {
        FCodePage = SpinEdit1->FieldValue();
    } catch (...) {
        FCodePage = -1;
        userInteraction().showMessage(this, QStringLiteral("Not valid code page number"));
        platform::reportFailure("TCodePageForm.BOKClick", "vld:");
    }
}

bool GetEncoding(std::int32_t& CodePage, QWidget* Parent) {
    return platform::guarded("GetEncoding", false, [&] {
        TCodePageForm Form(Parent);
        Form.FCodePage = CodePage;
        if (Form.exec() != QDialog::Accepted) return false;
        if (Form.FCodePage >= 0) CodePage = Form.FCodePage;
        return true;
    });
}
