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
class CodePageSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit CodePageSpinBox(QWidget* parent = nullptr);
    // The field's number limited to the range; 0 for text that is not an integer.
    int fieldValue() const;
    // The text field itself, for showing a value exactly as typed.
    QLineEdit* field() const { return lineEdit(); }

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
    void fixup(QString& input) const override;
    void keyPressEvent(QKeyEvent* event) override;
};

class CodePageDialog : public QDialog {
    Q_OBJECT
public:
    explicit CodePageDialog(QWidget* parent = nullptr);

    // On entry the current code page; after OK the accepted value, or -1 when it could not be
    // read.
    std::int32_t m_codePage = 0;

    CodePageSpinBox* m_codePageSpin = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    void onFirstShow();
    void onOkClicked();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Shows the dialog for CodePage; true when the user chose OK. CodePage changes only on OK with a
// readable value.
bool getEncoding(std::int32_t& codePage, QWidget* parent = nullptr);
