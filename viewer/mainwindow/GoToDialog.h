#pragma once
// Edit > Go To: one line that takes a subtitle number, a row number written with # or a time
// code. The dialog stays open with the reason when there is nothing to go to.

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

class GoToDialog : public QDialog {
    Q_OBJECT
public:
    // Go returns why it could not go there, or an empty text when it went.
    GoToDialog(QWidget* parent, std::function<QString(const QString&)> go);

    QLineEdit* edit() const { return m_edit; }
    QString message() const;

    void accept() override;

private:
    std::function<QString(const QString&)> m_go;
    QLineEdit* m_edit;
    QLabel* m_message;
};
