#include "UserInteraction.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

class QtUserInteraction final : public UserInteraction {
public:
    void showMessage(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QApplication::applicationName(), text);
    }
    void showError(QWidget* parent, const QString& text) override {
        QMessageBox::critical(parent, QApplication::applicationName(), text);
    }
    bool confirm(QWidget* parent, const QString& text) override {
        return QMessageBox::question(parent, QApplication::applicationName(), text,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    }
    bool offer(QWidget* parent, const QString& text, const QString& action) override {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text,
                        QMessageBox::Cancel, parent);
        QPushButton* accept = box.addButton(action, QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        return box.clickedButton() == accept;
    }
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override {
        // The report writer asks about replacing an existing file itself.
        return QFileDialog::getSaveFileName(parent, caption, dir, filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent);
        if (!ok) return std::nullopt;
        return font;
    }
    bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

QtUserInteraction& qtInteraction() {
    static QtUserInteraction instance;
    return instance;
}

UserInteraction* current = nullptr;

}  // namespace

UserInteraction& userInteraction() {
    return current ? *current : qtInteraction();
}

UserInteraction* setUserInteraction(UserInteraction* replacement) {
    UserInteraction* previous = current;
    current = replacement;
    return previous;
}
