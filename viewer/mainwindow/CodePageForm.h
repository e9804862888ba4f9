#pragma once
// The small "Encoding" dialog where the user types a code page number that the Encoding menu does
// not list.

#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <cstdint>

class QPushButton;

// The number field: digits, signs, the decimal separator and editing keys only; any number may be
// typed and is brought into 0..65535 when read; text that is not an integer reads as 0.
class TCodePageSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TCodePageSpinEdit(QWidget* Parent = nullptr);
    // The field's number limited to the range; 0 for text that is not an integer.
    int FieldValue() const;
    // The text field itself, for showing a value exactly as typed.
    QLineEdit* Field() const { return lineEdit(); }

protected:
    QValidator::State validate(QString& Input, int& Pos) const override;
    int valueFromText(const QString& Text) const override;
    void fixup(QString& Input) const override;
    void keyPressEvent(QKeyEvent* Event) override;
};

class TCodePageForm : public QDialog {
    Q_OBJECT
public:
    explicit TCodePageForm(QWidget* Parent = nullptr);

    // On entry the current code page; after OK the accepted value, or -1 when it could not be
    // read.
    std::int32_t FCodePage = 0;

    TCodePageSpinEdit* SpinEdit1 = nullptr;
    QPushButton* BOK = nullptr;
    QPushButton* BCancel = nullptr;

    void FormShow();
    void BOKClick();

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

// Shows the dialog for CodePage; true when the user chose OK. CodePage changes only on OK with a
// readable value.
bool GetEncoding(std::int32_t& CodePage, QWidget* Parent = nullptr);
