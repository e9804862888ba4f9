#include "UserInteraction.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace {

// A box sizes itself to its text, so "Done" gave a box narrower than its own title. Room for the
// title and the frame's buttons, measured in the font in use, keeps the title readable.
void leaveRoomForTitle(QMessageBox& box) {
    const QFontMetrics metrics(box.font());
    const int room = metrics.horizontalAdvance(box.windowTitle()) + 8 * metrics.height();
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

QMessageBox::StandardButton ask(QMessageBox::Icon icon, QWidget* parent, const QString& text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    QMessageBox box(icon, QApplication::applicationName(), text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    leaveRoomForTitle(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

class QtUserInteraction final : public UserInteraction {
public:
    void showMessage(QWidget* parent, const QString& text) override {
        ask(QMessageBox::Information, parent, text, QMessageBox::Ok);
    }
    void showError(QWidget* parent, const QString& text) override {
        ask(QMessageBox::Critical, parent, text, QMessageBox::Ok);
    }
    bool confirm(QWidget* parent, const QString& text) override {
        return ask(QMessageBox::Question, parent, text, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::Yes) == QMessageBox::Yes;
    }
    bool offer(QWidget* parent, const QString& text, const QString& action) override {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text,
                        QMessageBox::Cancel, parent);
        QPushButton* accept = box.addButton(action, QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Cancel);
        leaveRoomForTitle(box);
        box.exec();
        return box.clickedButton() == accept;
    }
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter, QString* selectedFilter) override {
        // Save Report and Export ask about replacing an existing file themselves, after
        // checking that it is a file they may replace.
        return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter,
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
