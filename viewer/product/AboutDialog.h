#pragma once
// The about box: product name, version text, two notice lines, the maker's web and mail links
// and a banner, at fixed positions in a 340 x 225 client area.

#include <QDialog>

class QLabel;
class QPushButton;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* owner = nullptr);

    void lbLinkClick();
    void lbMailClick();

    QLabel* lbProduct = nullptr;
    QLabel* lbVersion = nullptr;
    QLabel* lbNotice = nullptr;
    QLabel* lbNotice2 = nullptr;
    QLabel* lbLink = nullptr;
    QLabel* lbMail = nullptr;
    QLabel* imBanner = nullptr;
    QPushButton* btOK = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Shows the box modally over Owner (the active window when none); failures are only logged.
void showAbout(const QString& productName, const QString& version, const QString& year,
               QWidget* owner = nullptr);
